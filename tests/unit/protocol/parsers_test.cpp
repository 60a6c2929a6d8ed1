#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "captures.h"
#include "protocol/parsers.h"

namespace protocol {
// Readable rows in failure messages.
inline void PrintTo(const PlayerRow& r, std::ostream* os) {
  *os << "{" << r.num << "|" << r.name << "|" << r.frags << "|" << r.ping << "|" << r.address << "|" << r.rate << "|"
      << r.colouredName << "}";
}
inline void PrintTo(const InfoRow& r, std::ostream* os) { *os << "{" << r.key << "|" << r.value << "|" << r.colouredValue << "}"; }
}  // namespace protocol

namespace {

using namespace std::string_literals;
using namespace protocol;

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n"s;

std::vector<PlayerRow> Table(const GameTraits& game, const std::string& reply, std::vector<PlayerRow> rows = {}) {
  ParseStatusTable(game, reply, rows);
  return rows;
}

std::string Q3IoTable(const std::string& rows) {
  return kPrint + "map: q3dm1\ncl score ping name            address                                 rate \n"
                  "-- ----- ---- --------------- --------------------------------------- -----\n" + rows + "\n";
}

std::string Q3OriginalTable(const std::string& rows) {
  return kPrint + "map: q3dm1\nnum score ping name            lastmsg address               qport rate\n"
                  "--- ----- ---- --------------- ------- --------------------- ----- -----\n" + rows + "\n";
}

TEST(ParseStatusResponse, OneRowPerPlayerWithTheCleanedNameOnly) {
  std::vector<PlayerRow> rows{{"9", "old", "1", "2", "bot", "3"}};
  ParseStatusResponse(kQuake3, test::Capture("q3_getstatus_14bots"), rows);
  ASSERT_EQ(rows.size(), 14u);
  EXPECT_EQ(rows[0], (PlayerRow{"", "Sarge", "", "", "", ""}));
  EXPECT_EQ(rows[1].name, "Has Space");
  EXPECT_EQ(rows[2].name, "VeryLongName");
  EXPECT_EQ(rows[13].name, "BlueGreen x");

  ParseStatusResponse(kQuake3, kPrint + "info\n12 50 \"^1Sar^7ge\"\n\nno quote here\n0 0 \"\n", rows);
  EXPECT_EQ(rows, (std::vector<PlayerRow>{{"", "Sarge", "", "", "", "", "^1Sar^7ge"}, {}, {}}));

  ParseStatusResponse(kQuake2, test::Capture("hand_q2_statusresponse"), rows);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].name, "space man");
}

TEST(ParseStatusTable, TodaysQuake3LayoutFromTheCapturedFourteenBots) {
  const std::string reply = test::Joined(test::Capture("q3_status_14bots_1"), test::Capture("q3_status_14bots_2"));
  EXPECT_EQ(ReadTableForm(kQuake3, reply)->layout, TableLayout::Quake3Io);
  std::vector<PlayerRow> rows;
  ParseStatusResponse(kQuake3, test::Capture("q3_getstatus_14bots"), rows);
  ParseStatusTable(kQuake3, reply, rows);
  const char* names[] = {"Sarge",   "Has Space", "VeryLongName", "ExtraordinarilyLongName", "SixteenCharsName",
                         "Kyonshi", "Gargoyle",  "Merman",       "Liz",
                         "Beret",   "Skelebot",  "Sorceress",    "Arachna",                 "BlueGreen x"};
  const char* scores[] = {"3", "2", "1", "1", "0", "1", "0", "2", "0", "0", "0", "0", "1", "1"};
  ASSERT_EQ(rows.size(), 14u);  // every table row found its status-response row
  for (std::size_t i = 0; i < 14; ++i) {
    SCOPED_TRACE(i);
    const std::string coloured = i == 2 ? "^1Very^7LongName" : i == 13 ? "^4Blue^2Green ^3x" : "";
    EXPECT_EQ(rows[i], (PlayerRow{std::to_string(i), names[i], scores[i], "0", "bot", "16384", coloured}));
  }
}

