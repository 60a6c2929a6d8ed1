#include <gtest/gtest.h>

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
