#include <gtest/gtest.h>

#include "platform/convert.h"
#include "platform/errors.h"

namespace {

TEST(StrToInt, AcceptsDecimalSignsAndHexadecimal) {
  EXPECT_EQ(platform::StrToInt("27960"), 27960);
  EXPECT_EQ(platform::StrToInt("-12"), -12);
  EXPECT_EQ(platform::StrToInt("+7"), 7);
  EXPECT_EQ(platform::StrToInt("  42"), 42);
  EXPECT_EQ(platform::StrToInt("0x2"), 2);
  EXPECT_EQ(platform::StrToInt("0X0000FF"), 255);
  EXPECT_EQ(platform::StrToInt("$FF"), 255);
  EXPECT_EQ(platform::StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(platform::StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(platform::StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToInt, RefusesEverythingElseWithTheConversionMessage) {
  for (const char* bad : {"", " ", "abc", "two", "12 ", "1.5", "0x", "$", "-", "2147483648", "0x1FFFFFFFF"}) {
    int value = 99;
    EXPECT_FALSE(platform::TryStrToInt(bad, value)) << bad;
    EXPECT_EQ(value, 99);
    EXPECT_EQ(platform::StrToIntDef(bad, 5), 5);
  }
  try {
    platform::StrToInt("abc");
    FAIL();
  } catch (const platform::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(FormatMessage, ReplacesThePlaceholder) {
  EXPECT_EQ(platform::FormatMessage("Unable to write to %s", "/x/Corvane.ini"), "Unable to write to /x/Corvane.ini");
  EXPECT_EQ(platform::FormatMessage("no placeholder", "x"), "no placeholder");
}

}  // namespace
