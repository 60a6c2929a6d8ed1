// The Quake 3 replies of the test server, checked against what a real ioquake3 server sends.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/gameserver/sample_players.h"
#include "wire_helpers.h"

namespace test {
namespace {

GameServerConfig Quake3(std::vector<Player> players = {}) {
  GameServerConfig config;
  config.password = "secret";
  config.players = std::move(players);
  return config;
}

// The 14 bots of the recorded table, with the scores they had.
std::vector<Player> RecordedBots() {
  const std::pair<const char*, int> bots[] = {{"Sarge", 2},    {"^1Very^7LongName", 1}, {"Grism", 3},   {"Beret", 3},
                                              {"Kyonshi", 1},  {"Major", 4},            {"Merman", 1},  {"Penguin", 2},
                                              {"Sergei", 1},   {"Skelebot", 1},         {"Gargoyle", 2}, {"Liz", 0},
                                              {"Jenna", 3},    {"Tanisha", 0}};
  std::vector<Player> players;
  for (const auto& [name, score] : bots) players.push_back(Player::Bot(name, "sarge", score));
  return players;
}

TEST(Quake3Query, StatusResponseHoldsInfoStringAndOneLinePerPlayer) {
  Wire wire(Quake3(MixedPlayers()));
  const auto lines = Lines(wire.Query());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], kMarker + "statusResponse");
  EXPECT_EQ(lines[1].substr(0, 14), "\\com_protocol\\");
  EXPECT_NE(lines[1].find("\\mapname\\q3dm17\\"), std::string::npos);
  EXPECT_NE(lines[1].find("\\sv_hostname\\^1Test ^7Server\\"), std::string::npos);
  // Cvars that are not server info stay out of it.
  EXPECT_EQ(lines[1].find("rconpassword"), std::string::npos);
  // The zombie is not listed; the client still connecting is.
  const std::vector<std::string> players(lines.begin() + 2, lines.end());
  EXPECT_EQ(players, (std::vector<std::string>{"0 0 \"^3Host\"", "12 0 \"Sarge\"", "3 0 \"^1Very^7LongName\"",
                                               "7 48 \"Name With Spaces\"", "-2 112 \"ABCDEFGHIJKLMNOPQRST\"",
                                               "5 75 \"^4Blue^7Man\"", "0 999 \"Newcomer\""}));
}

TEST(Quake3Query, ChallengeGoesFirstAndTheWordIgnoresCase) {
  Wire wire(Quake3());
  wire.client.Send(wire.server.Port(), kMarker + "GETSTATUS xyz");
  const auto reply = wire.client.Receive(2s);
  ASSERT_TRUE(reply);
  const std::string start = "\\challenge\\xyz\\com_protocol\\71\\";
  EXPECT_EQ(Lines(*reply).at(1).substr(0, start.size()), start);
  // An ended line: no player lines, the reply ends with the info string's line feed.
  EXPECT_EQ(reply->back(), '\n');
}

TEST(Quake3Query, SinglePlayerServersDoNotAnswerIt) {
  Wire wire(Quake3());
  wire.server.SetCvar("g_gametype", "2");
  wire.client.Send(wire.server.Port(), QueryPacket(Game::Quake3));
  EXPECT_FALSE(wire.client.Receive(150ms));
  EXPECT_TRUE(wire.server.WaitForDatagrams(1, 1s));
}

TEST(Quake3Status, FourteenBotsSplitExactlyAsTheRealServer) {
  GameServerConfig config = Quake3(RecordedBots());
  config.map = "oasago2";
  Wire wire(config);
  const auto replies = wire.Rcon("status");
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0], kPrint + Capture("q3-status-14-bots.1.txt"));
  EXPECT_EQ(replies[1], kPrint + Capture("q3-status-14-bots.2.txt"));
  EXPECT_EQ(replies[0].size(), 1017u);
  EXPECT_EQ(replies[1].size(), 265u);
}

