#include "platform/convert.h"

#include <cstdint>

#include "platform/errors.h"

namespace veltrano {

int StrToInt(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

  // Accumulate the magnitude in 64 bits so the 32-bit limits can be checked exactly.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  const std::size_t firstDigit = pos;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > limit) break;
  }
  if (pos == firstDigit || pos != text.size()) {
    throw EConvertError("'" + text + "' is not a valid integer value");
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// Written out here rather than with snprintf: its formatter is a sizable part of a small
// program.
std::string HexText(unsigned long long value, int width, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % 16]);
    value /= 16;
  } while (value != 0);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string PaddedNumber(unsigned long long value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

}  // namespace veltrano
