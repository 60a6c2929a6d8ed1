// The server board in the frame, polling scripted Quake 3 and Quake 2 servers over loopback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "addressbook/serverstore.h"
#include "app/boardcommand.h"
#include "app/mainunit.h"
#include "app/opencommands.h"
#include "app/startup.h"
#include "board/boardform.h"
#include "board/boardmodel.h"
#include "board/watchlistform.h"
#include "games/registry.h"
#include "monitor/q3server.h"
#include "net/requestpacer.h"
#include "platform/ini.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace {

using board::Lamp;
using namespace std::chrono_literals;

constexpr int kQuake3 = 0;
constexpr int kQuakeWorld = 1;
constexpr int kQuake2 = 2;

test::GameServerConfig Config(test::Game game, std::vector<test::Player> players) {
  test::GameServerConfig config;
  config.game = game;
  config.password = "secret";
  config.players = std::move(players);
  config.lifetime = 120s;
  return config;
}

std::string PortOf(const test::GameServer& server) { return std::to_string(server.Port()); }

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

class BoardWire : public ::testing::Test {
 protected:
  void SetUp() override {
    // The real servers' pace, which the board shares with the monitor windows.
    net::RequestPacer::Instance().Reset();
    net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
    frame.resize(1200, 800);
    frame.show();
    app::RegisterFrameCommands(frame);
  }
  void TearDown() override {
    frame.CloseAll1Click();
    Settle();
    app::DestroyLongLivedForms();
    net::RequestPacer::Instance().Reset();
  }

  // Stores the servers as the address book does, then opens the board from the File menu.
  TF_Board* OpenBoard(const std::vector<ServerEntry>& entries) {
    const int count = static_cast<int>(entries.size());
    platform::testing::SetIniSyncToDisk(false);  // two hundred entries are written key by key
    for (int i = 0; i < count; ++i) WriteEntry(i, entries[static_cast<std::size_t>(i)], count);
    platform::testing::SetIniSyncToDisk(true);
    app::CreateLongLivedForms();
    frame.Board1->trigger();
    board = app::OpenBoard();
    return board;
  }
  const board::ServerRow& Row(std::size_t i) const { return board->Session().Rows().at(i); }
  // The text the board shows for a server (its place in the address book) in a column.
  QString Cell(int server, int column) const {
    const QAbstractItemModel* model = board->LV_Servers->model();
    return model->index(board->ViewRow(server), column).data().toString();
  }
  bool WaitForLamp(std::size_t server, Lamp lamp, int ms = 5000) const {
    return QTest::qWaitFor([&] { return Row(server).lamp == lamp; }, ms);
  }
  std::vector<std::string> LogEvents() const {
    std::vector<std::string> events;
    for (int i = board->LV_Log->topLevelItemCount(); i-- > 0;)
      events.push_back(board->LV_Log->topLevelItem(i)->text(1).toStdString() + ": " +
                       board->LV_Log->topLevelItem(i)->text(2).toStdString());
    return events;
  }
  bool WaitForEvent(const std::string& event, int ms) const {
    return QTest::qWaitFor(
        [&] {
          const auto events = LogEvents();
          return std::find(events.begin(), events.end(), event) != events.end();
        },
        ms);
  }
  std::string StatusText() const {
    return frame.findChild<QLabel*>("StatusText")->text().toStdString();
  }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  TF_Main frame;
  TF_Board* board = nullptr;
};

