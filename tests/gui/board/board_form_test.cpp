// The board's window and its watch list dialog, and the frame's "Server &Board" command with the
// address book's changes reaching the board.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "addressbook/connectform.h"
#include "addressbook/forms.h"
#include "addressbook/newserverform.h"
#include "addressbook/serverstore.h"
#include "addressbook/spinedit.h"
#include "app/boardcommand.h"
#include "app/desktopnotice.h"
#include "app/mainunit.h"
#include "app/startup.h"
#include "board/boardform.h"
#include "board/boardmodel.h"
#include "board/watchlistform.h"
#include "common/colorcodes.h"
#include "platform/colourtext.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace {

using board::AlertKind;

std::vector<std::string> Patterns(const TF_WatchList& dialog) { return dialog.Patterns(); }

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

TEST(WatchListDialog, AddsTrimmedPatternsOnceAndRemovesTheSelected) {
  board::AlertKinds kinds;
  kinds.Set(AlertKind::MapChanged, false);
  TF_WatchList dialog({"Sarge"}, kinds, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Watch List and Alerts");
  EXPECT_FALSE(dialog.CB_Alerts[4]->isChecked());
  EXPECT_TRUE(dialog.CB_Alerts[0]->isChecked());
  EXPECT_EQ(dialog.CB_Alerts[2]->text(), "A server &stops answering");
  EXPECT_FALSE(dialog.Btn_Add->isEnabled());
  EXPECT_FALSE(dialog.Btn_Remove->isEnabled());

  struct Case {
    QString typed;
    std::vector<std::string> list;
  };
  const std::vector<Case> cases = {
      {"  *bot*  ", {"Sarge", "*bot*"}},
      {"", {"Sarge", "*bot*"}},
      {"   ", {"Sarge", "*bot*"}},
      {"SARGE", {"Sarge", "*bot*"}},  // listed already, in another case
      {QString::fromUtf8("J\u00F6rg?"), {"Sarge", "*bot*", "J\xF6rg?"}},
  };
  dialog.show();
  for (const Case& c : cases) {
    dialog.E_Pattern->setText(c.typed);
    QTest::keyClick(dialog.E_Pattern, Qt::Key_Return);  // Enter adds; it does not close the dialog
    EXPECT_EQ(Patterns(dialog), c.list) << c.typed.toStdString();
    EXPECT_TRUE(dialog.E_Pattern->text().trimmed().isEmpty());
  }
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);

  dialog.LB_Patterns->item(0)->setSelected(true);
  dialog.LB_Patterns->item(2)->setSelected(true);
  EXPECT_TRUE(dialog.Btn_Remove->isEnabled());
  dialog.Btn_Remove->click();
  EXPECT_EQ(Patterns(dialog), std::vector<std::string>{"*bot*"});
  EXPECT_FALSE(dialog.Btn_Remove->isEnabled());

  dialog.CB_Alerts[0]->setChecked(false);
  dialog.CB_Alerts[4]->setChecked(true);
  EXPECT_FALSE(dialog.Kinds().On(AlertKind::PlayerJoined));
  EXPECT_TRUE(dialog.Kinds().On(AlertKind::MapChanged));
  dialog.Btn_Ok->click();
  EXPECT_EQ(dialog.result(), platform::mrOk);
}

class BoardForm : public ::testing::Test {
 protected:
  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
};

