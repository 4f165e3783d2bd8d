#pragma once

#include <string>

namespace veltrano {

// Decimal text to a 32-bit integer: optional blanks in front, an optional sign, digits.
// Anything else raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);

// A number in hexadecimal digits, lowercase unless asked, at least `width` of them.
std::string HexText(unsigned long long value, int width, bool upper = false);

// A number in decimal digits, zeros in front up to `width`.
std::string PaddedNumber(unsigned long long value, int width);

}  // namespace veltrano
