// The Quake 2 replies of the test server, in the formats of the Quake 2 server.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/gameserver/sample_players.h"
#include "wire_helpers.h"

namespace test {
namespace {

GameServerConfig Quake2(std::vector<Player> players = {}) {
  GameServerConfig config;
  config.game = Game::Quake2;
  config.password = "secret";
  config.players = std::move(players);
  return config;
}

Player Fixed(Player player, int qport, int lastmsg) {
  player.qport = qport;
  player.lastmsg = lastmsg;
  return player;
}

TEST(Quake2Query, PrintsInfoStringThenOneLinePerPlayer) {
  Wire wire(Quake2(MixedPlayers()));
  const auto lines = Lines(wire.Query());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], kMarker + "print");
  EXPECT_EQ(lines[1].substr(0, 15), "\\mapname\\q2dm1\\");
  EXPECT_NE(lines[1].find("\\hostname\\Test Server"), std::string::npos);
  const std::vector<std::string> players(lines.begin() + 2, lines.end());
  EXPECT_EQ(players, (std::vector<std::string>{"0 0 \"^3Host\"", "12 0 \"Sarge\"", "3 0 \"^1Very^7LongName\"",
                                               "7 48 \"Name With Spaces\"", "-2 112 \"ABCDEFGHIJKLMNOPQRST\"",
                                               "5 75 \"^4Blue^7Man\"", "0 999 \"Newcomer\""}));
  // The packet words are case-sensitive.
  wire.client.Send(wire.server.Port(), kMarker + "  STATUS");
  EXPECT_FALSE(wire.client.Receive(150ms));
}

TEST(Quake2Status, TableLayout) {
  Player connecting = Player::Human("Newcomer", "127.0.0.1:27911", 0);
  connecting.state = PlayerState::Connecting;
  Player zombie = Player::Human("ABCDEFGHIJKLMNOPQRST", "203.0.113.8:27910", 0, 2);
  zombie.state = PlayerState::Zombie;
  Wire wire(Quake2({Player::Host("Host"), Fixed(Player::Human("Name With Spaces", "203.0.113.7:27910", 48, 7), 1234, 50),
                    Fixed(connecting, 40000, 9999999), Fixed(zombie, 5, 0)}));
  const auto lines = Lines(wire.RconText(" status"));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "map              : q2dm1");
  EXPECT_EQ(lines[1], "num score ping name            lastmsg address               qport ");
  EXPECT_EQ(lines[2], "--- ----- ---- --------------- ------- --------------------- ------");
  EXPECT_EQ(lines[3], "  0     0    0 Host" + Spaces(12) + "      0 loopback" + Spaces(14) + "    0");
  EXPECT_EQ(lines[4], "  1     7   48 Name With Spaces     50 203.0.113.7:27910" + Spaces(5) + " 1234");
  EXPECT_EQ(lines[5], "  2     0 CNCT Newcomer" + Spaces(8) + "9999999 127.0.0.1:27911" + Spaces(7) + "40000");
  EXPECT_EQ(lines[6], "  3     2 ZMBI ABCDEFGHIJKLMNOPQRST      0 203.0.113.8:27910" + Spaces(5) + "    5");
  EXPECT_EQ(lines[7], "");
}

TEST(Quake2Status, LongOutputComesInChunksOfAtMost1383Bytes) {
  GameServerConfig config = Quake2(BotPlayers(40));
  Wire chunked(config);
  config.chunk = 65000;
  Wire whole(config);
  const auto replies = chunked.Rcon("status");
  const auto single = whole.Rcon("status");
  ASSERT_EQ(single.size(), 1u);
  ASSERT_EQ(replies.size(), 3u);
  std::string joined;
  for (std::size_t i = 0; i < replies.size(); ++i) {
    const std::string text = PrintText(replies[i]);
    EXPECT_LE(text.size(), 1383u);
    // A datagram goes out only when the next piece (at most a 17-byte name) would not fit.
    if (i + 1 < replies.size()) {
      EXPECT_GT(text.size() + 17u, 1383u);
    }
    joined += text;
  }
  EXPECT_EQ(joined, PrintText(single[0]));
}

TEST(Quake2Rcon, WrongMissingOrUnsetPasswordsAreAllBadPasswords) {
  Wire wire(Quake2());
  EXPECT_EQ(wire.RconText("status", "wrong"), "Bad rcon_password.\n");
  EXPECT_EQ(wire.RconText(" status", ""), "Bad rcon_password.\n");
  GameServerConfig unset;
  unset.game = Game::Quake2;
  Wire open(unset);
  EXPECT_EQ(open.RconText("status", ""), "Bad rcon_password.\n");
  EXPECT_EQ(open.RconText("status", "secret"), "Bad rcon_password.\n");
  // Command names ignore case.
  EXPECT_EQ(Lines(wire.RconText("STATUS")).at(0), "map              : q2dm1");
}

TEST(Quake2Cvars, NamesAreCaseSensitive) {
  Wire wire(Quake2());
  EXPECT_EQ(wire.RconText("timelimit"), "\"timelimit\" is \"20\"\n");
  EXPECT_EQ(wire.RconText("TIMELIMIT 20"), "Unknown command \"TIMELIMIT\"\n");
  EXPECT_EQ(wire.RconText("timelimit 30"), "");
  EXPECT_EQ(wire.server.Cvar("timelimit"), "30");
  // set makes a new cvar of another case and leaves the real one alone.
  EXPECT_EQ(wire.RconText("set TIMELIMIT 5"), "");
  EXPECT_EQ(wire.server.Cvar("timelimit"), "30");
  EXPECT_EQ(wire.server.Cvar("TIMELIMIT"), "5");
}

