#include "desktop_driver.h"

#include <vector>

#include "support/wine_harness.h"

namespace desktop {
namespace {

struct WindowSearch {
  const char* className;
  const char* caption;
  const std::string* text;
  HWND found;
};

bool ClassIs(HWND window, const char* className) {
  if (!className) return true;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, className) == 0;
}

// Captions compare without trailing blanks, which no user sees (the uninstaller's
// window puts one after its caption).
bool CaptionIs(HWND window, const char* caption) {
  if (!caption) return true;
  std::string text = TextOf(window);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text == caption;
}

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (IsWindowVisible(window) && ClassIs(window, search->className) &&
      CaptionIs(window, search->caption)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchControl(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (IsWindowVisible(window) && ClassIs(window, search->className) &&
      TextOf(window) == *search->text) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  if (!IsWindowVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  *reinterpret_cast<std::string*>(data) += std::string(name) + " '" + TextOf(window) + "'\n";
  return TRUE;
}

}  // namespace

std::string VisibleWindows() {
  std::string list;
  EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

bool WaitFor(const std::function<bool()>& probe, unsigned timeoutMs) {
  for (unsigned waited = 0; waited < timeoutMs; waited += 100) {
    if (probe()) return true;
    Sleep(100);
  }
  return probe();
}

HWND FindWindowNow(const char* className, const char* caption) {
  WindowSearch search{className, caption, nullptr, nullptr};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindWindowNow(className, caption)) != nullptr; }, timeoutMs);
  return found;
}

HWND FindControl(HWND parent, const std::string& text, const char* className) {
  WindowSearch search{className, nullptr, &text, nullptr};
  if (parent) EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForControl(HWND parent, const std::string& text, unsigned timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindControl(parent, text);
        return found && IsWindowEnabled(found);
      },
      timeoutMs);
  return found;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  DWORD_PTR copied = 0;
  // Another process's window answers WM_GETTEXT; a hung one must not hang the test.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  return text;
}

void Click(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

std::string SaveShot(HWND window, const std::string& name) {
  RECT area{};
  if (!GetWindowRect(window, &area)) return "";
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const std::string folder = wine_harness::BinDir() + "\\..\\e2e-shots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".bmp";

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(pixels.data(), pixels.size());
  return wine_harness::WriteFileBytes(path, bytes) ? path : "";
}

}  // namespace desktop
