// The status query's answer read as a whole: info string, players, and what the board shows of
// them (name, slots, game type).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "captures.h"
#include "protocol/serverstatus.h"

namespace {

using namespace std::string_literals;
using namespace protocol;

const std::string kMarker = "\xFF\xFF\xFF\xFF"s;

TEST(ParseInfoString, PairsInOrderWhateverTheEnds) {
  struct Case {
    std::string info;
    std::vector<InfoRow> rows;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"\\", {}},
      {"\\mapname\\q3dm17\\sv_hostname\\^1Red", {{"mapname", "q3dm17"}, {"sv_hostname", "^1Red"}}},
      {"mapname\\q3dm17", {{"mapname", "q3dm17"}}},                 // no leading backslash
      {"\\a\\1\\b", {{"a", "1"}, {"b", ""}}},                        // a key without its value
      {"\\a\\\\b\\2", {{"a", ""}, {"b", "2"}}},                      // an empty value
      {"\\\\x\\k\\v", {{"", "x"}, {"k", "v"}}},                      // an empty key is kept
      {"\\a\\1\\", {{"a", "1"}}},                                    // a trailing backslash
      {"\\g_voteGametypes\\/0/1/3/\\x\\ y ", {{"g_voteGametypes", "/0/1/3/"}, {"x", " y "}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInfoString(c.info), c.rows) << c.info;
}

TEST(InfoValue, FirstKeyOfThatNameWithoutRegardToCase) {
  const std::vector<InfoRow> info{{"MapName", "q3dm1"}, {"mapname", "q3dm2"}, {"empty", ""}};
  EXPECT_EQ(InfoValue(info, "mapname"), "q3dm1");
  EXPECT_EQ(InfoValue(info, "MAPNAME"), "q3dm1");
  EXPECT_EQ(InfoValue(info, "empty"), "");
  EXPECT_FALSE(InfoValue(info, "map").has_value());
}

TEST(IsStatusResponse, TheMarkerCountsOnlyInTheReplysOwnLines) {
  struct Case {
    const GameTraits* game;
    std::string datagram;
    bool expected;
  };
  const std::vector<Case> cases = {
      {&kQuake3, test::Capture("q3_getstatus_14bots"), true},
      {&kQuake3, kMarker + "statusResponse\n\\mapname\\q3dm1\n", true},
      {&kQuake3, kMarker + "statusResponse", true},
      {&kQuake3, "statusResponse\n\\mapname\\q3dm1\n", false},               // no out-of-band marker
      {&kQuake3, "\xFF\xFF\xFFstatusResponse\n"s, false},                      // three 0xFF bytes
      {&kQuake3, kMarker + "print\nsay\n0 0 \"statusResponse\"\n", false},    // a player named so
      {&kQuake3, kMarker + "infoResponse\n\\hostname\\x\n", false},
      {&kQuake3, kMarker + "print\n\\sv_hostname\\statusResponse\n", false},     // a host named so
      {&kQuake2, kMarker + "print\nHost statusResponse \\mapname\\ here\n", false},  // no info string
      {&kQuake2, test::Capture("hand_q2_statusresponse"), true},
      {&kQuake2, kMarker + "print\n\\mapname\\q2dm1\\hostname\\Box\n", true},
      {&kQuake2, kMarker + "print\nmap              : q2dm1\n\\mapname\\\n", false},  // a status table
      {&kQuake2, kMarker + "print\nBad rcon_password.\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsStatusResponse(*c.game, c.datagram), c.expected) << c.datagram;
}

TEST(ParseServerStatus, TheCapturedFourteenBots) {
  const ServerStatus status = ParseServerStatus(test::Capture("q3_getstatus_14bots"));
  EXPECT_EQ(InfoValue(status.info, "sv_hostname"), "^1Test ^7Server");
  EXPECT_EQ(InfoValue(status.info, "sv_maxclients"), "20");
  EXPECT_EQ(InfoValue(status.info, "g_timestamp"), "2026-12-08 01:21:20");
  ASSERT_EQ(status.players.size(), 14u);
  EXPECT_EQ(status.players[0], (StatusPlayer{3, 0, "Sarge"}));
  EXPECT_EQ(status.players[2], (StatusPlayer{1, 0, "^1Very^7LongName"}));
  EXPECT_EQ(status.players[13], (StatusPlayer{1, 0, "^4Blue^2Green ^3x"}));
  EXPECT_EQ(ServerName(kQuake3, status.info), "^1Test ^7Server");
  EXPECT_EQ(MaxPlayers(kQuake3, status.info), 20);
}

TEST(ParseServerStatus, PlayerLinesReadLeniently) {
  struct Case {
    std::string line;
    std::vector<StatusPlayer> players;
  };
  const std::vector<Case> cases = {
      {"15 45 \"Grunt\"", {{15, 45, "Grunt"}}},
      {"-3 999 \"space man\"", {{-3, 999, "space man"}}},
      {"  7   12   \"padded\"  ", {{7, 12, "padded"}}},
      {"1 2 \"say \"hi\" there\"", {{1, 2, "say \"hi\" there"}}},  // the name runs to the last quote
      {"1 2 \"unclosed", {{1, 2, "unclosed"}}},
      {"\"no numbers\"", {{0, 0, "no numbers"}}},
      {"x y \"words for numbers\"", {{0, 0, "words for numbers"}}},
      {"12abc 7ms \"trailing junk\"", {{12, 7, "trailing junk"}}},
      {"99999999999999999999 -99999999999999999999 \"huge\"", {{INT_MAX, INT_MIN, "huge"}}},
      {"1 2 \"\"", {{1, 2, ""}}},
      {"1 2 no quote at all", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const ServerStatus status = ParseServerStatus(kMarker + "statusResponse\n\\mapname\\x\n" + c.line + "\n");
    EXPECT_EQ(status.players, c.players) << c.line;
  }
}

TEST(ParseServerStatus, LinesOneAndTwoAreNeverPlayers) {
  EXPECT_TRUE(ParseServerStatus(kMarker + "statusResponse \"x\"\n\\k\\\"v\"\n").players.empty());
  EXPECT_TRUE(ParseServerStatus("").players.empty());
  const ServerStatus q2 = ParseServerStatus(test::Capture("hand_q2_statusresponse"));
  EXPECT_EQ(ServerName(kQuake2, q2.info), "Quake 2 Box");
  EXPECT_EQ(MaxPlayers(kQuake2, q2.info), 16);
  EXPECT_EQ(q2.players, (std::vector<StatusPlayer>{{15, 45, "Grunt"}, {0, 200, "New Player"}, {-3, 999, "space man"}}));
  // A carriage return after the closing quote is not part of the name.
  EXPECT_EQ(ParseServerStatus(kMarker + "print\n\\a\\b\r\n1 2 \"n\"\r\n").players[0].name, "n");
}

TEST(MaxPlayers, OnlyAWholeNumberCounts) {
  EXPECT_EQ(MaxPlayers(kQuake3, {{"sv_maxclients", "16"}}), 16);
  EXPECT_EQ(MaxPlayers(kQuake3, {{"SV_MAXCLIENTS", "0x10"}}), 16);
  EXPECT_FALSE(MaxPlayers(kQuake3, {{"sv_maxclients", "many"}}).has_value());
  EXPECT_FALSE(MaxPlayers(kQuake3, {{"maxclients", "16"}}).has_value());  // Quake 2's key
  EXPECT_EQ(MaxPlayers(kQuake2, {{"maxclients", "8"}}), 8);
  EXPECT_EQ(ServerName(kQuake2, {{"sv_hostname", "q3"}, {"hostname", "q2"}}), "q2");
  EXPECT_EQ(ServerName(kQuake3, {}), "");
}

TEST(GameTypeName, BothGamesInWords) {
  struct Case {
    const GameTraits* game;
    std::vector<InfoRow> info;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {&kQuake3, {{"g_gametype", "0"}}, "Free For All"},
      {&kQuake3, {{"g_gametype", "4"}}, "Capture the Flag"},
      {&kQuake3, {{"g_gametype", "8"}}, "Elimination"},
      {&kQuake3, {{"g_gametype", "12"}}, "Domination"},
      {&kQuake3, {{"g_gametype", "13"}}, "13"},
      {&kQuake3, {{"g_gametype", "-1"}}, "-1"},
      {&kQuake3, {{"g_gametype", "ctf"}}, "ctf"},
      {&kQuake3, {}, ""},
      {&kQuake2, {{"deathmatch", "1"}, {"gamename", "baseq2"}}, "Deathmatch"},
      {&kQuake2, {{"deathmatch", "1"}, {"gamename", "ctf"}}, "Deathmatch (ctf)"},
      {&kQuake2, {{"deathmatch", "0"}, {"coop", "1"}}, "Cooperative"},
      {&kQuake2, {{"deathmatch", "0"}}, "Single Player"},
      {&kQuake2, {{"gamename", "rocketarena"}}, "rocketarena"},
      {&kQuake2, {{"gamename", "BASEQ2"}}, ""},
      {&kQuake2, {}, ""},
  };
  for (const Case& c : cases) {
    const std::string shown = c.info.empty() ? std::string("(none)") : c.info[0].key + "=" + c.info[0].value;
    EXPECT_EQ(GameTypeName(*c.game, c.info), c.expected) << c.game->name << " " << shown;
  }
}

}  // namespace
