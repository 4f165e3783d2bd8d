#include "ui/window.h"

#include <set>
#include <vector>

#include "ui/application.h"
#include "ui/error_text.h"
#include "ui/gdi.h"
#include "ui/startup_trace.h"
#include "ui/window_class.h"

namespace veltrano::ui {

HWND TopLevelWindowOf(HWND window) {
  while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    HWND parent = GetParent(window);
    if (!parent) break;
    window = parent;
  }
  return window;
}
namespace {

// The property that confirms a GWLP_USERDATA value is one of our widgets: a window we
// do not own may hold anything there.
constexpr const char* kWidgetProperty = "VeltranoWidget";

// Control ids start above the dialog command ids (IDOK, IDCANCEL, ...).
int NextControlId() {
  static int next = 1000;
  return next++;
}

}  // namespace

namespace detail {

void ThrowRefusal(const std::string& what) {
  throw SystemRefusal(what + " (error " + std::to_string(GetLastError()) + ")");
}

HINSTANCE ModuleInstance() {
  HINSTANCE instance = Application().Instance();
  return instance ? instance : GetModuleHandleA(nullptr);
}

void RegisterClassOnce(const std::string& name, WNDPROC procedure, UINT style, HBRUSH background) {
  static std::set<std::string> registered;
  if (registered.count(name)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name.c_str();
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ThrowRefusal("Cannot register window class " + name);
  }
  registered.insert(name);
}

}  // namespace detail

// ---- Widget

Widget* Widget::FromHandle(HWND window) {
  if (!window) return nullptr;
  auto* widget = reinterpret_cast<Widget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!widget) return nullptr;
  // A window of our own classes holds its widget there from WM_NCCREATE to
  // WM_NCDESTROY; a system control confirms it with the property, which asks the
  // window manager (under Wine a server call, and this runs on every message).
  if (!Window::IsOurs(window) && GetPropA(window, kWidgetProperty) != widget) return nullptr;
  return widget;
}

void Widget::Attach(HWND window) {
  hwnd_ = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!Window::IsOurs(window)) SetPropA(window, kWidgetProperty, this);
}

void Widget::Detach() {
  if (!hwnd_) return;
  if (IsWindow(hwnd_)) {
    if (!Window::IsOurs(hwnd_)) RemovePropA(hwnd_, kWidgetProperty);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  }
  hwnd_ = nullptr;
}

