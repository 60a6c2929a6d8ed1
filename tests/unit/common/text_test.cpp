#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/text.h"

namespace {

TEST(TrimSpaces, RemovesOnlySpacesAtTheEnds) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("     "), "");
  EXPECT_EQ(TrimSpaces(""), "");
  EXPECT_EQ(TrimSpaces("\tx\t"), "\tx\t");
  EXPECT_EQ(TrimSpaces(" \r\n "), "\r\n");
}

// The token NextToken takes from `line`, and the rest it leaves.
std::pair<std::string, std::string> Take(std::string line, int width) {
  std::string token = NextToken(line, width);
  return {token, line};
}

using Split = std::pair<std::string, std::string>;

TEST(NextToken, WidthZeroReadsOneWordAndLeavesTheRest) {
  std::string line = "  12   34";
  EXPECT_EQ(NextToken(line, 0), "12");
  EXPECT_EQ(line, "   34");
  EXPECT_EQ(NextToken(line, 0), "34");
  EXPECT_EQ(line, "");
  EXPECT_EQ(NextToken(line, 0), "");
  EXPECT_EQ(Take("    ", 0), Split("", ""));
  EXPECT_EQ(Take("x", 0), Split("x", ""));
}

TEST(NextToken, WidthFifteenTakesSixteenCharactersThenRunsToTheNextSpace) {
  // The 16-character field, spaces kept.
  EXPECT_EQ(Take("Has Space         bot   16384", 15), Split("Has Space       ", "  bot   16384"));
  EXPECT_EQ(Take("TwentyCharactersLong 50", 15), Split("TwentyCharactersLong", " 50"));
  EXPECT_EQ(Take("SixteenCharsName 7", 15), Split("SixteenCharsName", " 7"));
  EXPECT_EQ(Take("Short", 15), Split("Short", ""));  // shorter than the width: the whole line
  // A space right after the 16th character ends the token.
  EXPECT_EQ(Take("ExtraordinarilyLong Name 9", 15), Split("ExtraordinarilyLong", " Name 9"));
  EXPECT_EQ(Take("a", 255), Split("a", ""));
  EXPECT_EQ(Take("a b", -3), Split("a", " b"));
}

TEST(StripColorCodes, RemovesCaretDigitPairsZeroToSeven) {
  EXPECT_EQ(StripColorCodes("^1Red^7Name"), "RedName");
  EXPECT_EQ(StripColorCodes("a^9b"), "a^9b");
  EXPECT_EQ(StripColorCodes("a^8b"), "a^8b");
  EXPECT_EQ(StripColorCodes("^"), "^");
  EXPECT_EQ(StripColorCodes("x^"), "x^");
  EXPECT_EQ(StripColorCodes("^^1"), "^");   // the second caret and the 1 are a code
  EXPECT_EQ(StripColorCodes("^^12"), "^2");
  EXPECT_EQ(StripColorCodes("^a^0^7"), "^a");
  EXPECT_EQ(StripColorCodes("^1^2^3"), "");
  EXPECT_EQ(StripColorCodes(std::string("a\rb", 3)), "a<b");
  EXPECT_EQ(StripColorCodes(std::string("^\x01", 2)), "^(");  // a special character after a caret is mapped
}

TEST(MapSpecialChar, ReplacesExactlyTheThirtyFourConsoleFontCodes) {
  const std::string expected[] = {
      "(", "1,7,18,24,29,128", ")", "3,9,20,26,31,130", "-", "2,19,25,30", "#", "4,6,8,11",
      " ", "5,22,132", ".", "14,15,28,133", "|", "21,23,131", "<", "13", "[", "16", "]", "17", "=", "129"};
  int mapped[256] = {};
  for (std::size_t i = 0; i < std::size(expected); i += 2) {
    const char replacement = expected[i][0];
    std::string codes = expected[i + 1];
    std::size_t pos = 0;
    while (pos < codes.size()) {
      const std::size_t comma = codes.find(',', pos);
      const int code = std::stoi(codes.substr(pos, comma - pos));
      EXPECT_EQ(MapSpecialChar(static_cast<char>(code)), replacement) << "code " << code;
      mapped[code] = 1;
      pos = comma == std::string::npos ? codes.size() : comma + 1;
    }
  }
  int count = 0;
  for (int code = 0; code < 256; ++code) {
    if (mapped[code]) {
      ++count;
      continue;
    }
    EXPECT_EQ(MapSpecialChar(static_cast<char>(code)), static_cast<char>(code)) << "code " << code;
  }
  EXPECT_EQ(count, 34);
}

TEST(SlashToBackslash, ReplacesEverySlash) {
  EXPECT_EQ(SlashToBackslash(""), "");
  EXPECT_EQ(SlashToBackslash("sarge/blue/x"), "sarge\\blue\\x");
  EXPECT_EQ(SlashToBackslash("a\\b"), "a\\b");
}

}  // namespace