TEST(ParseStatusTable, OriginalQuake3LayoutWithSpacesLongNamesAndWordPings) {
  const std::string reply = test::Capture("hand_q3orig_status");
  EXPECT_EQ(ReadTableForm(kQuake3, reply)->layout, TableLayout::Quake3Original);
  const std::vector<PlayerRow> rows = Table(kQuake3, reply);
  EXPECT_EQ(rows, (std::vector<PlayerRow>{
                      {"0", "Sarge", "12", "50", "192.168.0.20:27960", "25000"},
                      {"1", "RedBaron", "3", "CNCT", "10.0.0.7:27960", "3000", "^1Red^7Baron"},
                      {"2", "Zombie Player", "-1", "ZMBI", "10.0.0.8:1024", "5000"},
                      {"3", "ExactlySixteen16", "0", "999", "172.16.254.1:27961", "90000"},
                      {"4", "Host", "7", "0", "loopback", "25000"},
                      {"5", "A Bot With Spaces", "2", "0", "bot", "16384"},
                      {"6", "Twentycharacterslong", "1", "71", "123.123.123.123:27960", "25000"},
                  }));
  // A space right after the 16th character no longer shifts the columns.
  const auto cut = Table(kQuake3, Q3OriginalTable("  8     1   30 SixteenCharsName Two^7     10 1.2.3.4:27960          6  8000\n"));
  EXPECT_EQ(cut, (std::vector<PlayerRow>{{"8", "SixteenCharsName Two", "1", "30", "1.2.3.4:27960", "8000"}}));
}

TEST(ParseStatusTable, QuakeTwoLayoutHasNoRate) {
  std::vector<PlayerRow> rows{{"", "Grunt", "", "", "", "kept"}};
  ParseStatusTable(kQuake2, test::Capture("hand_q2_status"), rows);
  EXPECT_EQ(rows, (std::vector<PlayerRow>{
                      {"0", "Grunt", "15", "45", "192.168.1.2:27901", "kept"},
                      {"1", "New Player", "0", "CNCT", "192.168.1.3:27901", ""},
                      {"2", "SixteenCharName!", "-3", "ZMBI", "192.168.1.4:27901", ""},
                      {"3", "space man", "8", "9999", "127.0.0.1:27901", ""},
                  }));
  // A Quake 3 table is none of Quake 2's, and changes nothing.
  EXPECT_FALSE(ReadTableForm(kQuake2, test::Capture("hand_q3orig_status")));
  EXPECT_EQ(Table(kQuake2, test::Capture("hand_q3orig_status"), rows), rows);
}

