#pragma once
// What differs between the games on the wire, in one value per game. The monitor, the
// classifier, the parsers and the reply assembler all take a GameTraits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/colorcodes.h"
#include "protocol/monitor_state.h"
#include "protocol/rows.h"

namespace protocol {

struct BanCommands;
extern const BanCommands kQuake3Bans;
extern const BanCommands kQuake2Bans;

// Columns of one layout of the printed status table. Every layout starts with num, score
// and ping, then the name, then fixed columns that differ per layout.
enum class TableLayout : std::uint8_t {
  Quake3Original,  // num score ping name lastmsg address qport rate
  Quake3Io,        // cl score ping name address rate (today's ioquake3, and Quake3e)
  Quake2,          // num score ping name lastmsg address qport (id's Quake 2, and Yamagi)
  Q2pro,           // num score ping name lastmsg address rate pr fps
};

// How a variable is given a new value by a remote command.
enum class ValueForm : std::uint8_t {
  // "set NAME text": the server joins the words after the name with single blanks and reads
  // quotes and comments; "set NAME" alone prints the variable instead of clearing it.
  SetCommand,
  // "NAME word": the server takes the first word after the name, so a text that is empty or
  // holds a blank goes in double quotes, and quotes cannot be sent.
  NameAndWord,
};

// Where a status table has its marks. The reply's line 1 is "print"; line 2, the map line,
// starts with `mapMarker`; the column heading stands on `headingLine`, the dashes under it,
// then the rows, up to the empty line that ends the table.
struct TableShape {
  std::string_view mapMarker;
  std::size_t headingLine;
  // The layout a heading line names (or the line a server with nobody on it prints in the
  // heading's place); nothing when the line is no heading of this shape.
  std::optional<TableLayout> (*layout)(std::string_view heading);
  // Names are printed cut to this many characters (0: whole).
  std::size_t nameWidth;
};

// The headings of Quake 3 servers: the original one has a lastmsg column, today's ioquake3
// and Quake3e ones have not.
std::optional<TableLayout> Quake3TableLayout(std::string_view heading);
// id's Quake 2 and Yamagi print one heading, Q2PRO another under its own map line and an
// empty line, or "No UDP clients." in its place.
std::optional<TableLayout> Quake2TableLayout(std::string_view heading);
std::optional<TableLayout> Q2proTableLayout(std::string_view heading);

inline constexpr TableShape kQuake3Table{"map:", 3, Quake3TableLayout, 0};
inline constexpr TableShape kQuake2Table{"map              :", 3, Quake2TableLayout, 0};
inline constexpr TableShape kQ2proTable{"Current map:", 4, Q2proTableLayout, 15};

// Where the answer to the status query has its marker.
enum class ResponsePlace : std::uint8_t {
  // The reply's first line, right after the four 0xFF bytes, is the marker.
  FirstLine,
  // A "print" reply whose next line is the server's info string, holding the marker as a
  // key ("\mapname\").
  InfoKey,
};

// The Quake 3 game types by their g_gametype number: the five of the stock game, then those
// OpenArena adds.
inline constexpr std::array<std::string_view, 13> kQuake3GameTypes{
    "Free For All",  "Tournament",      "Single Player",     "Team Deathmatch",   "Capture the Flag",
    "One Flag CTF",  "Overload",        "Harvester",         "Elimination",       "CTF Elimination",
    "Last Man Standing", "Double Domination", "Domination"};

// The game type a status query's info string tells, in words (serverstatus.cpp): Quake 3 by
// g_gametype (a number without a name as the number), Quake 2 by deathmatch and coop, with the
// game folder of a modification.
std::string Quake3GameTypeName(const std::vector<InfoRow>& info);
std::string Quake2GameTypeName(const std::vector<InfoRow>& info);

struct GameTraits {
  std::string_view name;                  // for messages and tests
  std::string_view queryText;             // query sent through SendQuery
  std::string_view statusResponseMarker;  // recognises the query's answer, in its place:
  ResponsePlace statusResponsePlace;
  // The shapes of the status table the game's servers print (an empty map marker: unused);
  // the map line tells the shape, the heading the layout.
  std::array<TableShape, 2> tableShapes;
  bool hasRateColumn;                     // player list shows a Rate column
  bool gameTypeRule;                      // g_gametype in the server info drives the game type box
  std::string_view pictureKey;            // user-info key naming the player picture
  std::string_view pictureFolder;         // folder of player pictures
  std::string_view levelFolder;           // folder of level pictures
  bool stripDefaultSkin;                  // "/default" is dropped from the model before loading
  // The line that refuses the password, the whole first line of the reply after "print"
  // (the games word it apart); an empty entry is unused.
  std::array<std::string_view, 2> wrongPasswordTexts;
  // Rule names are matched by the server with regard to letter case, so a rule change must
  // name the rule as the server lists it.
  bool ruleNamesCaseSensitive;
  // How the settings editor sends a text value back.
  ValueForm valueForm;
  // What the server prints after every value in the answer to a variable query (a colour
  // reset), removed once from the end of the value read; empty when nothing.
  std::string_view valueSuffix;
  // The server drops requests beyond a rate limit per client address: every request of the
  // program to it goes through the shared pacer.
  bool rateLimited;
  // The settings description file beside the program, "\q3-default.ini".
  std::string_view settingsFile;
  // Size of the server's print buffer: remote-command output comes in datagrams of at most
  // this many text bytes less one after "print" and its line feed.
  std::size_t printBuffer;
  // Which texts the game shows as colours (names, the host name, printed output).
  common::ColorCodes colorCodes;
  // The ban list's commands (protocol/bans.h).
  const BanCommands* bans;
  // The command that sends a message to one player by client number; empty: none.
  std::string_view tellCommand;
  // The server's packet reader turns "%" and bytes above 127 into "." in every command.
  bool dotsOddCharacters;
  // The status query's answer read as a whole (serverstatus.h): the info-string keys of the
  // server's name and of its number of player slots, how the game type is told in words, and
  // whether a player the server reports with ping 0 is a bot (Quake 3 servers report their
  // bots so; Quake 2 servers have no bots of their own, and every player counts as a person).
  std::string_view hostNameKey;
  std::string_view maxPlayersKey;
  std::string (*gameTypeName)(const std::vector<InfoRow>& info);
  bool zeroPingIsBot;
  constexpr std::size_t MaxChunkText() const { return printBuffer - 1; }
};

inline constexpr GameTraits kQuake3{
    .name = "Quake 3 Arena",
    .queryText = " getstatus",
    .statusResponseMarker = "statusResponse",
    .statusResponsePlace = ResponsePlace::FirstLine,
    .tableShapes = {kQuake3Table, {}},
    .hasRateColumn = true,
    .gameTypeRule = true,
    .pictureKey = "model",
    .pictureFolder = "players\\Quake3\\",
    .levelFolder = "levels\\Quake3\\",
    .stripDefaultSkin = true,
    .wrongPasswordTexts = {"Bad rconpassword.", {}},
    .ruleNamesCaseSensitive = false,
    .valueForm = ValueForm::SetCommand,
    .valueSuffix = "^7",
    // Real Quake 3 servers allow a burst of 10 requests, then one a second per address.
    .rateLimited = true,
    .settingsFile = "\\q3-default.ini",
    .printBuffer = 1008,
    .colorCodes = common::ColorCodes::IoQuake3,
    .bans = &kQuake3Bans,
    .tellCommand = "tell",
    .dotsOddCharacters = true,
    .hostNameKey = "sv_hostname",
    .maxPlayersKey = "sv_maxclients",
    .gameTypeName = Quake3GameTypeName,
    .zeroPingIsBot = true,
};

inline constexpr GameTraits kQuake2{
    .name = "Quake 2",
    .queryText = " status",
    .statusResponseMarker = "\\mapname\\",
    .statusResponsePlace = ResponsePlace::InfoKey,
    .tableShapes = {kQuake2Table, kQ2proTable},
    .hasRateColumn = false,
    .gameTypeRule = false,
    .pictureKey = "skin",
    .pictureFolder = "players\\Quake2\\",
    .levelFolder = "levels\\Quake2\\",
    .stripDefaultSkin = false,
    // A Quake 2 server answers a wrong or missing password with "Bad rcon_password.".
    .wrongPasswordTexts = {"Bad rcon_password.", "Bad rconpassword."},
    .ruleNamesCaseSensitive = true,
    .valueForm = ValueForm::NameAndWord,
    .valueSuffix = {},
    // Quake 2 servers of the published source have no request rate limit.
    .rateLimited = false,
    .settingsFile = "\\q2-default.ini",
    .printBuffer = 1384,
    .colorCodes = common::ColorCodes::None,
    .bans = &kQuake2Bans,
    .tellCommand = {},
    .dotsOddCharacters = false,
    .hostNameKey = "hostname",
    .maxPlayersKey = "maxclients",
    .gameTypeName = Quake2GameTypeName,
    .zeroPingIsBot = false,
};

// The line that refuses a missing server password, for both games.
inline constexpr std::string_view kNoPasswordText = "No rconpassword set on the server.";
// The first line of the server-info and user-info listings (the latter with dashes under it).
inline constexpr std::string_view kServerInfoMarker = "Server info settings:";
inline constexpr std::string_view kUserInfoMarker = "userinfo";
// The ends of the first line of a notice refusing a change: "NAME is read only.", and for a
// protected cvar "NAME is write protected.".
inline constexpr std::string_view kReadOnlyMarker = " is read only.";
inline constexpr std::string_view kWriteProtectedMarker = " is write protected.";

inline constexpr std::string_view kWrongPasswordWarning =
    "Wrong rcon password, please try again\rClosing connection...";
inline constexpr std::string_view kNoPasswordWarning =
    "The server is not configured for remote administration.\rClosing connection...";

}  // namespace protocol
