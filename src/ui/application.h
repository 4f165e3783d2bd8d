// The application object: title, hidden application window, message loop, error box,
// message boxes and the end of the program. One per process: Application().
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/error_text.h"
#include "ui/form.h"

namespace veltrano::ui {

// Thrown by Halt() while a halt observer is set, so an in-process test survives the
// end of the program. Not a std::exception: no handler of the program catches it, and
// the dispatcher swallows it silently.
class ProgramHalted {
 public:
  explicit ProgramHalted(int code) : code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

using HaltObserver = std::function<void(int code)>;
using MessageBoxObserver =
    std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;

class TApplication {
 public:
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Registers the window classes (once) and creates the hidden application window
  // (class "TApplication", text = Title()). Later calls do nothing.
  void Initialize(HINSTANCE instance);
  bool IsInitialized() const { return window_ != nullptr; }
  HINSTANCE Instance() const { return instance_; }
  HWND Handle() const { return window_; }

  void SetTitle(const std::string& title);  // also the application window's text
  const std::string& Title() const { return title_; }

  // Run() shows the main form (the first form created through CreateForm) unless this
  // is cleared before.
  bool ShowMainForm = true;
  Form* MainForm() const { return mainForm_; }

  // Builds a form owned by the application until the program ends (or the form is
  // released), runs its creation handler and shows it when it asks to be visible.
  // The returned reference dies with a release of the form.
  template <typename T, typename... Args>
  T& CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T& created = *form;
    Adopt(std::move(form));
    created.RunCreateHandler();
    return created;
  }

  // The message loop, until WM_QUIT; returns its exit code.
  int Run();
  // Handles the messages waiting in the queue, then returns. False when WM_QUIT was
  // met (it is posted again for the outer loop).
  bool ProcessMessages();
  // Handles one queued message the way the loops do (keyboard navigation included).
  void HandleQueuedMessage(MSG& message);

  // Asks the message loop to end (PostQuitMessage, exit code 0).
  void Terminate();
  // Ends the program at once: no window is asked, nothing is saved.
  [[noreturn]] void Halt(int code = 0);

  // Every message box of the program goes through here. A null owner takes the active
  // window, or the application window.
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags,
                     HWND owner = nullptr);
  // The error box: ErrorBoxText(message), caption Title(), stop icon, OK.
  void ShowError(const std::string& message);

  // Runs a handler. An escaping std::exception is shown in the error box; a
  // ProgramHalted is swallowed; anything else is shown as an unknown error. Returns
  // true when the handler ran to its end. After an observed halt no handler runs.
  bool Dispatch(const std::function<void()>& handler) noexcept;

  // Destroys the form once control is back in a message loop (a posted message), and
  // deletes it when the application owns it.
  void ReleaseForm(Form& form);

  // Test seams. While a halt observer is set, Halt() calls it and throws ProgramHalted
  // instead of ending the process, and the application counts as halted: loops return
  // and handlers stop running until ClearHalt(). While a message-box observer is set,
  // boxes are recorded and answered by it instead of shown.
  void SetHaltObserver(HaltObserver observer);
  const HaltObserver& GetHaltObserver() const { return haltObserver_; }
  void SetMessageBoxObserver(MessageBoxObserver observer);
  const MessageBoxObserver& GetMessageBoxObserver() const { return messageBoxObserver_; }
  bool Halted() const { return halted_; }
  void ClearHalt() { halted_ = false; }
  // Deletes every form the application owns (their windows too).
  void DestroyOwnedForms();

 private:
  friend TApplication& Application();
  TApplication() = default;
  ~TApplication();

  void Adopt(std::unique_ptr<Form> form);
  void FinishRelease(HWND window, const Form* form);
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  std::string title_;
  Form* mainForm_ = nullptr;
  std::vector<std::unique_ptr<Form>> forms_;
  HaltObserver haltObserver_;
  MessageBoxObserver messageBoxObserver_;
  bool halted_ = false;
};

TApplication& Application();

}  // namespace veltrano::ui
