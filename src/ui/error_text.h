// The text rule of the application's error box. Portable: no window headers.
#pragma once

#include <string>

namespace veltrano::ui {

// The message with a full stop appended when its last character sorts after '.'
// (compared as unsigned bytes, so accented letters count as sorting after it); an
// empty message stays empty.
std::string ErrorBoxText(const std::string& message);

}  // namespace veltrano::ui