TEST(ParseStatusTable, TheTablesOfOtherEngines) {
  struct Case {
    const char* engine;
    const GameTraits* game;
    std::string reply;
    TableLayout layout;
    std::vector<PlayerRow> before;  // as the status response left them
    std::vector<PlayerRow> after;
  };
  const Case cases[] = {
      {"Quake3e: widths of the longest name, state words, ^7 and a space before the address", &kQuake3,
       kPrint + "map: q3dm17\n"
                "cl score ping name             address             rate\n"
                "-- ----- ---- ---------------- ------------------- -----\n"
                " 0     5   48 Name With Spaces^7 203.0.113.7:27960   25000\n"
                " 1     0 CON ^1Very^7LongName    ^7 [2001:db8::5]:27960 25000\n"
                " 2    -3  999 Sarge           ^7 bot                 16384\n\n",
       TableLayout::Quake3Io, {},
       {{"0", "Name With Spaces", "5", "48", "203.0.113.7:27960", "25000"},
        {"1", "VeryLongName", "0", "CON", "[2001:db8::5]:27960", "25000", "^1Very^7LongName"},
        {"2", "Sarge", "-3", "999", "bot", "16384"}}},
      {"Yamagi: two-digit slots, every address in brackets", &kQuake2,
       kPrint + "map              : q2dm1\n"
                "num score ping name            lastmsg address               qport \n"
                "--- ----- ---- --------------- ------- --------------------- ------\n"
                " 0    15   45 Grunt                50 [203.0.113.7]:27901    1234\n"
                " 1     0 CNCT New Player            0 [2001:db8::5]:27910    5678\n\n",
       TableLayout::Quake2, {},
       {{"0", "Grunt", "15", "45", "[203.0.113.7]:27901", ""},
        {"1", "New Player", "0", "CNCT", "[2001:db8::5]:27910", ""}}},
      {"Q2PRO: its own map line, names cut to 15, rate pr fps, more after the table", &kQuake2,
       kPrint + "Current map: q2dm1\n\n"
                "num score ping name            lastmsg address                rate pr fps\n"
                "--- ----- ---- --------------- ------- --------------------- ----- -- ---\n"
                "  0    15   45 Grunt                50 203.0.113.7:27901     25000 34  60 \n"
                "  1     0 DNLD Extraordinarily       0 [2001:db8::5]:27910   15000 36  10 \n"
                "  2     3 PRIM Name With Space      10 198.51.100.9:27910    25000 35  40 \n"
                "  3     1 CNCT ^1Very^7LongNam       0 198.51.100.7:27910    25000 35  40 \n"
                "\nNo TCP clients.\n",
       TableLayout::Q2pro,
       {{"", "ExtraordinarilyLongName", "", "", "", ""}, {"", "Name With Spaces", "", "", "", ""},
        {"", "VeryLongName", "", "", "", ""}},
       {{"1", "ExtraordinarilyLongName", "0", "DNLD", "[2001:db8::5]:27910", ""},
        {"2", "Name With Spaces", "3", "PRIM", "198.51.100.9:27910", ""},
        {"3", "VeryLongName", "1", "CNCT", "198.51.100.7:27910", ""},
        {"0", "Grunt", "15", "45", "203.0.113.7:27901", ""}}},
      {"Q2PRO with nobody on it", &kQuake2, kPrint + "Current map: q2dm1\n\nNo UDP clients.\n\nNo TCP clients.\n",
       TableLayout::Q2pro, {{"", "Left", "", "", "", ""}}, {{"", "Left", "", "", "", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.engine);
    const std::optional<TableForm> form = ReadTableForm(*c.game, c.reply);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->layout, c.layout);
    EXPECT_EQ(Table(*c.game, c.reply, c.before), c.after);
  }
}

TEST(AddressHost, EveryFormOfAddress) {
  const std::pair<const char*, const char*> cases[] = {
      {"203.0.113.7:27960", "203.0.113.7"},   {"203.0.113.7", "203.0.113.7"},
      {"[203.0.113.7]:27910", "203.0.113.7"}, {"[2001:db8::5]:27910", "2001:db8::5"},
      {"2001:db8::5", "2001:db8::5"},         {"[2001:db8::5", "2001:db8::5"},
      {"bot", "bot"},                         {"", ""}};
  for (const auto& [address, host] : cases) EXPECT_EQ(AddressHost(address), host) << address;
}

TEST(ParseStatusTable, MergesWithoutClearingAndLeavesEmptyLinesAlone) {
  std::vector<PlayerRow> rows{{"", "", "", "", "", ""}, {"7", "Gone", "1", "2", "bot", "3"}};
  rows = Table(kQuake3, Q3IoTable(" 0     5   40 Sarge           ^710.0.0.1:27960                           25000\n\n   \n"), rows);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], PlayerRow{});  // an empty line does not blank a row without a name
  EXPECT_EQ(rows[1].name, "Gone");  // rows the table does not mention stay
  EXPECT_EQ(rows[2], (PlayerRow{"0", "Sarge", "5", "40", "10.0.0.1:27960", "25000"}));

  // A table whose last datagram never came: its cut last line is not read.
  rows = Table(kQuake3, test::Capture("q3_status_14bots_1"));
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows.back(), (PlayerRow{"9", "Beret", "0", "0", "bot", "16384"}));

  // A row with too few columns is read left to right.
  rows = Table(kQuake3, Q3IoTable(" 3     0   50 OnlyName\n"));
  EXPECT_EQ(rows, (std::vector<PlayerRow>{{"3", "OnlyName", "0", "50", "", ""}}));
}

