#pragma once
// The scripted server as a hostile one: what players and server owners can put into the
// replies (names and rule values that read like the markers of both games, rows too long and
// too many, a reply of 64 KB) and what a hostile server or the network can do to them
// (replies from other ports and addresses, datagrams out of order, binary noise).
#include <string>
#include <string_view>
#include <vector>

#include "support/gameserver/game_server.h"

namespace test {

// Every marker text the two games' replies are told by, as player names.
std::vector<std::string> MarkerNames();
// Players named like the markers (bots of the stock models), numbered from slot 0.
std::vector<Player> MarkerPlayers();
// The host name of a server owner who names the best map, and server-info rules whose values
// read like the markers.
std::vector<CvarDef> MarkerCvars(Game game);

// Applies hostile modes, given as a comma-separated list, to a configuration:
//   names    MarkerPlayers added to the players, MarkerCvars to the cvars
//   long     two players with names of 400 characters (one with spaces and colours)
//   many     1000 more players
//   huge     a print buffer of 65000 bytes: long output comes in datagrams of up to 64 KB
//   stray    forged replies from other ports and addresses (Hostility::strayReplies)
//   reorder  the datagrams of a reply last first (Hostility::reorder)
//   noise    binary noise before every answer (Hostility::noise)
// Throws std::invalid_argument for a mode it does not know.
void ApplyHostileModes(GameServerConfig& config, std::string_view modes);

}  // namespace test
