#pragma once
// Which row is "the same player" after the player list has been refreshed, so that the
// selection, and every action taken on it, stays with its player.
//
// A player is known by its client number. Between a status response and the status table
// that follows it the rows have no numbers yet; a player is then known by its name, and only
// while no other row has that name (two players of one name cannot be told apart).
#include <string>
#include <vector>

#include "protocol/rows.h"

namespace monitor {

struct PlayerKey {
  std::string num;   // empty while the number is not known
  std::string name;
};

// The index in `rows` of the player `key` names, or -1 when it is not there or cannot be told
// apart from another.
int FindPlayer(const PlayerKey& key, const std::vector<protocol::PlayerRow>& rows);

}  // namespace monitor
