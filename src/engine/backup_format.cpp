#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/backup.h"
#include "platform/convert.h"

namespace veltrano {
namespace {

constexpr char kFirstLine[] = "Veltrano settings backup";
constexpr char kIniSectionPrefix[] = "INI ";
constexpr char kIniSeparator[] = " :: ";
constexpr char kEndPrefix[] = "End=";

struct RootSpelling {
  RegKey key;
  const char* name;
};
constexpr RootSpelling kRoots[] = {{kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
                                   {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
                                   {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
                                   {kHkeyUsers, "HKEY_USERS"}};

// ---- Writing

bool NeedsHexEscape(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (NeedsHexEscape(c)) {
      quoted += "\\x" + HexText(static_cast<unsigned char>(c), 2);
      continue;
    }
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// Text that reads back as the same bytes: one closing zero and nothing unprintable.
bool IsPlainString(std::uint32_t type, const std::string& data) {
  if (type != kRegSz || data.empty() || data.back() != '\0') return false;
  return std::none_of(data.begin(), data.end() - 1, NeedsHexEscape);
}

std::string DataText(const SavedValue& value) {
  if (!value.present) return "-";
  if (IsPlainString(value.type, value.data)) {
    return Quoted(value.data.substr(0, value.data.size() - 1));
  }
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<std::uint8_t>(value.data[i]);
    return "dword:" + HexText(number, 8);
  }
  std::string text = "hex";
  if (value.type != kRegBinary) {
    text += "(" + HexText(value.type, 1) + ")";
  }
  text += ':';
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    text += (i ? "," : "") + HexText(static_cast<std::uint8_t>(value.data[i]), 2);
  }
  return text;
}

// ---- Reading

class Damaged {
 public:
  explicit Damaged(std::size_t line) : line_(line) {}
  [[noreturn]] void Raise(const std::string& why) const {
    throw EBackupDamaged("The backup file is damaged at line " + std::to_string(line_) + ": " +
                         why);
  }

 private:
  std::size_t line_;
};

int HexDigit(char c);

// "\xHH" with `at` on the x; `at` ends on the last digit.
char ReadEscapedByte(const std::string& line, std::size_t& at, const Damaged& damaged) {
  const int high = at + 1 < line.size() ? HexDigit(line[at + 1]) : -1;
  const int low = at + 2 < line.size() ? HexDigit(line[at + 2]) : -1;
  if (high < 0 || low < 0) damaged.Raise("an escaped byte is not two hex digits");
  at += 2;
  return static_cast<char>(high * 16 + low);
}

// A quoted text at `at`; `at` moves past its closing quote.
std::string ReadQuoted(const std::string& line, std::size_t& at, const Damaged& damaged) {
  if (at >= line.size() || line[at] != '"') damaged.Raise("a quoted text was expected");
  std::string text;
  for (++at; at < line.size(); ++at) {
    char c = line[at];
    if (c == '"') {
      ++at;
      return text;
    }
    if (c == '\\') {
      if (++at >= line.size()) break;
      c = line[at];
      if (c == 'x') c = ReadEscapedByte(line, at, damaged);
    }
    text += c;
  }
  damaged.Raise("a quoted text has no end");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ReadHexBytes(const std::string& text, const Damaged& damaged) {
  std::string bytes;
  for (std::size_t at = 0; at < text.size(); at += 3) {
    const int high = HexDigit(text[at]);
    const int low = at + 1 < text.size() ? HexDigit(text[at + 1]) : -1;
    const bool separated = at + 2 >= text.size() || text[at + 2] == ',';
    if (high < 0 || low < 0 || !separated) damaged.Raise("a byte is not two hex digits");
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

std::uint32_t ReadHexNumber(const std::string& text, const Damaged& damaged) {
  if (text.empty() || text.size() > 8) damaged.Raise("a number is not 1 to 8 hex digits");
  std::uint32_t number = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) damaged.Raise("a number is not 1 to 8 hex digits");
    number = number * 16 + static_cast<std::uint32_t>(digit);
  }
  return number;
}

void ReadData(const std::string& text, SavedValue& value, const Damaged& damaged) {
  value.present = text != "-";
  if (!value.present) return;
  if (!text.empty() && text[0] == '"') {
    std::size_t at = 0;
    value.type = kRegSz;
    value.data = ReadQuoted(text, at, damaged) + '\0';
    if (at != text.size()) damaged.Raise("text follows a string");
  } else if (text.rfind("dword:", 0) == 0) {
    if (text.size() != 14) damaged.Raise("a dword is not 8 hex digits");
    const std::uint32_t number = ReadHexNumber(text.substr(6), damaged);
    value.type = kRegDword;
    value.data.clear();
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
  } else if (text.rfind("hex:", 0) == 0) {
    value.type = kRegBinary;
    value.data = ReadHexBytes(text.substr(4), damaged);
  } else if (text.rfind("hex(", 0) == 0 && text.find("):") != std::string::npos) {
    const std::size_t close = text.find("):");
    value.type = ReadHexNumber(text.substr(4, close - 4), damaged);
    value.data = ReadHexBytes(text.substr(close + 2), damaged);
  } else {
    damaged.Raise("the data is neither a string, dword, hex nor -");
  }
}

struct Section {
  bool ini = false;
  ChangedValue key;        // registry sections
  std::string path, name;  // INI sections
};

Section ReadSection(const std::string& line, const Damaged& damaged) {
  if (line.back() != ']') damaged.Raise("a section has no closing bracket");
  const std::string inside = line.substr(1, line.size() - 2);
  Section section;
  if (inside.rfind(kIniSectionPrefix, 0) == 0) {
    const std::size_t separator = inside.rfind(kIniSeparator);
    if (separator == std::string::npos) damaged.Raise("an INI section names no section");
    section.ini = true;
    section.path = inside.substr(4, separator - 4);
    section.name = inside.substr(separator + 4);
    return section;
  }
  const std::size_t slash = inside.find('\\');
  const std::string root = inside.substr(0, slash);
  for (const auto& spelling : kRoots) {
    if (root != spelling.name) continue;
    section.key.root = spelling.key;
    section.key.keyPath = slash == std::string::npos ? "" : inside.substr(slash + 1);
    return section;
  }
  damaged.Raise("a section names no registry root");
}

void ReadEntry(const std::string& line, const Section* section, SettingsBackup& backup,
               const Damaged& damaged, std::size_t number) {
  if (!section) damaged.Raise("a value comes before any section");
  std::size_t at = 0;
  const std::string name = ReadQuoted(line, at, damaged);
  if (at >= line.size() || line[at] != '=') damaged.Raise("a name has no '='");
  SavedValue value;
  ReadData(line.substr(at + 1), value, damaged);
  if (!section->ini) {
    value.target = section->key;
    value.target.name = name;
    backup.values.push_back(std::move(value));
    backup.valueLines.push_back(number);
    return;
  }
  if (value.present && line[at + 1] != '"') damaged.Raise("an INI line holds no text");
  const std::string text = value.present ? value.data.substr(0, value.data.size() - 1) : "";
  backup.iniLines.push_back({section->path, section->name, name, value.present, text});
  backup.iniLineLines.push_back(number);
}

// "End=12": the last line, with the number of entries before it.
void ReadEnd(const std::string& line, const SettingsBackup& backup, const Damaged& damaged) {
  const std::string count = line.substr(std::strlen(kEndPrefix));
  const std::string expected = std::to_string(backup.values.size() + backup.iniLines.size());
  if (count != expected) damaged.Raise("the file holds another number of entries than it says");
}

void ReadHeader(const std::string& line, SettingsBackup& backup, const Damaged& damaged) {
  if (line.rfind("Taken=", 0) == 0) {
    backup.taken = line.substr(6);
  } else if (line.rfind("Before=", 0) == 0) {
    backup.before = line.substr(7);
  } else {
    damaged.Raise("the line is not understood");
  }
}

}  // namespace

std::string BackupRootName(RegKey root) {
  for (const auto& spelling : kRoots) {
    if (spelling.key == root) return spelling.name;
  }
  return "HKEY_LOCAL_MACHINE";
}

std::string FoldCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

TargetId IdOf(const ChangedValue& target) {
  return TargetId{target.root, "", FoldCase(target.keyPath), FoldCase(target.name)};
}

TargetId IdOf(const SavedIniLine& line) {
  return TargetId{0, FoldCase(line.path), FoldCase(line.section), FoldCase(line.key)};
}

bool IsPlainTargetName(const std::string& name) {
  return name.find_first_of(std::string("\\\0\r\n", 4)) == std::string::npos;
}

std::string UnfitData(const SavedValue& value) {
  if (!value.present) return "";
  const std::uint32_t type = value.type;
  const bool known = type == kRegSz || type == kRegExpandSz || type == kRegBinary ||
                     type == kRegDword || type == kRegMultiSz;
  if (!known) return "a value of type 0x" + HexText(type, 1) + ", which Veltrano never restores";
  if (type == kRegDword && value.data.size() != 4) return "a dword that is not four bytes long";
  if (value.data.size() > kLargestValueData) {
    return "a value of " + std::to_string(value.data.size()) + " bytes, more than " +
           std::to_string(kLargestValueData);
  }
  return "";
}

std::string UnfitData(const SavedIniLine& line) {
  if (line.key.size() > kLongestIniText || line.value.size() > kLongestIniText) {
    return "an INI line longer than " + std::to_string(kLongestIniText) + " bytes";
  }
  for (char c : line.value) {
    const auto byte = static_cast<unsigned char>(c);
    // An INI file is lines of text: a line break in the data would write lines of its own.
    if (byte < 0x20 && c != '\t')
      return "an INI text holding the control byte 0x" + HexText(byte, 2);
  }
  return "";
}

std::string FormatBackup(const SettingsBackup& backup) {
  std::string text = std::string(kFirstLine) + "\r\n";
  text += "Taken=" + backup.taken + "\r\nBefore=" + backup.before + "\r\n";
  std::string section;
  const auto startSection = [&](const std::string& header) {
    if (header == section) return;
    section = header;
    text += "\r\n[" + header + "]\r\n";
  };
  for (const SavedValue& value : backup.values) {
    const std::string path = value.target.keyPath;
    startSection(BackupRootName(value.target.root) + (path.empty() ? "" : "\\" + path));
    text += Quoted(value.target.name) + "=" + DataText(value) + "\r\n";
  }
  for (const SavedIniLine& line : backup.iniLines) {
    startSection(kIniSectionPrefix + line.path + kIniSeparator + line.section);
    text += Quoted(line.key) + "=" + (line.present ? Quoted(line.value) : "-") + "\r\n";
  }
  return text + "\r\n" + kEndPrefix +
         std::to_string(backup.values.size() + backup.iniLines.size()) + "\r\n";
}

SettingsBackup ParseBackup(const std::string& text) {
  SettingsBackup backup;
  Section section;
  bool inSection = false;
  bool ended = false;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Damaged damaged(++number);
    if (ended) {
      if (!line.empty()) damaged.Raise("text follows the end line");
    } else if (number == 1) {
      if (line != kFirstLine) damaged.Raise("it is not a Veltrano backup");
    } else if (line.empty() || line[0] == ';') {
      continue;
    } else if (line[0] == '[') {
      section = ReadSection(line, damaged);
      inSection = true;
    } else if (line.rfind(kEndPrefix, 0) == 0) {
      ReadEnd(line, backup, damaged);
      ended = true;
    } else if (line[0] == '"') {
      ReadEntry(line, inSection ? &section : nullptr, backup, damaged, number);
    } else if (!inSection) {
      ReadHeader(line, backup, damaged);
    } else {
      damaged.Raise("the line is not understood");
    }
  }
  if (number == 0) Damaged(1).Raise("the file is empty");
  if (!ended) Damaged(number).Raise("the file ends before its end line");
  return backup;
}

}  // namespace veltrano
