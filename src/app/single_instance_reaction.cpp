#include "app/single_instance_reaction.h"

namespace veltrano {
namespace {

struct WindowSearch {
  HWND owner;
  HWND found;
};

// The other instance's application window: same class as ours and the title, not ours.
HWND FindOtherApplicationWindow(HWND own, const std::string& title) {
  char className[256] = {};
  GetClassNameA(own, className, sizeof className);
  HWND candidate = nullptr;
  while ((candidate = FindWindowExA(nullptr, candidate, className, title.c_str())) != nullptr) {
    if (candidate != own) return candidate;
  }
  return nullptr;
}

BOOL CALLBACK MatchVisibleOwned(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The application window stays hidden; the window a user sees is the visible
// top-level window it owns (the main window).
HWND VisibleWindowOwnedBy(HWND applicationWindow) {
  WindowSearch search{applicationWindow, nullptr};
  EnumWindows(MatchVisibleOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void RaiseOtherInstance(HWND own, const std::string& title) {
  HWND other = FindOtherApplicationWindow(own, title);
  if (!other) return;
  if (HWND shown = VisibleWindowOwnedBy(other)) other = shown;
  if (IsIconic(other)) {
    OpenIcon(other);
  } else {
    SetForegroundWindow(other);
  }
}

}  // namespace

bool CheckSingleInstance(TabfOneInstance& guard, ui::TApplication& application) {
  if (guard.Acquire(application.Title())) return true;
  application.ShowMainForm = false;
  application.ShowMessageBox(kAlreadyRunningMessage, application.Title(),
                             MB_ICONEXCLAMATION | MB_OK, application.Handle());
  RaiseOtherInstance(application.Handle(), application.Title());
  application.Terminate();
  return false;
}

}  // namespace veltrano