TEST(Quake3Status, StockBotsOnAStockMapBreakInsideRowTen) {
  Wire wire(Quake3(BotPlayers(14)));
  const auto replies = wire.Rcon(" status");
  ASSERT_EQ(replies.size(), 2u);
  ASSERT_EQ(replies[0].size(), 1017u);
  const std::string first = PrintText(replies[0]);
  const std::string tail = "Beret" + Spaces(11) + "^7bot" + Spaces(24);
  EXPECT_EQ(first.substr(first.size() - tail.size()), tail);
  EXPECT_EQ(first.substr(first.rfind('\n') + 1, 14), "10     3    0 ");
  const std::string second = PrintText(replies[1]);
  EXPECT_EQ(second.substr(0, 19), Spaces(13) + "16384\n");
  const auto rows = Lines(second);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[1].substr(0, 3), "11 ");
  EXPECT_EQ(rows[3].substr(0, 3), "13 ");
  EXPECT_EQ(rows[4], "");
  EXPECT_EQ(second.substr(second.size() - 2), "\n\n");
}

TEST(Quake3Status, TodaysLayoutPadsByVisibleLengthAndColoursTheAddress) {
  Wire wire(Quake3(MixedPlayers()));
  const auto lines = Lines(wire.RconText(" status"));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "map: q3dm17");
  EXPECT_EQ(lines[1], "cl score ping name            address                                 rate ");
  EXPECT_EQ(lines[2], "-- ----- ---- --------------- --------------------------------------- -----");
  EXPECT_EQ(lines[3], " 0     0    0 ^3Host" + Spaces(12) + "^7loopback" + Spaces(31) + " 25000");
  EXPECT_EQ(lines[4], " 1    12    0 Sarge" + Spaces(11) + "^7bot" + Spaces(36) + " 16384");
  EXPECT_EQ(lines[5], " 2     3    0 ^1Very^7LongName" + Spaces(4) + "^7bot" + Spaces(36) + " 16384");
  // A name of 16 or more visible characters still gets one space.
  EXPECT_EQ(lines[6], " 3     7   48 Name With Spaces ^7127.0.0.1:27961" + Spaces(24) + " 25000");
  EXPECT_EQ(lines[7], " 4    -2  112 ABCDEFGHIJKLMNOPQRST ^7203.0.113.7:27960" + Spaces(22) + " 25000");
  EXPECT_EQ(lines[8], " 5     5   75 ^4Blue^7Man" + Spaces(9) + "^7198.51.100.23:50123" + Spaces(20) + " 25000");
  EXPECT_EQ(lines[9], " 6     0 CNCT Newcomer" + Spaces(8) + "^7203.0.113.50:27960" + Spaces(21) + " 25000");
  EXPECT_EQ(lines[10], " 7     1 ZMBI Ghost" + Spaces(11) + "^7203.0.113.51:27960" + Spaces(21) + " 25000");
  EXPECT_EQ(lines[11], "");
}

