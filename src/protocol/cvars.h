#pragma once
// Server variables over remote commands: the query that prints one variable, the commands
// that set one, and the server's answer to a query.
//
//   Quake 3:  <FF FF FF FF>print\n"sv_hostname" is:"^1Test ^7Server^7" default:"noname^7"\n
//   Quake 2:  <FF FF FF FF>print\n"timelimit" is "20"\n
#include <string>
#include <string_view>

#include "protocol/game.h"

namespace protocol {

// marker + "rcon " + password + " " + name: a variable named alone prints its value.
std::string VariableQueryDatagram(std::string_view password, std::string_view name);

// The game's value form (GameTraits::valueForm):
//   SetCommand:  "set " + name + " " + text; an empty text is sent as "set " + name + " \"\"",
//                since "set NAME " alone only prints the variable.
//   NameAndWord: name + " " + text, in double quotes when the text is empty or holds a
//                blank: hostname "My Server".
std::string TextCommand(const GameTraits& game, std::string_view name, std::string_view text);
std::string SpinCommand(std::string_view name, int value);      // name + " " + decimal
std::string CheckCommand(std::string_view name, bool checked);  // name + " 1" / " 0"

// Whether the server stores this text, sent back with TextCommand, exactly as it is: a value
// that arrived and was not changed is sent only then, so that an update never alters a value
// nobody touched. With SetCommand the server joins the words after the name with single
// blanks and reads quotes and comments, and its packet reader turns "%" and bytes above 127
// into "."; with NameAndWord the server rebuilds the command from its words, quotes gone, so
// it keeps only a single word.
bool ServerKeepsText(const GameTraits& game, std::string_view text);

struct CvarReply {
  std::string name;   // as the server spells it
  std::string value;  // without the game's value suffix (the colour reset Quake 3 prints)
};

// Reads the answer's first line after the marker, "print" and its line feed: a quote, the
// name, a quote, " is" and any text without quotes, a quote, the value, a quote or the end of
// the line. Anything else (a refusal, a notice, a status table, "Unknown command ...") gives
// an empty name and value, which match no variable; it never fails.
//
// A Quake 3 server prints every value followed by "^7", so one "^7" at the end is removed
// whatever stands before it: the value "^1Test ^7Server" is printed "^1Test ^7Server^7" and
// reads back as it is on the server. A Quake 2 server prints the value alone.
CvarReply ParseCvarReply(std::string_view datagram, const GameTraits& game);

}  // namespace protocol
