// A monitor window polling a real server with 14 bots: every row complete, the whole rule
// list; then a 1-second poll with a console and the settings dialog open on the same server,
// with the server's own log proving that none of the program's requests was dropped by its
// rate limit.
#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>

#include <set>
#include <sstream>

#include "common/text.h"
#include "program_fixture.h"
#include "settings/settingsform.h"

namespace e2e {
namespace {

class Polling : public ServerGroup<Polling, false> {
};

TEST_F(Polling, EveryBotsRowIsCompleteAndEveryRuleListed) {
  window = QuickConnect(*server, "secret");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForCompleteRefresh(window, BotCount(), 20000));

  // The server's own view, through the side channel.
  const std::vector<ServerPlayer> players = server->Players();
  ASSERT_EQ(players.size(), BotCount());
  EXPECT_EQ(window->LV_Players->topLevelItemCount(), static_cast<int>(BotCount()));
  std::set<std::string> nums;
  for (const ServerPlayer& player : players) {
    SCOPED_TRACE(player.name);
    const std::vector<std::string> texts = RowOf(window->LV_Players, player);
    ASSERT_EQ(texts.size(), 6u);  // Num, Player Name, Frags, Ping, IP Address, Rate
    EXPECT_TRUE(nums.insert(texts[0]).second) << "client number " << texts[0] << " twice";
    EXPECT_LT(std::stoi(texts[0]), 20);
    EXPECT_NO_THROW((void)std::stoi(texts[2]));
    EXPECT_EQ(texts[3], "0");  // bots have no ping
    EXPECT_EQ(texts[4], "bot");
    EXPECT_EQ(texts[5], "16384");
  }
  // Sorted by the client number as text.
  for (int r = 1; r < window->LV_Players->topLevelItemCount(); ++r)
    EXPECT_LT(window->LV_Players->topLevelItem(r - 1)->text(0), window->LV_Players->topLevelItem(r)->text(0));

  // The rules list is the server's whole listing, in its order (two datagrams on the wire).
  const auto rules = server->ServerInfo();
  ASSERT_GT(rules.size(), 40u);
  ASSERT_EQ(window->LV_Settings->topLevelItemCount(), static_cast<int>(rules.size()));
  for (int r = 0; r < static_cast<int>(rules.size()); ++r) {
    EXPECT_EQ(window->LV_Settings->topLevelItem(r)->text(0).toStdString(), rules[static_cast<size_t>(r)].first);
    if (rules[static_cast<size_t>(r)].first != "g_timestamp") {
      EXPECT_EQ(window->LV_Settings->topLevelItem(r)->text(1).toStdString(), rules[static_cast<size_t>(r)].second);
    }
  }
  EXPECT_EQ(window->CB_Map->currentText(), "oa_dm1");
  EXPECT_EQ(window->CB_GameType->currentText(), "Free For All");
  EXPECT_EQ(window->L_MapName->text(), "Think Twice Or Die");  // from the shipped map list
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Polling, OneSecondPollWithAConsoleAndTheSettingsDialogLosesNoRequest) {
  window = QuickConnect(*server, "secret");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForCompleteRefresh(window, BotCount(), 20000));
  window->TB_Refresh->setValue(1);

  window->RemoteConsole1->trigger();
  auto* console = dynamic_cast<TTerminalForm*>(frame_->Children()[0]);
  ASSERT_NE(console, nullptr);

  // For half a minute the window asks every second and the console sends a command every 1.5
  // seconds, while the settings dialog is open (it reads its values once): far more than the
  // server answers, so the requests queue and take turns; none may be dropped.
  int incomplete = 0;
  int completeChecks = 0;
  int requests = 0;
  int known = 0;
  int inputs = 0;
  size_t consoleCommands = 0;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& settings = dynamic_cast<TF_Settings&>(dialog);
    QElapsedTimer clock;
    clock.start();
    qint64 nextCommand = 500;
    while (clock.elapsed() < 30000) {
      QTest::qWait(50);
      if (clock.elapsed() >= nextCommand) {
        console->E_Command->setText("serverinfo");
        QTest::keyClick(console->E_Command, Qt::Key_Return);
        ++consoleCommands;
        nextCommand += 1500;
      }
      if (window->State() == msPolling && !window->Session().ChainWaiting()) {
        ++completeChecks;
        if (!AllRowsComplete(window->LV_Players) || window->LV_Players->topLevelItemCount() != int(BotCount()))
          ++incomplete;
      }
    }
    requests = settings.QueriesSent();
    known = settings.KnownCount();
    inputs = settings.InputCount();
    return int(platform::mrCancel);
  });
  window->Settings1->trigger();
  // The console's last commands are still queued: let them go out and be answered.
  auto consoleReplies = [&] {
    size_t replies = 0;
    for (const std::string& line : console->LogLines())
      if (line == "Server info settings:") ++replies;
    return replies;
  };
  WaitFor([&] { return consoleReplies() >= consoleCommands; }, 40000);

  // The dialog read all its values with one request.
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(known, inputs);
  EXPECT_GT(completeChecks, 0);
  EXPECT_EQ(incomplete, 0);
  EXPECT_GE(consoleCommands, 15u);
  EXPECT_EQ(consoleReplies(), consoleCommands) << "every console command is answered";
  // ProgramTest::TearDown reads the server's log for dropped requests.
}

}  // namespace
}  // namespace e2e
