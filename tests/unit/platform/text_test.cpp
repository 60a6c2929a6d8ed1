#include <gtest/gtest.h>

#include "platform/ascii.h"
#include "platform/text.h"

namespace {

TEST(Text, EveryWindows1252ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const QString unicode = platform::ToUnicode(all);
  ASSERT_EQ(unicode.size(), 256);
  EXPECT_EQ(unicode[0x80], QChar(0x20AC));  // euro sign
  EXPECT_EQ(unicode[0xDF], QChar(0x00DF));  // sharp s
  EXPECT_EQ(platform::ToAnsi(unicode), all);
}

TEST(Text, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(platform::ToAnsi(QString::fromUtf8("a\xE2\x82\xAC\xE4\xB8\xAD")), std::string("a\x80?"));
}

TEST(Text, ALoneCarriageReturnBreaksTheLineOnDisplay) {
  EXPECT_EQ(platform::ToDisplay("try again\rClosing connection..."), QString("try again\nClosing connection..."));
  EXPECT_EQ(platform::ToDisplay("a\r\nb\r"), QString("a\r\nb\n"));
}

}  // namespace

namespace {

// Letter case as the program compares names: A to Z only, every other byte its own case.
TEST(AsciiCase, OnlyTheLettersAToZHaveACase) {
  EXPECT_EQ(platform::AsciiUpperCase("a\xe9z_1[`{"), "A\xe9Z_1[`{");
  EXPECT_EQ(platform::AsciiLowerCase("A\xc9Z@"), "a\xc9z@");
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {{"Field12", "FIELD12", true}, {"caf\xe9", "CAF\xc9", false}, {"a", "ab", false},
               {"[", "{", false},            {"", "", true}};
  for (const auto& c : cases) EXPECT_EQ(platform::SameTextNoCase(c.a, c.b), c.same) << c.a << " " << c.b;
  EXPECT_TRUE(platform::EndsWithNoCase("MAP.JPG", ".jpg"));
  EXPECT_FALSE(platform::EndsWithNoCase("jpg", ".jpg"));
  EXPECT_TRUE(platform::StartsWithNoCase("FieLd7", "field"));
}

}  // namespace
