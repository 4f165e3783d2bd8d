#include "ui/form.h"

#include <vector>

#include "ui/application.h"
#include "ui/controls.h"

namespace veltrano::ui {
namespace {

constexpr const char* kFormClass = "TVeltranoForm";
constexpr const char* kFrameClass = "TVeltranoFrame";

DWORD FormStyle(const FormArgs& args) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  if (args.borderIcons & kIconSystemMenu) style |= WS_SYSMENU;
  if (args.borderIcons & kIconMinimize) style |= WS_MINIMIZEBOX;
  return style;
}

DWORD FormExStyle(const FormArgs& args) {
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (args.frame == FrameStyle::kDialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (args.stayOnTop) exStyle |= WS_EX_TOPMOST;
  if (args.taskbarButton) exStyle |= WS_EX_APPWINDOW;
  return exStyle;
}

// The outer rectangle whose client area is exactly the requested size, centred on the
// work area of the desktop when asked.
Bounds OuterBounds(const FormArgs& args, DWORD style, DWORD exStyle) {
  RECT rect{0, 0, args.clientWidth, args.clientHeight};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  Bounds bounds{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (args.centered) {
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
      work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    bounds.x = work.left + (work.right - work.left - bounds.width) / 2;
    bounds.y = work.top + (work.bottom - work.top - bounds.height) / 2;
  } else {
    bounds.x = CW_USEDEFAULT;
    bounds.y = CW_USEDEFAULT;
  }
  return bounds;
}

struct DefaultButtonSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindDefaultPushButton(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<DefaultButtonSearch*>(context);
  auto* button = WidgetAs<Button>(Widget::FromHandle(child));
  if (button && button->IsDefault() && IsWindowVisible(child)) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

// Gives the default look to the focused push button, or to the default buttons when
// the focus is elsewhere, and takes it from every other button.
BOOL CALLBACK RestoreDefaultLook(HWND child, LPARAM focusedButton) {
  if (auto* button = WidgetAs<Button>(Widget::FromHandle(child))) {
    const auto* focused = reinterpret_cast<const Button*>(focusedButton);
    button->ShowAsDefault(focused ? button == focused : button->IsDefault());
  }
  return TRUE;
}

struct ThreadWindows {
  HWND except = nullptr;
  std::vector<HWND> disabled{};
};

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM context) {
  auto* windows = reinterpret_cast<ThreadWindows*>(context);
  if (window != windows->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    windows->disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

// ---- Form

Form::Form(const FormArgs& args) : showAfterCreate_(args.visible) {
  kinds_ |= kFormKind;
  const DWORD style = FormStyle(args);
  const DWORD exStyle = FormExStyle(args);
  CreateHandle({.className = args.className.empty() ? kFormClass : args.className,
                .text = args.caption,
                .style = style,
                .exStyle = exStyle,
                .bounds = OuterBounds(args, style, exStyle),
                .parent = Application().Handle()});
}

Form::~Form() = default;

Form* Form::FromHandle(HWND window) {
  return WidgetAs<Form>(Widget::FromHandle(window));
}

void Form::Show() {
  if (hwnd_) ShowWindow(hwnd_, SW_SHOW);
}

void Form::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

int Form::ClientWidth() const {
  RECT rect{};
  if (hwnd_) GetClientRect(hwnd_, &rect);
  return rect.right - rect.left;
}

int Form::ClientHeight() const {
  RECT rect{};
  if (hwnd_) GetClientRect(hwnd_, &rect);
  return rect.bottom - rect.top;
}

void Form::Close() {
  if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void Form::Release() {
  Application().ReleaseForm(*this);
}

void Form::SetActiveControl(Widget& control) {
  activeControl_ = control.Handle();
  if (hwnd_ && GetActiveWindow() == hwnd_) {
    ::SetFocus(activeControl_);
    RefreshDefaultLook();
  }
}

void Form::RefreshDefaultLook() {
  if (!hwnd_) return;
  HWND focus = GetFocus();
  const Button* focused =
      focus && IsChild(hwnd_, focus) ? WidgetAs<Button>(Widget::FromHandle(focus)) : nullptr;
  EnumChildWindows(hwnd_, RestoreDefaultLook, reinterpret_cast<LPARAM>(focused));
}

HWND Form::DefaultButton() const {
  DefaultButtonSearch search;
  if (hwnd_) EnumChildWindows(hwnd_, FindDefaultPushButton, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Form::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (hwnd_) PostMessageA(hwnd_, message, wParam, lParam);
}

void Form::RunCreateHandler() {
  if (created_) return;
  created_ = true;
  FormHandlerScope running(this);
  Application().Dispatch([this] { OnCreate(); });
  if (showAfterCreate_ && hwnd_ && !Application().Halted()) Show();
}

FormHandlerScope::FormHandlerScope(Form* form) : form_(form) {
  if (form_) ++form_->handlersRunning_;
}

FormHandlerScope::~FormHandlerScope() {
  if (!form_ || --form_->handlersRunning_ > 0 || !form_->releaseDeferred_) return;
  form_->releaseDeferred_ = false;
  form_->Release();  // posted: the form is still whole until the loop takes it
}

int Form::ShowModal() {
  if (!hwnd_ || modal_) return kModalCancel;
  // The modal loop is a handler of the form: a release asked for inside it follows it.
  FormHandlerScope running(this);
  HWND previouslyActive = GetActiveWindow();
  ThreadWindows others{.except = hwnd_};
  EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&others));

  modal_ = true;
  modalResult_ = kModalNone;
  Show();
  SetActiveWindow(hwnd_);
  TApplication& application = Application();
  MSG message{};
  while (modalResult_ == kModalNone && hwnd_ && !application.Halted()) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop ends too
      break;
    }
    if (got == -1) break;
    application.HandleQueuedMessage(message);
  }
  const int result = modalResult_ == kModalNone ? kModalCancel : modalResult_;
  modal_ = false;
  modalResult_ = kModalNone;

  for (HWND window : others.disabled) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  Hide();
  if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
  return result;
}

void Form::EndModal(int result) {
  if (modal_) modalResult_ = result == kModalNone ? kModalCancel : result;
}

void Form::RestoreFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) return;
  HWND target = activeControl_;
  if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target)) {
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target) ::SetFocus(target);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      OnClose();
      if (modal_) modalResult_ = kModalCancel;
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) activeControl_ = focus;
      } else if (!HIWORD(wParam)) {  // not minimised
        RestoreFocus();
      }
      return 0;
    case WM_NEXTDLGCTL:
      // The keyboard navigation asks for the next (or previous, or a given) control.
      if (HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                       : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0)) {
        ::SetFocus(target);
      }
      return 0;
    case DM_GETDEFID:
      if (HWND button = DefaultButton()) return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
      return 0;
    default:
      break;
  }
  if (message >= WM_USER && message < WM_APP) {
    LRESULT result = 0;
    if (OnUserMessage(message, wParam, lParam, result)) return result;
    return DefaultProc(message, wParam, lParam);
  }
  return Window::HandleMessage(message, wParam, lParam);
}

// ---- Frame

Frame::Frame(Widget& parent, const FrameArgs& args) {
  if (args.background) background_.Reset(CreateSolidBrush(*args.background));
  CreateHandle({.className = kFrameClass,
                .style = static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS) |
                         (args.visible ? DWORD{WS_VISIBLE} : 0u),
                .exStyle = WS_EX_CONTROLPARENT,
                .bounds = args.bounds,
                .parent = parent.Handle()});
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND && background_) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get());
    return 1;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace veltrano::ui
