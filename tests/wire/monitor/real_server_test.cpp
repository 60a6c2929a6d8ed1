// The Quake 3 window against a real dedicated server started by hand on 127.0.0.1:
//   CORVANE_REAL_PORT=27995 CORVANE_REAL_PASSWORD=secret monitor_wire_test --gtest_filter='RealServer*'
// (CORVANE_REAL_PLAYERS: how many players to wait for, 4 bots are added each run; with
// CORVANE_SHOT_DIR set a picture is saved too). Skipped otherwise.
#include <QComboBox>

#include <cstdio>
#include <cstdlib>

#include "monitor/changesetting.h"
#include "monitor_fixture.h"

namespace {

using namespace test;

class RealServer : public MonitorWire {};

TEST_F(RealServer, BotsMapAndRuleChange) {
  const char* port = std::getenv("CORVANE_REAL_PORT");
  if (!port) GTEST_SKIP() << "CORVANE_REAL_PORT not set";
  net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  const std::string password = std::getenv("CORVANE_REAL_PASSWORD") ? std::getenv("CORVANE_REAL_PASSWORD") : "";
  auto* window = new TF_Q3Server;
  window->setWindowTitle(QString("Real server - 127.0.0.1:") + port);
  window->E_Password->setText(QString::fromStdString(password));
  window->E_Port->setText(port);
  window->E_Hostname->setText("127.0.0.1");
  window->Client().Host = "127.0.0.1";
  window->Client().Port = port;
  window->Client().Open();
  platform::Frame()->AddChild(window);
  windows_.emplace_back(window);
  window->Connect();
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
  for (int r = 0; r < window->LV_Settings->topLevelItemCount(); ++r)
    if (window->LV_Settings->topLevelItem(r)->text(0) == "timelimit") Select(window->LV_Settings, r);
  dialogs_.modalAnswers.push_back([](QDialog& dialog) {
    dynamic_cast<TF_ChangeSetting&>(dialog).E_Value->setText("25");
    return static_cast<int>(platform::mrOk);
  });
  window->LV_SettingsDblClick();
  ASSERT_TRUE(WaitFor([&] {
    for (int r = 0; r < window->LV_Settings->topLevelItemCount(); ++r)
      if (window->LV_Settings->topLevelItem(r)->text(0) == "timelimit")
        return window->LV_Settings->topLevelItem(r)->text(1) == "25";
    return false;
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

}  // namespace
