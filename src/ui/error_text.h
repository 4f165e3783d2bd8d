// The text rule of the application's error box. Portable: no window headers.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace veltrano::ui {

// What the widget set throws when the system refuses a window, a menu or the clipboard;
// its text is the error box's. (A std::runtime_error would bring the library's older
// string along for its message.)
class SystemRefusal : public std::exception {
 public:
  explicit SystemRefusal(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The message with a full stop appended when its last character sorts after '.'
// (compared as unsigned bytes, so accented letters count as sorting after it); an
// empty message stays empty.
std::string ErrorBoxText(const std::string& message);

}  // namespace veltrano::ui
