#include "settings/values.h"

#include "platform/convert.h"

namespace settings {

std::optional<int> SpinValue(const std::string& value) {
  int number = 0;
  if (!platform::TryStrToInt(value, number)) return std::nullopt;
  return number;
}

bool CheckValue(std::string_view value) { return value == "1"; }

bool SpinShowsValue(std::string_view value) {
  size_t i = (!value.empty() && value[0] == '-') ? 1 : 0;
  if (i == value.size() || value.size() - i > 10) return false;
  for (; i < value.size(); ++i)
    if (value[i] < '0' || value[i] > '9') return false;
  return SpinValue(std::string(value)).has_value();
}

bool CheckShowsValue(std::string_view value) { return value == "0" || value == "1"; }

}  // namespace settings
