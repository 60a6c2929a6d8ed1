#pragma once
// The remote commands of the settings dialog: the value query of each field and the command
// that sends an input's value back, in each game's form.
#include <string>
#include <string_view>

#include "protocol/game.h"

namespace settings {

// marker + "rcon " + password + " " + name: a variable named alone prints its value.
std::string QueryDatagram(std::string_view password, std::string_view name);

// Quake 3: "set " + name + " " + text (set takes the rest of the line as the value); an empty
// text is sent as "set " + name + " \"\"", since "set NAME " alone only prints the variable.
// Quake 2: name + " " + text. The Quake 2 server splits the line into words and takes the first
// word after the name as the value, so a text that is empty or holds a blank is sent in double
// quotes: hostname "My Server".
std::string TextCommand(const protocol::GameTraits& game, std::string_view name, std::string_view text);
std::string SpinCommand(std::string_view name, int value);    // name + " " + decimal
std::string CheckCommand(std::string_view name, bool checked);  // name + " 1" / " 0"

// Whether the server stores this text, sent back with TextCommand, exactly as it is: a value
// that arrived and was not changed is sent only then, so that the update never alters a value
// nobody touched. Quake 3 joins the words after the name with single blanks and reads quotes and
// comments, and its packet reader turns "%" and bytes above 127 into "."; a Quake 2 server
// rebuilds the remote command from its words, quotes gone, so it keeps only a single word.
bool ServerKeepsText(const protocol::GameTraits& game, std::string_view text);

// "Updating server..." while nothing has gone out, then "Updating server... n of m".
std::string UpdateProgressText(int sent, int total);

}  // namespace settings
