#include "settings/reply.h"

#include <algorithm>

#include "platform/convert.h"

namespace settings {
namespace {

// Removes characters up to the next double quote (none when there is no quote), then one more.
void SkipPastQuote(std::string& s) {
  const size_t quote = s.find('"');
  if (quote != std::string::npos) s.erase(0, quote);
  if (!s.empty()) s.erase(0, 1);
}

}  // namespace

CvarReply ParseCvarReply(std::string_view datagram, const protocol::GameTraits& game) {
  std::string s(datagram.substr(std::min<size_t>(11, datagram.size())));
  CvarReply reply;
  const size_t nameEnd = s.find('"');
  reply.name = s.substr(0, nameEnd);
  s.erase(0, nameEnd == std::string::npos ? s.size() : nameEnd);
  SkipPastQuote(s);  // the closing quote of the name
  SkipPastQuote(s);  // the opening quote of the value
  reply.value = s.substr(0, s.find('"'));
  if (game.game == protocol::Game::Quake3 && reply.value.size() >= 2 && reply.value.compare(reply.value.size() - 2, 2, "^7") == 0) {
    reply.value.resize(reply.value.size() - 2);
  }
  return reply;
}

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
