#pragma once
// The players an administrator watches for: a list of name patterns. A pattern matches a
// player's name without regard to letter case (A to Z) and with the colour codes of both taken
// out; "*" stands for any run of characters, "?" for any one character, and blanks at either
// end of both do not count. "sarge" matches "^1Sarge", "*bot*" matches "Robotron", "J?hn"
// matches "John" and "JOHN".
//
// Plain C++.
#include <string>
#include <string_view>
#include <vector>

namespace board {

// A player's name as the board compares and shows it: colour codes out, blanks at the ends
// trimmed.
std::string CleanPlayerName(std::string_view name);

// Whether the player's name (as the server sent it) matches the pattern.
bool MatchesPattern(std::string_view pattern, std::string_view name);

class WatchList {
 public:
  WatchList() = default;
  explicit WatchList(std::vector<std::string> patterns);

  const std::vector<std::string>& Patterns() const { return patterns_; }
  bool Empty() const { return patterns_.empty(); }
  // Whether any pattern matches the name (as the server sent it, or already cleaned).
  bool Matches(std::string_view name) const;

 private:
  std::vector<std::string> patterns_;
  std::vector<std::string> folded_;  // each pattern cleaned and in lower case
};

}  // namespace board
