// winshot OUT.bmp [CAPTION]: saves what the Wine session shows of the visible top-level
// window with that caption (or of the whole screen) as a 24-bit BMP. Under Xvfb an X
// capture shows Wine's later top-level windows black; Wine's own screen DC has them.
// A tool for `make run` and the developers, not shipped.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (!IsWindowVisible(window) || lstrcmpA(text, search->caption) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

bool AreaToCapture(const char* caption, RECT& area) {
  if (!caption) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return true;
  }
  Search search{caption, nullptr};
  EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  // Frame and contents painted afresh: an inactive window's frame may not be yet.
  RedrawWindow(search.found, nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(200);
  return GetWindowRect(search.found, &area);
}

bool SaveArea(const RECT& area, const char* path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(stride * static_cast<DWORD>(height));
  const int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                             reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&header, sizeof header, 1, out) == 1 &&
                       std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: winshot OUT.bmp [CAPTION]\n");
    return 2;
  }
  RECT area{};
  if (!AreaToCapture(argc == 3 ? argv[2] : nullptr, area)) {
    std::fprintf(stderr, "winshot: no visible window \"%s\"\n", argv[2]);
    return 1;
  }
  if (!SaveArea(area, argv[1])) {
    std::fprintf(stderr, "winshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
