#include "protocol/serverstatus.h"

#include <algorithm>
#include <climits>

#include "platform/ascii.h"
#include "platform/convert.h"
#include "protocol/classify.h"
#include "protocol/lines.h"
#include "protocol/packets.h"

namespace protocol {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The whole number at the front of a token (an optional sign, then digits), 0 when there is
// none, held to the int range.
int LeadingNumber(std::string_view token) {
  std::size_t i = 0;
  const bool negative = !token.empty() && token[0] == '-';
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) ++i;
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long value = 0;
  for (; i < token.size() && IsDigit(token[i]); ++i) {
    value = value * 10 + (token[i] - '0');
    if (value >= kLimit) {
      value = kLimit;
      break;
    }
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value >= kLimit ? INT_MAX : value);
}

// The next word of `text` (blanks skipped), which keeps the rest.
std::string_view NextWord(std::string_view& text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  const std::size_t end = std::min(text.find(' '), text.size());
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

std::optional<int> InfoNumber(const std::vector<InfoRow>& info, std::string_view key) {
  const auto value = InfoValue(info, key);
  int number = 0;
  if (!value || !platform::TryStrToInt(std::string(*value), number)) return std::nullopt;
  return number;
}

}  // namespace

std::vector<InfoRow> ParseInfoString(std::string_view info) {
  std::vector<InfoRow> rows;
  if (!info.empty() && info.front() == '\\') info.remove_prefix(1);
  while (!info.empty()) {
    const std::size_t keyEnd = std::min(info.find('\\'), info.size());
    InfoRow row{std::string(info.substr(0, keyEnd)), {}};
    info.remove_prefix(std::min(keyEnd + 1, info.size()));
    const std::size_t valueEnd = std::min(info.find('\\'), info.size());
    row.value = info.substr(0, valueEnd);
    info.remove_prefix(std::min(valueEnd + 1, info.size()));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::optional<std::string_view> InfoValue(const std::vector<InfoRow>& info, std::string_view key) {
  for (const InfoRow& row : info)
    if (platform::SameTextNoCase(row.key, key)) return std::string_view(row.value);
  return std::nullopt;
}

bool IsStatusResponse(const GameTraits& traits, std::string_view datagram) {
  // The marker counts only in its own place, as for the monitor windows: a host name or a
  // player named like it changes nothing.
  return KindOfReply(traits, datagram) == ReplyKind::StatusResponse;
}

ServerStatus ParseServerStatus(std::string_view reply) {
  ServerStatus status;
  LineReader lines(reply);
  std::string_view line;
  while (lines.Next(line)) {
    if (lines.Number() == 1) continue;
    if (lines.Number() == 2) {
      status.info = ParseInfoString(line);
      continue;
    }
    const std::size_t open = line.find('"');
    if (open == std::string_view::npos) continue;
    std::string_view numbers = line.substr(0, open);
    StatusPlayer player;
    player.score = LeadingNumber(NextWord(numbers));
    player.ping = LeadingNumber(NextWord(numbers));
    const std::size_t close = line.rfind('"');
    player.name = close > open ? line.substr(open + 1, close - open - 1) : line.substr(open + 1);
    status.players.push_back(std::move(player));
  }
  return status;
}

std::string ServerName(const GameTraits& traits, const std::vector<InfoRow>& info) {
  return std::string(InfoValue(info, traits.hostNameKey).value_or(std::string_view()));
}

std::optional<int> MaxPlayers(const GameTraits& traits, const std::vector<InfoRow>& info) {
  return InfoNumber(info, traits.maxPlayersKey);
}

std::string GameTypeName(const GameTraits& traits, const std::vector<InfoRow>& info) {
  return traits.gameTypeName ? traits.gameTypeName(info) : std::string();
}

std::string Quake3GameTypeName(const std::vector<InfoRow>& info) {
  const auto type = InfoNumber(info, "g_gametype");
  if (!type) return std::string(InfoValue(info, "g_gametype").value_or(std::string_view()));
  if (*type >= 0 && *type < static_cast<int>(kQuake3GameTypes.size()))
    return std::string(kQuake3GameTypes[static_cast<std::size_t>(*type)]);
  return platform::IntToStr(*type);
}

std::string Quake2GameTypeName(const std::vector<InfoRow>& info) {
  const auto deathmatch = InfoNumber(info, "deathmatch");
  const auto coop = InfoNumber(info, "coop");
  std::string type;
  if (deathmatch.value_or(0) != 0)
    type = "Deathmatch";
  else if (coop.value_or(0) != 0)
    type = "Cooperative";
  else if (deathmatch || coop)
    type = "Single Player";
  // The game folder, when it is a modification rather than the stock game.
  const std::string_view folder = InfoValue(info, "gamename").value_or(std::string_view());
  if (!folder.empty() && !platform::SameTextNoCase(folder, "baseq2"))
    type += type.empty() ? std::string(folder) : " (" + std::string(folder) + ")";
  return type;
}

}  // namespace protocol