TEST_F(BoardWire, EveryStoredServerWithWhatItAnswers) {
  std::vector<test::Player> arena = test::BotPlayers(3);
  arena.push_back(test::Player::Human("^2Visor", "203.0.113.7:27960", 48, 5));
  test::GameServer q3(Config(test::Game::Quake3, arena));
  test::GameServer q2(Config(test::Game::Quake2, test::BotPlayers(2)));
  test::GameServer silent(Config(test::Game::Quake3, {}));
  test::GameServer gone(Config(test::Game::Quake3, {}));
  q3.Start();
  q2.Start();
  silent.Start();
  silent.SetSilent(true);
  gone.Start();
  const std::string gonePort = PortOf(gone);
  gone.Stop();  // nobody listens on its port now

  OpenBoard({{"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena"},
             {"127.0.0.1", PortOf(q2), "secret", kQuake2, "Base"},
             {"127.0.0.1", PortOf(silent), "", kQuake3, "Quiet"},
             {"127.0.0.1", gonePort, "", kQuake3, "Gone"},
             {"127.0.0.1", "27500", "", kQuakeWorld, "World"}});
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(frame.Children(), std::vector<QWidget*>{board});
  ASSERT_TRUE(WaitForLamp(0, Lamp::Answering));
  ASSERT_TRUE(WaitForLamp(1, Lamp::Answering));
  ASSERT_TRUE(WaitForLamp(3, Lamp::Refused));
  ASSERT_TRUE(WaitForLamp(2, Lamp::NotAnswering));
  EXPECT_EQ(Row(4).lamp, Lamp::NotPolled);

  struct Expected {
    const char* name;
    const char* map;
    const char* gameType;
    const char* players;
  };
  const std::vector<Expected> expected = {{"Test Server", "q3dm17", "Free For All", "1/3/16"},
                                          {"Test Server", "q2dm1", "Deathmatch", "2/0/16"},
                                          {"Quiet", "", "", ""},
                                          {"Gone", "", "", ""},
                                          {"World", "", "", ""}};
  for (int i = 0; i < 5; ++i) {
    const Expected& e = expected[static_cast<std::size_t>(i)];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(Cell(i, board::kNameColumn), e.name);
    EXPECT_EQ(Cell(i, board::kMapColumn), e.map);
    EXPECT_EQ(Cell(i, board::kGameTypeColumn), e.gameType);
    EXPECT_EQ(Cell(i, board::kPlayersColumn), e.players);
  }
  EXPECT_EQ(Cell(0, board::kAddressColumn).toStdString(), "127.0.0.1:" + PortOf(q3));
  EXPECT_EQ(Cell(1, board::kGameColumn), "Quake 2");
  for (int i : {0, 1}) {
    EXPECT_TRUE(std::regex_match(Cell(i, board::kPingColumn).toStdString(), std::regex("[0-9]+")));
    EXPECT_TRUE(std::regex_match(Cell(i, board::kAgeColumn).toStdString(), std::regex("[0-9]+ s ago")));
  }
  EXPECT_EQ(Cell(2, board::kAgeColumn), "never");
  EXPECT_EQ(Row(3).lampText, "Refused: no server listens on this port");
  EXPECT_EQ(Row(2).lampText, "No answer to the last query");

  // One status query each, in each game's form, and nothing else.
  EXPECT_EQ(q3.Received().size(), 1u);
  EXPECT_EQ(q3.Received()[0].bytes, test::QueryPacket(test::Game::Quake3));
  EXPECT_EQ(q2.Received().size(), 1u);
  EXPECT_EQ(q2.Received()[0].bytes, test::QueryPacket(test::Game::Quake2));
  EXPECT_TRUE(q3.Commands().empty());

  QTest::qWait(1100);  // the summary and the ages count on once a second
  EXPECT_EQ(board->L_Summary->text(), "2 of 5 servers answering, 3 people and 3 bots on them");

  // Sorting by players, most first; by name, in order of the letters.
  board->LV_Servers->sortByColumn(board::kPlayersColumn, Qt::DescendingOrder);
  EXPECT_EQ(board->RowAt(0), &Row(0));
  EXPECT_EQ(board->RowAt(1), &Row(1));
  board->LV_Servers->sortByColumn(board::kNameColumn, Qt::AscendingOrder);
  std::vector<std::string> names;
  for (int r = 0; r < 5; ++r) names.push_back(board->RowAt(r)->server.description);
  EXPECT_EQ(names, (std::vector<std::string>{"Gone", "Quiet", "Arena", "Base", "World"}));
  board->LV_Servers->sortByColumn(board::kLampColumn, Qt::AscendingOrder);
  EXPECT_EQ(board->RowAt(0)->lamp, Lamp::Answering);
  EXPECT_EQ(board->RowAt(4)->lamp, Lamp::NotPolled);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BoardWire, AServerGoingSilentAndComingBack) {
  test::GameServer q3(Config(test::Game::Quake3, test::BotPlayers(2)));
  q3.Start();
  OpenBoard({{"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena"}});
  ASSERT_TRUE(WaitForLamp(0, Lamp::Answering));
  board->SE_Interval->setValue(5);

  q3.SetSilent(true);
  // Three polls unanswered: at most three intervals and the answer wait.
  ASSERT_TRUE(WaitForEvent("Arena: stopped answering", 25000));
  EXPECT_EQ(Row(0).lamp, Lamp::NotAnswering);
  EXPECT_EQ(Row(0).lampText, "No answer to the last 3 queries");
  EXPECT_TRUE(std::regex_match(StatusText(), std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2} Arena: stopped answering")))
      << StatusText();

  q3.SetSilent(false);
  ASSERT_TRUE(WaitForEvent("Arena: answers again", 8000));
  EXPECT_EQ(Row(0).lamp, Lamp::Answering);
  EXPECT_EQ(LogEvents(), (std::vector<std::string>{"Arena: stopped answering", "Arena: answers again"}));
  EXPECT_NE(StatusText().find("Arena: answers again"), std::string::npos);
}

TEST_F(BoardWire, AWatchedPlayerJoiningAndLeavingAndAMapChange) {
  test::GameServer q3(Config(test::Game::Quake3, {test::Player::Bot("Grism")}));
  q3.Start();
  OpenBoard({{"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena"}});
  dialogs.modalAnswers.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<TF_WatchList&>(d);
    dialog.E_Pattern->setText("sarge");
    dialog.Btn_AddClick();
    return int(platform::mrOk);
  });
  board->Btn_WatchList->click();
  ASSERT_TRUE(WaitForLamp(0, Lamp::Answering));
  EXPECT_TRUE(LogEvents().empty());

  q3.AddPlayer(test::Player::Bot("^1Sarge"));
  board->Btn_Refresh->click();
  ASSERT_TRUE(WaitForEvent("Arena: Sarge joined", 5000));
  EXPECT_NE(StatusText().find("Arena: Sarge joined"), std::string::npos);
  EXPECT_NE(board->LV_Servers->model()
                ->index(board->ViewRow(0), board::kNameColumn)
                .data(Qt::ToolTipRole)
                .toString()
                .indexOf("Watched players on it: Sarge"),
            -1);

  q3.SetMap("q3dm6");
  board->Btn_Refresh->click();
  ASSERT_TRUE(WaitForEvent("Arena: map changed from q3dm17 to q3dm6", 5000));
  EXPECT_EQ(Cell(0, board::kMapColumn), "q3dm6");

  for (const test::Player& player : q3.Players())
    if (player.name == "^1Sarge") q3.RemovePlayer(player.slot);
  board->Btn_Refresh->click();
  ASSERT_TRUE(WaitForEvent("Arena: Sarge left", 5000));
  EXPECT_EQ(LogEvents(), (std::vector<std::string>{"Arena: Sarge joined", "Arena: map changed from q3dm17 to q3dm6",
                                                   "Arena: Sarge left"}));
  EXPECT_EQ(q3.ReceivedCount(), 4u);
}