TEST(ParseStatusTable, PlayersOfTheSameNameEachKeepARow) {
  // One table line updates every row of its name.
  std::vector<PlayerRow> rows{{"", "Sarge", "", "", "", ""}, {"", "Sarge", "", "", "", ""}};
  rows = Table(kQuake3, Q3IoTable(" 4     1    0 Sarge           ^7bot                                     16384\n"), rows);
  EXPECT_EQ(rows[0].num, "4");
  EXPECT_EQ(rows[1].num, "4");
  // Two lines of one name fill one row each; a third adds a row.
  const std::string two = " 0     1    0 Sarge           ^7bot                                     16384\n"
                          " 5     2    0 Sarge           ^7bot                                     16384\n"
                          " 6     3    0 Sarge           ^7bot                                     16384\n";
  rows = Table(kQuake3, Q3IoTable(two), {{"", "Sarge", "", "", "", ""}, {"", "Sarge", "", "", "", ""}});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].num, "0");
  EXPECT_EQ(rows[1].num, "5");
  EXPECT_EQ(rows[2].num, "6");
  EXPECT_EQ(rows[2].frags, "3");
}

TEST(ParseServerInfo, CapturedListingWithItsGameTypeAndMapHooks) {
  const std::string reply = test::Joined(test::Capture("q3_serverinfo_1"), test::Capture("q3_serverinfo_2"));
  std::vector<RuleRow> rules{{"stale", "x"}};
  std::vector<std::string> calls;
  ServerInfoHooks hooks;
  hooks.onGameType = [&](const std::string& v) {
    calls.push_back("g:" + v + "@" + std::to_string(rules.size()));
    throw std::runtime_error("picture missing");
  };
  hooks.onMapName = [&](const std::string& v) { calls.push_back("m:" + v + "@" + std::to_string(rules.size())); };
  ParseServerInfo(kQuake3, reply, rules, hooks);
  ASSERT_EQ(rules.size(), 43u);
  EXPECT_EQ(rules.front(), (RuleRow{"com_protocol", "71"}));
  EXPECT_EQ(rules[2], (RuleRow{"sv_hostname", "^1Test ^7Server"}));
  EXPECT_EQ(rules.back(), (RuleRow{"g_timestamp", "2026-12-08 01:21:20"}));
  // Each hook runs right after its own row; a throwing hook stops nothing else.
  EXPECT_EQ(calls, (std::vector<std::string>{"g:0@28", "m:oasago2@29"}));
}

TEST(ParseServerInfo, WordSplitAndQuakeTwoHooks) {
  std::vector<RuleRow> rules;
  int gameTypes = 0;
  std::string map;
  ServerInfoHooks hooks{[&](const std::string&) { ++gameTypes; }, [&](const std::string& v) { map = v; }};
  ParseServerInfo(kQuake2, test::Capture("hand_q2_serverinfo"), rules, hooks);
  EXPECT_EQ(gameTypes, 0);  // g_gametype is an ordinary rule in Quake 2
  EXPECT_EQ(map, "q2dm1");
  EXPECT_EQ(rules[5], (RuleRow{"g_gametype", "7"}));
  EXPECT_EQ(rules.back(), (RuleRow{"a_very_long_key_nameglued", ""}));

  ParseServerInfo(kQuake3, kPrint + "Server info settings:\nsv_hostname     My  Server  \n\n lead\nt 20\r\nMapname x\n", rules, hooks);
  EXPECT_EQ(rules, (std::vector<RuleRow>{{"sv_hostname", "My  Server"}, {"", ""}, {"", "lead"}, {"t", "20\r"}, {"Mapname", "x"}}));
  EXPECT_EQ(map, "q2dm1");  // the hook wants "mapname" exactly
}