TEST_F(BoardForm, TheWatchListAndTheIntervalAreStoredAndUsed) {
  dir.Write("Corvane.ini", "[Common]\r\nNumServers=0\r\n[WatchList]\r\nNumPatterns=1\r\nPattern0=Old\r\n");
  TF_Board board;
  EXPECT_EQ(board.windowTitle(), "Server Board");
  EXPECT_EQ(board.Settings().watchPatterns, std::vector<std::string>{"Old"});
  EXPECT_EQ(board.Session().Watched().Patterns(), std::vector<std::string>{"Old"});
  EXPECT_EQ(board.SE_Interval->value(), 30);
  EXPECT_EQ(board.SE_Interval->minimum(), 5);
  EXPECT_EQ(board.SE_Interval->maximum(), 300);

  // Cancel changes nothing.
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TF_WatchList&>(d);
    dialog.E_Pattern->setText("discarded");
    dialog.Btn_AddClick();
    return int(platform::mrCancel);
  });
  board.Btn_WatchList->click();
  EXPECT_EQ(board.Session().Watched().Patterns(), std::vector<std::string>{"Old"});

  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TF_WatchList&>(d);
    EXPECT_EQ(dialog.Patterns(), std::vector<std::string>{"Old"});
    dialog.E_Pattern->setText("^1Sarge");
    dialog.Btn_AddClick();
    dialog.CB_Alerts[4]->setChecked(false);
    return int(platform::mrOk);
  });
  board.Btn_WatchList->click();
  EXPECT_EQ(board.Session().Watched().Patterns(), (std::vector<std::string>{"Old", "^1Sarge"}));
  EXPECT_FALSE(board.Session().Kinds().On(AlertKind::MapChanged));
  board::BoardSettings stored = board::LoadBoardSettings();
  EXPECT_EQ(stored.watchPatterns, (std::vector<std::string>{"Old", "^1Sarge"}));
  EXPECT_FALSE(stored.alerts.On(AlertKind::MapChanged));

  board.SE_Interval->setValue(12);
  EXPECT_EQ(board.Session().IntervalSeconds(), 12);
  EXPECT_EQ(board::LoadBoardSettings().intervalSeconds, 12);
  EXPECT_NE(dir.Read("Corvane.ini").find("[Common]\r\nNumServers=0\r\n"), std::string::npos);
  EXPECT_TRUE(dialogs.messages.empty());

  // A file that cannot be written is reported; the list is used all the same.
  platform::testing::SetIniSaveHook([](const std::string&) { return platform::testing::IniSaveFault::FailWrite; });
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TF_WatchList&>(d);
    dialog.E_Pattern->setText("Grism");
    dialog.Btn_AddClick();
    return int(platform::mrOk);
  });
  board.Btn_WatchList->click();
  platform::testing::SetIniSaveHook(nullptr);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].text, "Unable to write to " + platform::IniFileName() + ".");
  EXPECT_EQ(board.Session().Watched().Patterns().size(), 3u);
}

TEST_F(BoardForm, RowsShowTheStoredServersAndADoubleClickAsksForTheOneUnderIt) {
  TF_Board board;
  board.SetServers({{"b.example", "27960", "", 0, "Bravo"},
                    {"a.example", "27910", "", 2, "Alpha"},
                    {"c.example", "27500", "", 1, "World"},
                    {"d.example", "1", "", 7, "Odd"}});
  const QAbstractItemModel* model = board.LV_Servers->model();
  ASSERT_EQ(model->rowCount(), 4);
  ASSERT_EQ(model->columnCount(), board::kColumnCount);
  std::vector<QString> headers;
  for (int c = 0; c < model->columnCount(); ++c) headers.push_back(model->headerData(c, Qt::Horizontal).toString());
  EXPECT_EQ(headers, (std::vector<QString>{"", "Server Name", "Address", "Game", "Map", "Game Type", "Players", "Ping",
                                            "Last Answer"}));
  struct Row {
    QString name, address, game, age;
    board::Lamp lamp;
  };
  const std::vector<Row> rows = {
      {"Bravo", "b.example:27960", "Quake 3 Arena", "never", board::Lamp::Waiting},
      {"Alpha", "a.example:27910", "Quake 2", "never", board::Lamp::Waiting},
      {"World", "c.example:27500", "Quake World", "", board::Lamp::NotPolled},
      {"Odd", "d.example:1", "Game 7", "", board::Lamp::NotPolled},
  };
  for (int r = 0; r < 4; ++r) {
    const Row& row = rows[static_cast<std::size_t>(r)];
    SCOPED_TRACE(row.name.toStdString());
    EXPECT_EQ(model->index(r, board::kNameColumn).data().toString(), row.name);  // the description until it answers
    EXPECT_EQ(model->index(r, board::kAddressColumn).data().toString(), row.address);
    EXPECT_EQ(model->index(r, board::kGameColumn).data().toString(), row.game);
    EXPECT_EQ(model->index(r, board::kAgeColumn).data().toString(), row.age);
    EXPECT_EQ(board.Session().Rows()[static_cast<std::size_t>(r)].lamp, row.lamp);
    EXPECT_FALSE(model->index(r, board::kLampColumn).data(Qt::DecorationRole).isNull());
  }
  EXPECT_EQ(model->index(2, board::kLampColumn).data(Qt::ToolTipRole).toString(),
            "Not polled: the board has no status query for Quake World");

  // Sorted by address, last first: the double click asks for the server shown under it.
  std::vector<ServerEntry> asked;
  QObject::connect(&board, &TF_Board::ServerWindowRequested, [&](const ServerEntry& entry) { asked.push_back(entry); });
  board.resize(900, 400);
  board.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
  board.LV_Servers->sortByColumn(board::kAddressColumn, Qt::DescendingOrder);
  EXPECT_EQ(model->index(0, board::kNameColumn).data().toString(), "Odd");
  const QRect second = board.LV_Servers->visualRect(model->index(1, board::kNameColumn));
  // As a mouse does it: the first click, then the second, which is the double click.
  QTest::mouseClick(board.LV_Servers->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(board.LV_Servers->viewport(), Qt::LeftButton, {}, second.center());
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], (ServerEntry{"c.example", "27500", "", 1, "World"}));
}

