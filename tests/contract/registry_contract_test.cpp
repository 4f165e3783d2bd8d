// One suite for both registries: natively it runs against the in-memory registry, under
// Wine against the real one through the Win32 backend. Where the two disagree, the real
// one is right and the in-memory one is mended.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"

#ifdef _WIN32
#include "support/wine_harness.h"
#else
#include "platform/memory_registry.h"
#endif

namespace veltrano {
namespace {

struct StoredValue {
  std::uint32_t type = kRegNone;
  std::string bytes;
};

// The registry under test, with the few ways of looking past the store that the checks
// need. Paths have no leading backslash.
class Backend {
 public:
#ifdef _WIN32
  RegistryApi& Api() {
    return SystemRegistry();
  }
  std::optional<StoredValue> Read(RegKey root, const std::string& path, const std::string& name) {
    const auto raw = wine_harness::ReadRaw(root, path, name);
    if (!raw) return std::nullopt;
    return StoredValue{raw->type, raw->bytes};
  }
  bool KeyExists(RegKey root, const std::string& path) {
    return wine_harness::KeyExists(root, path);
  }
  void DenyWrite(RegKey root, const std::string& path) {
    wine_harness::PutText(root, path, "Planted", "x");
    ASSERT_TRUE(wine_harness::DenyWriteOnKey(root, path));
  }
  void Remove(RegKey root, const std::string& path) {
    ASSERT_TRUE(wine_harness::DeleteTree(root, path));
  }
#else
  RegistryApi& Api() {
    return memory_;
  }
  std::optional<StoredValue> Read(RegKey root, const std::string& path, const std::string& name) {
    const auto value = memory_.GetValue(root, path, name);
    if (!value) return std::nullopt;
    return StoredValue{value->type, std::string(value->data.begin(), value->data.end())};
  }
  bool KeyExists(RegKey root, const std::string& path) {
    return memory_.KeyExists(root, path);
  }
  void DenyWrite(RegKey root, const std::string& path) {
    memory_.PutText(root, path, "Planted", "x");
    memory_.DenyWrite(root, path);
  }
  void Remove(RegKey root, const std::string& path) {
    memory_.DeleteTree(root, path);
  }