TEST_F(BoardWire, TheBoardAndAMonitorWindowKeepWithinTheServersRateLimitTogether) {
  test::GameServerConfig config = Config(test::Game::Quake3, test::BotPlayers(14));
  config.rateLimit = true;
  test::GameServer q3(config);
  q3.Start();
  // The server twice in the address book: the board asks for each entry.
  OpenBoard({{"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena"},
             {"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena again"}});
  board->SE_Interval->setValue(5);
  TF_ServerMonitor* window =
      app::OpenServerWindow(frame, *games::Find(kQuake3), "127.0.0.1", PortOf(q3), "secret", "Arena");
  window->TB_Refresh->setValue(1);  // three requests a second on its own: the limit is one

  // For twelve seconds the board is also asked to refresh three times a second.
  QElapsedTimer clock;
  clock.start();
  int queued = 0;
  while (clock.elapsed() < 12000) {
    board->Btn_Refresh->click();
    queued = std::max(queued, net::RequestPacer::Instance().PendingCount(board->Client()));
    QTest::qWait(300);
  }
  EXPECT_EQ(q3.RateLimitedRequests(), 0) << "the server dropped requests";
  EXPECT_GT(queued, 0) << "the board's queries waited their turn";
  EXPECT_EQ(Row(0).lamp, Lamp::Answering);
  EXPECT_EQ(Row(1).lamp, Lamp::Answering);
  EXPECT_EQ(window->State(), msPolling);
  EXPECT_EQ(window->LV_Players->topLevelItemCount(), 14);
  std::size_t queries = 0;
  for (const test::Datagram& datagram : q3.Received())
    if (datagram.bytes == test::QueryPacket(test::Game::Quake3)) ++queries;
  EXPECT_GT(queries, 6u);
}

