// The test server's switches and records: rate limit, silence, dropped replies, recording,
// lifetime, changes from the test thread, and the program run by hand.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <thread>

#include "support/gameserver/sample_players.h"
#include "wire_helpers.h"

namespace test {
namespace {

GameServerConfig Config(bool rateLimit = false) {
  GameServerConfig config;
  config.password = "secret";
  config.rateLimit = rateLimit;
  return config;
}

std::size_t Burst(const UdpClient& client, std::uint16_t port, const std::vector<std::string>& packets, int count) {
  for (int i = 0; i < count; ++i) client.Send(port, packets[static_cast<std::size_t>(i) % packets.size()]);
  return client.ReceiveAll(1000ms, 150ms).size();
}

TEST(GameServerRateLimit, FortyRequestsBackToBackGetTenAnswers) {
  Wire wire(Config(true));
  EXPECT_EQ(Burst(wire.client, wire.server.Port(), {QueryPacket(Game::Quake3)}, 40), 10u);
  EXPECT_EQ(wire.server.RateLimitedRequests(), 30);
  EXPECT_TRUE(wire.server.WaitForDatagrams(40, 1s));  // dropped requests are recorded all the same
}

TEST(GameServerRateLimit, QueryAndRemoteCommandsShareOneBucketPerAddress) {
  Wire wire(Config(true));
  const std::vector<std::string> mixed = {QueryPacket(Game::Quake3), RconPacket("secret", " status")};
  EXPECT_EQ(Burst(wire.client, wire.server.Port(), mixed, 20), 10u);
  // Another port of the same address is the same client.
  UdpClient other;
  EXPECT_EQ(Burst(other, wire.server.Port(), {QueryPacket(Game::Quake3)}, 3), 0u);
}

TEST(GameServerRateLimit, OffUnlessAskedAndSwitchableWhileRunning) {
  Wire wire(Config(false));
  EXPECT_EQ(Burst(wire.client, wire.server.Port(), {QueryPacket(Game::Quake3)}, 40), 40u);
  wire.server.SetRateLimit(true);
  EXPECT_EQ(Burst(wire.client, wire.server.Port(), {QueryPacket(Game::Quake3)}, 15), 10u);
}

TEST(GameServerHooks, SilentServerRecordsButAnswersNothing) {
  GameServerConfig config = Config();
  config.silent = true;
  Wire wire(config);
  wire.client.Send(wire.server.Port(), RconPacket("secret", "sv_hostname silenced"));
  EXPECT_FALSE(wire.client.Receive(150ms));
  EXPECT_TRUE(wire.server.WaitForDatagrams(1, 1s));
  EXPECT_EQ(wire.server.Cvar("sv_hostname"), "^1Test ^7Server");  // nothing was run
  wire.server.SetSilent(false);
  EXPECT_FALSE(Lines(wire.Query()).empty());
}

TEST(GameServerHooks, DroppedRepliesAreStillCarriedOut) {
  Wire wire(Config());
  wire.server.DropNextReplies(2);
  wire.client.Send(wire.server.Port(), RconPacket("secret", "set timelimit 5"));
  wire.client.Send(wire.server.Port(), QueryPacket(Game::Quake3));
  wire.client.Send(wire.server.Port(), RconPacket("secret", "timelimit"));
  const auto replies = wire.client.ReceiveAll();
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(PrintText(replies[0]), "\"timelimit\" is:\"5^7\" default:\"0^7\"\n");
  EXPECT_EQ(wire.server.DroppedReplies(), 2);
}

TEST(GameServerHooks, DropRepliesToOneCommandWord) {
  Wire wire(Config());
  wire.server.DropRepliesTo("SV_HOSTNAME");
  wire.server.DropRepliesTo("status", 1);
  wire.client.Send(wire.server.Port(), RconPacket("secret", "sv_hostname"));
  wire.client.Send(wire.server.Port(), RconPacket("secret", "sv_hostname Quiet"));
  EXPECT_FALSE(wire.client.Receive(150ms));
  EXPECT_EQ(wire.server.Cvar("sv_hostname"), "Quiet");
  EXPECT_EQ(wire.RconText("timelimit"), "\"timelimit\" is:\"0^7\", the default\n");
  wire.client.Send(wire.server.Port(), RconPacket("secret", " status"));
  EXPECT_FALSE(wire.client.Receive(150ms));
  EXPECT_EQ(Lines(wire.RconText(" status")).at(0), "map: q3dm17");  // only once
  wire.server.ClearDrops();
  EXPECT_EQ(wire.RconText("sv_hostname"), "\"sv_hostname\" is:\"Quiet^7\" default:\"noname^7\"\n");
}

TEST(GameServerHooks, DropOneDatagramOfTheNextReply) {
  Wire wire(Config());
  const auto whole = wire.Rcon("cvarlist");
  ASSERT_EQ(whole.size(), 3u);
  wire.server.DropChunk("CVARLIST", 1);
  EXPECT_EQ(wire.Rcon("cvarlist"), (std::vector<std::string>{whole[0], whole[2]}));
  EXPECT_EQ(wire.server.DroppedReplies(), 1);
  EXPECT_EQ(wire.Rcon("cvarlist"), whole);
  // An index past the reply's end drops nothing, and the rule is used up.
  wire.server.DropChunk("status", 5);
  EXPECT_EQ(wire.Rcon(" status").size(), 1u);
  EXPECT_EQ(wire.server.DroppedReplies(), 1);
}

TEST(GameServerHooks, ReplyFilterSeesTheRequest) {
  Wire wire(Config());
  std::vector<Request> seen;
  wire.server.SetReplyFilter([&](const Request& request) {
    seen.push_back(request);
    return !request.accepted && request.kind == Request::Kind::RemoteCommand;
  });
  wire.client.Send(wire.server.Port(), RconPacket("wrong", " serverinfo"));
  EXPECT_FALSE(wire.client.Receive(150ms));
  EXPECT_EQ(PrintText(wire.Rcon(" serverinfo").at(0)).substr(0, 22), "Server info settings:\n");
  EXPECT_EQ(wire.Query().substr(4, 14), "statusResponse");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].word, "serverinfo");
  EXPECT_EQ(seen[0].command, "serverinfo");
  EXPECT_EQ(seen[0].password, "wrong");
  EXPECT_TRUE(seen[1].accepted);
  EXPECT_EQ(seen[2].kind, Request::Kind::Query);
  EXPECT_EQ(seen[2].word, "getstatus");
  EXPECT_EQ(wire.server.DroppedReplies(), 1);
}

