#pragma once
// Reading the answer to the status query as a whole: the server's info string (its public
// variables) and one line per player. Both games answer in one shape: a first line with the
// reply word ("statusResponse" for Quake 3, "print" for Quake 2), then the info string
// "\key\value\key\value...", then one line per player: score, ping and the name in double
// quotes. The monitor window reads only the names from it (parsers.h); a view of many servers
// needs the rest.
//
// Plain C++; nothing here throws for any input.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/game.h"
#include "protocol/rows.h"

namespace protocol {

// The pairs of an info string, in its order. The backslash before the first key may be missing;
// a key at the end without a value gets an empty value. Nothing is cleaned: values keep their
// colour codes.
std::vector<InfoRow> ParseInfoString(std::string_view info);

// The value of the first key of that name (letter case ignored), or nothing.
std::optional<std::string_view> InfoValue(const std::vector<InfoRow>& info, std::string_view key);

struct StatusPlayer {
  int score = 0;
  int ping = 0;
  std::string name;  // as the server sent it, colour codes included
  bool operator==(const StatusPlayer&) const = default;
};

struct ServerStatus {
  std::vector<InfoRow> info;
  std::vector<StatusPlayer> players;
};

// True when the datagram is the game's answer to the status query: it starts with the four 0xFF
// bytes and the game's status-response marker stands in its first two lines (the reply word and
// the info string), so that a player's name cannot make one out of another reply.
bool IsStatusResponse(const GameTraits& traits, std::string_view datagram);

// Takes a status response apart: line 2 is the info string, every later line that holds a
// double quote is a player (score and ping read as whole numbers, 0 when missing and capped at
// the int range; the name runs from the first double quote to the last one, or to the line's end
// when there is only one). Other lines are skipped.
ServerStatus ParseServerStatus(std::string_view reply);

// The game's info-string keys of the server's name and of its number of player slots, and its
// game type told in words ("Capture the Flag", "Deathmatch (ctf)"); empty when the info does not
// say.
std::string ServerName(const GameTraits& traits, const std::vector<InfoRow>& info);
std::optional<int> MaxPlayers(const GameTraits& traits, const std::vector<InfoRow>& info);
std::string GameTypeName(const GameTraits& traits, const std::vector<InfoRow>& info);

}  // namespace protocol
