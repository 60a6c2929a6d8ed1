#pragma once
// Ready-made player lists for tests and for the test server run by hand.
#include <string>
#include <vector>

#include "support/gameserver/game_server.h"

namespace test {

// `count` bots named like the stock ones (Sarge, ^1Very^7LongName, Grism, ...), address "bot",
// ping 0, rate 16384: the table a real server with that many bots prints. Past the stock names
// the names get a number.
std::vector<Player> BotPlayers(int count);

// One of every kind a client must cope with: the loopback host, bots, a coloured name, a name
// with spaces, a name longer than the name column, players with real-looking addresses, one
// still connecting (CNCT) and one zombie (ZMBI).
std::vector<Player> MixedPlayers();

// Reads a players file: one player a line, "score ping address model name", where ping may be
// CNCT or ZMBI and the name is the rest of the line (spaces allowed). Empty lines and lines
// starting with # are skipped. Throws std::runtime_error naming the line on a malformed one.
std::vector<Player> ParsePlayers(const std::string& text);

}  // namespace test