TEST_F(BoardWire, TwoHundredServersThroughOneSocket) {
  constexpr int kServers = 200;
  std::vector<std::unique_ptr<test::GameServer>> servers;
  std::vector<ServerEntry> entries;
  for (int i = 0; i < kServers; ++i) {
    servers.push_back(std::make_unique<test::GameServer>(
        Config(i % 2 ? test::Game::Quake2 : test::Game::Quake3, test::BotPlayers(1 + i % 5))));
    servers.back()->Start();
    entries.push_back({"127.0.0.1", PortOf(*servers.back()), "", i % 2 ? kQuake2 : kQuake3, "S" + std::to_string(i)});
  }
  OpenBoard(entries);
  const auto allAnswering = [&] {
    for (const board::ServerRow& row : board->Session().Rows())
      if (row.lamp != Lamp::Answering) return false;
    return true;
  };
  ASSERT_TRUE(QTest::qWaitFor(allAnswering, 20000));
  std::set<std::uint16_t> sources;
  for (int i = 0; i < kServers; ++i) {
    const test::GameServer& server = *servers[static_cast<std::size_t>(i)];
    ASSERT_EQ(server.ReceivedCount(), 1u) << "server " << i;
    sources.insert(server.Received()[0].port);
    const board::ServerRow& row = Row(static_cast<std::size_t>(i));
    EXPECT_EQ(row.humans + row.bots, 1 + i % 5) << "server " << i;
  }
  EXPECT_EQ(sources.size(), 1u) << "every query left through the board's one socket";
}

TEST_F(BoardWire, ADoubleClickOpensTheMonitorWindowOrBringsItForward) {
  test::GameServer q3(Config(test::Game::Quake3, test::BotPlayers(3)));
  q3.Start();
  OpenBoard({{"127.0.0.1", PortOf(q3), "secret", kQuake3, "Arena"},
             {"127.0.0.1", "27500", "", kQuakeWorld, "World"}});
  ASSERT_TRUE(WaitForLamp(0, Lamp::Answering));

  board->LV_ServersDblClick(board->ViewRow(0));
  ASSERT_EQ(frame.Children().size(), 2u);
  auto* window = dynamic_cast<TF_Q3Server*>(frame.ActiveChild());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle().toStdString(), "Arena - 127.0.0.1:" + PortOf(q3));
  EXPECT_EQ(window->E_Password->text(), "secret");  // read from the address book
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->LV_Players->topLevelItemCount() == 3; }, 5000));

  frame.Board1->trigger();
  EXPECT_EQ(frame.ActiveChild(), board);
  board->LV_ServersDblClick(board->ViewRow(0));
  EXPECT_EQ(frame.Children().size(), 2u) << "no second window on the same server";
  EXPECT_EQ(frame.ActiveChild(), window);

  board->LV_ServersDblClick(board->ViewRow(1));
  EXPECT_EQ(frame.Children().size(), 2u);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Sorry, QuakeWorld not implemented yet!");
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Information);
}

