// The registry-script grammar: how a work file is cut into lines and what a section
// line or a value line means. Single-byte text, matched case-sensitively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace veltrano {

inline constexpr std::size_t kMaxScriptLineLength = 255;
inline constexpr char kScriptEndByte = 0x1A;

// Where the reader takes its bytes from. Read returns 0 at the end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};

// Reads an open file; the caller keeps ownership of the handle.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(std::FILE* file) : file_(file) {}
  std::size_t Read(char* buffer, std::size_t capacity) override;

 private:
  std::FILE* file_;
};

class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t capacity) override;

 private:
  std::string_view bytes_;
};

// Cuts a script into lines as the runs see them: CR LF or a CR alone ends a line, a
// lone LF is an ordinary character, 0x1A ends the script like the end of the data, and
// a line is cut at 255 characters with the rest of it skipped. Streams its source
// through a small buffer, so a work file is never loaded whole.
class ScriptReader {
 public:
  explicit ScriptReader(ByteSource& source) : source_(source) {}
  ScriptReader(const ScriptReader&) = delete;
  ScriptReader& operator=(const ScriptReader&) = delete;

  // False once the script has ended; `line` is then empty.
  bool Next(std::string& line);
  // Whether the line last returned was longer than 255 characters before the cut.
  bool LastLineCut() const { return lastLineCut_; }
  // 1 for the first line returned.
  std::size_t LineNumber() const { return lineNumber_; }

 private:
  int NextByte();  // -1 at the end of the source

  ByteSource& source_;
  char buffer_[4096];
  std::size_t filled_ = 0;
  std::size_t offset_ = 0;
  bool ended_ = false;
  bool skipLineFeed_ = false;  // the previous line ended with a CR
  bool lastLineCut_ = false;
  std::size_t lineNumber_ = 0;
};

// The small code of a value line's form.
enum class ValueKind { kNone = 0, kString = 1, kDword = 2, kBinary = 3 };

struct ValueLine {
  std::string name;
  std::string value;
  ValueKind kind = ValueKind::kNone;
};

// Characters 3 to length - 1 of a section line (counting from 1): the leading "[" and
// root letter and the last character, whatever it is, are dropped.
std::string KeyPathOf(std::string_view line);

// The name is characters 2 to p - 2 (p = position of the first "="); the character
// after "=" selects the kind and a fixed number of characters is skipped after it.
ValueLine SplitValueLine(std::string_view line);

// Right to left, the k-th character adding digit * 16^k with 64-bit wrap. Only "A" to
// "F" are letters; every other character counts as its code - 48 modulo 256.
std::uint64_t HexToNumber(std::string_view text);
std::uint64_t PowerOf16(unsigned exponent);

}  // namespace veltrano