TEST(Quake3Status, OriginalLayoutPadsByByteLengthWithColourResetAfterTheName) {
  Player bot = Player::Bot("^1Very^7LongName", "angelyss", 3);
  Player human = Player::Human("Sarge", "127.0.0.1:27961", 48, 7);
  human.qport = 1234;
  Player connecting = Player::Human("ABCDEFGHIJKLMNOPQRST", "203.0.113.7:27960", 999);
  connecting.state = PlayerState::Connecting;
  connecting.qport = 60001;
  connecting.lastmsg = 1234567;
  GameServerConfig config = Quake3({bot, human, connecting});
  config.layout = StatusLayout::Original;
  Wire wire(config);
  const auto lines = Lines(wire.RconText(" status"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "num score ping name            lastmsg address               qport rate");
  EXPECT_EQ(lines[2], "--- ----- ---- --------------- ------- --------------------- ----- -----");
  EXPECT_EQ(lines[3], "  0     3    0 ^1Very^7LongName^7      0 bot" + Spaces(19) + "    0 16384");
  EXPECT_EQ(lines[4], "  1     7   48 Sarge^7" + Spaces(11) + "     50 127.0.0.1:27961" + Spaces(7) + " 1234 25000");
  EXPECT_EQ(lines[5], "  2     0 CNCT ABCDEFGHIJKLMNOPQRST^71234567 203.0.113.7:27960" + Spaces(5) + "60001 25000");
  EXPECT_EQ(lines[6], "");
  // The layout can change while the server runs.
  wire.server.SetLayout(StatusLayout::Ioquake3);
  EXPECT_EQ(Lines(wire.RconText("status")).at(1).substr(0, 3), "cl ");
}

TEST(Quake3ServerInfo, StockListingSplitsExactlyAsTheRealServer) {
  const std::pair<const char*, const char*> listing[] = {
      {"com_protocol", "71"}, {"version", "ioq3 1.36+u20221123.70d07d9+dfsg-1/Debian linux-x86_64 Jan  8 2023"},
      {"com_gamename", "Quake3Arena"}, {"dmflags", "0"}, {"fraglimit", "20"}, {"timelimit", "0"},
      {"g_gametype", "0"}, {"mapname", "oasago2"}, {"sv_privateClients", "0"}, {"sv_hostname", "noname"},
      {"sv_maxclients", "8"}, {"sv_minRate", "0"}, {"sv_maxRate", "0"}, {"sv_dlRate", "100"},
      {"sv_minPing", "0"}, {"sv_maxPing", "0"}, {"sv_floodProtect", "1"}, {"sv_allowDownload", "0"},
      {"bot_minplayers", "0"}, {"gamename", "baseoa"}, {"g_maxGameClients", "0"}, {"videoflags", "7"},
      {"elimflags", "0"}, {"voteflags", "767"}, {"capturelimit", "8"}, {"g_doWarmup", "0"},
      {"g_needpass", "0"}, {"g_allowVote", "1"}, {"g_voteGametypes", "/0/1/3/4/5/6/7/8/9/10/11/12/"},
      {"g_voteMaxTimelimit", "1000"}, {"g_voteMinTimelimit", "0"}, {"g_voteMaxFraglimit", "0"},
      {"g_voteMinFraglimit", "0"}, {"g_obeliskRespawnDelay", "10"}, {"g_enableDust", "0"},
      {"g_enableBreath", "0"}, {"g_delagHitscan", "0"}, {"elimination_roundtime", "120"}, {"g_rockets", "0"},
      {"g_instantgib", "0"}, {"g_lms_mode", "0"}, {"g_altExcellent", "0"}, {"g_timestamp", "2026-12-08 01:17:44"}};
  GameServerConfig config = Quake3();
  config.stockCvars = false;
  for (const auto& [name, value] : listing) config.cvars.push_back({name, value, {}, kServerInfo});
  config.cvars.push_back({"sv_cheats", "0", {}, kReadOnly});
  Wire wire(config);
  const auto replies = wire.Rcon(" serverinfo");
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0], kPrint + Capture("q3-serverinfo.1.txt"));
  EXPECT_EQ(replies[1], kPrint + Capture("q3-serverinfo.2.txt"));
  // Cvars outside the server info are there all the same.
  EXPECT_EQ(wire.RconText("sv_cheats"), "\"sv_cheats\" is:\"0^7\"\n");
}

TEST(Quake3ServerInfo, StockServerSizesMatchTheMeasuredOnes) {
  Wire wire(Quake3(BotPlayers(14)));
  // Like a real server with 14 bots: a status response above 1024 bytes, and server info in two
  // datagrams of which only the first carries the heading (and mapname and g_gametype).
  EXPECT_GT(wire.Query().size(), 1024u);
  const auto replies = wire.Rcon("serverinfo");
  ASSERT_EQ(replies.size(), 2u);
  const std::string first = PrintText(replies[0]);
  EXPECT_EQ(first.substr(0, 22), "Server info settings:\n");
  EXPECT_NE(first.find("\ng_gametype           0\n"), std::string::npos);
  EXPECT_NE(first.find("\nmapname              q3dm17\n"), std::string::npos);
  EXPECT_EQ(PrintText(replies[1]).find("Server info settings:"), std::string::npos);
  EXPECT_EQ(Lines(first).size() + Lines(PrintText(replies[1])).size(), 44u);
}