TEST(Quake2Cvars, ListingInTheFormOfEachEngine) {
  struct Case {
    Quake2Engine engine;
    const char* hostname;  // its line
    const char* mapname;
    std::string closing;   // the last line, for n cvars
  };
  for (const Case& c : {Case{Quake2Engine::Id, "  S  hostname \"Test Server\"", "  S- mapname \"q2dm1\"", " cvars"},
                        Case{Quake2Engine::Q2pro, "hostname \"Test Server\"", "mapname \"q2dm1\"", " of N cvars"}}) {
    GameServerConfig config = Quake2();
    config.quake2Engine = c.engine;
    Wire wire(config);
    for (int i = 0; i < 40; ++i) wire.server.SetCvar("filler_" + std::to_string(i), std::string(20, 'x'));
    const auto replies = wire.Rcon("cvarlist");
    ASSERT_GE(replies.size(), 2u);
    std::string text;
    for (std::size_t i = 0; i < replies.size(); ++i) {
      const std::string piece = PrintText(replies[i]);
      EXPECT_LE(piece.size(), 1383u);
      // Q2PRO fills its buffer to the last byte, cutting lines anywhere.
      if (c.engine == Quake2Engine::Q2pro && i + 1 < replies.size()) {
        EXPECT_EQ(piece.size(), 1383u);
      }
      text += piece;
    }
    const auto lines = Lines(text);
    const std::string count = std::to_string(lines.size() - 1);
    std::string closing = c.closing;
    if (closing == " of N cvars") closing = " of " + count + " cvars";
    EXPECT_EQ(lines.back(), count + closing);
    EXPECT_EQ(lines.front(), c.engine == Quake2Engine::Id ? "     filler_39 \"xxxxxxxxxxxxxxxxxxxx\""
                                                          : "filler_39 \"xxxxxxxxxxxxxxxxxxxx\"");
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.hostname), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.mapname), lines.end());
  }
}

TEST(Quake2Cvars, ProtectionAndLatching) {
  Wire wire(Quake2());
  EXPECT_EQ(wire.RconText("mapname q2dm1"), "mapname is write protected.\n");
  EXPECT_EQ(wire.RconText("maxclients 4"), "maxclients will be changed for next game.\n");
  EXPECT_EQ(wire.RconText("maxclients 4"), "");
  EXPECT_EQ(wire.server.Cvar("maxclients"), "16");
  EXPECT_EQ(wire.RconText("hostname a\\b"), "invalid info cvar value\n");
  const std::string loading = wire.RconText("map q2dm3");
  EXPECT_EQ(loading.substr(0, 38), "------- Server Initialization -------\n");
  EXPECT_EQ(wire.server.Map(), "q2dm3");
  EXPECT_EQ(wire.server.Cvar("maxclients"), "4");
  EXPECT_EQ(wire.RconText("map nosuch"), "Can't find maps/nosuch.bsp\n");
  EXPECT_EQ(wire.server.Map(), "q2dm3");
}

TEST(Quake2Cvars, TheCommandIsRebuiltFromItsArguments) {
  Wire wire(Quake2());
  // Quotes are gone by the time the command runs, so only the first word is the value.
  EXPECT_EQ(wire.RconText("hostname \"My Server\""), "");
  EXPECT_EQ(wire.RconText("hostname"), "\"hostname\" is \"My\"\n");
  EXPECT_EQ(wire.server.Commands().at(0), "hostname My Server ");
  EXPECT_EQ(wire.RconText("set motd hi s"), "");
  EXPECT_NE(Lines(wire.Query()).at(1).find("\\motd\\hi"), std::string::npos);
  EXPECT_EQ(wire.RconText("set motd"), "usage: set <variable> <value> [u / s]\n");
  EXPECT_EQ(wire.RconText("set motd hi x"), "flags can only be 'u' or 's'\n");
}

TEST(Quake2Players, DumpUserAndKick) {
  Player grunt = Player::Human("Caf\xe9", "203.0.113.7:27910", 30);
  grunt.model = "male/grunt";
  Wire wire(Quake2({Player::Host("Host"), grunt}));
  const std::string info = wire.RconText(" dumpuser 1");
  EXPECT_EQ(info.substr(0, 18), "userinfo\n--------\n");
  EXPECT_NE(info.find("\nskin" + Spaces(16) + "male/grunt\n"), std::string::npos) << info;
  EXPECT_NE(info.find("\nip" + Spaces(18) + "203.0.113.7:27910\n"), std::string::npos) << info;
  EXPECT_EQ(wire.RconText("dumpuser 5"), "Client 5 is not active\n");
  EXPECT_EQ(wire.RconText("dumpuser"), "Usage: info <userid>\n");
  EXPECT_EQ(wire.RconText("kick 99"), "Bad client slot: 99\n");
  EXPECT_EQ(wire.RconText("kick host"), "Userid host is not on the server\n");
  // The echoed broadcast loses the high bit of every byte.
  EXPECT_EQ(wire.RconText(" kick 1"), "Cafi was kicked\nCafi disconnected\n");
  EXPECT_EQ(wire.server.Players().size(), 1u);
  EXPECT_EQ(wire.RconText("kick Host"), "Host was kicked\nHost disconnected\n");
  EXPECT_TRUE(wire.server.Players().empty());
}

TEST(Quake2ServerInfo, KeysPaddedToTwentyColumns) {
  Wire wire(Quake2());
  const auto lines = Lines(wire.RconText(" serverinfo"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Server info settings:");
  EXPECT_EQ(lines[1], "mapname" + Spaces(13) + "q2dm1");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "timelimit" + Spaces(11) + "20"), lines.end());
}

}  // namespace
}  // namespace test
