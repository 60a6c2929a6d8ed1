#pragma once
// The rows the parsers fill: plain values that a window shows in its lists. All values are
// text as the server printed them (cleaned); nothing is converted to a number.
#include <string>

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
  bool operator==(const PlayerRow&) const = default;
};

// One row of the rules list (server info) or of the player info dialog (user info).
struct InfoRow {
  std::string key;
  std::string value;
  bool operator==(const InfoRow&) const = default;
};
using RuleRow = InfoRow;
using UserInfoRow = InfoRow;

}  // namespace protocol
