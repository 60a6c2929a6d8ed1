// Monitor windows on servers reached over IPv6, and host names whose look-up takes long or
// never ends: the window opens at once, says it is resolving, sends once the address is known,
// and everything else goes on meanwhile.
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include "monitor_fixture.h"
#include "support/stand_in_resolver.h"
#include "unit/net/udp_peer.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

GameServerConfig Server(Game game, bool ipv6, std::vector<Player> players) {
  GameServerConfig config;
  config.game = game;
  config.ipv6 = ipv6;
  config.password = "secret";
  config.players = std::move(players);
  config.lifetime = 60s;
  return config;
}

bool HasIPv6Loopback() { return nettest::Peer(AF_INET6).Bound(); }

net::Endpoint Loopback6() { return *net::NumericHost("::1"); }

class LookupWire : public MonitorWire {
 protected:
  // Waits until the window polls and a refresh has completed with every row filled in.
  static bool WaitComplete(TF_ServerMonitor* window, int players, int ms = 5000) {
    return WaitFor([&] {
      return window->State() == msPolling && !window->Session().ChainWaiting() &&
             window->LV_Players->topLevelItemCount() == players && AllRowsComplete(window->LV_Players) &&
             window->LV_Settings->topLevelItemCount() > 0;
    }, ms);
  }
  static QString Status(TF_ServerMonitor* window) { return window->StatusPanel0->text(); }

  StandInResolver resolver_;
};

