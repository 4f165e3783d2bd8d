// Forms (top-level windows) and frames (child containers such as wizard pages).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/gdi.h"
#include "ui/window.h"

namespace veltrano::ui {

// Border icons of a form's title bar; combine with |.
inline constexpr unsigned kIconNone = 0;
inline constexpr unsigned kIconSystemMenu = 1;  // system menu and close box
inline constexpr unsigned kIconMinimize = 2;    // needs kIconSystemMenu to be seen

enum class FrameStyle {
  kSingle,  // fixed single border
  kDialog,  // fixed dialog frame
};

// Modal results; the values of the message-box buttons.
inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = IDOK;
inline constexpr int kModalCancel = IDCANCEL;

struct FormArgs {
  std::string caption{};
  int clientWidth = 300;  // exact client size in pixels
  int clientHeight = 200;
  unsigned borderIcons = kIconSystemMenu;
  FrameStyle frame = FrameStyle::kSingle;
  bool stayOnTop = false;
  bool centered = true;  // centred on the desktop's work area
  // A button of its own on the taskbar (WS_EX_APPWINDOW): the application window that
  // owns every form stays hidden, so a main window without one could be minimised
  // out of reach.
  bool taskbarButton = false;
  // Shown by the application as soon as its creation handler has run.
  bool visible = false;
  // Window class name, e.g. the form's own class name so that a driver can find it;
  // "" takes "TVeltranoForm".
  std::string className{};
};

// A top-level window, always created hidden and owned by the application window.
class Form : public Window {
 public:
  static constexpr WidgetKind kKind = kFormKind;
  explicit Form(const FormArgs& args);
  ~Form() override;

  static Form* FromHandle(HWND window);

  void Show();
  void Hide();
  void SetCaption(const std::string& caption) { SetText(caption); }
  std::string Caption() const { return Text(); }
  int ClientWidth() const;
  int ClientHeight() const;

  // Sends WM_CLOSE: OnClose runs and a modal form ends with kModalCancel. Any other
  // form stays as it is unless OnClose takes it away: a hidden form would leave the
  // program running with nothing on the screen.
  void Close();
  // Schedules destruction once control is back in a message loop (see
  // TApplication::ReleaseForm). A form owned by the application is then deleted, but
  // never while one of its handlers is still running (a message of its windows, a tick
  // of a timer it owns, its modal loop): then it goes once the last of them has returned.
  void Release();
  bool HandlerRunning() const { return handlersRunning_ > 0; }

  // Shows the form and runs a message loop until EndModal or WM_CLOSE; the other
  // windows of the thread are disabled meanwhile. Returns the modal result.
  int ShowModal();
  void EndModal(int result);
  bool IsModal() const { return modal_; }

  // The control that gets the keyboard focus whenever the form is activated (by
  // default the first control that takes Tab stops).
  void SetActiveControl(Widget& control);

  // The visible default push button that Enter activates, or nullptr.
  HWND DefaultButton() const;
  // After the focus has moved: the focused push button looks like the default button,
  // or, with the focus elsewhere, the default buttons do.
  void RefreshDefaultLook();

  // Posts a message to this form's queue (e.g. a private WM_USER + n message).
  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // Runs the creation handler OnCreate once inside the dispatcher, then shows the
  // form when FormArgs::visible asks for it. TApplication::CreateForm calls it; a form
  // built directly (e.g. as a member of a test) may call it itself.
  void RunCreateHandler();

 protected:
  // The creation handler ("FormCreate"). An error leaving it is shown in the error box
  // and the form still exists.
  virtual void OnCreate() {}
  // The close request (close box, system menu, Alt+F4, WM_SYSCOMMAND SC_CLOSE,
  // WM_CLOSE, Close()): the form's own way out belongs here.
  virtual void OnClose() {}
  // Messages from WM_USER + 1 to 0x7FFF, e.g. a posted start-up message (WM_USER
  // itself is DM_GETDEFID, which the form answers with its default button). Return true when
  // handled, with the message result in `result`.
  virtual bool OnUserMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                             LRESULT& /*result*/) {
    return false;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class TApplication;
  friend class FormHandlerScope;
  void RestoreFocus();
  // A release that came while a handler was running; it is asked for again once the
  // last handler has returned.
  void DeferRelease() { releaseDeferred_ = true; }

  HWND activeControl_ = nullptr;
  int handlersRunning_ = 0;
  bool releaseDeferred_ = false;
  bool showAfterCreate_ = false;
  bool created_ = false;
  bool modal_ = false;
  int modalResult_ = kModalNone;
};

// Marks a handler of `form` (null: none) as running for the scope's life, so that the
// form is not deleted under it; a release asked for meanwhile follows at its end.
class FormHandlerScope {
 public:
  explicit FormHandlerScope(Form* form);
  ~FormHandlerScope();
  FormHandlerScope(const FormHandlerScope&) = delete;
  FormHandlerScope& operator=(const FormHandlerScope&) = delete;

 private:
  Form* form_;
};

struct FrameArgs {
  Bounds bounds{};
  bool visible = true;
  std::optional<COLORREF> background{};  // default: the face colour
};

// A borderless child container with the parent's background; the controls placed on it
// report to it, and it hands their notifications on to them.
class Frame : public Window {
 public:
  Frame(Widget& parent, const FrameArgs& args);

  // Makes the controls of a frame that defers them (see DeferredFrame); call it before
  // showing the frame, so that a control the system refuses stops the caller instead.
  virtual void Realize() {}

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  OwnedBrush background_;
};

}  // namespace veltrano::ui
