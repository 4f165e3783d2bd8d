#include "ui/application.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/controls.h"
#include "ui/error_text.h"
#include "ui/startup_trace.h"
#include "ui/window_class.h"

namespace veltrano::ui {
namespace {

constexpr const char* kApplicationClass = "TApplication";
// Posted to the application window: wParam the form's window, lParam the form.
constexpr UINT kReleaseFormMessage = WM_APP + 1;

// Enter: a focused push button takes it; an open drop-down list closes itself; any
// other control passes it to the form's default button.
bool HandleEnterKey() {
  HWND focus = GetFocus();
  if (!focus) return false;
  Form* form = Form::FromHandle(TopLevelWindowOf(focus));
  if (!form) return false;
  Widget* focused = Widget::FromHandle(focus);
  if (auto* button = WidgetAs<Button>(focused)) {
    button->Click();
    return true;
  }
  if (auto* combo = WidgetAs<ComboBox>(focused); combo && combo->IsDroppedDown()) {
    return false;
  }
  HWND defaultButton = form->DefaultButton();
  if (!defaultButton || !IsWindowEnabled(defaultButton) || !IsWindowEnabled(form->Handle())) {
    return false;
  }
  SendMessageA(defaultButton, BM_CLICK, 0, 0);
  return true;
}

// The status bar, the tab control, the list view and the tooltip come from comctl32. Its 4.00
// release (Windows 95 and NT 4.0 without a newer Internet Explorer) has no InitCommonControlsEx, so
// that function is looked up and InitCommonControls, which registers every class, stands in.
void StartCommonControls() {
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const HMODULE comctl = GetModuleHandleA("comctl32.dll");
  const auto initEx = comctl ? reinterpret_cast<InitEx>(reinterpret_cast<void*>(
                                   GetProcAddress(comctl, "InitCommonControlsEx")))
                             : nullptr;
  INITCOMMONCONTROLSEX controls{
      sizeof(controls), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};  // 9x: looked up
  if (!initEx || !initEx(&controls)) InitCommonControls();
}

}  // namespace

TApplication& Application() {
  // The font cache is made first so that it outlives the forms at the program's end.
  FontCache::Instance();
  static TApplication application;
  return application;
}

TApplication::~TApplication() {
  DestroyOwnedForms();
  if (window_) DestroyWindow(window_);
}

void TApplication::Initialize(HINSTANCE instance) {
  if (window_) return;
  instance_ = instance ? instance : GetModuleHandleA(nullptr);
  StartCommonControls();
  detail::RegisterClassOnce(kApplicationClass, &TApplication::Procedure, 0, nullptr);
  // Hidden, like every window of ours at first; it owns the forms and the boxes.
  window_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, nullptr);
  if (!window_) {
    detail::ThrowRefusal("Cannot create the application window");
  }
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SetWindowTextA(window_, title_.c_str());
}

void TApplication::Adopt(std::unique_ptr<Form> form) {
  if (!mainForm_) mainForm_ = form.get();
  forms_.push_back(std::move(form));
}

int TApplication::Run() {
  if (ShowMainForm && mainForm_) mainForm_->Show();
  MSG message{};
  while (!halted_) {
    if constexpr (trace::kEnabled) {
      // The first wait for input once the main form is up ends the start-up trace.
      if (mainForm_ && mainForm_->IsVisible() &&
          !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        trace::Mark("waiting for input");
        trace::Write();
      }
    }
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) break;
    HandleQueuedMessage(message);
  }
  return 0;
}

bool TApplication::ProcessMessages() {
  MSG message{};
  while (!halted_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    HandleQueuedMessage(message);
  }
  return !halted_;
}

void TApplication::HandleQueuedMessage(MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && HandleEnterKey()) return;
  // Tab, arrow keys and mnemonics move between the controls of our forms.
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
    HWND root = message.hwnd ? TopLevelWindowOf(message.hwnd) : nullptr;
    if (Form* form = Form::FromHandle(root); form && IsDialogMessageA(root, &message)) {
      form->RefreshDefaultLook();
      return;
    }
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

void TApplication::Halt(int code) {
  if (haltObserver_) {
    halted_ = true;
    HaltObserver observer = haltObserver_;  // the observer may replace itself
    observer(code);
    throw ProgramHalted(code);
  }
  ExitProcess(static_cast<UINT>(code));
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption,
                                 unsigned flags, HWND owner) {
  if (messageBoxObserver_) {
    MessageBoxObserver observer = messageBoxObserver_;
    return observer(text, caption, flags);
  }
  if (!owner) owner = GetActiveWindow();
  if (!owner) owner = window_;
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::ShowError(const std::string& message) {
  ShowMessageBox(ErrorBoxText(message), title_, MB_ICONSTOP | MB_OK);
}

bool TApplication::Dispatch(const std::function<void()>& handler) noexcept {
  if (halted_) return false;
  try {
    try {
      handler();
      return true;
    } catch (const ProgramHalted&) {
      return false;
    } catch (const std::exception& error) {
      ShowError(error.what());
    } catch (...) {
      ShowError("Unknown error");
    }
  } catch (...) {
    // Showing the error failed as well (or the box ended the program): nothing may
    // leave a window procedure.
  }
  return false;
}

void TApplication::ReleaseForm(Form& form) {
  if (window_) {
    PostMessageA(window_, kReleaseFormMessage, reinterpret_cast<WPARAM>(form.Handle()),
                 reinterpret_cast<LPARAM>(&form));
  }
}

void TApplication::FinishRelease(HWND window, const Form* form) {
  auto owned = std::find_if(
      forms_.begin(), forms_.end(),
      [form](const std::unique_ptr<Form>& candidate) { return candidate.get() == form; });
  // A form not ours to delete loses only its window, if it still belongs to that form.
  Form* alive = owned != forms_.end() ? owned->get() : Form::FromHandle(window);
  if (!alive || alive != form) return;
  if (alive->HandlerRunning()) {
    alive->DeferRelease();  // a handler of its own (a creation handler's box) is still on the stack
    return;
  }
  if (owned == forms_.end()) {
    alive->DestroyHandle();
    return;
  }
  std::unique_ptr<Form> doomed = std::move(*owned);
  forms_.erase(owned);
  if (mainForm_ == form) mainForm_ = nullptr;
}  // `doomed` takes its window with it

void TApplication::SetHaltObserver(HaltObserver observer) {
  haltObserver_ = std::move(observer);
  halted_ = false;
}

void TApplication::SetMessageBoxObserver(MessageBoxObserver observer) {
  messageBoxObserver_ = std::move(observer);
}

void TApplication::DestroyOwnedForms() {
  std::vector<std::unique_ptr<Form>> doomed = std::move(forms_);
  forms_.clear();
  mainForm_ = nullptr;
  while (!doomed.empty()) doomed.pop_back();  // newest first
}

LRESULT CALLBACK TApplication::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kReleaseFormMessage) {
    Application().Dispatch([&] {
      Application().FinishRelease(reinterpret_cast<HWND>(wParam),
                                  reinterpret_cast<const Form*>(lParam));
    });
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace veltrano::ui
