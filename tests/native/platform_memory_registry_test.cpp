// What the in-memory registry promises beyond the shared contract suite: handle
// bookkeeping, removed keys, write denial below a key and the inspection helpers.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/memory_registry.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

TEST(MemoryRegistry, TheStoreClosesEveryHandleItOpens) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, "Software\\A\\B", "V", "x");
  const struct {
    const char* label;
    void (*use)(TRegistry&);
  } cases[] = {
      {"one open", [](TRegistry& s) { s.OpenPath("\\Software\\A", false); }},
      {"open after open",
       [](TRegistry& s) {
         s.OpenPath("\\Software", false);
         s.OpenPath("A\\B", false);
         s.OpenPath("\\Software\\A", false);
       }},
      {"failed open after open",
       [](TRegistry& s) {
         s.OpenPath("\\Software\\A", false);
         s.OpenPath("\\Missing", false);
       }},
      {"root change",
       [](TRegistry& s) {
         s.OpenPath("\\Software\\A", false);
         s.SelectRoot(kHkeyUsers);
       }},
      {"the root itself", [](TRegistry& s) { s.OpenPath("\\", false); }},
      {"created", [](TRegistry& s) { s.OpenPath("\\Software\\New\\Deeper", true); }},
  };
  for (const auto& c : cases) {
    {
      TRegistry store(registry);
      store.SelectRoot(kHkeyLocalMachine);
      c.use(store);
      EXPECT_LE(registry.OpenHandleCount(), 1u) << c.label;
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u) << c.label;
  }
}

TEST(MemoryRegistry, AHandleToARemovedKeyFails) {
  MemoryRegistry registry;
  RegKey key = 0;
  ASSERT_EQ(registry.CreateKey(kHkeyCurrentUser, "Software\\Gone\\Child", kKeyAllAccess, &key),
            kErrorSuccess);
  EXPECT_TRUE(registry.DeleteTree(kHkeyCurrentUser, "software\\GONE"));
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, "Software\\Gone"));
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, "Software"));
  EXPECT_EQ(
      registry.SetValue(key, "V", kRegDword, reinterpret_cast<const std::uint8_t*>("1234"), 4),
      kErrorKeyDeleted);
  EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registry.CloseKey(key), kErrorInvalidHandle);
  EXPECT_FALSE(registry.DeleteTree(kHkeyCurrentUser, "Software\\Gone"));
}

TEST(MemoryRegistry, WriteDenialStopsWritingOpensAndNewKeysBelow) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, "Software\\Locked\\Existing", "V", "x");
  registry.DenyWrite(kHkeyLocalMachine, "Software\\Locked");
  const struct {
    const char* subKey;
    std::uint32_t access;
    bool create;
    long status;
  } cases[] = {
      {"Software\\Locked", kKeyAllAccess, false, kErrorAccessDenied},
      {"Software\\Locked", kKeyAllAccess, true, kErrorAccessDenied},
      {"Software\\Locked", kKeyRead, false, kErrorSuccess},
      {"Software\\Locked", kKeyRead, true, kErrorSuccess},
      {"Software\\Locked\\New", kKeyAllAccess, true, kErrorAccessDenied},
      {"Software\\Locked\\Existing", kKeyAllAccess, false, kErrorSuccess},
      {"Software", kKeyAllAccess, false, kErrorSuccess},
  };
  for (const auto& c : cases) {
    RegKey key = 0;
    const long status = c.create ? registry.CreateKey(kHkeyLocalMachine, c.subKey, c.access, &key)
                                 : registry.OpenKey(kHkeyLocalMachine, c.subKey, c.access, &key);
    EXPECT_EQ(status, c.status) << c.subKey << " create " << c.create;
    EXPECT_EQ(key == 0, status != kErrorSuccess) << c.subKey;
    if (key) registry.CloseKey(key);
  }
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, "Software\\Locked\\New"));
  registry.AllowWrite(kHkeyLocalMachine, "SOFTWARE\\LOCKED");
  RegKey key = 0;
  EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "Software\\Locked", kKeyAllAccess, &key),
            kErrorSuccess);
  registry.CloseKey(key);
}

TEST(MemoryRegistry, ListsNamesAsFirstWritten) {
  MemoryRegistry registry;
  TRegistry store(registry);
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\QuarnSoft\\Veltrano", true));
  store.WriteText("LastOptim", "1");
  store.WriteText("First", "Yes");
  store.WriteText("LASTOPTIM", "7");
  ASSERT_TRUE(store.OpenPath("\\SOFTWARE\\quarnsoft\\Zeta", true));
  ASSERT_TRUE(store.OpenPath("\\software\\QuarnSoft\\alpha", true));

  const auto values = registry.Values(kHkeyLocalMachine, "software\\quarnsoft\\veltrano");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].name, "LastOptim");
  EXPECT_EQ(values[0].Text(), "7");
  EXPECT_EQ(values[1].name, "First");
  EXPECT_EQ(registry.SubKeyNames(kHkeyLocalMachine, "Software\\QuarnSoft"),
            (std::vector<std::string>{"alpha", "Veltrano", "Zeta"}));
  EXPECT_TRUE(registry.SubKeyNames(kHkeyLocalMachine, "Missing").empty());
  EXPECT_TRUE(registry.Values(kHkeyLocalMachine, "Missing").empty());
}

TEST(MemoryRegistry, RefusesHandlesItNeverGave) {
  MemoryRegistry registry;
  std::uint32_t size = 0;
  RegKey key = 0;
  const RegKey bogus = 0x1234;
  EXPECT_EQ(registry.OpenKey(bogus, "x", kKeyRead, &key), kErrorInvalidHandle);
  EXPECT_EQ(registry.SetValue(0, "x", kRegSz, nullptr, 0), kErrorInvalidHandle);
  EXPECT_EQ(registry.QueryValue(bogus, "x", nullptr, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(registry.DeleteValue(bogus, "x"), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(bogus), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(kHkeyLocalMachine), kErrorSuccess);
}

}  // namespace
}  // namespace veltrano
