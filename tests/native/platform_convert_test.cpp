#include <gtest/gtest.h>

#include "platform/convert.h"
#include "platform/errors.h"

namespace veltrano {
namespace {

TEST(StrToInt, ReadsDecimalTextWithinThe32BitRange) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"7", 7},
      {"  3", 3},
      {"\t5", 5},
      {"+4", 4},
      {"-1", -1},
      {" -12", -12},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"00000000000000000000001", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RefusesAnythingElseNamingTheText) {
  const char* refused[] = {"",      " ",          "+",           "-",
                           "abc",   "7 ",         "3x",          "1.5",
                           "1,000", "2147483648", "-2147483649", "99999999999999999999",
                           "--1",   "+-1",        "- 1",         "0x10",
                           "$10",   "\n7",        "7\r\n",       "１"};
  for (const char* text : refused) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& error) {
      EXPECT_EQ(std::string(error.what()),
                std::string("'") + text + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace veltrano
