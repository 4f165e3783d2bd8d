#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "platform/os_version.h"

namespace veltrano {
namespace {

struct VersionRow {
  const char* label;
  OsVersionInfo info;
  int expectedCode;
};

OsVersionInfo Reported(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                       const char* csd = "") {
  return OsVersionInfo{true, platform, major, minor, csd};
}

// Names the generated tests after their rows instead of the bytes of the parameter.
void PrintTo(const VersionRow& row, std::ostream* out) {
  *out << row.label;
}

std::string RowName(const ::testing::TestParamInfo<VersionRow>& row) {
  std::string name;
  for (const char* c = row.param.label; *c; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name + "_" + std::to_string(row.index);
}

class OsDetection : public ::testing::TestWithParam<VersionRow> {};

TEST_P(OsDetection, GivesTheCodeOfItsRow) {
  EXPECT_EQ(DetectOsCode(GetParam().info), GetParam().expectedCode) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, OsDetection,
    ::testing::Values(
        VersionRow{"Windows 95", Reported(1, 4, 0), 0},
        VersionRow{"Windows 95 OSR2 service text", Reported(1, 4, 0, " B "), 0},
        VersionRow{"Windows 98", Reported(1, 4, 10), 1},
        VersionRow{"Windows 98 SE", Reported(1, 4, 10, " A "), 2},
        VersionRow{"98 with a lower-case a", Reported(1, 4, 10, " a "), 1},
        VersionRow{"98 with A first, not second", Reported(1, 4, 10, "A"), 1},
        VersionRow{"98 with another letter", Reported(1, 4, 10, " B "), 1},
        VersionRow{"Windows Me", Reported(1, 4, 90), 3},
        VersionRow{"9x 4.1", Reported(1, 4, 1), -1}, VersionRow{"9x 3.95", Reported(1, 3, 95), -1},
        VersionRow{"9x 5.0", Reported(1, 5, 0), -1}, VersionRow{"NT 3.51", Reported(2, 3, 51), 4},
        VersionRow{"NT 4.0", Reported(2, 4, 0), 4},
        VersionRow{"NT 4 with any minor", Reported(2, 4, 90), 4},
        VersionRow{"2000", Reported(2, 5, 0), 5}, VersionRow{"XP", Reported(2, 5, 1), 6},
        VersionRow{"Server 2003", Reported(2, 5, 2), 6}, VersionRow{"Vista", Reported(2, 6, 0), 6},
        VersionRow{"7", Reported(2, 6, 1), 6}, VersionRow{"Windows 10", Reported(2, 10, 0), 6},
        VersionRow{"a later NT", Reported(2, 11, 3), 6},
        VersionRow{"Win32s", Reported(0, 3, 10), -1}, VersionRow{"CE", Reported(3, 4, 0), -1},
        VersionRow{"failed call with XP numbers", OsVersionInfo{false, 2, 5, 1, ""}, -1},
        VersionRow{"failed call with 95 numbers", OsVersionInfo{false, 1, 4, 0, ""}, -1}),
    RowName);

struct IdentityRow {
  int osCode;
  OsFamily family;
  const char* software;
  const char* system;
  const char* suffix;
};

TEST(OsIdentity, FollowsASignedTestOfTheCode) {
  const IdentityRow rows[] = {
      {-1, OsFamily::k9x, "Software", "System", ""},
      {0, OsFamily::k9x, "Software", "System", ""},
      {2, OsFamily::k9x, "Software", "System", ""},
      {3, OsFamily::k9x, "Software", "System", ""},
      {4, OsFamily::kNT, "SOFTWARE", "SYSTEM", "2k"},
      {5, OsFamily::kNT, "SOFTWARE", "SYSTEM", "2k"},
      {6, OsFamily::kNT, "SOFTWARE", "SYSTEM", "2k"},
  };
  for (const auto& row : rows) {
    const OsIdentity identity = IdentityForOsCode(row.osCode);
    EXPECT_EQ(identity.osCode, row.osCode);
    EXPECT_EQ(identity.family, row.family) << row.osCode;
    EXPECT_EQ(identity.softwareKeyName, row.software) << row.osCode;
    EXPECT_EQ(identity.systemKeyName, row.system) << row.osCode;
    EXPECT_EQ(identity.osSuffix, row.suffix) << row.osCode;
  }
}

}  // namespace
}  // namespace veltrano
