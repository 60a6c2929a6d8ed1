#pragma once
// Text handling the way the game servers do it: reading the packet line, splitting commands
// into arguments, colour codes, printf-style formatting.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "support/gameserver/game_server.h"

namespace test::gameserver {

inline constexpr std::string_view kMarker = "\xff\xff\xff\xff";

// The text line of a connectionless packet (the part after the four 0xFF bytes), read up to the
// first line feed or NUL. Quake 3 turns '%' and every byte above 127 into '.'; Quake 2 reads bytes
// as signed characters, so a 0xFF byte ends the line there.
std::string ReadPacketLine(Game game, std::string_view payload);

// Splits a command line into arguments as the game's command tokenizer does: white space (every
// byte up to the space, and bytes above 127, which are negative characters there) separates,
// "quoted text" is one argument without its quotes, // starts a comment to the end. Quake 3
// also skips /* */ comments and ends a word at a quote; Quake 2 empties a word of 128 or more
// characters.
std::vector<std::string> Tokenize(Game game, std::string_view line);

// The arguments from `first` on, joined with single spaces.
std::string ArgsFrom(const std::vector<std::string>& args, std::size_t first);

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Lower(std::string_view text);
bool AllDigits(std::string_view text);  // true for the empty text, as the servers' loops are

// Quake 3 colour code: a caret followed by a letter or digit.
bool IsColorCode(std::string_view text, std::size_t at);
// The length a name shows with, colour codes not counted.
std::size_t VisibleLength(std::string_view name);
// A name without colour codes and unprintable characters, for matching typed names.
std::string CleanName(std::string_view name);

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Bytes made readable for a trace line: printable ASCII as is, the rest escaped.
std::string Escape(std::string_view bytes);

}  // namespace test::gameserver
