#pragma once
// Taking apart the four replies a monitor window shows: the status response to the query
// (player names), the printed status table (player details), the server-info listing (rules)
// and the user-info listing (one player's settings).
//
// Every parser takes the whole reply text as received, still starting with the four 0xFF
// bytes (a reply that came in several datagrams is joined first, see assembler.h). Lines are
// cut at each line feed; a carriage return stays in its line; a final line feed does not
// make an empty last line. Parsers never throw for any input: a line that cannot be read is
// skipped.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/game.h"
#include "protocol/rows.h"

namespace protocol {

// Clears `players` and adds one row per player line (line 3 on): the name between the first
// double quote and the last character, cleaned of colour codes and spaces; every other
// column empty. A line without a double quote gives a row with an empty name.
void ParseStatusResponse(const GameTraits& traits, std::string_view reply, std::vector<PlayerRow>& players);

// What a status table of the game looks like, read from its marks in their places (see
// TableShape): a "print" reply whose line 2 starts with a shape's map marker and whose
// heading line is a heading of that shape (or its text for an empty server). Nothing when
// the reply is no status table of the game, whatever it holds further down.
struct TableForm {
  TableLayout layout;
  std::size_t firstRow;   // the line number of the first row
  std::size_t nameWidth;  // names printed cut to this many characters (0: whole)
};
std::optional<TableForm> ReadTableForm(const GameTraits& traits, std::string_view reply);

// Merges a status table of the game (see ReadTableForm; any other reply changes nothing) into
// `players` without clearing it: every row whose name equals a table row's name is updated
// (num, name, frags, ping, address, and rate for Quake 3); a name no row has is added. The
// rows run from below the dashes to the empty line that ends the table; a line that holds
// only spaces changes nothing, and a last line without its line feed (the rest of it never
// came) is not read. A layout that cuts names (Q2PRO: 15 characters) matches a
// name that fills the column and that no row has with a row whose name begins with it (the
// next such row for a later line of the same name), and that row keeps its whole name.
//
// Each row is read with num, score and ping from the left and the layout's fixed trailing
// columns from the right (original Quake 3: lastmsg, address, qport, rate; ioquake3 and
// Quake3e: address, rate; Quake 2: lastmsg, address, qport; Q2PRO: lastmsg, address, rate,
// pr, fps); the name is what lies between, so names may hold spaces and be of any length.
// Name and address are cleaned of colour codes. A row with too few columns for that is read
// left to right, the name taking at least 16 characters.
void ParseStatusTable(const GameTraits& traits, std::string_view reply, std::vector<PlayerRow>& players);

// Called right after the row of g_gametype (Quake 3 only) or mapname has been added, with
// the row's value. An exception from a hook is caught: it skips only the rest of that line's
// effects, and parsing goes on.
struct ServerInfoHooks {
  std::function<void(const std::string& value)> onGameType;
  std::function<void(const std::string& value)> onMapName;
};

// Clears `rules` and adds one row per line from line 3 on, empty lines included: the key is
// the text before the first space, the value the rest without spaces at either end.
void ParseServerInfo(const GameTraits& traits, std::string_view reply, std::vector<RuleRow>& rules,
                     const ServerInfoHooks& hooks = {});

// Appends one row per line from line 4 on (after print, userinfo and the dashes), empty lines
// included; the list is not cleared. The value of the key NAME (any letter case) is cleaned of
// colour codes. `onPicture` is called with the value of the game's picture key ("model" or
// "skin", exact), as split; an exception from it is caught.
void ParseUserInfo(const GameTraits& traits, std::string_view reply, std::vector<UserInfoRow>& rows,
                   const std::function<void(const std::string& value)>& onPicture = {});

}  // namespace protocol