TEST(Quake3Rcon, RefusesWrongMissingAndEmptyPasswords) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText("status", "wrong"), "Bad rconpassword.\n");
  EXPECT_EQ(wire.RconText("status", "SECRET"), "Bad rconpassword.\n");
  // An empty password box: "rcon", three spaces, status. The command word is taken as password.
  EXPECT_EQ(wire.RconText(" status", ""), "Bad rconpassword.\n");
  wire.client.Send(wire.server.Port(), kMarker + "rcon");
  EXPECT_EQ(PrintText(wire.client.Receive(2s).value_or("")), "Bad rconpassword.\n");
  // Bytes above 127 turn into '.' before the password is compared.
  wire.server.SetPassword("secr.t");
  EXPECT_EQ(wire.RconText("echo hi", "secr\xe9t"), "hi\n");
  EXPECT_TRUE(wire.server.Commands() == std::vector<std::string>{"echo hi"});
}

TEST(Quake3Rcon, ServerWithoutPasswordRefusesEveryone) {
  Wire wire(GameServerConfig{});
  EXPECT_EQ(wire.RconText("status", "secret"), "No rconpassword set on the server.\n");
  EXPECT_EQ(wire.RconText("status", ""), "No rconpassword set on the server.\n");
  EXPECT_TRUE(wire.server.Commands().empty());
}

TEST(Quake3Cvars, QueriesAnswerWithValueAndDefault) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText("sv_hostname"), "\"sv_hostname\" is:\"^1Test ^7Server^7\" default:\"noname^7\"\n");
  // Names match in any letter case and are answered as registered.
  EXPECT_EQ(wire.RconText("SV_HOSTNAME"), "\"sv_hostname\" is:\"^1Test ^7Server^7\" default:\"noname^7\"\n");
  EXPECT_EQ(wire.RconText("timelimit"), "\"timelimit\" is:\"0^7\", the default\n");
  EXPECT_EQ(wire.RconText("version"),
            "\"version\" is:\"ioq3 1.36+u20221123.70d07d9+dfsg-1/Debian linux-x86_64 Jan  8 2023^7\"\n");
  EXPECT_EQ(wire.RconText("set timelimit"), "\"timelimit\" is:\"0^7\", the default\n");
  EXPECT_EQ(wire.RconText("set nosuchcvar"), "Cvar nosuchcvar does not exist.\n");
  EXPECT_EQ(wire.RconText("nosuchcvar"), "unknown command: nosuchcvar\n");
  EXPECT_EQ(wire.RconText("set"), "usage: set <variable> <value>\n");
}

TEST(Quake3Cvars, ListingPrintsEveryCvarNewestFirstInTheRealServersForm) {
  Wire wire(Quake3());
  wire.server.SetCvar("zz_newest", "say \"hi\" ^7");
  const auto replies = wire.Rcon("cvarlist");
  ASSERT_EQ(replies.size(), 3u);
  std::string text;
  for (const std::string& reply : replies) {
    const std::string piece = PrintText(reply);
    EXPECT_LE(piece.size(), 1007u);
    // Each flag column is printed alone and the rest of the line at once, so a datagram ends
    // after a line or among the flag columns, never inside a name or a value.
    const std::string tail = piece.substr(piece.rfind('\n') + 1);
    EXPECT_EQ(tail.find_first_not_of("SsURIALC? "), std::string::npos) << tail;
    text += piece;
  }
  const auto lines = Lines(text);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "          zz_newest \"say \"hi\" ^7\"");
  // As the real server prints these (tests/data/captures/q3_cvarlist_*.bin), but for the
  // flags the test server does not keep (archive, system info).
  for (const char* line : {"S   I     com_protocol \"71\"", "S  R      mapname \"q3dm17\"", "S     L   g_gametype \"0\"",
                           "   R      sv_cheats \"0\"", "S         sv_hostname \"^1Test ^7Server\""}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
  const std::string count = std::to_string(lines.size() - 3);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"", count + " total cvars", count + " cvar indexes"}));
}

