#pragma once

#include <string>

namespace veltrano {

// Decimal text to a 32-bit integer: optional blanks in front, an optional sign, digits.
// Anything else raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);

}  // namespace veltrano
