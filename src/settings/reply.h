#pragma once
// The server's answer to a variable query, and what it means for each kind of input.
//
//   Quake 3:  <FF FF FF FF>print\n"sv_hostname" is:"^1Test ^7Server^7" default:"noname^7"\n
//   Quake 2:  <FF FF FF FF>print\n"timelimit" is "20"\n
#include <optional>
#include <string>
#include <string_view>

#include "protocol/game.h"

namespace settings {

struct CvarReply {
  std::string name;   // as the server spells it
  std::string value;  // without the colour reset that Quake 3 prints after it
};

// Reads a reply of the shape: 11 characters (marker, "print", line feed, opening quote), the
// name, a quote, any text without quotes, a quote, the value, a quote or the end. Anything
// else gives some name and value that match no input; it never fails.
//
// A Quake 3 server prints every value followed by "^7", so one "^7" at the end is removed
// whatever stands before it: the value "^1Test ^7Server" is printed "^1Test ^7Server^7" and
// reads back as it is on the server. A Quake 2 server prints the value alone.
CvarReply ParseCvarReply(std::string_view datagram, const protocol::GameTraits& game);

// What a reply value does to a spin field: the whole number it holds (decimal, or hexadecimal
// after "$" or "0x"), nothing when it holds none.
std::optional<int> SpinValue(const std::string& value);
// A check box is checked exactly for "1".
bool CheckValue(std::string_view value);

// Whether the input then shows the server's value as it is, so that sending the input back
// unchanged leaves the server as it was. A spin field does so for a plain decimal number
// (the server reads "0x10" as 0, and "1.5" is no whole number at all), a check box for "0"
// and "1" ("2" or "yes" would go back as 0), a text field always.
bool SpinShowsValue(std::string_view value);
bool CheckShowsValue(std::string_view value);

}  // namespace settings