TEST_F(LookupWire, WindowsOnIPv6AddressesAndIPv6OnlyNamesPollWithCompleteRefreshes) {
  if (!HasIPv6Loopback()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
  resolver_.names["v6only.example"] = {Loopback6()};
  resolver_.names["dual.example"] = {Loopback6(), net::Endpoint::IPv4(0x7F000001, 0)};
  const struct {
    Game game;
    bool ipv6;  // where the server listens
    std::string host;
  } cases[] = {
      {Game::Quake3, true, "::1"},
      {Game::Quake3, true, "[::1]"},
      {Game::Quake3, true, "v6only.example"},
      {Game::Quake2, true, "::1"},
      {Game::Quake2, true, "v6only.example"},
      {Game::Quake3, false, "dual.example"},  // both: the IPv4 address is taken
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host);
    GameServer server(Server(c.game, c.ipv6, BotPlayers(5)));
    server.Start();
    const std::string port = std::to_string(server.Port());
    TF_ServerMonitor* window = c.game == Game::Quake3
                                   ? static_cast<TF_ServerMonitor*>(OpenOn<TF_Q3Server>(c.host, port, "secret"))
                                   : OpenOn<TF_Q2Server>(c.host, port, "secret");
    ASSERT_TRUE(WaitComplete(window, 5));
    window->TB_Refresh->setValue(1);
    const std::size_t before = server.ReceivedCount();
    ASSERT_TRUE(WaitForCount(server, before + 3));  // the next whole refresh chain
    ASSERT_TRUE(WaitComplete(window, 5));
    EXPECT_EQ(Bytes(server).front(), RconBytes("secret", " status"));
    EXPECT_EQ(window->Client().Peer().family, c.ipv6 ? net::Family::IPv6 : net::Family::IPv4);
    EXPECT_EQ(Status(window), "");
    window->close();
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(LookupWire, AResolverThatNeverAnswersFreezesNothing) {
  resolver_.delayMs = StandInResolver::kNever;
  GameServer slow(Server(Game::Quake3, false, BotPlayers(2)));
  slow.Start();
  GameServer other(Server(Game::Quake3, false, BotPlayers(3)));
  other.Start();
  resolver_.names["slow.example"] = {net::Endpoint::IPv4(0x7F000001, 0)};

  // A window on an address polls every second; one on a name is opened and must not wait.
  TF_Q3Server* polling = Open<TF_Q3Server>(other, "secret");
  ASSERT_TRUE(WaitPolling(polling));
  polling->TB_Refresh->setValue(1);
  QElapsedTimer clock;
  clock.start();
  TF_Q3Server* waiting = OpenOn<TF_Q3Server>("slow.example", std::to_string(slow.Port()), "secret");
  TF_Q3Server* closing = OpenOn<TF_Q3Server>("slow.example", std::to_string(slow.Port()), "secret");
  EXPECT_LT(clock.elapsed(), 200);
  EXPECT_EQ(Status(waiting), "Resolving slow.example...");
  EXPECT_EQ(waiting->LampColor(), QColor(255, 255, 0));  // its first " status" waits for the address
  EXPECT_EQ(waiting->State(), msConnecting);
  waiting->TB_Refresh->setValue(1);  // its ticks find its " status" still waiting and add none

  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(50);
  const std::size_t polled = other.ReceivedCount();
  QTest::qWait(2500);
  EXPECT_GE(ticks, 30);
  EXPECT_GE(other.ReceivedCount(), polled + 6) << "the other window refreshed at least twice";
  EXPECT_EQ(slow.ReceivedCount(), 0u);
  EXPECT_EQ(Status(waiting), "Resolving slow.example...");

  // Closing a window in the middle of its look-up; then the answers come.
  closing->close();
  TestMdiHost::Settle();
  ASSERT_EQ(resolver_.Held(), 2);
  resolver_.delayMs = 0;
  resolver_.AnswerHeld();
  ASSERT_TRUE(WaitPolling(waiting));
  EXPECT_EQ(Status(waiting), "");
  // One " status" from the window that stayed, sent once: the ticks meanwhile queued none.
  const std::vector<std::string> sent = Bytes(slow);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0], RconBytes("secret", " status"));
  EXPECT_EQ(sent[1], RconBytes("secret", " serverinfo"));
  EXPECT_EQ(slow.Received().front().port, slow.Received().back().port) << "only the window that stayed talks";
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(LookupWire, ANameThatDoesNotResolveLeavesTheWindowConnectingAndSaysWhy) {
  GameServer server(Server(Game::Quake3, false, BotPlayers(2)));
  server.Start();
  resolver_.delayMs = 50;
  TF_Q3Server* window = OpenOn<TF_Q3Server>("no-such.example", std::to_string(server.Port()), "secret");
  window->TB_Refresh->setValue(1);
  EXPECT_EQ(Status(window), "Resolving no-such.example...");
  ASSERT_TRUE(WaitFor([&] { return Status(window) != "Resolving no-such.example..."; }));
  EXPECT_EQ(Status(window), "no-such.example: Host not found");
  EXPECT_EQ(window->Client().State, ssClosed);
  EXPECT_EQ(window->Client().LastError, 10038);  // the lost " status" went the way of any send on a closed client
  QTest::qWait(2200);
  // Still connecting, sending " status" each second (lost), the lamp yellow; no box.
  EXPECT_EQ(window->State(), msConnecting);
  EXPECT_EQ(window->LampColor(), QColor(255, 255, 0));
  EXPECT_EQ(server.ReceivedCount(), 0u);
  EXPECT_EQ(resolver_.asked, std::vector<std::string>{"no-such.example"});  // asked once, as the client opens once
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(LookupWire, NameLookupShowsItsBoxWhenTheAnswerComesAndNotAfterTheWindowClosed) {
  GameServer server(Server(Game::Quake3, false,
                           {Player::Human("Remote", "203.0.113.7:27960", 40), Player::Human("Other", "198.51.100.9:27960", 60)}));
  server.Start();
  resolver_.hostNames["203.0.113.7"] = "remote.example";
  resolver_.delayMs = StandInResolver::kNever;
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitComplete(window, 2));
  window->TB_Refresh->setValue(1);
  Select(window->LV_Players, FindRow(window->LV_Players, "Remote"));
  window->NameLookup1->trigger();
  EXPECT_EQ(Status(window), "Looking up 203.0.113.7...");
  const std::size_t before = server.ReceivedCount();
  QTest::qWait(1500);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_GE(server.ReceivedCount(), before + 3) << "the window went on polling";

  resolver_.AnswerHeld();
  ASSERT_TRUE(WaitFor([&] { return !dialogs_.messages.empty(); }));
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"203.0.113.7:27960 => remote.example"});
  EXPECT_EQ(Status(window), "");

  // Asked, then the window closes: the answer finds nobody.
  Select(window->LV_Players, FindRow(window->LV_Players, "Other"));
  window->NameLookup1->trigger();
  window->close();
  TestMdiHost::Settle();
  resolver_.AnswerHeld();
  QTest::qWait(100);
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

}  // namespace
