// What a value read from the server means for each kind of input of the settings dialog.
#include <gtest/gtest.h>

#include "settings/values.h"

namespace {

TEST(SettingsReply, SpinAndCheckValues) {
  EXPECT_EQ(settings::SpinValue("20"), 20);
  EXPECT_EQ(settings::SpinValue("-3"), -3);
  EXPECT_EQ(settings::SpinValue("$10"), 16);
  EXPECT_FALSE(settings::SpinValue("0.5"));
  EXPECT_FALSE(settings::SpinValue(""));
  EXPECT_FALSE(settings::SpinValue("99999999999"));

  EXPECT_TRUE(settings::CheckValue("1"));
  for (const char* v : {"0", "", "yes", "01", "1 "}) EXPECT_FALSE(settings::CheckValue(v)) << v;

  // Only what the input shows faithfully may go back unchanged.
  EXPECT_TRUE(settings::SpinShowsValue("20"));
  EXPECT_TRUE(settings::SpinShowsValue("-2147483648"));
  for (const char* v : {"", "-", "0.5", "0x10", "$10", " 5", "2147483648", "12345678901"}) {
    EXPECT_FALSE(settings::SpinShowsValue(v)) << v;
  }
  EXPECT_TRUE(settings::CheckShowsValue("0"));
  EXPECT_TRUE(settings::CheckShowsValue("1"));
  for (const char* v : {"", "2", "yes"}) EXPECT_FALSE(settings::CheckShowsValue(v)) << v;
}

}  // namespace
