#include "engine/backup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

#include "platform/files.h"

namespace veltrano {
namespace {

constexpr char kFirstLine[] = "Veltrano settings backup";
constexpr char kIniSectionPrefix[] = "INI ";
constexpr char kIniSeparator[] = " :: ";
constexpr char kFilePrefix[] = "backup-";
constexpr std::size_t kKeptLatest = 10;

struct RootSpelling {
  RegKey key;
  const char* name;
};
constexpr RootSpelling kRoots[] = {{kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
                                   {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
                                   {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
                                   {kHkeyUsers, "HKEY_USERS"}};

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
           return fold(x) == fold(y);
         });
}

// ---- Writing

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// Text that reads back as the same bytes: one closing zero and nothing unprintable.
bool IsPlainString(std::uint32_t type, const std::string& data) {
  if (type != kRegSz || data.empty() || data.back() != '\0') return false;
  return std::none_of(data.begin(), data.end() - 1,
                      [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string DataText(const SavedValue& value) {
  if (!value.present) return "-";
  if (IsPlainString(value.type, value.data)) {
    return Quoted(value.data.substr(0, value.data.size() - 1));
  }
  char buffer[16];
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<std::uint8_t>(value.data[i]);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    return buffer;
  }
  std::string text = "hex";
  if (value.type != kRegBinary) {
    std::snprintf(buffer, sizeof buffer, "(%x)", value.type);
    text += buffer;
  }
  text += ':';
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x",
                  static_cast<std::uint8_t>(value.data[i]));
    text += buffer;
  }
  return text;
}

std::string RootText(RegKey root) {
  for (const auto& spelling : kRoots) {
    if (spelling.key == root) return spelling.name;
  }
  return "HKEY_LOCAL_MACHINE";
}

// ---- Reading

class Damaged {
 public:
  explicit Damaged(std::size_t line) : line_(line) {}
  [[noreturn]] void Raise(const std::string& why) const {
    throw EBackupDamaged("The backup file is damaged at line " + std::to_string(line_) + ": " +
                         why + ". Nothing has been restored");
  }

 private:
  std::size_t line_;
};

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
               const Damaged& damaged) {
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
    return;
  }
  if (value.present && !IsPlainString(value.type, value.data)) {
    damaged.Raise("an INI line holds no text");
  }
  const std::string text = value.present ? value.data.substr(0, value.data.size() - 1) : "";
  backup.iniLines.push_back({section->path, section->name, name, value.present, text});
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

// ---- Files

std::string LocalTimeText(const char* format) {
  const std::time_t now = std::time(nullptr);
  char text[32] = {};
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, format, local);
  return text;
}

// "backup-0007-20261208-132005.txt" is number 7; 0 for a file that is no backup.
unsigned long BackupNumber(const std::string& name) {
  if (name.rfind(kFilePrefix, 0) != 0 || name.size() < 12) return 0;
  return std::strtoul(name.c_str() + 7, nullptr, 10);
}

// The key of the last target stays open for the next: a script's values come key by key.
class OpenKeyCache {
 public:
  explicit OpenKeyCache(RegistryApi& registry) : registry_(registry) {}
  ~OpenKeyCache() { Close(); }
  OpenKeyCache(const OpenKeyCache&) = delete;
  OpenKeyCache& operator=(const OpenKeyCache&) = delete;

  // 0 when the key is not there (or cannot be read): its values count as absent.
  RegKey Open(const ChangedValue& target) {
    if (key_ != 0 && target.root == root_ && SameText(target.keyPath, path_)) return key_;
    Close();
    root_ = target.root;
    path_ = target.keyPath;
    if (registry_.OpenKey(root_, path_, kKeyRead, &key_) != kErrorSuccess) key_ = 0;
    return key_;
  }

 private:
  void Close() {
    if (key_ != 0 && !IsPredefinedRoot(key_)) registry_.CloseKey(key_);
    key_ = 0;
  }

  RegistryApi& registry_;
  RegKey root_ = 0;
  std::string path_;
  RegKey key_ = 0;
};

std::string Folded(const ChangedValue& target) {
  std::string text = std::to_string(target.root) + "\\" + target.keyPath + "\\" + target.name;
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// Most values fit the first buffer; a bigger one is asked for again at its size.
void ReadValue(RegistryApi& registry, RegKey key, SavedValue& value) {
  std::string data(256, '\0');
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
  long status = registry.QueryValue(key, value.target.name, &value.type, bytes, &size);
  if (status == kErrorMoreData) {
    data.assign(size, '\0');
    bytes = reinterpret_cast<std::uint8_t*>(data.data());
    status = registry.QueryValue(key, value.target.name, &value.type, bytes, &size);
  }
  value.present = status == kErrorSuccess;
  value.data = value.present ? data.substr(0, size) : std::string();
  if (!value.present) value.type = kRegNone;
}

// A value that no earlier change touched still holds the user's own data: the first
// backup takes it in, so that it keeps the state before Veltrano first changed anything,
// whichever change touched a value first.
void AddNewValuesToFirst(const std::string& firstPath, const SettingsBackup& backup) {
  const auto text = ReadWholeFile(firstPath);
  if (!text) return;
  SettingsBackup first;
  try {
    first = ParseBackup(*text);
  } catch (const EBackupDamaged&) {
    return;  // left as it is, for a restore to refuse with its line
  }
  std::set<std::string> known;
  for (const SavedValue& value : first.values) known.insert(Folded(value.target));
  const std::size_t before = first.values.size();
  for (const SavedValue& value : backup.values) {
    if (known.insert(Folded(value.target)).second) first.values.push_back(value);
  }
  if (first.values.size() != before) ReplaceWholeFile(firstPath, FormatBackup(first));
}

std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

}  // namespace

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
    startSection(RootText(value.target.root) + (path.empty() ? "" : "\\" + path));
    text += Quoted(value.target.name) + "=" + DataText(value) + "\r\n";
  }
  for (const SavedIniLine& line : backup.iniLines) {
    startSection(kIniSectionPrefix + line.path + kIniSeparator + line.section);
    text += Quoted(line.key) + "=" + (line.present ? Quoted(line.value) : "-") + "\r\n";
  }
  return text;
}