 private:
  MemoryRegistry memory_;
#endif
};

const std::string kScratch = "Software\\VeltranoContract";
const std::string kUsersScratch = ".Default\\Software\\VeltranoContract";

std::string Text(const char* bytes, std::size_t count) {
  return std::string(bytes, count);
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { RemoveScratch(); }
  void TearDown() override { RemoveScratch(); }

  void RemoveScratch() {
    backend_.Remove(kHkeyCurrentUser, kScratch);
    backend_.Remove(kHkeyLocalMachine, kScratch);
    backend_.Remove(kHkeyUsers, kUsersScratch);
  }

  std::optional<std::string> TextAt(RegKey root, const std::string& path, const std::string& name) {
    const auto value = backend_.Read(root, path, name);
    if (!value) return std::nullopt;
    return value->bytes.substr(0, value->bytes.find('\0'));
  }

  Backend backend_;
};

struct OpenStep {
  const char* path;
  bool create;
  bool opens;
};

struct OpenCase {
  const char* label;
  RegKey root;
  std::vector<OpenStep> steps;
  const char* landsIn;  // where a write made afterwards arrives
};

TEST_F(RegistryContract, OpensAbsoluteAndRelativePathsAndKeepsTheLastGoodKey) {
  const std::vector<OpenCase> cases = {
      {"absolute create",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract\\A", true, true}},
       "Software\\VeltranoContract\\A"},
      {"relative below the open key",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract", true, true}, {"A\\B", true, true}},
       "Software\\VeltranoContract\\A\\B"},
      {"absolute ignores the open key",
       kHkeyCurrentUser,
       {{"\\Software\\VeltranoContract\\A", true, true},
        {"\\Software\\VeltranoContract\\C", true, true}},
       "Software\\VeltranoContract\\C"},
      {"relative with nothing open starts at the root",
       kHkeyCurrentUser,
       {{"Software\\VeltranoContract\\D", true, true}},
       "Software\\VeltranoContract\\D"},
      {"failed absolute open keeps the previous key",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract\\A", true, true},
        {"\\Software\\VeltranoContract\\Missing", false, false}},
       "Software\\VeltranoContract\\A"},
      {"failed relative open keeps the previous key",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract\\A", true, true}, {"Missing\\Deeper", false, false}},
       "Software\\VeltranoContract\\A"},
      {"open without create of an existing key",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract\\E", true, true},
        {"\\Software", false, true},
        {"VeltranoContract\\E", false, true}},
       "Software\\VeltranoContract\\E"},
      {"names of keys ignore case",
       kHkeyLocalMachine,
       {{"\\Software\\VeltranoContract\\Mixed", true, true},
        {"\\SOFTWARE\\veltranocontract\\MIXED", false, true}},
       "Software\\VeltranoContract\\Mixed"},
      {"the root itself, then relative",
       kHkeyCurrentUser,
       {{"\\", false, true}, {"Software\\VeltranoContract\\F", true, true}},
       "Software\\VeltranoContract\\F"},
      {"users root",
       kHkeyUsers,
       {{"\\.Default\\Software\\VeltranoContract\\G", true, true}},
       ".Default\\Software\\VeltranoContract\\G"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RemoveScratch();
    {
      TRegistry store(backend_.Api());
      store.SelectRoot(c.root);
      for (const auto& step : c.steps) {
        EXPECT_EQ(store.OpenPath(step.path, step.create), step.opens) << step.path;
      }
      store.WriteText("Marker", c.label);
    }
    EXPECT_EQ(TextAt(c.root, c.landsIn, "Marker"), std::optional<std::string>(c.label));
    EXPECT_FALSE(backend_.KeyExists(c.root, "Software\\VeltranoContract\\Missing"));
  }
}

TEST_F(RegistryContract, RecordsThePathOfTheOpenKey) {
  TRegistry store(backend_.Api());
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
  EXPECT_EQ(store.CurrentPath(), "Software\\VeltranoContract");
  ASSERT_TRUE(store.OpenPath("A\\B", true));
  EXPECT_EQ(store.CurrentPath(), "Software\\VeltranoContract\\A\\B");
  EXPECT_FALSE(store.OpenPath("Nowhere", false));
  EXPECT_EQ(store.CurrentPath(), "Software\\VeltranoContract\\A\\B");
  store.CloseCurrent();
  EXPECT_FALSE(store.HasCurrentKey());
  EXPECT_EQ(store.CurrentPath(), "");
}

TEST_F(RegistryContract, WritesWithNoKeyOpenAreRefusedWithTheValueName) {
  struct Case {
    const char* label;
    bool openFirst;
    RegKey rootAfterOpen;
  };
  const Case cases[] = {
      {"nothing ever opened", false, kHkeyLocalMachine},
      {"root changed, then a failed open", true, kHkeyUsers},
      {"closed", true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TRegistry store(backend_.Api());
    store.SelectRoot(kHkeyLocalMachine);
    if (c.openFirst) {
      ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
    }
    if (c.rootAfterOpen == 0) {
      store.CloseCurrent();
    } else {
      store.SelectRoot(c.rootAfterOpen);
      EXPECT_FALSE(store.OpenPath("\\Software\\VeltranoContract\\Missing", false));
    }
    EXPECT_FALSE(store.HasCurrentKey());
    try {
      store.WriteText("LastOptim", "3");
      ADD_FAILURE() << "the write was accepted";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'LastOptim'");
    }
    EXPECT_THROW(store.WriteNumber("MTU", 1500), ERegistryException);
    EXPECT_EQ(store.ReadText("LastOptim"), "");
    EXPECT_FALSE(store.RemoveValue("LastOptim"));
  }
  EXPECT_FALSE(TextAt(kHkeyLocalMachine, kScratch, "LastOptim").has_value());
}

TEST_F(RegistryContract, SelectingTheSameRootKeepsTheKeyOpen) {
  TRegistry store(backend_.Api());
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
  store.SelectRoot(kHkeyLocalMachine);
  EXPECT_TRUE(store.HasCurrentKey());
  store.WriteText("Kept", "yes");
  EXPECT_EQ(TextAt(kHkeyLocalMachine, kScratch, "Kept"), "yes");
}

TEST_F(RegistryContract, StoresEachKindOfValueWithItsExactBytes) {
  struct Case {
    const char* label;
    void (*write)(TRegistry&);
    std::uint32_t type;
    std::string bytes;
  };
  const Case cases[] = {
      {"text with its terminating zero", [](TRegistry& s) { s.WriteText("V", "abc"); }, kRegSz,
       Text("abc\0", 4)},
      {"empty text is one zero byte", [](TRegistry& s) { s.WriteText("V", ""); }, kRegSz,
       Text("\0", 1)},
      {"text with a path in it", [](TRegistry& s) { s.WriteText("V", "C:\\WINDOWS"); }, kRegSz,
       Text("C:\\WINDOWS\0", 11)},
      {"number, little-endian", [](TRegistry& s) { s.WriteNumber("V", 0x01020304u); }, kRegDword,
       Text("\x04\x03\x02\x01", 4)},
      {"largest number", [](TRegistry& s) { s.WriteNumber("V", 0xFFFFFFFFu); }, kRegDword,
       Text("\xFF\xFF\xFF\xFF", 4)},
      {"one byte block",
       [](TRegistry& s) {
         const std::uint8_t byte = 0x7F;
         s.WriteBlock("V", &byte, 1);
       },
       kRegBinary, Text("\x7F", 1)},
      {"block with zero bytes",
       [](TRegistry& s) {
         const std::uint8_t bytes[3] = {0, 1, 0};
         s.WriteBlock("V", bytes, 3);
       },
       kRegBinary, Text("\0\1\0", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    {
      TRegistry store(backend_.Api());
      store.SelectRoot(kHkeyLocalMachine);
      ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
      c.write(store);
    }
    const auto stored = backend_.Read(kHkeyLocalMachine, kScratch, "V");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, c.type);
    EXPECT_EQ(stored->bytes, c.bytes);
  }
}

TEST_F(RegistryContract, ReadsTextAsStoredAndRefusesOtherTypes) {
  RegistryApi& api = backend_.Api();
  RegKey key = 0;
  ASSERT_EQ(api.CreateKey(kHkeyLocalMachine, kScratch, kKeyAllAccess, &key), kErrorSuccess);
  const auto put = [&](const char* name, std::uint32_t type, const std::string& bytes) {
    ASSERT_EQ(api.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           static_cast<std::uint32_t>(bytes.size())),
              kErrorSuccess);
  };
  put("Plain", kRegSz, Text("hello\0", 6));
  put("Expand", kRegExpandSz, Text("%SystemRoot%\\x\0", 15));
  put("Empty", kRegSz, "");
  put("Number", kRegDword, Text("\x01\0\0\0", 4));
  put("Block", kRegBinary, Text("\x41\x42", 2));
  put("EmptyBlock", kRegBinary, "");
  put("TwoTexts", kRegSz, Text("one\0two\0", 8));
  api.CloseKey(key);

  struct Case {
    const char* name;
    const char* text;   // expected text, when it reads
    const char* error;  // expected error text, when it does not
  };
  const Case cases[] = {
      {"Plain", "hello", nullptr},
      {"plain", "hello", nullptr},
      {"Expand", "%SystemRoot%\\x", nullptr},
      {"Empty", "", nullptr},
      {"Absent", "", nullptr},
      {"EmptyBlock", "", nullptr},
      {"TwoTexts", "one", nullptr},
      {"Number", nullptr, "Invalid data type for 'Number'"},
      {"Block", nullptr, "Invalid data type for 'Block'"},
  };
  TRegistry store(backend_.Api(), kKeyRead);
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.text) {
      EXPECT_EQ(store.ReadText(c.name), c.text);
      continue;
    }
    try {
      store.ReadText(c.name);
      ADD_FAILURE() << "read without an error";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), c.error);
    }
  }
}

