// The base classes every widget is built on. A Widget owns one HWND and is found from
// it through GWLP_USERDATA, so a parent hands a notification straight to the object of
// the child that sent it. A Window has a window procedure of ours (forms, frames, the
// needle gauge); a Control wraps a standard system control (BUTTON, STATIC, ...).
#pragma once

#include <windows.h>

#include <string>

#include "ui/font_cache.h"

namespace veltrano::ui {

// The top-level window that holds `window` (itself when it is one). GetAncestor does
// this only from Windows 98 and 2000 on.
HWND TopLevelWindowOf(HWND window);

// Position and size in client pixels of the parent.
struct Bounds {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The classes a widget found from its handle is asked to be (WidgetAs). Each class marks
// its objects from the start of its constructor's body until the destructor of the class
// it derives from starts, as long as a dynamic_cast would find them: the shipped x86
// program leaves out run-time type information, 12 KB for these few questions.
enum WidgetKind : unsigned char {
  kWindowKind = 1,
  kFormKind = 2,
  kButtonKind = 4,
  kRadioButtonKind = 8,
  kComboBoxKind = 16,
};

class Widget {
 public:
  virtual ~Widget() = default;
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;

  HWND Handle() const { return hwnd_; }
  // The widget that owns the window, or nullptr for a window that is not ours.
  static Widget* FromHandle(HWND window);

  void SetText(const std::string& text);
  std::string Text() const;  // WM_GETTEXT, as screen readers and test drivers see it
  void SetEnabled(bool enabled);
  bool IsEnabled() const;
  // Enabled itself and inside enabled windows up to its top-level window: what a user
  // can click. A disabled window accepts no input, whatever its controls say.
  bool AcceptsInput() const;
  void SetVisible(bool visible);
  // True when the window has WS_VISIBLE itself; its parent may still be hidden.
  bool IsVisible() const;
  void SetBounds(const Bounds& bounds);
  Bounds GetBounds() const;  // in client coordinates of the parent (or screen, top level)
  void SetFocus();
  void SetFont(HFONT font);  // borrowed from the FontCache
  void SetFont(const FontSpec& fontSpec) { SetFont(FontCache::Instance().Get(fontSpec)); }
  bool IsA(WidgetKind kind) const { return (kinds_ & kind) != 0; }

 protected:
  Widget() = default;
  void Attach(HWND window);  // takes ownership, stores `this` in GWLP_USERDATA
  void Detach();             // forgets the handle (the window is gone or going)

  // A message the parent received on behalf of this widget: WM_COMMAND, WM_NOTIFY,
  // WM_CTLCOLOR*, WM_SETCURSOR. Returns true when handled, with the message result in `result`.
  virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND hwnd_ = nullptr;
  unsigned char kinds_ = 0;  // the WidgetKinds it is now
  friend class Window;
};

// `widget` as a T (a class with a WidgetKind kKind) when it is one, else nullptr.
template <class T>
T* WidgetAs(Widget* widget) {
  return widget && widget->IsA(T::kKind) ? static_cast<T*>(widget) : nullptr;
}

// A widget with a window procedure of ours. The procedure finds `this` from
// WM_NCCREATE, runs every message inside the application's dispatcher and forgets the
// handle at WM_NCDESTROY.
class Window : public Widget {
 public:
  static constexpr WidgetKind kKind = kWindowKind;
  ~Window() override;

 protected:
  Window() { kinds_ = kWindowKind; }

  struct CreateArgs {
    std::string className{};  // registered once on first use
    std::string text{};
    DWORD style = 0;
    DWORD exStyle = 0;
    Bounds bounds{};        // outer rectangle
    HWND parent = nullptr;  // parent (child windows) or owner (top-level windows)
    UINT classStyle = CS_HREDRAW | CS_VREDRAW;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    int id = 0;  // control id for child windows
  };
  // Creates the window; throws SystemRefusal when the system refuses.
  void CreateHandle(const CreateArgs& args);
  void DestroyHandle();

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Hands WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* / WM_SETCURSOR to the child widget
  // they concern.
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual void OnDestroyed() {}  // the handle is gone (WM_NCDESTROY)

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // True for a window of this process whose procedure is Procedure: one of ours.
  static bool IsOurs(HWND window);
  friend class Widget;
};

// A window of ours that draws its whole client area through one Paint(HDC, RECT), for
// WM_PAINT (through an off-screen bitmap, so frequent repaints do not flicker) and
// WM_PRINTCLIENT alike, so a test can render it into a memory bitmap.
class PaintedWindow : public Window {
 public:
  virtual void Paint(HDC dc, const RECT& area) const = 0;

 protected:
  PaintedWindow() = default;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintClientBuffered();
};

// A standard system control owned by a C++ object; its parent reflects its
// notifications to it.
class Control : public Widget {
 public:
  ~Control() override;
  int Id() const;

 protected:
  struct CreateArgs {
    const char* className = nullptr;  // a system class: "BUTTON", "STATIC", ...
    std::string text{};
    DWORD style = 0;  // WS_CHILD is always added
    DWORD exStyle = 0;
    Bounds bounds{};
    FontSpec font{};
  };
  // Creates the control on `parent`; throws SystemRefusal when the system refuses.
  Control(Widget& parent, const CreateArgs& args);

  virtual void OnCommand(WORD /*notification*/) {}
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // Colours of a STATIC/BUTTON: return a brush to paint the background, or nullptr
  // to keep the system's colours.
  virtual HBRUSH OnColor(HDC /*dc*/) { return nullptr; }
  // The mouse is over the control: return true once a cursor has been set.
  virtual bool OnSetCursor() { return false; }

  bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace veltrano::ui
