// Player-name patterns: letter case and colour codes do not count, "*" and "?" stand for
// characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/watchlist.h"

namespace {

TEST(MatchesPattern, CaseColoursAndWildcards) {
  struct Case {
    std::string pattern;
    std::string name;
    bool expected;
  };
  const std::vector<Case> cases = {
      {"Sarge", "Sarge", true},
      {"sarge", "SARGE", true},
      {"sarge", "^1Sar^7ge", true},              // colour codes in the name
      {"^3sarge", "Sarge", true},                // and in the pattern
      {"  sarge ", "Sarge  ", true},             // blanks at the ends
      {"sarge", "Sarge2", false},                // the whole name must match
      {"sarge", "Sarg", false},
      {"sar*", "Sarge", true},
      {"*rge", "Sarge", true},
      {"*", "", true},
      {"*", "anything at all", true},
      {"", "", true},
      {"", "x", false},
      {"*bot*", "Robotron", true},
      {"*bot*", "Bo t", false},
      {"j?hn", "John", true},
      {"j?hn", "Jhn", false},
      {"j?hn", "Joohn", false},
      {"?", "", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"a*b", "abab", true},                      // the star has to take "ba" after trying less
      {"*a", "*ba", true},                        // a literal star in the name is just a character
      {"**x**", "x", true},
      {"Has Space", "Has  Space", false},         // inner blanks count
      {"very*", "^1Very^7LongName", true},
      {"[tag]*", "[TAG]Player", true},
      {"\xC9lan", "\xC9lan", true},               // 8-bit letters match themselves
      {"\xE9lan", "\xC9lan", false},              // but only A to Z have a case
  };
  for (const Case& c : cases) EXPECT_EQ(board::MatchesPattern(c.pattern, c.name), c.expected) << c.pattern << " ~ " << c.name;
}

TEST(MatchesPattern, LongNamesTakeNoLongerThanTheirLengthsTimesThePatterns) {
  // A hostile server may send a very long name; matching must still end quickly.
  const std::string name(20000, 'a');
  EXPECT_FALSE(board::MatchesPattern("*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(board::MatchesPattern("*a*a*a*a*a*a*", name));
}

TEST(WatchList, AnyPatternMatches) {
  const board::WatchList empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_FALSE(empty.Matches("Sarge"));
  const board::WatchList list({"sarge", "*bot*"});
  EXPECT_EQ(list.Patterns(), (std::vector<std::string>{"sarge", "*bot*"}));
  EXPECT_TRUE(list.Matches("^1SARGE"));
  EXPECT_TRUE(list.Matches("Robot"));
  EXPECT_FALSE(list.Matches("Grism"));
}

TEST(CleanPlayerName, ColoursOutBlanksTrimmed) {
  EXPECT_EQ(board::CleanPlayerName("  ^4Blue^2Green ^3x "), "BlueGreen x");
  EXPECT_EQ(board::CleanPlayerName("^^7"), "^");
}

}  // namespace
