// winshot OUT.bmp [CAPTION]: saves what the Wine session shows of the visible top-level
// window with that caption (or of the whole screen) as a 24-bit BMP.
// A tool for `make run` and the developers, not shipped.
#include <windows.h>

#include <cstdio>

#include "winshot/screen_capture.h"

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
  if (!winshot::SaveScreenArea(area, argv[1])) {
    std::fprintf(stderr, "winshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