TEST_F(RegistryContract, ValueNamesIgnoreCaseAndAWriteReplaces) {
  TRegistry store(backend_.Api());
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
  store.WriteText("LastOptim", "1");
  store.WriteText("LASTOPTIM", "3");
  EXPECT_EQ(store.ReadText("lastoptim"), "3");
  store.WriteNumber("lastOptim", 5);  // a different type replaces as well
  const auto stored = backend_.Read(kHkeyLocalMachine, kScratch, "LastOptim");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegDword);
  EXPECT_TRUE(store.RemoveValue("LASTOPTIM"));
  EXPECT_FALSE(backend_.Read(kHkeyLocalMachine, kScratch, "LastOptim").has_value());
}

TEST_F(RegistryContract, RemovesOnlyWhatExists) {
  TRegistry store(backend_.Api());
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
  store.WriteText("First", "Yes");
  store.WriteText("Other", "x");
  EXPECT_TRUE(store.RemoveValue("First"));
  EXPECT_FALSE(store.RemoveValue("First"));
  EXPECT_EQ(store.ReadText("First"), "");
  EXPECT_EQ(TextAt(kHkeyLocalMachine, kScratch, "Other"), "x");
}

TEST_F(RegistryContract, AKeyThatDeniesWritingCannotBeOpenedForWriting) {
  const std::string denied = kScratch + "\\Denied";
  backend_.DenyWrite(kHkeyLocalMachine, denied);
  {
    TRegistry store(backend_.Api());
    store.SelectRoot(kHkeyLocalMachine);
    ASSERT_TRUE(store.OpenPath("\\Software\\VeltranoContract", true));
    EXPECT_FALSE(store.OpenPath("\\Software\\VeltranoContract\\Denied", false));
    EXPECT_FALSE(store.OpenPath("\\Software\\VeltranoContract\\Denied", true));
    EXPECT_FALSE(store.OpenPath("Denied", true));
    // The writes go to the key that stayed open.
    store.WriteText("Planted", "outside");
  }
  EXPECT_EQ(TextAt(kHkeyLocalMachine, denied, "Planted"), "x");
  EXPECT_EQ(TextAt(kHkeyLocalMachine, kScratch, "Planted"), "outside");

  TRegistry reader(backend_.Api(), kKeyRead);
  reader.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(reader.OpenPath("\\Software\\VeltranoContract\\Denied", false));
  EXPECT_EQ(reader.ReadText("Planted"), "x");
  EXPECT_THROW(reader.WriteText("Planted", "y"), ERegistryException);
}

