// A 1-second poll against a server that answers at most a burst of 10 requests and then one
// a second per client address, while a console on the same server sends commands too.
#include <QElapsedTimer>

#include "monitor_fixture.h"
#include "protocol/packets.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

using RateLimitWire = MonitorWire;

TEST_F(RateLimitWire, OneSecondPollWithAConsoleLosesNoRequestAndEveryRefreshCompletes) {
  net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  GameServerConfig config;
  config.password = "secret";
  config.players = BotPlayers(14);
  config.rateLimit = true;
  config.lifetime = 60s;
  GameServer server(config);
  server.Start();

  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  window->TB_Refresh->setValue(1);

  // The console shares the server and so its bucket; it reaches it through the same pacer.
  TUDPClient console;
  console.Paced = true;
  console.Host = "127.0.0.1";
  console.Port = std::to_string(server.Port());
  int consoleReplies = 0;
  console.OnData = [&](TUDPClient& client, int) {
    if (!client.ReceiveText().empty()) ++consoleReplies;
  };
  console.Open();
  console.SendText(protocol::ConsoleOpeningDatagram("secret"));
  int consoleSent = 1;

  int incomplete = 0;
  int completeChecks = 0;
  QElapsedTimer clock;
  clock.start();
  qint64 nextCommand = 700;
  while (clock.elapsed() < 11000) {
    QTest::qWait(50);
    if (clock.elapsed() >= nextCommand && consoleSent < 8) {
      console.SendText(protocol::ConsoleCommandDatagram("secret", "serverinfo"));
      ++consoleSent;
      nextCommand += 1300;
    }
    // Whenever no chain is under way, the last refresh has filled every row.
    if (window->State() == msPolling && !window->Session().ChainWaiting() && window->LV_Settings->topLevelItemCount() > 0) {
      ++completeChecks;
      if (!AllRowsComplete(window->LV_Players)) ++incomplete;
    }
  }
  EXPECT_EQ(server.RateLimitedRequests(), 0);
  EXPECT_GT(completeChecks, 0);
  EXPECT_EQ(incomplete, 0);
  EXPECT_TRUE(WaitFor([&] { return consoleReplies >= consoleSent; }, 12000));

  // The window's requests: its chains, each whole and in order.
  std::vector<std::string> mine;
  const std::string query = kFF + "  getstatus";
  std::uint16_t windowPort = 0;
  for (const Datagram& d : server.Received())
    if (d.bytes == query) windowPort = d.port;
  ASSERT_NE(windowPort, 0);
  for (const Datagram& d : server.Received())
    if (d.port == windowPort) mine.push_back(d.bytes);
  ASSERT_GE(mine.size(), 8u);
  EXPECT_EQ(mine[0], RconBytes("secret", " status"));
  EXPECT_EQ(mine[1], RconBytes("secret", " serverinfo"));
  int chains = 0;
  for (std::size_t i = 2; i + 2 < mine.size(); i += 3) {
    EXPECT_EQ(mine[i], query) << i;
    EXPECT_EQ(mine[i + 1], RconBytes("secret", " status")) << i;
    EXPECT_EQ(mine[i + 2], RconBytes("secret", " serverinfo")) << i;
    ++chains;
  }
  EXPECT_GE(chains, 2);
  console.Close();
}

}  // namespace