TEST(Quake3Cvars, SettingJoinsTheArgumentsAndCreatesNewCvars) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText("sv_hostname a  b  c"), "");
  EXPECT_EQ(wire.server.Cvar("sv_hostname"), "a b c");
  EXPECT_EQ(wire.RconText("SV_HOSTNAME \"a  b\""), "");
  EXPECT_EQ(wire.server.Cvar("sv_hostname"), "a  b");
  EXPECT_EQ(wire.RconText("set FRAGLIMIT 30"), "");
  EXPECT_EQ(wire.server.Cvar("fraglimit"), "30");
  EXPECT_EQ(wire.RconText("set foo bar"), "");
  EXPECT_EQ(wire.RconText("foo"), "\"foo\" is:\"bar^7\", the default\n");
  // sets puts the cvar into the server info.
  EXPECT_EQ(wire.RconText("sets g_motd hello"), "");
  EXPECT_NE(Lines(wire.Query()).at(1).find("\\g_motd\\hello"), std::string::npos);
}

TEST(Quake3Cvars, ProtectedCvarsRefuseWithTheNameAsTyped) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText("sv_cheats 1"), "sv_cheats is read only.\n");
  EXPECT_EQ(wire.RconText("SV_CHEATS 1"), "sv_cheats is read only.\n");
  EXPECT_EQ(wire.RconText("set SV_CHEATS 1"), "SV_CHEATS is read only.\n");
  EXPECT_EQ(wire.RconText("sv_cheats 0"), "");  // the value it has: nothing to refuse
  EXPECT_EQ(wire.RconText("com_protocol 68"), "com_protocol is write protected.\n");
  EXPECT_EQ(wire.RconText("timescale 2"), "timescale is cheat protected.\n");
  EXPECT_EQ(wire.server.Cvar("sv_cheats"), "0");
  EXPECT_EQ(wire.server.Cvar("timescale"), "1");
}

TEST(Quake3Cvars, LatchedCvarsWaitForTheNextMap) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText(" g_gametype 3"), "g_gametype will be changed upon restarting.\n");
  EXPECT_EQ(wire.RconText("g_gametype 3"), "");
  EXPECT_EQ(wire.RconText("g_gametype"), "\"g_gametype\" is:\"0^7\", the default\nlatched: \"3\"\n");
  EXPECT_EQ(wire.server.LatchedCvar("g_gametype"), "3");
  const auto output = wire.Rcon("map q3dm1");
  ASSERT_EQ(output.size(), 1u);
  EXPECT_NE(PrintText(output[0]).find("Server: q3dm1\n"), std::string::npos);
  EXPECT_EQ(wire.RconText("g_gametype"), "\"g_gametype\" is:\"3^7\" default:\"0^7\"\n");
  // Going back to the current value clears a pending change without a word.
  EXPECT_EQ(wire.RconText("g_gametype 4"), "g_gametype will be changed upon restarting.\n");
  EXPECT_EQ(wire.RconText("set g_gametype 3"), "");
  EXPECT_EQ(wire.server.LatchedCvar("g_gametype"), std::nullopt);
}

TEST(Quake3Map, UnknownMapsAreRefusedKnownOnesLoad) {
  Wire wire(Quake3({Player::Bot("Sarge", "sarge", 9)}));
  EXPECT_EQ(wire.RconText(" map nosuchmap"), "Can't find map maps/nosuchmap.bsp\n");
  EXPECT_EQ(wire.RconText("map"), "Can't find map maps/.bsp\n");
  EXPECT_EQ(wire.server.Map(), "q3dm17");
  wire.Rcon("MAP q3tourney2");
  EXPECT_EQ(wire.server.Map(), "q3tourney2");
  EXPECT_EQ(Lines(wire.RconText("status")).at(0), "map: q3tourney2");
  EXPECT_EQ(wire.server.Players().at(0).score, 0);  // a new map starts a new game
  wire.server.SetMaps({"oasago2"});
  EXPECT_EQ(wire.RconText("map q3dm1"), "Can't find map maps/q3dm1.bsp\n");
}

