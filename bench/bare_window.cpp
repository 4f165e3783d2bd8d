// The yardsticks of the start-up benchmark: the least a Win32 program does to show a
// window of the wizard's size, with no widget set, registry or start-up sequence.
// Built twice: bare_window.exe imports neither comctl32 nor shell32; built with
// BARE_WINDOW_WITH_SHELL (bare_window_shell.exe) it also loads and starts both, as any
// program with a status bar, tabs and a link must, so it is the floor for the wizard.
#include <windows.h>
#ifdef BARE_WINDOW_WITH_SHELL
#include <commctrl.h>
#include <shellapi.h>
#endif

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BARE_WINDOW_WITH_SHELL
  InitCommonControls();
#endif
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "BareWindow";
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, "BareWindow", "Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      CW_USEDEFAULT, CW_USEDEFAULT, 463, 351, nullptr, nullptr, instance, nullptr);
#ifdef BARE_WINDOW_WITH_SHELL
  DragAcceptFiles(window, FALSE);  // a harmless shell32 call, so that it is imported
#endif
  ShowWindow(window, SW_SHOW);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
