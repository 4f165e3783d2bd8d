#include "engine/profile_files.h"

#include <array>
#include <cstdint>

#include "engine/codec.h"
#include "platform/files.h"

namespace veltrano {
namespace {

constexpr std::size_t kDescrambleBlockSize = 10000;

FileHandle OpenForWriting(const std::string& windowsPath) {
  return FileHandle(std::fopen(NativePath(windowsPath).c_str(), "wb"));
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

void DescrambleProfile(const std::string& profilePath, const std::string& workPath) {
  FileHandle profile = OpenForReading(profilePath);
  if (!profile) throw MissingProfileFile(profilePath);
  // A work file that cannot be created is reported by the run when it opens it.
  FileHandle work = OpenForWriting(workPath);
  if (!work) return;
  const bool copied = DescrambleInto(profile.get(), work.get());
  const bool flushed = std::fclose(work.release()) == 0;
  if (!copied || !flushed) {
    std::remove(NativePath(workPath).c_str());
    throw MissingProfileFile(profilePath);
  }
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

void PrepareWorkFile(const ProfilePlaces& places, ProfileSet set, int type) {
  if (type == kWindowsDefaultsType) {
    DeleteFileChecked(WorkFilePath(places.windowsDir));
    return;
  }
  const std::string profilePath = ProfileFilePath(places, set, type);
  if (profilePath.empty()) throw MissingProfileFile("profile of type " + std::to_string(type));
  DescrambleProfile(profilePath, WorkFilePath(places.windowsDir));
}

}  // namespace veltrano
