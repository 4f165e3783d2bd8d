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

}  // namespace veltrano
