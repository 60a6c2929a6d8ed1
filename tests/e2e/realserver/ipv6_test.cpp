// The real server listening on ::1 as well (net_enabled 3, net_ip6 ::1): a monitor window
// quick-connected to "::1" polls with complete refreshes, every bot's row and every rule, at
// a one-second poll without a request dropped; a console on "::1" answers.
#include <sys/socket.h>

#include <QSlider>

#include <algorithm>

#include "program_fixture.h"
#include "unit/net/udp_peer.h"

namespace e2e {
namespace {

class IPv6 : public ServerGroup<IPv6, false> {
 public:
  static OpenArenaOptions Options() {
    OpenArenaOptions options;
    options.ipv6 = true;
    return options;
  }

 protected:
  static void SetUpTestSuite() {
    if (!nettest::Peer(AF_INET6).Bound()) return;  // no ::1 on this machine: SetUp skips
    ServerGroup::SetUpTestSuite();
  }
  void SetUp() override {
    if (!nettest::Peer(AF_INET6).Bound()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
    ServerGroup::SetUp();
  }
};

TEST_F(IPv6, AWindowOnColonColonOnePollsWithCompleteRefreshes) {
  window = QuickConnect(*server, "secret", true);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Q3A-1");
  ASSERT_TRUE(WaitForCompleteRefresh(window, BotCount(), 20000));
  EXPECT_EQ(window->Client().Peer().ToString(), "[::1]:" + server->Port6Text());
  EXPECT_EQ(window->CB_Map->currentText(), "oa_dm1");
  const auto rules = server->ServerInfo();  // asked over IPv4 on the side
  EXPECT_EQ(window->LV_Settings->topLevelItemCount(), static_cast<int>(rules.size()));

  // Ten seconds at a one-second poll: every refresh completes, none is lost to the rate limit.
  window->TB_Refresh->setValue(1);
  int complete = 0;
  int incomplete = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    QTest::qWait(100);
    if (window->State() != msPolling || window->Session().ChainWaiting()) continue;
    ++complete;
    if (!AllRowsComplete(window->LV_Players) || window->LV_Players->topLevelItemCount() != int(BotCount())) ++incomplete;
  }
  EXPECT_GT(complete, 0);
  EXPECT_EQ(incomplete, 0);
  EXPECT_TRUE(dialogs_.messages.empty());
  // ProgramTest::TearDown reads the server's log for requests from ::1 it dropped.
}

TEST_F(IPv6, AConsoleOnColonColonOneAnswers) {
  TTerminalForm* console = QuickConsole(*server, "secret", true);
  ASSERT_NE(console, nullptr);
  const auto holds = [&](const std::string& start) {
    return std::any_of(console->LogLines().begin(), console->LogLines().end(),
                       [&](const std::string& line) { return line.rfind(start, 0) == 0; });
  };
  ASSERT_TRUE(WaitFor([&] { return holds("map: oa_dm1"); }, 10000));
  console->E_Command->setText("g_gravity");
  QTest::keyClick(console->E_Command, Qt::Key_Return);
  EXPECT_TRUE(WaitFor([&] { return holds("\"g_gravity\" is:\"800^7\""); }, 10000));
}

}  // namespace
}  // namespace e2e
