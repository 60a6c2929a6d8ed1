#include "monitor/cellorder.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "platform/ascii.h"

namespace monitor {
namespace {

std::optional<std::int64_t> Number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

int Sign(long long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

}  // namespace

int CompareCells(std::string_view a, std::string_view b) {
  const std::optional<std::int64_t> x = Number(a);
  const std::optional<std::int64_t> y = Number(b);
  if (x && y) return *x < *y ? -1 : *x > *y ? 1 : 0;
  if (x || y) return x ? -1 : 1;
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(platform::AsciiLower(a[i])) - static_cast<unsigned char>(platform::AsciiLower(b[i]));
    if (d != 0) return Sign(d);
  }
  if (a.size() != b.size()) return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
  return Sign(a.compare(b));
}

}  // namespace monitor
