#include "common/text.h"

#include <array>

namespace {

// Console-font codes without a plain form, and the look-alike each is shown as.
constexpr std::array<unsigned char, 256> BuildSpecialCharMap() {
  std::array<unsigned char, 256> map{};
  for (int i = 0; i < 256; ++i) map[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
  auto set = [&map](unsigned char replacement, std::initializer_list<int> codes) {
    for (int code : codes) map[static_cast<std::size_t>(code)] = replacement;
  };
  set('(', {1, 7, 18, 24, 29, 128});
  set(')', {3, 9, 20, 26, 31, 130});
  set('-', {2, 19, 25, 30});
  set('#', {4, 6, 8, 11});
  set(' ', {5, 22, 132});
  set('.', {14, 15, 28, 133});
  set('|', {21, 23, 131});
  set('<', {13});
  set('[', {16});
  set(']', {17});
  set('=', {129});
  return map;
}

constexpr std::array<unsigned char, 256> kSpecialCharMap = BuildSpecialCharMap();

}  // namespace

namespace common {

std::string_view TrimSpacesView(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string_view NextTokenView(std::string_view& line, std::size_t width) {
  line = TrimSpacesView(line);
  // The first width+1 characters are taken whatever they are; then the token runs on to
  // the next space.
  std::size_t end = width + 1 < line.size() ? width + 1 : line.size();
  const std::size_t space = line.find(' ', end);
  end = space == std::string_view::npos ? line.size() : space;
  const std::string_view token = line.substr(0, end);
  line.remove_prefix(end);
  return token;
}

void AppendStripped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '^' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
      ++i;
      continue;
    }
    out.push_back(MapSpecialChar(c));
  }
}

}  // namespace common

std::string SlashToBackslash(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c == '/') c = '\\';
  return result;
}

std::string TrimSpaces(std::string_view text) { return std::string(common::TrimSpacesView(text)); }

std::string NextToken(std::string& line, int width) {
  std::string_view rest = line;
  const std::string_view token = common::NextTokenView(rest, width < 0 ? 0 : static_cast<std::size_t>(width));
  std::string result(token);
  line = std::string(rest);
  return result;
}

char MapSpecialChar(char c) {
  return static_cast<char>(kSpecialCharMap[static_cast<unsigned char>(c)]);
}

std::string StripColorCodes(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  common::AppendStripped(result, text);
  return result;
}
