#pragma once
// The order of list cells when the user sorts a list by a column heading: numbers by their
// value (so 2 comes before 10 and -1 before 0), before words; words without regard to letter
// case. Plain C++.
#include <string_view>

namespace monitor {

// Negative when `a` comes before `b`, zero when they sort together, positive otherwise.
int CompareCells(std::string_view a, std::string_view b);

}  // namespace monitor
