#include "platform/memory_profile_strings.h"

#include <algorithm>

#include "platform/files.h"

namespace veltrano {
namespace {

std::string FoldCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
  return text;
}

bool SameName(const std::string& a, const std::string& b) {
  return FoldCase(a) == FoldCase(b);
}

template <typename Item, typename Named>
Item* FindNamed(std::vector<Item>& items, const std::string& name, Named named) {
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&](Item& item) { return SameName(named(item), name); });
  return found == items.end() ? nullptr : &*found;
}

}  // namespace

bool MemoryProfileStrings::WriteString(const std::string& section, const std::string& key,
                                       const std::string& value, const std::string& path) {
  const bool accepted = !FolderMissing(path);
  calls_.push_back(Call{section, key, value, path, accepted});
  if (!accepted) return false;

  auto& sections = files_[FoldCase(path)];
  Section* target = FindNamed(
      sections, section, [](Section & s) -> auto& { return s.name; });
  if (!target) target = &sections.emplace_back(Section{section, {}});
  if (Entry* entry = FindNamed(
          target->entries, key, [](Entry & e) -> auto& { return e.key; })) {
    entry->value = value;
  } else {
    target->entries.push_back(Entry{key, value});
  }
  return true;
}

bool MemoryProfileStrings::DeleteString(const std::string& section, const std::string& key,
                                        const std::string& path) {
  if (FolderMissing(path)) return false;
  auto& sections = files_[FoldCase(path)];
  if (Section* target = FindNamed(
          sections, section, [](Section & s) -> auto& { return s.name; })) {
    std::erase_if(target->entries, [&](const Entry& entry) { return SameName(entry.key, key); });
  }
  return true;
}

void MemoryProfileStrings::MarkFolderMissing(const std::string& folder) {
  std::string folded = FoldCase(folder);
  if (folded.empty() || folded.back() != '\\') folded += '\\';
  missingFolders_.insert(folded);
}

// A folder that does not exist has no folders below it either.
bool MemoryProfileStrings::FolderMissing(const std::string& path) const {
  const std::string directory = FoldCase(DirectoryOf(path));
  return std::any_of(missingFolders_.begin(), missingFolders_.end(),
                     [&](const std::string& missing) { return directory.rfind(missing, 0) == 0; });
}

std::optional<std::string> MemoryProfileStrings::Read(const std::string& path,
                                                      const std::string& section,
                                                      const std::string& key) const {
  for (const auto& s : Sections(path)) {
    if (!SameName(s.name, section)) continue;
    for (const auto& entry : s.entries) {
      if (SameName(entry.key, key)) return entry.value;
    }
  }
  return std::nullopt;
}

std::vector<MemoryProfileStrings::Section> MemoryProfileStrings::Sections(
    const std::string& path) const {
  const auto found = files_.find(FoldCase(path));
  return found == files_.end() ? std::vector<Section>{} : found->second;
}

std::string MemoryProfileStrings::Render(const std::string& path) const {
  std::string text;
  for (const auto& section : Sections(path)) {
    text += "[" + section.name + "]\r\n";
    for (const auto& entry : section.entries) text += entry.key + "=" + entry.value + "\r\n";
  }
  return text;
}

}  // namespace veltrano
