#include <gtest/gtest.h>

#include <string>

#include "common/password.h"

namespace {

TEST(ScramblePassword, KeyBytesCountDownFromSixtyThreeAndWrap) {
  const std::string zeros(600, '\0');
  const std::string key = ScramblePassword(zeros);
  ASSERT_EQ(key.size(), 600u);
  EXPECT_EQ(static_cast<unsigned char>(key[0]), 63);
  EXPECT_EQ(static_cast<unsigned char>(key[1]), 62);
  EXPECT_EQ(static_cast<unsigned char>(key[63]), 0);    // position 64
  EXPECT_EQ(static_cast<unsigned char>(key[64]), 255);  // position 65
  EXPECT_EQ(static_cast<unsigned char>(key[65]), 254);
  for (std::size_t i = 256; i < key.size(); ++i) EXPECT_EQ(key[i], key[i - 256]) << i;
  EXPECT_EQ(ScramblePassword("?"), std::string(1, '\0'));  // a character equal to its key byte
}

TEST(ScramblePassword, TwiceGivesTheTextBackForEveryLength) {
  for (std::size_t length = 0; length <= 600; ++length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>((i * 37 + length) % 256);
    const std::string once = ScramblePassword(text);
    ASSERT_EQ(once.size(), length);
    if (length > 0) {
      EXPECT_NE(once, text);
    }
    ASSERT_EQ(ScramblePassword(once), text) << "length " << length;
  }
}

}  // namespace
