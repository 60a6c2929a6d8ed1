// The Quake 3 window against a real dedicated server started by hand on 127.0.0.1:
//   CORVANE_REAL_PORT=27995 CORVANE_REAL_PASSWORD=secret monitor_wire_test --gtest_filter='RealServer*'
// (CORVANE_REAL_PLAYERS: how many players to wait for, 4 bots are added each run; with
// CORVANE_SHOT_DIR set a picture is saved too). Skipped otherwise.
#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "console/terminalunit.h"
#include "monitor/changesetting.h"
#include "monitor/playerinfoform.h"
#include "monitor_fixture.h"

namespace {

using namespace test;

class RealServer : public MonitorWire {
 protected:
  // A Quake 3 window on the server named by the environment, connected and polling.
  TF_Q3Server* OpenReal(const char* port) {
    net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
    // Each test starts with an empty pacer, but the server still counts what an earlier test
    // sent: give its bucket the time to empty.
    QTest::qWait(10000);
    return OpenAt<TF_Q3Server>(port, Password());
  }
  static std::string Password() {
    return std::getenv("CORVANE_REAL_PASSWORD") ? std::getenv("CORVANE_REAL_PASSWORD") : "";
  }
  static bool Logged(const TTerminalForm* console, const std::string& prefix) {
    const auto& lines = console->LogLines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  }
};

TEST_F(RealServer, BotsMapAndRuleChange) {
  const char* port = std::getenv("CORVANE_REAL_PORT");
  if (!port) GTEST_SKIP() << "CORVANE_REAL_PORT not set";
  TF_Q3Server* window = OpenReal(port);
  ASSERT_TRUE(WaitPolling(window));
  for (const char* bot : {" addbot sarge 3", " addbot grism 3", " addbot kyonshi 3", " addbot major 3"})
    window->SendRcon(bot);
  window->TB_Refresh->setValue(2);
  const int players = std::getenv("CORVANE_REAL_PLAYERS") ? std::atoi(std::getenv("CORVANE_REAL_PLAYERS")) : 4;
  EXPECT_TRUE(WaitFor([&] {
    return window->LV_Players->topLevelItemCount() >= players && !window->Session().ChainWaiting() &&
           AllRowsComplete(window->LV_Players);
  }, 30000));
  QTest::qWait(3000);
  for (int r = 0; r < window->LV_Players->topLevelItemCount(); ++r) {
    std::string line;
    for (const std::string& t : RowTexts(window->LV_Players, r)) line += t + " | ";
    std::printf("player: %s\n", line.c_str());
  }
  EXPECT_TRUE(AllRowsComplete(window->LV_Players));

  // A rule change through the dialog.
  if (const int row = RowWith(window->LV_Settings, 0, "timelimit"); row >= 0) Select(window->LV_Settings, row);
  dialogs_.modalAnswers.push_back([](QDialog& dialog) {
    dynamic_cast<TF_ChangeSetting&>(dialog).E_Value->setText("25");
    return static_cast<int>(platform::mrOk);
  });
  window->LV_SettingsDblClick();
  ASSERT_TRUE(WaitFor([&] {
    const int row = RowWith(window->LV_Settings, 0, "timelimit");
    return row >= 0 && window->LV_Settings->topLevelItem(row)->text(1) == "25";
  }, 15000));

  // A map change from the map box.
  window->Session().MapChosen("czest1dm");
  ASSERT_TRUE(WaitFor([&] { return window->CB_Map->currentText() == "czest1dm"; }, 30000));
  ASSERT_TRUE(WaitFor([&] {
    return window->LV_Players->topLevelItemCount() >= 4 && !window->Session().ChainWaiting() &&
           AllRowsComplete(window->LV_Players);
  }, 30000));
  std::printf("map: %s, status: %s\n", window->CB_Map->currentText().toStdString().c_str(), window->StatusText().c_str());
  if (const char* dir = std::getenv("CORVANE_SHOT_DIR"))
    window->grab().save(QString(dir) + "/real_server.png");
}

// Consoles (greeting, a command, a refused password, the saved log), a player's user info
// and a game type change that takes effect with the next map.
TEST_F(RealServer, ConsolesPlayerInfoAndGameType) {
  const char* port = std::getenv("CORVANE_REAL_PORT");
  if (!port) GTEST_SKIP() << "CORVANE_REAL_PORT not set";
  TF_Q3Server* window = OpenReal(port);
  ASSERT_TRUE(WaitPolling(window));

  window->RemoteConsole1->trigger();
  TTerminalForm* console = nullptr;
  for (QWidget* child : platform::Frame()->Children())
    if (auto* c = dynamic_cast<TTerminalForm*>(child)) console = c;
  ASSERT_NE(console, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Logged(console, "map: "); }, 10000));
  QTest::qWait(1000);  // the rest of a long status comes in further datagrams
  console->E_Command->setText("serverinfo");
  console->FormKeyPress(13);
  ASSERT_TRUE(WaitFor([&] { return Logged(console, "Server info settings:"); }, 10000));
  QTest::qWait(500);
  dialogs_.saveAnswers.push_back(QString::fromStdString(dir_.Path() + "/real.log"));
  console->Btn_Save->click();
  std::ifstream saved(dir_.Path() + "/real.log", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
  EXPECT_NE(bytes.find("Command : [serverinfo]\r\nprint\r\nServer info settings:\r\n"), std::string::npos);

  TTerminalForm* refused = OpenTerminal("Remote Console - wrong", "wrong", "127.0.0.1", port);
  ASSERT_TRUE(WaitFor([&] { return Logged(refused, "Bad rconpassword."); }, 10000));
  for (const std::string& line : refused->LogLines()) std::printf("refused console: [%s]\n", line.c_str());

  // The user info of the first player.
  ASSERT_TRUE(WaitFor([&] { return AllRowsComplete(window->LV_Players) && !window->Session().ChainWaiting(); }, 15000));
  Select(window->LV_Players, 0);
  std::vector<std::string> info;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& form = dynamic_cast<TPlayerInfoForm&>(dialog);
    EXPECT_TRUE(WaitFor([&] { return window->State() == msPolling; }, 10000));
    for (int r = 0; r < form.LV_PlayerInfo->topLevelItemCount(); ++r)
      info.push_back(RowTexts(form.LV_PlayerInfo, r)[0] + "=" + RowTexts(form.LV_PlayerInfo, r)[1]);
    return static_cast<int>(platform::mrOk);
  });
  window->PlayerInfo1->trigger();
  for (const std::string& row : info) std::printf("user info: %s\n", row.c_str());
  EXPECT_TRUE(std::any_of(info.begin(), info.end(), [](const std::string& r) { return r.rfind("model=", 0) == 0; }));
  EXPECT_EQ(window->State(), msPolling);

  // Capture the flag, then a map for it: the box follows the server.
  window->CB_GameTypeChange(4);
  window->Session().MapChosen("oa_ctf4ish");
  ASSERT_TRUE(WaitFor([&] { return window->CB_GameType->currentIndex() == 4 && window->CB_Map->currentText() == "oa_ctf4ish"; },
                      30000));
  EXPECT_EQ(window->Session().FGameType, 4);
  window->CB_GameTypeChange(0);
  window->Session().MapChosen("oasago2");
  ASSERT_TRUE(WaitFor([&] { return window->CB_GameType->currentIndex() == 0; }, 30000));
  console->close();
  refused->close();
}

}  // namespace
