#include "board/watchlist.h"

#include "common/text.h"
#include "platform/ascii.h"

namespace board {

namespace {

std::string Folded(std::string_view text) { return platform::AsciiLowerCase(CleanPlayerName(text)); }

// Glob matching of a folded pattern against a folded name. A "*" that fails to match at one
// place is tried one character further on; only the last "*" seen needs retrying, so the work
// is at most the product of the two lengths.
bool Glob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;  // position of the last "*" in the pattern
  std::size_t resume = 0;                     // where in the name that "*" takes up again
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::string CleanPlayerName(std::string_view name) { return TrimSpaces(StripColorCodes(name)); }

bool MatchesPattern(std::string_view pattern, std::string_view name) { return Glob(Folded(pattern), Folded(name)); }

WatchList::WatchList(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {
  folded_.reserve(patterns_.size());
  for (const std::string& pattern : patterns_) folded_.push_back(Folded(pattern));
}

bool WatchList::Matches(std::string_view name) const {
  if (folded_.empty()) return false;
  const std::string folded = Folded(name);
  for (const std::string& pattern : folded_)
    if (Glob(pattern, folded)) return true;
  return false;
}

}  // namespace board
