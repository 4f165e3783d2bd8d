#include "engine/profile_lint.h"

#include <cctype>

#include "engine/script.h"

namespace veltrano {
namespace {

class Linter {
 public:
  explicit Linter(ScriptMode mode) : mode_(mode) {}

  void Check(const std::string& line, std::size_t number, bool cut) {
    number_ = number;
    if (cut) Report("longer than 255 characters: the rest of the line is cut off");
    if (line.find('\n') != std::string::npos) {
      Report("contains a line feed without a carriage return: it is part of the line");
    }
    if (line.empty()) return;
    if (line == kChangeMarker) return CheckMarker();
    if (line[0] == '[') return CheckSection(line);
    if (line[0] == '"') return CheckValue(line);
    CheckOtherLine(line);
  }

  std::vector<LintFinding> TakeFindings() { return std::move(findings_); }

 private:
  void Report(std::string message) { findings_.push_back({number_, std::move(message)}); }

  void CheckMarker() {
    if (mode_ == ScriptMode::kWrite) {
      Report(markerSeen_ ? "a second (CHG) changes nothing"
                         : "(CHG) has no effect in an optimization profile");
    }
    markerSeen_ = true;
    mode_ = ScriptMode::kWrite;
  }

  void CheckSection(const std::string& line) {
    sectionSeen_ = true;
    if (line.size() <= 3) {
      Report("section line of 3 characters or fewer: it opens an empty path");
      return;
    }
    if (line[1] != 'L' && line[1] != 'U') {
      Report(std::string("root character '") + line[1] +
             "' is neither 'L' nor 'U': the key goes under HKEY_USERS");
    }
    if (line.back() != ']') {
      Report("section line does not end with ']': its last character is dropped anyway");
    }
  }

  void CheckValue(const std::string& line) {
    if (!sectionSeen_) Report("value line before the first section line: no key is open");
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      Report(mode_ == ScriptMode::kDelete
                 ? "no '=': the name reads as empty and the key's default value is removed"
                 : "no '=': nothing is written");
      return;
    }
    if (equals < 2 || line[equals - 1] != '"') {
      Report("the name is not closed by a quote right before '='");
    }
    if (mode_ == ScriptMode::kDelete) return;  // only the name matters when deleting
    CheckValueData(line, equals);
  }

  void CheckValueData(const std::string& line, std::size_t equals) {
    const ValueLine value = SplitValueLine(line);
    const std::string form = line.substr(equals + 1);
    switch (value.kind) {
      case ValueKind::kString:
        if (line.size() < equals + 3 || line.back() != '"') {
          Report("string value without its closing quote: its last character is lost");
        }
        if (value.value.find('\\') != std::string::npos) {
          Report("backslash in a string value: written unchanged, not read as an escape");
        }
        break;
      case ValueKind::kDword:
        if (form.rfind("dword:", 0) != 0) {
          Report("value does not start with 'dword:': 6 characters are skipped regardless");
        }
        CheckHexDigits(value.value, 8, "dword");
        break;
      case ValueKind::kBinary:
        if (form.rfind("hex:", 0) != 0) {
          Report("value does not start with 'hex:': 4 characters are skipped regardless");
        }
        if (value.value.find(',') != std::string::npos) {
          Report("hex list of more than one byte: only one byte is written");
        } else {
          CheckHexDigits(value.value, 2, "hex");
        }
        break;
      case ValueKind::kNone:
        Report("the character after '=' is not '\"', 'd' or 'h': nothing is written");
        break;
    }
  }

  void CheckHexDigits(const std::string& digits, std::size_t maxDigits, const char* kind) {
    if (digits.empty()) Report(std::string("empty ") + kind + " value: 0 is written");
    if (digits.size() > maxDigits) {
      Report(std::string("more than ") + std::to_string(maxDigits) + " digits in a " + kind +
             " value: the higher digits are lost");
    }
    for (const char c : digits) {
      if (c >= 'a' && c <= 'f') {
        Report(std::string("lowercase hex digit '") + c + "' counts as " +
               std::to_string(static_cast<unsigned char>(c) - 48) + ", not as " +
               std::to_string(c - 'a' + 10));
      } else if (!std::isdigit(static_cast<unsigned char>(c)) && !(c >= 'A' && c <= 'F')) {
        Report(std::string("'") + c + "' is not a hex digit");
      }
    }
  }

  void CheckOtherLine(const std::string& line) {
    if (line[0] == ';') return;  // a comment, for the program and for regedit alike
    if (number_ == 1 && (line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00")) {
      return;
    }
    std::string folded;
    for (const char c : line) {
      if (c != ' ' && c != '\t')
        folded.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (folded == kChangeMarker) {
      Report("not exactly \"(CHG)\" (blanks or another case): the line is ignored");
      return;
    }
    Report("ignored: the line starts with neither '[' nor '\"' (start comments with ';')");
  }

  ScriptMode mode_;
  std::size_t number_ = 0;
  bool sectionSeen_ = false;
  bool markerSeen_ = false;
  std::vector<LintFinding> findings_;
};

}  // namespace

std::vector<LintFinding> LintScript(ByteSource& source, ScriptMode startMode) {
  Linter linter(startMode);
  ScriptReader reader(source);
  std::string line;
  while (reader.Next(line)) linter.Check(line, reader.LineNumber(), reader.LastLineCut());
  return linter.TakeFindings();
}

}  // namespace veltrano
