// A 1-second poll against a server that answers at most a burst of 10 requests and then one
// a second per client address, while a console on the same server sends commands too.
#include <QElapsedTimer>

#include "monitor_fixture.h"
#include <QLineEdit>

#include "console/terminalunit.h"

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

  // A console on the same server, opened from the window: it shares the server's bucket and
  // reaches it through the same pacer.
  window->RemoteConsole1->trigger();
  TTerminalForm* console = nullptr;
  for (QWidget* child : platform::Frame()->Children())
    if (auto* c = dynamic_cast<TTerminalForm*>(child)) console = c;
  ASSERT_NE(console, nullptr);
  int consoleSent = 1;

  int incomplete = 0;
  int completeChecks = 0;
  QElapsedTimer clock;
  clock.start();
  qint64 nextCommand = 700;
  while (clock.elapsed() < 11000) {
    QTest::qWait(50);
    if (clock.elapsed() >= nextCommand && consoleSent < 8) {
      console->E_Command->setText("serverinfo");
      console->FormKeyPress(13);
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
  // Every console command reached the server and was answered.
  EXPECT_TRUE(WaitFor([&] { return console->FHistory.size() + 1 == static_cast<std::size_t>(consoleSent); }));
  const std::string consoleCommand = RconBytes("secret", "serverinfo");
  EXPECT_TRUE(WaitFor([&] {
    int n = 0;
    for (const std::string& b : Bytes(server)) n += b == consoleCommand;
    return n == consoleSent - 1;
  }, 12000));
  EXPECT_EQ(server.RateLimitedRequests(), 0);

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
  console->close();
}

}  // namespace
