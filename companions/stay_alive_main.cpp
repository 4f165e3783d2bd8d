// "Stay Alive" (VadiVazar.Exe): keeps an idle dial-up connection from being dropped by
// contacting a host every few minutes. One dialog window; the contacts run through
// its message loop and never block it.
#include <windows.h>
#include <winsock.h>

#include <commctrl.h>

#include <string>

#include "companions/host_contact.h"
#include "companions/stay_alive_core.h"
#include "companions/stay_alive_resource.h"
#include "platform/app_state.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"

namespace {

using namespace veltrano::companions;

constexpr UINT_PTR kRepeatTimer = 1;
constexpr char kInstanceMutex[] = "VeltranoStayAliveRunning";

std::string ProgramKey() {
  const auto identity =
      veltrano::IdentityForOsCode(veltrano::DetectOsCode(veltrano::QueryOsVersion()));
  return veltrano::ProgramKeyPath(identity.softwareKeyName);
}

std::string ItemText(HWND dialog, int id) {
  char text[512] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, text.c_str());
}

// The local date and time in the user's short formats.
std::string NowText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char date[64] = {};
  char time[64] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time);
  return std::string(date) + " " + time;
}

std::string RunningText(unsigned minutes) {
  if (minutes == 1) return "Running: a contact every minute.";
  return "Running: a contact every " + std::to_string(minutes) + " minutes.";
}

int ControlOf(InputField field) {
  switch (field) {
    case InputField::kPort:
      return IDC_PORT;
    case InputField::kMinutes:
      return IDC_MINUTES;
    default:
      return IDC_HOST;
  }
}

class StayAliveWindow {
 public:
  explicit StayAliveWindow(HINSTANCE instance)
      : instance_(instance), contact_(instance), programKey_(ProgramKey()) {}

  INT_PTR Run() {
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_STAY_ALIVE), nullptr, &Procedure,
                           reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<StayAliveWindow*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      self->dialog_ = dialog;
      self->OnInit();
      return TRUE;
    }
    auto* self = reinterpret_cast<StayAliveWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
      case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam));
      case WM_TIMER:
        if (wParam == kRepeatTimer) self->ContactNow();
        return TRUE;
      default:
        return FALSE;
    }
  }

  void OnInit() {
    const StayAliveSettings saved = LoadStayAliveSettings(veltrano::SystemRegistry(), programKey_);
    SendDlgItemMessageA(dialog_, IDC_HOST, EM_LIMITTEXT, 255, 0);
    SendDlgItemMessageA(dialog_, IDC_PORT, EM_LIMITTEXT, 5, 0);
    SendDlgItemMessageA(dialog_, IDC_MINUTES, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog_, IDC_MINUTES_SPIN, UDM_SETRANGE, 0,
                        MAKELPARAM(kMaxMinutes, kMinMinutes));
    SetItemText(dialog_, IDC_HOST, saved.host);
    SetDlgItemInt(dialog_, IDC_PORT, saved.port, FALSE);
    SetDlgItemInt(dialog_, IDC_MINUTES, saved.minutes, FALSE);
  }

  INT_PTR OnCommand(WORD id) {
    switch (id) {
      case IDC_START:
        OnStart();
        return TRUE;
      case IDC_STOP:
        OnStop();
        return TRUE;
      case IDCANCEL:  // "Close", the close box and Escape
        contact_.Abandon();
        KillTimer(dialog_, kRepeatTimer);
        EndDialog(dialog_, 0);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void OnStart() {
    const CheckedInput input = CheckInput(ItemText(dialog_, IDC_HOST), ItemText(dialog_, IDC_PORT),
                                          ItemText(dialog_, IDC_MINUTES));
    if (!input.ok) {
      SetItemText(dialog_, IDC_RESULT, input.problem);
      const HWND field = GetDlgItem(dialog_, ControlOf(input.field));
      SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
      SendMessageA(field, EM_SETSEL, 0, -1);
      return;
    }
    settings_ = input.settings;
    SetItemText(dialog_, IDC_HOST, settings_.host);
    SetItemText(dialog_, IDC_NOTE,
                SaveStayAliveSettings(veltrano::SystemRegistry(), programKey_, settings_));
    SetRunning(true);
    ContactNow();
    SetTimer(dialog_, kRepeatTimer, settings_.minutes * 60u * 1000u, nullptr);
  }

  void OnStop() {
    KillTimer(dialog_, kRepeatTimer);
    if (contact_.Busy()) SetItemText(dialog_, IDC_RESULT, "Stopped before the host answered.");
    contact_.Abandon();
    SetRunning(false);
  }

  void SetRunning(bool running) {
    // The button that takes over gets the focus before the other one is disabled.
    const int next = running ? IDC_STOP : IDC_START;
    EnableWindow(GetDlgItem(dialog_, next), TRUE);
    SendMessageA(dialog_, DM_SETDEFID, next, 0);
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, next)), TRUE);
    for (const int id : {IDC_HOST, IDC_PORT, IDC_MINUTES, IDC_MINUTES_SPIN, IDC_START})
      EnableWindow(GetDlgItem(dialog_, id), !running);
    EnableWindow(GetDlgItem(dialog_, IDC_STOP), running);
    SetItemText(dialog_, IDC_STATUS, running ? RunningText(settings_.minutes) : "Stopped.");
  }

  void ContactNow() {
    SetItemText(dialog_, IDC_RESULT, ContactingText(settings_.host, settings_.port));
    contact_.Start(settings_.host, settings_.port, [this](ContactOutcome outcome, int error) {
      OnContactFinished(outcome, error);
    });
  }

  void OnContactFinished(ContactOutcome outcome, int error) {
    SetItemText(dialog_, IDC_LAST_TIME, NowText());
    SetItemText(dialog_, IDC_RESULT,
                ContactResultText(outcome, settings_.host, settings_.port, error));
  }

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  HostContact contact_;
  std::string programKey_;
  StayAliveSettings settings_;
};

constexpr int kRaiseAttempts = 50;
constexpr DWORD kRaisePauseMs = 100;

// A second start brings the running window forward instead of contacting twice.
bool RaiseRunningInstance() {
  const HWND running = FindWindowA("#32770", STAY_ALIVE_CAPTION);
  if (!running) return false;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    // The first start may not have shown its window yet: it is given a few seconds to,
    // and this one ends either way.
    for (int attempt = 0; attempt < kRaiseAttempts && !RaiseRunningInstance(); ++attempt) {
      Sleep(kRaisePauseMs);
    }
    CloseHandle(mutex);
    return 0;
  }
  InitCommonControls();
  WinsockSession winsock;
  if (!winsock.Started()) {
    const std::string text = "Windows Sockets could not be started (error " +
                             std::to_string(winsock.Error()) +
                             ").\r\nStay Alive needs the TCP/IP protocol to be installed.";
    MessageBoxA(nullptr, text.c_str(), STAY_ALIVE_CAPTION, MB_OK | MB_ICONSTOP);
    if (mutex) CloseHandle(mutex);
    return 1;
  }
  StayAliveWindow window(instance);
  const INT_PTR result = window.Run();
  if (mutex) CloseHandle(mutex);
  return result == -1 ? 1 : 0;
}
