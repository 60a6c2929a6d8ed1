// Pictures of the windows for a person to look at: run with CORVANE_SHOT_DIR set (under
// xvfb-run with QT_QPA_PLATFORM=xcb for the real look); skipped otherwise.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMdiSubWindow>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "monitor_fixture.h"
#include "support/stand_in_resolver.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

using Screenshots = MonitorWire;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Save(QWidget& widget, const char* name) {
  const std::string path = std::string(std::getenv("CORVANE_SHOT_DIR")) + "/" + name;
  widget.grab().save(QString::fromStdString(path));
}

TEST_F(Screenshots, BothWindowsWithTheirPlayers) {
  if (!std::getenv("CORVANE_SHOT_DIR")) GTEST_SKIP() << "CORVANE_SHOT_DIR not set";
  dir_.Write("levels/Quake3/q3-dm-maps.txt", "q3dm17\tThe Longest Yard\r\nq3dm6\tThe Camping Grounds\r\n");
  dir_.Write("players/Question.bmp", ReadFile(SourceDir() + "/data/players/Question.bmp"));
  GameServerConfig q3;
  q3.password = "secret";
  q3.players = MixedPlayers();
  for (Player& p : BotPlayers(14 - static_cast<int>(q3.players.size()))) {
    p.slot = -1;
    q3.players.push_back(p);
  }
  q3.lifetime = 30s;
  GameServer server3(q3);
  server3.Start();
  host_.area.resize(1200, 560);
  TF_Q3Server* w3 = Open<TF_Q3Server>(server3, "secret");
  w3->setWindowTitle("OpenArena test - 127.0.0.1:" + QString::number(server3.Port()));
  ASSERT_TRUE(WaitPolling(w3));
  w3->TB_Refresh->setValue(1);
  ASSERT_TRUE(WaitFor([&] { return !w3->Session().ChainWaiting() && w3->LV_Players->topLevelItemCount() == 14; }, 5000));
  // A refused change leaves its notice in the status bar.
  w3->SendRcon("set VERSION x");
  ASSERT_TRUE(WaitFor([&] { return !w3->StatusText().empty(); }));
  QTest::qWait(300);

  GameServerConfig q2 = q3;
  q2.game = Game::Quake2;
  q2.players = MixedPlayers();
  GameServer server2(q2);
  server2.Start();
  TF_Q2Server* w2 = Open<TF_Q2Server>(server2, "secret");
  ASSERT_TRUE(WaitPolling(w2));
  auto subs = host_.area.subWindowList();
  ASSERT_EQ(subs.size(), 2);
  subs[0]->move(0, 0);
  subs[1]->move(600, 0);
  QTest::qWait(300);
  Save(*w3, "q3_window.png");
  Save(*w2, "q2_window.png");
  Save(host_.area, "frame.png");

  // The player info and change-setting dialogs as they open.
  Select(w3->LV_Players, FindRow(w3->LV_Players, "Sarge"));
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(WaitFor([&] { return w3->State() == msPolling; }));
    QTest::qWait(200);
    Save(dialog, "player_info.png");
    dialog.hide();
    return static_cast<int>(platform::mrOk);
  });
  w3->PlayerInfo1->trigger();
  Select(w3->LV_Settings, w3->LV_Settings->topLevelItemCount() - 1);
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    dialog.show();
    QTest::qWait(200);
    Save(dialog, "change_setting.png");
    dialog.hide();
    return static_cast<int>(platform::mrCancel);
  });
  w3->LV_SettingsDblClick();
}

// A window waiting for its host name's address, and one whose name did not resolve.
TEST_F(Screenshots, WindowsWhileTheirHostNameIsLookedUp) {
  if (!std::getenv("CORVANE_SHOT_DIR")) GTEST_SKIP() << "CORVANE_SHOT_DIR not set";
  StandInResolver resolver;
  host_.area.resize(1200, 560);
  TF_Q3Server* failed = OpenOn<TF_Q3Server>("no-such-host.example", "27960", "secret");
  resolver.delayMs = StandInResolver::kNever;
  TF_Q3Server* waiting = OpenOn<TF_Q3Server>("q3.example.org", "27960", "secret");
  auto subs = host_.area.subWindowList();
  ASSERT_EQ(subs.size(), 2);
  subs[0]->move(0, 0);
  subs[1]->move(600, 0);
  ASSERT_TRUE(WaitFor([&] { return failed->StatusText() == "no-such-host.example: Host not found"; }));
  EXPECT_EQ(waiting->StatusText(), "Resolving q3.example.org...");
  QTest::qWait(200);
  Save(host_.area, "resolving.png");
}

}  // namespace
