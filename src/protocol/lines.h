#pragma once
// Cutting a reply into lines: at each line feed, which is removed. A carriage return stays in
// its line; a final line feed makes no empty last line; two line feeds in a row give an empty
// line.
#include <cstddef>
#include <string_view>

namespace protocol {

class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}
  // The next line, or false when the text is used up.
  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t lf = rest_.find('\n');
    if (lf == std::string_view::npos) {
      line = rest_;
      rest_ = {};
    } else {
      line = rest_.substr(0, lf);
      rest_.remove_prefix(lf + 1);
    }
    ++number_;
    return true;
  }
  // The number of the line Next gave last, counted from 1.
  std::size_t Number() const { return number_; }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
};

// Key and value of a listing line: the key is the text before the first space (the whole
// line when it has none), the value the rest without spaces at either end.
struct KeyValue {
  std::string_view key;
  std::string_view value;
};
KeyValue SplitKeyValue(std::string_view line);

inline bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

}  // namespace protocol