TEST(Quake3Players, DumpUserPrintsTheUserInfoLikeTheRealServer) {
  Player bot = Player::Bot("^1Very^7LongName", "angelyss");
  bot.userinfo = {{"sex", "female"},         {"team", "blue"},       {"skill", " 3.00"},
                  {"characterfile", "bots/angelyss_c.c"}, {"color2", "5"}, {"color1", "4"},
                  {"team_headmodel", "angelyss"}, {"headmodel", "angelyss"}, {"team_model", "angelyss"},
                  {"model", "angelyss"},     {"handicap", "90"},     {"snaps", "20"},
                  {"rate", "25000"},         {"name", "^1Very^7LongName"}};
  bot.slot = 1;
  Wire wire(Quake3({Player::Bot("Sarge"), bot}));
  EXPECT_EQ(wire.RconText(" dumpuser 1"), Capture("q3-dumpuser-bot.txt"));
  // A name without its colours, in any case, finds the player too.
  EXPECT_EQ(wire.RconText("dumpuser verylongname"), Capture("q3-dumpuser-bot.txt"));
  const std::string built = wire.RconText("dumpuser 0");
  EXPECT_NE(built.find("\nmodel" + Spaces(16) + "sarge\n"), std::string::npos) << built;
  EXPECT_NE(built.find("\nname" + Spaces(17) + "Sarge\n"), std::string::npos) << built;
  EXPECT_EQ(wire.RconText("dumpuser 42"), "Player 42 is not on the server\n");
  EXPECT_EQ(wire.RconText("dumpuser"), "Usage: dumpuser <userid>\n");
}

TEST(Quake3Players, KickRemovesThePlayerAndRefusesTheHost) {
  Wire wire(Quake3(MixedPlayers()));
  EXPECT_EQ(wire.RconText(" kick 1"), "broadcast: print \"Sarge^7 was kicked\\n\"\nClientDisconnect: 1\n");
  EXPECT_EQ(wire.RconText("kick 1"), "Player 1 is not on the server\n");
  EXPECT_EQ(wire.RconText("kick 0"), "Cannot kick host player\n");
  EXPECT_EQ(wire.RconText("kick \"name with spaces\""),
            "broadcast: print \"Name With Spaces^7 was kicked\\n\"\nClientDisconnect: 3\n");
  EXPECT_EQ(wire.RconText("clientkick 42"), "Bad client slot: 42\n");
  EXPECT_EQ(wire.RconText("clientkick 1"), "Client 1 is not active\n");
  EXPECT_EQ(wire.RconText("clientkick abc"), "Bad slot number: abc\n");
  EXPECT_EQ(wire.RconText("clientkick 2"),
            "broadcast: print \"^1Very^7LongName^7 was kicked\\n\"\nClientDisconnect: 2\n");
  EXPECT_EQ(wire.RconText("kick"), "Usage: kick <player name>\nkick all = kick everyone\nkick allbots = kick all bots\n");
  std::vector<int> slots;
  for (const auto& player : wire.server.Players()) slots.push_back(player.slot);
  EXPECT_EQ(slots, (std::vector<int>{0, 4, 5, 6, 7}));
  const auto lines = Lines(wire.RconText("status"));
  EXPECT_EQ(lines.size(), 3u + 5u + 1u);
  // "all" spares the host.
  wire.RconText("kick all");
  ASSERT_EQ(wire.server.Players().size(), 1u);
  EXPECT_EQ(wire.server.Players()[0].address, "loopback");
}

TEST(Quake3Console, OtherCommands) {
  Wire wire(Quake3());
  EXPECT_EQ(wire.RconText("nosuchcommand foo bar"), "unknown command: nosuchcommand\n");
  EXPECT_EQ(wire.RconText("say hello there"), "console: hello there\n");
  EXPECT_EQ(wire.RconText(""), "");  // nothing to run still answers an empty print
  EXPECT_EQ(wire.RconText("status // a comment"), wire.RconText("status"));
}

}  // namespace
}  // namespace test