TEST_F(RegistryContract, RawCallsAnswerWithTheSystemsStatusCodes) {
  RegistryApi& api = backend_.Api();
  RegKey key = 0;
  ASSERT_EQ(api.CreateKey(kHkeyCurrentUser, kScratch + "\\A\\B", kKeyAllAccess, &key),
            kErrorSuccess);
  const std::string text = Text("abcdef\0", 7);
  ASSERT_EQ(api.SetValue(key, "V", kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()), 7),
            kErrorSuccess);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(api.QueryValue(key, "V", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(type, kRegSz);
  std::uint8_t small[3] = {};
  size = sizeof small;
  EXPECT_EQ(api.QueryValue(key, "V", &type, small, &size), kErrorMoreData);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(api.QueryValue(key, "Absent", &type, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(api.DeleteValue(key, "Absent"), kErrorFileNotFound);

  struct OpenCase {
    const char* subKey;
    long status;
  };
  const OpenCase opens[] = {
      {"Software\\VeltranoContract\\A\\B", kErrorSuccess},
      {"software\\veltranocontract\\a\\b", kErrorSuccess},
      {"Software\\VeltranoContract\\A\\B\\", kErrorSuccess},
      {"Software\\VeltranoContract\\\\A\\B", kErrorSuccess},
      {"Software\\VeltranoContract\\Missing", kErrorFileNotFound},
      {"\\Software\\VeltranoContract\\A\\B", kErrorBadPathname},
  };
  for (const auto& open : opens) {
    RegKey other = 0;
    EXPECT_EQ(api.OpenKey(kHkeyCurrentUser, open.subKey, kKeyRead, &other), open.status)
        << open.subKey;
    if (open.status != kErrorSuccess) continue;
    EXPECT_EQ(api.QueryValue(other, "V", &type, nullptr, &size), kErrorSuccess) << open.subKey;
    api.CloseKey(other);
  }

  // An empty sub key opens the key itself again; the copy outlives the original.
  RegKey again = 0;
  ASSERT_EQ(api.OpenKey(key, "", kKeyAllAccess, &again), kErrorSuccess);
  EXPECT_EQ(api.CloseKey(key), kErrorSuccess);
  EXPECT_EQ(api.DeleteValue(again, "V"), kErrorSuccess);
  EXPECT_EQ(api.CloseKey(again), kErrorSuccess);

  RegKey readOnly = 0;
  ASSERT_EQ(api.OpenKey(kHkeyCurrentUser, kScratch, kKeyRead, &readOnly), kErrorSuccess);
  EXPECT_EQ(api.SetValue(readOnly, "W", kRegSz, reinterpret_cast<const std::uint8_t*>("x"), 2),
            kErrorAccessDenied);
  EXPECT_EQ(api.DeleteValue(readOnly, "W"), kErrorAccessDenied);
  EXPECT_EQ(api.CloseKey(readOnly), kErrorSuccess);
}

}  // namespace
}  // namespace veltrano
