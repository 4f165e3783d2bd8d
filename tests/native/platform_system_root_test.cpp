#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "platform/os_version.h"
#include "platform/system_root.h"

namespace veltrano {
namespace {

const std::string kNtPath = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const std::string k9xPath = "Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kFailure = "Registry: Failed read access";

struct Lookup {
  std::string root;
  std::vector<std::string> reports;
};

Lookup LookUp(MemoryRegistry& registry, std::uint32_t platformId) {
  Lookup lookup;
  lookup.root = LookupSystemRoot(
      registry, platformId, [&](const std::string& text) { lookup.reports.push_back(text); },
      std::string("The system cannot find the file specified."));
  return lookup;
}

TEST(SystemRoot, ChoosesTheKeyByPlatformIdAlone) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, kNtPath, "SystemRoot", "C:\\WINNT");
  registry.PutText(kHkeyLocalMachine, k9xPath, "SystemRoot", "C:\\WINDOWS");
  const struct {
    std::uint32_t platformId;
    const char* expected;
  } cases[] = {
      {kPlatformWin32Nt, "C:\\WINNT"},
      {kPlatformWin32Windows, "C:\\WINDOWS"},
      {0, "C:\\WINDOWS"},
      {3, "C:\\WINDOWS"},
  };
  for (const auto& c : cases) {
    const Lookup lookup = LookUp(registry, c.platformId);
    EXPECT_EQ(lookup.root, c.expected) << c.platformId;
    EXPECT_TRUE(lookup.reports.empty());
  }
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(SystemRoot, ReportsFailuresAndGivesEmptyText) {
  const struct {
    const char* label;
    void (*plant)(MemoryRegistry&);
    const char* report;  // nullptr: silent
  } cases[] = {
      {"key missing", [](MemoryRegistry&) {}, "Registry: Failed read access"},
      {"value missing",
       [](MemoryRegistry& r) { r.PutText(kHkeyLocalMachine, kNtPath, "Other", "x"); }, nullptr},
      {"value of size 0",
       [](MemoryRegistry& r) { r.PutValue(kHkeyLocalMachine, kNtPath, "SystemRoot", kRegSz, {}); },
       nullptr},
      {"value not text",
       [](MemoryRegistry& r) { r.PutNumber(kHkeyLocalMachine, kNtPath, "SystemRoot", 7); },
       "Registry: Failed read access\r\n\r\nInvalid data type for 'SystemRoot'\r\n"
       "The system cannot find the file specified."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    MemoryRegistry registry;
    c.plant(registry);
    const Lookup lookup = LookUp(registry, kPlatformWin32Nt);
    EXPECT_EQ(lookup.root, "");
    if (c.report) {
      ASSERT_EQ(lookup.reports.size(), 1u);
      EXPECT_EQ(lookup.reports[0], c.report);
    } else {
      EXPECT_TRUE(lookup.reports.empty());
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

TEST(SystemRoot, ReadsWithReadAccessSoAKeyDenyingWritesStillAnswers) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, kNtPath, "SystemRoot", "C:\\WINDOWS");
  registry.DenyWrite(kHkeyLocalMachine, kNtPath);
  EXPECT_EQ(LookUp(registry, kPlatformWin32Nt).root, "C:\\WINDOWS");
}

TEST(SystemRoot, AsksForTheLastErrorTextOnlyWhenAReadFails) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, kNtPath, "SystemRoot", "C:\\WINDOWS");
  int asked = 0;
  const LastErrorTextSource lastError = [&] {
    ++asked;
    return std::string("Access denied.");
  };
  std::string report;
  const auto reporter = [&](const std::string& text) { report = text; };
  EXPECT_EQ(LookupSystemRoot(registry, kPlatformWin32Nt, reporter, lastError), "C:\\WINDOWS");
  EXPECT_EQ(asked, 0);
  registry.PutValue(kHkeyLocalMachine, kNtPath, "SystemRoot", kRegBinary, {0x43});
  EXPECT_EQ(LookupSystemRoot(registry, kPlatformWin32Nt, reporter, lastError), "");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(report, kFailure + "\r\n\r\nInvalid data type for 'SystemRoot'\r\nAccess denied.");
  // No reporter: still no crash and the empty text.
  EXPECT_EQ(LookupSystemRoot(registry, kPlatformWin32Nt, FailureReporter()), "");
}

}  // namespace
}  // namespace veltrano
