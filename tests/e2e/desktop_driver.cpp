#include "desktop_driver.h"

#include "support/wine_harness.h"
#include "winshot/screen_capture.h"

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
  const std::string folder = wine_harness::BinDir() + "\\..\\e2e-shots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name + ".bmp";
  return winshot::SaveScreenArea(area, path) ? path : "";
}

static std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) text = bytes;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::string CopiedText(HWND window) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  Click(FindControl(window, "&Copy"));
  std::string text;
  WaitFor([&] { return !(text = ClipboardText()).empty(); });
  return text;
}

std::string CopiedChanges(HWND owner, const std::string& shot) {
  Click(FindControl(owner, "Show &Changes..."));
  HWND window = WaitForWindow("TChanges", "Veltrano v2.11 - Changes");
  if (!window) return "";
  SaveShot(window, shot);
  const std::string rows = CopiedText(window);
  Click(FindControl(window, "&Close"));
  return rows;
}

}  // namespace desktop
