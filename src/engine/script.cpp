#include "engine/script.h"

#include <algorithm>
#include <cstring>

namespace veltrano {

std::size_t FileByteSource::Read(char* buffer, std::size_t capacity) {
  return std::fread(buffer, 1, capacity, file_);
}

std::size_t MemoryByteSource::Read(char* buffer, std::size_t capacity) {
  const std::size_t count = std::min(capacity, bytes_.size());
  if (count > 0) std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}

int ScriptReader::NextByte() {
  if (offset_ == filled_) {
    filled_ = source_.Read(buffer_, sizeof buffer_);
    offset_ = 0;
    if (filled_ == 0) return -1;
  }
  return static_cast<unsigned char>(buffer_[offset_++]);
}

bool ScriptReader::Next(std::string& line) {
  line.clear();
  lastLineCut_ = false;
  bool started = false;
  while (!ended_) {
    const int byte = NextByte();
    if (byte < 0 || byte == kScriptEndByte) {
      ended_ = true;
      break;
    }
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (byte == '\n') continue;
    }
    if (byte == '\r') {
      skipLineFeed_ = true;
      ++lineNumber_;
      return true;
    }
    started = true;
    if (line.size() < kMaxScriptLineLength) {
      line.push_back(static_cast<char>(byte));
    } else {
      lastLineCut_ = true;
    }
  }
  // The last line may end with the data instead of a CR.
  if (started) ++lineNumber_;
  return started;
}

namespace {

// Characters `first` to `last` (counting from 1), empty when the range is empty or
// lies beyond the text, like a substring copy that clamps instead of failing.
std::string CharactersBetween(std::string_view text, std::size_t first, std::size_t last) {
  if (first < 1 || last < first || first > text.size()) return {};
  last = std::min(last, text.size());
  return std::string(text.substr(first - 1, last - first + 1));
}

}  // namespace

std::string KeyPathOf(std::string_view line) {
  if (line.size() <= 3) return {};
  return CharactersBetween(line, 3, line.size() - 1);
}

ValueLine SplitValueLine(std::string_view line) {
  ValueLine result;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return result;
  const std::size_t p = equals + 1;  // counting from 1
  if (p >= 4) result.name = CharactersBetween(line, 2, p - 2);
  if (p + 1 > line.size()) return result;
  switch (line[p]) {  // the character at p + 1
    case '"':
      result.kind = ValueKind::kString;
      result.value = CharactersBetween(line, p + 2, line.size() - 1);
      break;
    case 'd':
      result.kind = ValueKind::kDword;
      result.value = CharactersBetween(line, p + 7, line.size());
      break;
    case 'h':
      result.kind = ValueKind::kBinary;
      result.value = CharactersBetween(line, p + 5, line.size());
      break;
    default:
      break;
  }
  return result;
}

std::uint64_t PowerOf16(unsigned exponent) {
  std::uint64_t power = 1;
  for (unsigned i = 0; i < exponent; ++i) power *= 16;
  return power;
}

std::uint64_t HexToNumber(std::string_view text) {
  std::uint64_t sum = 0;
  std::uint64_t weight = 1;  // PowerOf16(k), carried along instead of recomputed
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    const auto code = static_cast<std::uint8_t>(*it);
    const std::uint8_t digit = (code >= 'A' && code <= 'F') ? static_cast<std::uint8_t>(code - 55)
                                                            : static_cast<std::uint8_t>(code - 48);
    sum += digit * weight;
    weight *= 16;
  }
  return sum;
}

}  // namespace veltrano
