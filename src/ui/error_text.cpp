#include "ui/error_text.h"

namespace veltrano::ui {

std::string ErrorBoxText(const std::string& message) {
  if (message.empty()) return message;
  // Bytes compare unsigned: a message ending in an accented letter gets its stop too.
  const auto last = static_cast<unsigned char>(message.back());
  if (last > static_cast<unsigned char>('.')) return message + ".";
  return message;
}

}  // namespace veltrano::ui
