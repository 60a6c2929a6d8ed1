// The server board against the real OpenArena server with 14 bots: the row filled from its
// status query (the bots told apart by their ping of 0), a watched bot kicked and added again, a
// map change, and a monitor window opened from the board polling the same server alongside it,
// with the server's own log proving that none of the requests was dropped by its rate limit.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>

#include "addressbook/serverstore.h"
#include "app/boardcommand.h"
#include "board/boardform.h"
#include "board/boardmodel.h"
#include "board/watchlistform.h"
#include "program_fixture.h"

namespace e2e {
namespace {

class Board : public ServerGroup<Board, false> {
 protected:
  QString Cell(int column) const {
    return board->LV_Servers->model()->index(board->ViewRow(0), column).data().toString();
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (int i = board->LV_Log->topLevelItemCount(); i-- > 0;)
      events.push_back(board->LV_Log->topLevelItem(i)->text(2).toStdString());
    return events;
  }
  bool Told(const std::string& event, int ms) const {
    return WaitFor([&] {
      const auto events = Events();
      return std::find(events.begin(), events.end(), event) != events.end();
    }, ms);
  }
  // Asks again now, as the board's "Refresh" does, until the event is told.
  bool ToldAfterRefresh(const std::string& event, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
      board->Btn_Refresh->click();
      if (Told(event, 2000)) return true;
    }
    return false;
  }
  TF_Board* board = nullptr;
};

TEST_F(Board, TheServersRowItsAlertsAndAMonitorWindowOpenedFromIt) {
  WriteEntry(0, {"127.0.0.1", server->PortText(), "secret", 0, "OpenArena"}, 1);
  frame_->Board1->trigger();
  board = app::OpenBoard();
  ASSERT_NE(board, nullptr);
  board->SE_Interval->setValue(5);
  dialogs_.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TF_WatchList&>(d);
    dialog.E_Pattern->setText("sarge");
    dialog.Btn_AddClick();
    return int(platform::mrOk);
  });
  board->Btn_WatchList->click();

  ASSERT_TRUE(WaitFor([&] { return board->Session().Rows()[0].lamp == board::Lamp::Answering; }, 10000));
  EXPECT_EQ(Cell(board::kNameColumn), "noname");
  EXPECT_EQ(Cell(board::kMapColumn), "oa_dm1");
  EXPECT_EQ(Cell(board::kGameTypeColumn), "Free For All");
  // Every player is a bot, and OpenArena reports its bots with ping 0.
  EXPECT_EQ(Cell(board::kPlayersColumn).toStdString(), "0/" + std::to_string(BotCount()) + "/20");
  EXPECT_GE(board->Session().Rows()[0].roundTripMs, 0);
  EXPECT_LT(board->Session().Rows()[0].roundTripMs, 1000);

  server->Rcon("kick Sarge");
  EXPECT_TRUE(ToldAfterRefresh("Sarge left", 15000));
  server->Rcon("addbot sarge 3");
  EXPECT_TRUE(ToldAfterRefresh("Sarge joined", 15000));

  server->Rcon("map oa_dm2");
  EXPECT_TRUE(ToldAfterRefresh("map changed from oa_dm1 to oa_dm2", 30000));
  EXPECT_EQ(Cell(board::kMapColumn), "oa_dm2");

  // A monitor window opened from the board polls the same server, every second, while the
  // board goes on polling; the pacer keeps the two within the server's limit together.
  board->LV_ServersDblClick(board->ViewRow(0));
  window = dynamic_cast<TF_Q3Server*>(frame_->ActiveChild());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->E_Password->text(), "secret");
  window->TB_Refresh->setValue(1);
  ASSERT_TRUE(WaitForCompleteRefresh(window, BotCount(), 30000));
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 12000) {
    board->Btn_Refresh->click();
    QTest::qWait(500);
  }
  EXPECT_EQ(board->Session().Rows()[0].lamp, board::Lamp::Answering);
  EXPECT_TRUE(dialogs_.messages.empty());
  // ProgramTest::TearDown reads the server's log for dropped requests.
}

}  // namespace
}  // namespace e2e