TEST(GameServerRecording, KeepsExactBytesSourcePortAndOrder) {
  Wire wire(Config());
  const std::string packets[] = {QueryPacket(Game::Quake3), RconPacket("", " status"), "not out of band"};
  for (const auto& packet : packets) wire.client.Send(wire.server.Port(), packet);
  ASSERT_TRUE(wire.server.WaitForDatagrams(3, 2s));
  EXPECT_FALSE(wire.server.WaitForDatagrams(4, 50ms));
  const auto received = wire.server.Received();
  ASSERT_EQ(received.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(received[i].bytes, packets[i]);
    EXPECT_EQ(received[i].port, wire.client.Port());
    if (i > 0) {
      EXPECT_GE(received[i].time, received[i - 1].time);
    }
  }
  EXPECT_EQ(received[0].bytes.size(), 15u);
  EXPECT_EQ(received[1].bytes, "\xff\xff\xff\xffrcon   status");
  EXPECT_EQ(wire.server.WaitForDatagram(2, 1s)->bytes, "not out of band");
  EXPECT_FALSE(wire.server.WaitForDatagram(3, 20ms));
  ASSERT_TRUE(wire.server.WaitForReplies(2, 2s));
  EXPECT_EQ(wire.server.Sent()[1].bytes, kPrint + "Bad rconpassword.\n");
  EXPECT_TRUE(wire.server.Commands().empty());  // a refused command is not run
  wire.server.ClearRecords();
  EXPECT_EQ(wire.server.ReceivedCount(), 0u);
}