TEST_F(BoardForm, TheLogKeepsTheNewestAlertsFirstAndTellsEachOne) {
  TF_Board board;
  std::vector<std::string> told;
  QObject::connect(&board, &TF_Board::AlertRaised, [&](const board::Alert& alert) { told.push_back(alert.event); });
  EXPECT_EQ(board.LV_Log->headerItem()->text(0), "Time");
  EXPECT_EQ(board.LV_Log->headerItem()->text(1), "Server");
  EXPECT_EQ(board.LV_Log->headerItem()->text(2), "Event");

  // A server on the discard port, whose answers the test hands to the session itself.
  board.Session().SetWatchList(board::WatchList({"*"}));
  board.SetServers({{"127.0.0.1", "9", "", 0, "Arena"}});
  const net::Endpoint server = net::Endpoint::IPv4(0x7F000001, 9);
  auto answer = [&](int players) {
    std::string reply = "\xFF\xFF\xFF\xFFstatusResponse\n\\mapname\\q3dm17\n";
    for (int i = 0; i < players; ++i) reply += "0 0 \"P" + std::to_string(i) + "\"\n";
    board.Session().DatagramArrived(server, reply);
  };
  QTest::qWait(200);  // the first query has gone out (and may have been refused)
  answer(0);
  board.Btn_Refresh->click();
  QTest::qWait(200);
  answer(600);
  board.Btn_Refresh->click();
  QTest::qWait(200);
  answer(0);
  ASSERT_EQ(told.size(), 1200u);
  ASSERT_EQ(board.LV_Log->topLevelItemCount(), TF_Board::kLogLimit);
  EXPECT_EQ(board.LV_Log->topLevelItem(0)->text(1), "Arena");
  EXPECT_EQ(board.LV_Log->topLevelItem(0)->text(2).toStdString(), told.back());
  EXPECT_EQ(board.LV_Log->topLevelItem(TF_Board::kLogLimit - 1)->text(2).toStdString(), told[200]);
  EXPECT_EQ(board.LV_Log->topLevelItem(0)->text(0).size(), 8);  // HH:MM:SS
}

TEST_F(BoardForm, AServersNameShowsInItsGamesColours) {
  TF_Board board;
  board.resize(900, 300);
  board.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
  board.SetServers({{"127.0.0.1", "9", "", 0, "Arena"}, {"127.0.0.1", "13", "", 2, "Base"}});
  QTest::qWait(200);  // the queries have gone out (and may have been refused)
  board.Session().DatagramArrived(net::Endpoint::IPv4(0x7F000001, 9), "\xFF\xFF\xFF\xFFstatusResponse\n\\sv_hostname\\^1Red^7 Arena\n");
  board.Session().DatagramArrived(net::Endpoint::IPv4(0x7F000001, 13), "\xFF\xFF\xFF\xFFprint\n\\mapname\\q2dm1\\hostname\\^1Base\n");
  const QAbstractItemModel* model = board.LV_Servers->model();
  const QModelIndex arena = model->index(0, board::kNameColumn);
  const QModelIndex base = model->index(1, board::kNameColumn);
  EXPECT_EQ(arena.data().toString(), "Red Arena");  // sorting and copying use the clean name
  EXPECT_EQ(arena.data(platform::kColouredTextRole).toByteArray(), QByteArray("^1Red^7 Arena"));
  EXPECT_EQ(arena.data(platform::kColourCodesRole).toInt(), static_cast<int>(common::ColorCodes::IoQuake3));
  EXPECT_FALSE(base.data(platform::kColouredTextRole).isValid()) << "Quake 2 names have no colours";

  // "Red" is drawn in red.
  board.LV_Servers->clearSelection();
  const QRect cell = board.LV_Servers->visualRect(arena);
  const QImage shot = board.LV_Servers->viewport()->grab(cell).toImage();
  int red = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++red;
    }
  EXPECT_GT(red, 5);
}

