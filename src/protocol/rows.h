#pragma once
// The rows the parsers fill: plain values that a window shows in its lists. All values are
// text as the server printed them (cleaned); nothing is converted to a number.
#include <cstddef>
#include <string>
#include <string_view>

namespace protocol {

// One row of the player list: caption Num, then Player Name, Frags, Ping, IP Address and,
// for Quake 3, Rate.
struct PlayerRow {
  std::string num;
  std::string name;
  std::string frags;
  std::string ping;
  std::string address;
  std::string rate;
  // The name with its colour codes, for showing it as the game does; empty when it is the
  // same as `name` (which is what commands, sorting and searching use).
  std::string colouredName = {};
  const std::string& ShownName() const { return colouredName.empty() ? name : colouredName; }
  bool operator==(const PlayerRow&) const = default;
};

// One row of the rules list (server info) or of the player info dialog (user info).
struct InfoRow {
  std::string key;
  std::string value;
  // The value with its colour codes where `value` is cleaned of them (a player's name); empty
  // when it is the same as `value`.
  std::string colouredValue = {};
  const std::string& ShownValue() const { return colouredValue.empty() ? value : colouredValue; }
  bool operator==(const InfoRow&) const = default;
};
using RuleRow = InfoRow;
using UserInfoRow = InfoRow;

}  // namespace protocol

namespace protocol {

// What a player's address column says beside an address: the server's own player (a listen
// server's host) and a bot have none.
inline constexpr std::string_view kLoopbackAddress = "loopback";
inline constexpr std::string_view kBotAddress = "bot";

inline bool IsHostPlayer(std::string_view address) { return address == kLoopbackAddress; }
inline bool HasNetworkAddress(std::string_view address) {
  return address != kLoopbackAddress && address != kBotAddress;
}
// The host part of a player's address: the ip of "ip:port"; the address between the
// brackets of "[address]:port" (IPv6, and every address in Yamagi's table); an address of
// more than one colon without brackets (IPv6 printed without its port) whole.
inline std::string_view AddressHost(std::string_view address) {
  if (!address.empty() && address.front() == '[') {
    const std::size_t close = address.find(']');
    return close == std::string_view::npos ? address.substr(1) : address.substr(1, close - 1);
  }
  const std::size_t colon = address.find(':');
  if (colon != std::string_view::npos && address.find(':', colon + 1) != std::string_view::npos) return address;
  return address.substr(0, colon);
}

}  // namespace protocol