SettingsBackup ParseBackup(const std::string& text) {
  SettingsBackup backup;
  Section section;
  bool inSection = false;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Damaged damaged(++number);
    if (number == 1) {
      if (line != kFirstLine) damaged.Raise("it is not a Veltrano backup");
    } else if (line.empty() || line[0] == ';') {
      continue;
    } else if (line[0] == '[') {
      section = ReadSection(line, damaged);
      inSection = true;
    } else if (line[0] == '"') {
      ReadEntry(line, inSection ? &section : nullptr, backup, damaged);
    } else if (!inSection) {
      ReadHeader(line, backup, damaged);
    } else {
      damaged.Raise("the line is not understood");
    }
  }
  if (number == 0) Damaged(1).Raise("the file is empty");
  return backup;
}

SettingsBackup CaptureSettings(RegistryApi& registry, ProfileStringApi& ini,
                               const std::vector<ChangedValue>& targets,
                               const std::string& windowsDir, const std::string& before) {
  SettingsBackup backup{LocalTimeText("%Y-%m-%d %H:%M:%S"), before, {}, {}};
  std::set<std::string> seen;
  OpenKeyCache keys(registry);
  for (const ChangedValue& target : targets) {
    if (!seen.insert(Folded(target)).second) continue;  // each value once, whatever its case
    SavedValue value{target, false, kRegNone, {}};
    if (const RegKey key = keys.Open(target)) ReadValue(registry, key, value);
    backup.values.push_back(std::move(value));
  }
  for (const char* file : {"\\win.ini", "\\system.ini"}) {
    for (const char* port : kPortEntries) {
      const std::string path = windowsDir + file;
      const auto line = ini.ReadString("Ports", port, path);
      backup.iniLines.push_back({path, "Ports", port, line.has_value(), line.value_or("")});
    }
  }
  return backup;
}

void RestoreSettings(const SettingsBackup& backup, RegistryApi& registry, ProfileStringApi& ini) {
  for (const SavedValue& value : backup.values) {
    const ChangedValue& target = value.target;
    RegKey key = 0;
    long status = value.present
                      ? registry.CreateKey(target.root, target.keyPath, kKeyAllAccess, &key)
                      : registry.OpenKey(target.root, target.keyPath, kKeyAllAccess, &key);
    if (!value.present && status == kErrorFileNotFound) continue;  // no key, no value
    if (status == kErrorSuccess) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(value.data.data());
      const auto size = static_cast<std::uint32_t>(value.data.size());
      status = value.present ? registry.SetValue(key, target.name, value.type, bytes, size)
                             : registry.DeleteValue(key, target.name);
      if (!IsPredefinedRoot(key)) registry.CloseKey(key);
    }
    if (status == kErrorSuccess || (!value.present && status == kErrorFileNotFound)) continue;
    throw ERegistryException((value.present ? "Failed to set data for '" : "Failed to delete '") +
                             target.name + "'");
  }
  for (const SavedIniLine& line : backup.iniLines) {
    const bool done = line.present ? ini.WriteString(line.section, line.key, line.value, line.path)
                                   : ini.DeleteString(line.section, line.key, line.path);
    if (!done) throw EIniFileException("Unable to write to " + line.path);
  }
}

std::string BackupFolder(const std::string& programDir) {
  return programDir + "Backup";
}

std::vector<std::string> BackupFiles(const std::string& programDir) {
  std::vector<std::string> names;
  for (const std::string& name : FileNamesIn(BackupFolder(programDir))) {
    if (BackupNumber(name) > 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return BackupNumber(a) < BackupNumber(b);
  });
  for (std::string& name : names) name = BackupFolder(programDir) + "\\" + name;
  return names;
}

std::string SaveBackup(const std::string& programDir, const SettingsBackup& backup) {
  const std::string folder = BackupFolder(programDir);
  std::vector<std::string> files = BackupFiles(programDir);
  const unsigned long next = files.empty() ? 1 : BackupNumber(NameOf(files.back())) + 1;
  char name[64];
  std::snprintf(name, sizeof name, "%s%04lu-%s.txt", kFilePrefix, next,
                LocalTimeText("%Y%m%d-%H%M%S").c_str());
  const std::string path = folder + "\\" + name;
  if (!EnsureFolder(folder) || !WriteWholeFile(path, FormatBackup(backup))) {
    throw EInOutError("Cannot save a backup of the network settings in " + folder +
                      ". Nothing has been changed");
  }
  if (!files.empty()) AddNewValuesToFirst(files.front(), backup);
  files.push_back(path);
  // The first backup holds the state before Veltrano first changed anything.
  for (std::size_t i = 1; i + kKeptLatest < files.size(); ++i) RemoveFileIfPresent(files[i]);
  return path;
}

void BackUpBeforeChange(RegistryApi& registry, ProfileStringApi& ini,
                        const std::vector<ChangedValue>& targets, const std::string& windowsDir,
                        const std::string& programDir, const std::string& before) {
  SaveBackup(programDir, CaptureSettings(registry, ini, targets, windowsDir, before));
}

}  // namespace veltrano
