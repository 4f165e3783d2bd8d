#include "engine/profile_files.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "engine/codec.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/system_root.h"

namespace veltrano {
namespace {

constexpr std::size_t kDescrambleBlockSize = 10000;

// "Cannot create file <path>" and why, in the system's words.
[[noreturn]] void CannotCreate(const std::string& path) {
  std::string why = SystemLastErrorText();
  if (why.empty()) why = std::strerror(errno);
  throw EInOutError("Cannot create file " + path + ". " + why);
}

// The work file made anew for reading and writing. A file of that name that is already
// there (left by a run that stopped, or put there by someone else) is removed first, and
// one that cannot be removed stops the run: it is never applied.
FileHandle CreateWorkFile(const std::string& workPath) {
  if (!RemoveFileIfPresent(workPath)) CannotCreate(workPath);
  FileHandle work(std::fopen(NativePath(workPath).c_str(), "w+b"));
  if (!work) CannotCreate(workPath);
  return work;
}

// Copies the profile through the codec block by block. False when reading or writing
// failed part way: a cut-off work file would apply half a profile as if it were whole.
bool DescrambleInto(std::FILE* profile, std::FILE* work) {
  std::array<std::uint8_t, kDescrambleBlockSize> block;
  ProfileCodec codec;
  for (;;) {
    const std::size_t count = std::fread(block.data(), 1, block.size(), profile);
    if (count > 0) {
      codec.Transform(block.data(), count);
      if (std::fwrite(block.data(), 1, count, work) != count) return false;
    }
    if (count < block.size()) return std::ferror(profile) == 0;
  }
}

FileHandle DescrambleProfile(const std::string& profilePath, const std::string& workPath) {
  FileHandle profile = OpenForReading(profilePath);
  if (!profile) throw MissingProfileFile(profilePath);
  FileHandle work = CreateWorkFile(workPath);
  const bool copied = DescrambleInto(profile.get(), work.get());
  if (!copied || std::fflush(work.get()) != 0) {
    work.reset();
    std::remove(NativePath(workPath).c_str());
    throw MissingProfileFile(profilePath);
  }
  std::rewind(work.get());
  return work;
}

}  // namespace

const char* SetFolder(ProfileSet set) {
  return set == ProfileSet::kOptimization ? "VLO" : "VLU";
}

const char* SetExtension(ProfileSet set) {
  return set == ProfileSet::kOptimization ? ".vlo" : ".vlu";
}

std::string ProfileStem(int type) {
  switch (type) {
    case 1:
      return "modem56k";
    case 2:
      return "modem33k";
    case 3:
      return "lanisdn";  // normal cable / xDSL shares the LAN profile
    case 4:
      return "cabledslpppoe";
    case 5:
      return "lanisdn";
    case 6:
      return "satellite";
    default:
      return {};
  }
}

std::string ProfileFilePath(const ProfilePlaces& places, ProfileSet set, int type) {
  const std::string stem = ProfileStem(type);
  if (stem.empty()) return {};
  return places.programDir + SetFolder(set) + "\\" + stem + places.osSuffix + SetExtension(set);
}

std::string WorkFilePath(const std::string& windowsDir) {
  return windowsDir + "\\winspd.exe";
}

FileHandle OpenForReading(const std::string& windowsPath) {
  return FileHandle(std::fopen(NativePath(windowsPath).c_str(), "rb"));
}

FileHandle DescrambleToWorkFile(const ProfilePlaces& places, ProfileSet set, int type) {
  const std::string profilePath = ProfileFilePath(places, set, type);
  if (profilePath.empty()) throw MissingProfileFile("profile of type " + std::to_string(type));
  return DescrambleProfile(profilePath, WorkFilePath(places.windowsDir));
}

void PrepareWorkFile(const ProfilePlaces& places, ProfileSet set, int type) {
  if (type == kWindowsDefaultsType) {
    DeleteFileChecked(WorkFilePath(places.windowsDir));
    return;
  }
  DescrambleToWorkFile(places, set, type);
}

}  // namespace veltrano
