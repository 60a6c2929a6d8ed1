#pragma once
// What a client should read from the scripted server's status tables: a player list of every
// kind for each engine's table, and the row each player should end up as.
#include <string>
#include <vector>

#include "common/text.h"
#include "protocol/rows.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"

namespace test {

// `count` players of every kind (host, bots, coloured, spaced and long names, and every
// state), then stock bots. `maxName` (more than 2) cuts longer names: Yamagi's server never
// answers the status with a name of more than 16 characters.
inline std::vector<Player> PlayersOfEveryKind(int count, std::size_t maxName = 0) {
  std::vector<Player> players = MixedPlayers();
  Player primed = Player::Human("Primed", "203.0.113.60:27960", 0);
  primed.state = PlayerState::Primed;
  Player loading = Player::Human("^2Loading", "[2001:db8::5]:27960", 0);
  loading.state = PlayerState::Downloading;
  players.push_back(primed);
  players.push_back(loading);
  for (Player bot : BotPlayers(count - static_cast<int>(players.size()))) {
    bot.name += "_b";  // apart from the stock names among the mixed ones
    bot.slot = -1;
    players.push_back(bot);
  }
  // Cut names keep a number of their own at the end, so that they stay apart.
  for (std::size_t i = 0; i < players.size() && maxName > 2; ++i) {
    std::string& name = players[i].name;
    if (name.size() > maxName) name = name.substr(0, maxName - 2) + std::to_string(10 + i % 90);
  }
  return players;
}

// What the ping column of the layout says of the player.
inline std::string PingText(const Player& p, StatusLayout layout) {
  const bool q3e = layout == StatusLayout::Quake3e;
  const bool q2pro = layout == StatusLayout::Q2pro;
  switch (p.state) {
    case PlayerState::Connecting: return q3e ? "CON" : "CNCT";
    case PlayerState::Downloading: return q3e ? "CON" : q2pro ? "DNLD" : "CNCT";
    case PlayerState::Zombie: return q3e ? "ZMB" : "ZMBI";
    case PlayerState::Primed:
      if (q3e) return "PRM";
      if (q2pro) return "PRIM";
      break;
    case PlayerState::Active: break;
  }
  return std::to_string(p.ping);
}

// The row a player should end up as: the status table's values, the name cleaned, the
// address as the layout prints it.
inline protocol::PlayerRow ExpectedRow(const Player& p, StatusLayout layout, bool withRate) {
  protocol::PlayerRow row;
  row.num = std::to_string(p.slot);
  row.name = TrimSpaces(StripColorCodes(p.name));
  row.frags = std::to_string(p.score);
  row.ping = PingText(p, layout);
  row.address = p.address;
  const std::size_t colon = p.address.rfind(':');
  if (layout == StatusLayout::Yamagi && colon != std::string::npos && p.address.front() != '[')
    row.address = "[" + p.address.substr(0, colon) + "]" + p.address.substr(colon);
  if (withRate) row.rate = std::to_string(p.rate);
  return row;
}

}  // namespace test
