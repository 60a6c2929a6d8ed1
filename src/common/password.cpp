#include "common/password.h"

std::string ScramblePassword(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const auto key = static_cast<unsigned char>(64 - static_cast<int>((i + 1) % 256));
    result[i] = static_cast<char>(static_cast<unsigned char>(result[i]) ^ key);
  }
  return result;
}