// A picture of the frame with the board for a person to look at (the README's first session):
// run with CORVANE_SHOT_DIR set, under xvfb-run with QT_QPA_PLATFORM=xcb for the real look;
// skipped otherwise.
TEST_F(BoardWire, Screenshot) {
  const char* shots = std::getenv("CORVANE_SHOT_DIR");
  if (!shots) GTEST_SKIP() << "CORVANE_SHOT_DIR not set";
  std::vector<test::Player> arenaPlayers = test::BotPlayers(9);
  arenaPlayers.erase(arenaPlayers.begin());  // Sarge comes later
  arenaPlayers.push_back(test::Player::Human("^3Visor", "203.0.113.7:27960", 48, 12));
  arenaPlayers.push_back(test::Player::Human("Klesk", "198.51.100.20:27960", 75, 3));
  test::GameServerConfig arenaConfig = Config(test::Game::Quake3, arenaPlayers);
  arenaConfig.cvars = {{"sv_hostname", "^2Frag ^7Factory", {}, 1u}};
  test::GameServer arena(arenaConfig);
  test::GameServerConfig ctfConfig = Config(test::Game::Quake3, test::BotPlayers(6));
  ctfConfig.map = "q3ctf1";
  ctfConfig.cvars = {{"g_gametype", "4", {}, 1u}, {"sv_hostname", "^4CTF ^7Night", {}, 1u}};
  test::GameServer ctf(ctfConfig);
  test::GameServerConfig duelConfig = Config(test::Game::Quake3, {test::Player::Human("Anarki", "192.0.2.5:27960", 31)});
  duelConfig.map = "q3tourney2";
  duelConfig.cvars = {{"g_gametype", "1", {}, 1u}, {"sv_hostname", "^1Duel ^7Pit", {}, 1u}, {"sv_maxclients", "2", {}, 1u}};
  test::GameServer duel(duelConfig);
  test::GameServerConfig baseConfig = Config(test::Game::Quake2, test::BotPlayers(4));
  baseConfig.cvars = {{"hostname", "Base Camp", {}, 1u}};
  test::GameServer base(baseConfig);
  test::GameServerConfig oldConfig = Config(test::Game::Quake3, test::BotPlayers(2));
  oldConfig.cvars = {{"sv_hostname", "Old Box", {}, 1u}};
  test::GameServer old(oldConfig);
  test::GameServer gone(Config(test::Game::Quake3, {}));
  for (test::GameServer* server : {&arena, &ctf, &duel, &base, &old, &gone}) server->Start();
  const std::string gonePort = PortOf(gone);
  gone.Stop();
  dir.Write("Corvane.ini", "[Board]\r\nInterval=5\r\n[WatchList]\r\nNumPatterns=2\r\nPattern0=sarge\r\nPattern1=visor\r\n");
  OpenBoard({{"127.0.0.1", PortOf(arena), "secret", kQuake3, "Arena"},
             {"127.0.0.1", PortOf(ctf), "secret", kQuake3, "CTF night"},
             {"127.0.0.1", PortOf(duel), "secret", kQuake3, "Duel pit"},
             {"127.0.0.1", PortOf(base), "secret", kQuake2, "Base"},
             {"127.0.0.1", PortOf(old), "", kQuake3, "Old box"},
             {"127.0.0.1", gonePort, "", kQuake3, "Test box"},
             {"127.0.0.1", "27500", "", kQuakeWorld, "World"}});
  for (std::size_t i = 0; i < 5; ++i) ASSERT_TRUE(WaitForLamp(i, Lamp::Answering));
  old.SetSilent(true);
  arena.AddPlayer(test::Player::Bot("^1Sarge"));
  ctf.SetMap("q3ctf2");
  ASSERT_TRUE(WaitForEvent("Old box: stopped answering", 30000));
  QApplication::setWindowIcon(QIcon(":/images/corvane.png"));
  board->parentWidget()->setGeometry(0, 0, 1060, 470);
  frame.resize(1080, 620);
  QTest::qWait(1500);
  frame.grab().save(QString::fromStdString(std::string(shots) + "/board.png"));
}

}  // namespace