TEST(GameServerLifecycle, PortsLifetimeAndStop) {
  GameServerConfig config = Config();
  config.lifetime = 150ms;
  GameServer server(config);
  EXPECT_FALSE(server.Running());
  server.Start();
  EXPECT_TRUE(server.Running());
  EXPECT_NE(server.Port(), 0);
  // The port is taken while it runs.
  GameServerConfig same = Config();
  same.port = server.Port();
  GameServer second(same);
  EXPECT_THROW(second.Start(), std::runtime_error);
  for (int i = 0; i < 100 && server.Running(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(server.Running());
  server.Stop();
  server.Stop();
}

TEST(GameServerState, ChangesFromTheTestThreadWhileAnswering) {
  Wire wire(Config());
  std::thread writer([&] {
    for (int i = 0; i < 200; ++i) {
      wire.server.SetPlayers(BotPlayers(i % 9));  // with "Late", still one datagram
      wire.server.SetCvar("sv_hostname", "Host " + std::to_string(i));
      if (i % 3 == 0) wire.server.AddPlayer(Player::Human("Late", "127.0.0.1:1", 5));
    }
  });
  std::vector<std::string> tables;
  for (int i = 0; i < 20; ++i) tables.push_back(wire.RconText("status"));
  writer.join();
  for (const auto& table : tables) {
    const auto lines = Lines(table);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "map: q3dm17");
    EXPECT_EQ(lines.back(), "");
  }
  wire.server.SetPlayers({Player::Bot("Only")});
  wire.server.SetMap("q3dm6");
  const auto lines = Lines(wire.Query());
  EXPECT_EQ(lines.back(), "0 0 \"Only\"");
  EXPECT_NE(lines[1].find("\\mapname\\q3dm6\\"), std::string::npos);
  EXPECT_EQ(wire.server.Players()[0].slot, 0);
  EXPECT_TRUE(wire.server.RemovePlayer(0));
  EXPECT_FALSE(wire.server.RemovePlayer(0));
}

TEST(GameServerProgram, RunsByHandAndStopsByItself) {
  const std::string command = std::string(CORVANE_BINARY_DIR) +
                              "/tests/support/gameserver/corvane-testserver --game q2 --port 0 --players 3 "
                              "--password pw --lifetime 1 --engine q2pro";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_TRUE(pipe);
  char line[256] = {};
  ASSERT_TRUE(std::fgets(line, sizeof line, pipe));
  const std::string banner = line;
  EXPECT_NE(banner.find("Quake 2 server on 127.0.0.1:"), std::string::npos) << banner;
  const auto port = static_cast<std::uint16_t>(std::stoi(banner.substr(banner.find("127.0.0.1:") + 10)));
  UdpClient client;
  client.Send(port, RconPacket("pw", "status"));
  const auto reply = client.Receive(2s);
  ASSERT_TRUE(reply);
  EXPECT_EQ(Lines(PrintText(*reply)).size(), 3u + 3u + 1u);
  client.Send(port, RconPacket("pw", "cvarlist"));
  const auto listing = client.Receive(2s);
  ASSERT_TRUE(listing);
  EXPECT_NE(PrintText(*listing).find(" of "), std::string::npos);  // the Q2PRO closing line
  const auto started = std::chrono::steady_clock::now();
  while (std::fgets(line, sizeof line, pipe)) {
  }
  EXPECT_EQ(::pclose(pipe), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
}

TEST(GameServerProgram, RefusesBadOptions) {
  const std::string program = std::string(CORVANE_BINARY_DIR) + "/tests/support/gameserver/corvane-testserver";
  for (const char* options :
       {"--game q4", "--port 70000", "--lifetime 0", "--players /no/such/file", "--engine q3e", "--frobnicate"}) {
    const std::string command = program + " " + options + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_TRUE(pipe);
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
    }
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << options;
  }
}

}  // namespace
}  // namespace test