TEST(DesktopNotice, NoticesThatComeTogetherAreShownAsOne) {
  using Notices = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    Notices notices;
    std::string title;
    std::string text;
  };
  Notices seven;
  for (int i = 1; i <= 7; ++i) seven.emplace_back("Arena", "P" + std::to_string(i) + " joined");
  const std::vector<Case> cases = {
      {{{"Arena", "Sarge joined"}}, "Arena", "Sarge joined"},
      {{{"Arena", "Sarge joined"}, {"Base", "stopped answering"}}, "2 alerts",
       "Arena: Sarge joined\nBase: stopped answering"},
      {seven, "7 alerts",
       "Arena: P1 joined\nArena: P2 joined\nArena: P3 joined\nArena: P4 joined\nArena: P5 joined\nand 2 more"},
  };
  for (const Case& c : cases) EXPECT_EQ(app::GatheredNotice(c.notices), std::make_pair(c.title, c.text));
  // On the offscreen platform there is no tray: nothing is shown and nothing fails.
  app::ShowDesktopNotice("Arena", "Sarge joined");
  QTest::qWait(400);
}

class BoardCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteEntry(0, {"127.0.0.1", "9", "pa", 0, "Alpha"}, 1);
    WriteEntry(1, {"127.0.0.1", "10", "pb", 2, "Bravo"}, 2);
    frame.resize(1000, 700);
    frame.show();
    app::RegisterFrameCommands(frame);
    app::CreateLongLivedForms();
  }
  void TearDown() override {
    frame.CloseAll1Click();
    Settle();
    app::DestroyLongLivedForms();
  }
  int Rows() { return app::OpenBoard()->LV_Servers->model()->rowCount(); }
  QString Name(int row) { return app::OpenBoard()->LV_Servers->model()->index(row, board::kNameColumn).data().toString(); }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  TF_Main frame;
};

TEST_F(BoardCommand, OneBoardBroughtForwardAndFollowingTheAddressBook) {
  frame.Board1->trigger();
  TF_Board* board = app::OpenBoard();
  ASSERT_NE(board, nullptr);
  ASSERT_EQ(frame.Children(), std::vector<QWidget*>{board});
  EXPECT_EQ(Rows(), 2);

  frame.ToDoList1->trigger();
  ASSERT_EQ(frame.Children().size(), 2u);
  EXPECT_NE(frame.ActiveChild(), board);
  frame.Board1->trigger();
  EXPECT_EQ(frame.Children().size(), 2u) << "no second board";
  EXPECT_EQ(frame.ActiveChild(), board);

  // New, edit, clone and delete in the select-server dialog show on the board at once.
  dialogs.modalAnswers.push_back([](QDialog&) {
    F_NewServer->E_Hostname->setText("127.0.0.1");
    F_NewServer->SE_Port->SetValue(11);
    F_NewServer->E_Description->setText("Charlie");
    return int(platform::mrOk);
  });
  ConnectForm->Btn_NewClick();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Name(2), "Charlie");

  ConnectForm->LV_Servers->setCurrentItem(ConnectForm->LV_Servers->topLevelItem(0));
  dialogs.modalAnswers.push_back([](QDialog&) {
    F_NewServer->E_Description->setText("Alpha II");
    return int(platform::mrOk);
  });
  ConnectForm->Btn_EditClick();
  EXPECT_EQ(Name(0), "Alpha II");

  dialogs.modalAnswers.push_back([](QDialog&) { return int(platform::mrOk); });
  ConnectForm->Btn_CloneClick();
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Name(3), "Alpha II");

  ConnectForm->LV_Servers->setCurrentItem(ConnectForm->LV_Servers->topLevelItem(1));
  dialogs.messageAnswers.push_back(platform::mrYes);
  ConnectForm->Btn_DeleteClick();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Name(1), "Charlie");

  // Once closed, the command opens a new board.
  board->close();
  Settle();
  EXPECT_EQ(app::OpenBoard(), nullptr);
  QTest::keyClick(&frame, Qt::Key_B, Qt::ControlModifier);
  ASSERT_NE(app::OpenBoard(), nullptr);
  EXPECT_EQ(Rows(), 3);
}

}  // namespace