TEST(ParseUserInfo, CapturedBotAndQuakeTwoSkin) {
  std::vector<UserInfoRow> rows{{"kept", "row"}};
  std::vector<std::string> pictures;
  ParseUserInfo(kQuake3, test::Capture("q3_dumpuser_2"), rows, [&](const std::string& v) { pictures.push_back(v); });
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0], (UserInfoRow{"kept", "row"}));
  EXPECT_EQ(rows[1], (UserInfoRow{"sex", "Male"}));
  EXPECT_EQ(rows.back(), (UserInfoRow{"name", "VeryLongName", "^1Very^7LongName"}));
  EXPECT_EQ(pictures, (std::vector<std::string>{"sarge"}));

  rows.clear();
  pictures.clear();
  ParseUserInfo(kQuake2, test::Capture("hand_q2_dumpuser"), rows, [&](const std::string& v) {
    pictures.push_back(v);
    throw std::runtime_error("no picture");
  });
  EXPECT_EQ(rows, (std::vector<UserInfoRow>{{"name", "BlueMan"}, {"skin", "male/grunt"}, {"rate", "25000"}, {"msg", "1"}}));
  EXPECT_EQ(pictures, (std::vector<std::string>{"male/grunt"}));

  rows.clear();
  ParseUserInfo(kQuake3, kPrint + "userinfo\n--------\nNAME  ^4Blue^7Man \n\nmodel sarge/blue\nskin x\n", rows,
                [&](const std::string& v) { pictures.push_back("q3:" + v); });
  EXPECT_EQ(rows, (std::vector<UserInfoRow>{{"NAME", "BlueMan", "^4Blue^7Man"}, {"", ""}, {"model", "sarge/blue"}, {"skin", "x"}}));
  EXPECT_EQ(pictures.back(), "q3:sarge/blue");
}

}  // namespace

namespace {

// Every reader keeps the name as the game shows it beside the clean one, for Quake 3 only.
TEST(ColouredNames, KeptBesideTheCleanNameWhereTheyDiffer) {
  struct Case {
    const char* raw;       // the name as the server printed it
    const char* clean;
    const char* coloured;  // empty: shown as the clean name
  };
  const Case cases[] = {
      {"Sarge", "Sarge", ""},
      {"^1Sar^7ge", "Sarge", "^1Sar^7ge"},
      {"Sarge^7", "Sarge", ""},            // a code at the end colours nothing
      {"^3Gold^7^7", "Gold", "^3Gold"},
      {"a^9b", "a^9b", ""},                // not a code to the clean name, one to the game
      {"Tab\tName", "Tab)Name", ""},       // special characters are mapped in both
      {"^2A\tB", "A)B", "^2A)B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    const std::string raw = c.raw;
    std::vector<PlayerRow> rows;
    ParseStatusResponse(kQuake3, kPrint + "info\n1 2 \"" + raw + "\"\n", rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, c.clean);
    EXPECT_EQ(rows[0].colouredName, c.coloured);
    const auto table = Table(kQuake3, Q3IoTable(" 4     1   30 " + raw + "   ^7bot          16384\n"));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].colouredName, c.coloured);
    std::vector<UserInfoRow> info;
    ParseUserInfo(kQuake3, kPrint + "userinfo\n--------\nname " + raw + "\n", info);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].colouredValue, c.coloured);

    rows.clear();
    ParseStatusResponse(kQuake2, kPrint + "\\mapname\\q2dm1\n1 2 \"" + raw + "\"\n", rows);
    EXPECT_EQ(rows.at(0).colouredName, "");  // Quake 2 has no colour codes
  }
}

}  // namespace
