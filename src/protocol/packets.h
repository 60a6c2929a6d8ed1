#pragma once
// The bytes of every datagram sent to a game server and the command texts of both games.
// A datagram is four 0xFF bytes followed by 8-bit text, without terminator or line feed;
// nothing is escaped, so passwords and commands with spaces go out unchanged.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/game.h"

namespace protocol {

inline constexpr std::string_view kOutOfBand = "\xFF\xFF\xFF\xFF";
// The start of every reply that prints remote-command output.
inline constexpr std::string_view kPrintHeader = "\xFF\xFF\xFF\xFFprint\n";

// The text of a datagram: what follows its first four bytes (the marker, whatever they hold);
// empty for a datagram of four bytes or fewer.
constexpr std::string_view DatagramText(std::string_view datagram) {
  return datagram.size() <= kOutOfBand.size() ? std::string_view() : datagram.substr(kOutOfBand.size());
}

// marker + " " + query; the query texts start with a space of their own.
std::string QueryDatagram(std::string_view queryText);
// marker + "rcon " + password + " " + command. Monitor commands start with a space, so
// two spaces stand before the command word; typed commands do not.
std::string RconDatagram(std::string_view password, std::string_view command);
// What a remote console sends when it opens: marker + "rcon " + password + " status"
// (one space before status, where a monitor window's " status" makes two).
std::string ConsoleOpeningDatagram(std::string_view password);
// A line typed into a remote console: marker + "rcon " + password + " " + line.
std::string ConsoleCommandDatagram(std::string_view password, std::string_view line);

// Command texts of a monitor window, sent through SendRcon.
inline constexpr std::string_view kStatusCommand = " status";
inline constexpr std::string_view kServerInfoCommand = " serverinfo";
std::string DumpUserCommand(std::string_view clientNumber);  // " dumpuser " + n
std::string KickCommand(std::string_view clientNumber);      // " kick " + n
std::string MapCommand(std::string_view mapText);            // " map " + text
std::string GameTypeCommand(int index);                      // " g_gametype " + n (Quake 3)

// Messages to the players. The text goes in double quotes, which keep its spacing and any
// "//" (a comment to the server's command reader) as typed; line breaks go as spaces, since
// the server reads only up to the first.
std::string SayCommand(std::string_view text);                                  // " say \"text\""
std::string TellCommand(const GameTraits& traits, std::string_view clientNumber,  // " tell n \"text\""
                        std::string_view text);
// The line a server prints back for a message it sent ("console: TEXT", "console_tell: TEXT"),
// as the administrator's confirmation; nothing when the reply is no such echo.
std::optional<std::string> ChatEcho(std::string_view reply);
// What the server will change in a message, one sentence each; empty when it goes as typed.
std::vector<std::string> ChatWarnings(const GameTraits& traits, std::string_view text);

// The name the change-setting dialog shows for a rule: upper case, MAPNAME shown as MAP.
std::string ChangeSettingName(std::string_view rule);

// The command that sets `rule` (as listed by the server) to `value`:
//   Quake 3: "MAP " + value for mapname, else "set " + RULE + " " + value (RULE upper case;
//            the server matches rule names without regard to case);
//   Quake 2: "MAP " + value for mapname, else the rule as the server listed it + " " +
//            value: Quake 2 matches rule names case-sensitively, so "TIMELIMIT 20" would be
//            an unknown command.
std::string RuleChangeCommand(const GameTraits& traits, std::string_view rule, std::string_view value);

// Relative picture paths ("players\Quake3\sarge\blue.jpg", "levels\Quake2\q2dm1.jpg").
// For Quake 3 the first "/default" is dropped from the model first.
std::string PlayerPicturePath(const GameTraits& traits, std::string_view pictureValue);
std::string LevelPicturePath(const GameTraits& traits, std::string_view mapName);
inline constexpr std::string_view kQuestionPicture = "players\\Question.bmp";

}  // namespace protocol
