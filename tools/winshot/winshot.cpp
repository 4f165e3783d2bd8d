// winshot OUT.bmp [CAPTION]: saves what the Wine session shows of the visible top-level
// window with that caption (or of the whole screen), title bar and frame included, as a
// 24-bit BMP.
// winshot --press CAPTION TEXT: clicks the button with that text in that window, as a
// user would (posted, so a window that the click opens does not hold the tool up).
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

struct ButtonSearch {
  const char* text;
  HWND found;
};

BOOL CALLBACK MatchButton(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ButtonSearch*>(data);
  char text[256] = {}, className[32] = {};
  GetWindowTextA(window, text, sizeof text);
  GetClassNameA(window, className, sizeof className);
  // A hidden wizard page holds buttons of the same text.
  if (lstrcmpiA(className, "Button") != 0 || lstrcmpA(text, search->text) != 0 ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND VisibleWindow(const char* caption) {
  Search search{caption, nullptr};
  EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Press(const char* caption, const char* text) {
  HWND window = VisibleWindow(caption);
  ButtonSearch search{text, nullptr};
  if (window) EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  PostMessageA(search.found, BM_CLICK, 0, 0);
  Sleep(500);  // time for the click to be handled and painted
  return true;
}

bool AreaToCapture(const char* caption, RECT& area) {
  if (!caption) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return true;
  }
  HWND window = VisibleWindow(caption);
  if (!window) return false;
  // Frame and contents painted afresh: an inactive window's frame may not be yet.
  RedrawWindow(window, nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(200);
  return GetWindowRect(window, &area);  // the whole window, title bar and frame included
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && lstrcmpA(argv[1], "--press") == 0) {
    if (Press(argv[2], argv[3])) return 0;
    std::fprintf(stderr, "winshot: no button \"%s\" in a visible window \"%s\"\n", argv[3],
                 argv[2]);
    return 1;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: winshot OUT.bmp [CAPTION] | winshot --press CAPTION TEXT\n");
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