void Widget::SetText(const std::string& text) {
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

std::string Widget::Text() const {
  if (!hwnd_) return {};
  const int length = GetWindowTextLengthA(hwnd_);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(hwnd_, buffer.data(), length + 1);
  return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Widget::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Widget::IsEnabled() const {
  return hwnd_ && IsWindowEnabled(hwnd_);
}

bool Widget::AcceptsInput() const {
  for (HWND window = hwnd_; window; window = GetParent(window)) {
    if (!IsWindowEnabled(window)) return false;
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) break;  // the top-level window
  }
  return hwnd_ != nullptr;
}

void Widget::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Widget::IsVisible() const {
  return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Widget::SetBounds(const Bounds& bounds) {
  if (hwnd_) {
    SetWindowPos(hwnd_, nullptr, bounds.x, bounds.y, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Bounds Widget::GetBounds() const {
  if (!hwnd_) return {};
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Widget::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

void Widget::SetFont(HFONT font) {
  if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool Widget::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

// ---- Window

Window::~Window() {
  kinds_ = kWindowKind;  // a Form no more
  DestroyHandle();
}

void Window::CreateHandle(const CreateArgs& args) {
  trace::Mark("create", args.className.c_str());
  detail::RegisterClassOnce(args.className, &Window::Procedure, args.classStyle, args.background);
  HMENU menuOrId =
      (args.style & WS_CHILD)
          ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id ? args.id : NextControlId()))
          : nullptr;
  HWND window = CreateWindowExA(args.exStyle, args.className.c_str(), args.text.c_str(), args.style,
                                args.bounds.x, args.bounds.y, args.bounds.width, args.bounds.height,
                                args.parent, menuOrId, detail::ModuleInstance(), this);
  if (!window) detail::ThrowRefusal("Cannot create window " + args.className);
}

bool Window::IsOurs(HWND window) {
  // Both reads stay in the process for its own windows. The process matters: another
  // instance of the program has the same procedure at the same address.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() &&
         GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Procedure);
}

void Window::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY detaches
  hwnd_ = nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  return DefaultProc(message, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool Window::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_SETCURSOR:
      child = reinterpret_cast<HWND>(wParam);
      break;
    default:
      return false;
  }
  Widget* widget = Widget::FromHandle(child);
  return widget && widget != this && widget->OnReflected(message, wParam, lParam, result);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Attach(window);
  } else {
    self = WidgetAs<Window>(Widget::FromHandle(window));
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);

  LRESULT result = 0;
  // Whatever the message sets off, the form it belongs to outlives the handler.
  FormHandlerScope running(Form::FromHandle(TopLevelWindowOf(window)));
  // A handler that failed (its error is already shown) leaves the message to the system.
  if (!Application().Dispatch([&] { result = self->HandleMessage(message, wParam, lParam); })) {
    result = DefWindowProcA(window, message, wParam, lParam);
  }
  if constexpr (trace::kEnabled) {
    if (message == WM_PAINT) {
      char className[64] = {};
      GetClassNameA(window, className, sizeof className);
      trace::Mark("painted", className);
    }
  }
  if (message == WM_NCDESTROY) {
    self->Detach();
    Application().Dispatch([self] { self->OnDestroyed(); });
  }
  return result;
}

// ---- Control

Control::Control(Widget& parent, const CreateArgs& args) {
  trace::Mark("control", args.className);
  const int id = NextControlId();
  HWND window = CreateWindowExA(
      args.exStyle, args.className, args.text.c_str(), args.style | WS_CHILD, args.bounds.x,
      args.bounds.y, args.bounds.width, args.bounds.height, parent.Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), detail::ModuleInstance(), nullptr);
  if (!window) {
    detail::ThrowRefusal(std::string("Cannot create control ") + args.className);
  }
  Attach(window);
  // Nothing is drawn before the first paint, which the new window is waiting for.
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontCache::Instance().Get(args.font)),
               FALSE);
}

Control::~Control() {
  kinds_ = 0;  // a Button, RadioButton or ComboBox no more
  // The parent's destruction may have taken the window already.
  if (hwnd_ && Widget::FromHandle(hwnd_) == this) {
    HWND window = hwnd_;
    Detach();
    DestroyWindow(window);
  }
  hwnd_ = nullptr;
}

int Control::Id() const {
  return hwnd_ ? GetDlgCtrlID(hwnd_) : 0;
}

bool Control::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(HIWORD(wParam));
      result = 0;
      return true;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH brush = OnColor(reinterpret_cast<HDC>(wParam))) {
        result = reinterpret_cast<LRESULT>(brush);
        return true;
      }
      return false;
    case WM_SETCURSOR:
      if (!OnSetCursor()) return false;
      result = TRUE;
      return true;
    default:
      return false;
  }
}

// ---- PaintedWindow

void PaintedWindow::PaintClientBuffered() {
  PaintDC paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  MemoryDC buffer(paint.Get());
  OwnedBitmap bitmap(CreateCompatibleBitmap(paint.Get(), width, height));
  if (!buffer || !bitmap) {
    Paint(paint.Get(), client);  // no memory for the buffer: draw directly
    return;
  }
  ScopedSelect selected(buffer.Get(), bitmap.Get());
  Paint(buffer.Get(), client);
  BitBlt(paint.Get(), 0, 0, width, height, buffer.Get(), 0, 0, SRCCOPY);
}

LRESULT PaintedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything; erasing first would flicker
    case WM_PAINT:
      PaintClientBuffered();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      Paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace veltrano::ui
