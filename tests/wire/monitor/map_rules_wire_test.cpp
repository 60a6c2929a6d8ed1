// Map, game type and rule changes, and the Quake 2 window, against the scripted server.
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWheelEvent>

#include <fstream>
#include <iterator>

#include "monitor/changesetting.h"
#include "monitor/picturebox.h"
#include "monitor/playerinfoform.h"
#include "monitor_fixture.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

std::string Jpeg(QColor colour, int size = 64) { return test::ImageBytes("JPG", size, size, colour); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GameServerConfig Config(Game game, std::vector<Player> players = BotPlayers(2)) {
  GameServerConfig config;
  config.game = game;
  config.password = "secret";
  config.players = std::move(players);
  config.lifetime = 60s;
  return config;
}

class MapRulesWire : public MonitorWire {
 protected:
  // The remote commands the window sent since the last ClearRecords, without the chain.
  static std::vector<std::string> Commands(const GameServer& server) {
    std::vector<std::string> out;
    for (const std::string& b : Bytes(server))
      if (b != RconBytes("secret", " serverinfo") && b != kFF + "  getstatus") out.push_back(b);
    return out;
  }
  static bool Settled(TF_ServerMonitor* window) {
    return WaitFor([window] { return !window->Session().ChainWaiting(); });
  }
};

TEST_F(MapRulesWire, GameTypeAndMapFromTheServerInfoChooseListDescriptionAndPicture) {
  dir_.Write("levels/Quake3/q3-ctf-maps.txt", ReadFile(SourceDir() + "/data/levels/Quake3/q3-ctf-maps.txt"));
  dir_.Write("levels/Quake3/q3ctf1.jpg", Jpeg(Qt::darkGreen, 256));
  GameServerConfig config = Config(Game::Quake3);
  config.map = "q3ctf1";
  config.cvars = {{"g_gametype", "4", {}, kServerInfo | kLatch}};
  GameServer server(config);
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  EXPECT_EQ(window->Session().FGameType, 4);
  EXPECT_EQ(window->CB_GameType->currentIndex(), 4);
  ASSERT_GT(window->CB_Map->count(), 1);
  EXPECT_EQ(window->CB_Map->itemText(0), "q3ctf1");
  EXPECT_EQ(window->CB_Map->currentText(), "q3ctf1");
  EXPECT_EQ(window->L_MapName->text(), "Dueling Keeps");
  EXPECT_EQ(window->Image_Level->toolTip(), "Dueling Keeps");
  EXPECT_EQ(window->Image_Level->PicturePath(), "levels\\Quake3\\q3ctf1.jpg");
  EXPECT_FALSE(window->Image_Level->Transparent());
  // A larger level shot is scaled down to the box.
  EXPECT_LE(window->Image_Level->pixmap().width(), 128);
  EXPECT_EQ(server.ReceivedCount(), 2u);  // no command for what the server reported
}

TEST_F(MapRulesWire, MapBoxSendsOncePerPickAndPerEnterNeverPerKeystroke) {
  dir_.Write("levels/Quake3/q3-dm-maps.txt", ReadFile(SourceDir() + "/data/levels/Quake3/q3-dm-maps.txt"));
  GameServer server(Config(Game::Quake3));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  ASSERT_TRUE(Settled(window));
  server.ClearRecords();
  QComboBox* box = window->CB_Map;
  const int items = box->count();
  ASSERT_GT(items, 5);

  box->lineEdit()->setFocus();
  box->lineEdit()->selectAll();
  QTest::keyClicks(box->lineEdit(), "q3dm17");
  QTest::keyClick(box, Qt::Key_Down);
  QTest::keyClick(box, Qt::Key_Up);
  QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(box, &wheel);
  QTest::qWait(100);
  EXPECT_TRUE(Commands(server).empty());
  EXPECT_EQ(box->currentText(), "q3dm17");

  // Leaving the box with a typed name that is in the list chooses nothing either.
  window->LV_Players->setFocus();
  QTest::qWait(50);
  EXPECT_TRUE(Commands(server).empty());

  box->lineEdit()->setFocus();
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(WaitForCount(server, 1));
  EXPECT_EQ(box->count(), items);  // Enter adds no item
  QTest::qWait(100);
  EXPECT_EQ(Commands(server).size(), 1u);

  // A pick from the list.
  box->showPopup();
  QTest::qWait(50);
  QAbstractItemView* view = box->view();
  const QModelIndex fifth = view->model()->index(5, 0);
  view->setCurrentIndex(fifth);
  view->scrollTo(fifth);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(fifth).center());
  ASSERT_TRUE(WaitFor([&] { return Commands(server).size() >= 2; }));
  QTest::qWait(100);
  const std::string picked = box->itemText(5).toStdString();
  EXPECT_EQ(Commands(server), (std::vector<std::string>{RconBytes("secret", " map q3dm17"),
                                                        RconBytes("secret", " map " + picked)}));
  EXPECT_EQ(server.Map(), picked);

  // The server info after the map change sets the box again without sending.
  server.ClearRecords();
  window->Refresh1->trigger();
  ASSERT_TRUE(WaitForCount(server, 3));
  ASSERT_TRUE(Settled(window));
  EXPECT_EQ(Commands(server), std::vector<std::string>{RconBytes("secret", " status")});
}

TEST_F(MapRulesWire, GameTypePickAndRuleChangesSendTheirExactCommands) {
  GameServer server(Config(Game::Quake3));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  ASSERT_TRUE(Settled(window));
  const int items = window->CB_Map->count();
  server.ClearRecords();
  window->CB_GameTypeChange(3);
  ASSERT_TRUE(WaitForCount(server, 1));
  EXPECT_EQ(Bytes(server)[0], RconBytes("secret", " g_gametype 3"));
  EXPECT_EQ(window->CB_Map->count(), items);

  const auto changeRule = [&](const QString& rule, int answer, const QString& value, std::string* shown) {
    const int row = RowWith(window->LV_Settings, 0, rule);
    ASSERT_GE(row, 0) << rule.toStdString();
    Select(window->LV_Settings, row);
    dialogs_.modalAnswers.push_back([=](QDialog& dialog) {
      auto& form = dynamic_cast<TF_ChangeSetting&>(dialog);
      EXPECT_EQ(form.windowTitle(), "Change Setting");
      EXPECT_TRUE(form.Btn_Ok->isDefault());
      if (shown) *shown = (form.L_cVar->text() + "|" + form.L_OldValue->text() + "|" + form.E_Value->text()).toStdString();
      form.E_Value->setText(value);
      return answer;
    });
    window->LV_SettingsDblClick();
  };
  std::string shown;
  server.ClearRecords();
  changeRule("sv_maxclients", platform::mrOk, "12", &shown);
  EXPECT_EQ(shown, "SV_MAXCLIENTS|" + server.Cvar("sv_maxclients").value_or("?") + "|" + server.Cvar("sv_maxclients").value_or("?"));
  ASSERT_TRUE(Settled(window));
  changeRule("mapname", platform::mrOk, "q3dm6", &shown);
  EXPECT_EQ(shown, "MAP|q3dm17|q3dm17");
  ASSERT_TRUE(Settled(window));
  changeRule("timelimit", platform::mrCancel, "99", nullptr);
  ASSERT_TRUE(WaitFor([&] { return Commands(server).size() >= 5; }));
  ASSERT_TRUE(Settled(window));
  EXPECT_EQ(Commands(server), (std::vector<std::string>{RconBytes("secret", "set SV_MAXCLIENTS 12"),
                                                        RconBytes("secret", " status"), RconBytes("secret", "MAP q3dm6"),
                                                        RconBytes("secret", " status"), RconBytes("secret", " status")}));
  EXPECT_EQ(server.Map(), "q3dm6");
  EXPECT_EQ(server.Cvar("timelimit"), "0");

  // A read-only rule's refusal shows in the status bar.
  changeRule("mapname", platform::mrOk, "ignored", nullptr);  // MAP ignored: unknown map, no notice
  ASSERT_TRUE(Settled(window));
  changeRule("version", platform::mrOk, "x", nullptr);
  ASSERT_TRUE(WaitFor([&] { return !window->StatusText().empty(); }));
  EXPECT_EQ(window->StatusText(), "VERSION is read only.\n");
  // Shown on the bar's one line, whole.
  EXPECT_EQ(window->StatusPanel0->text(), "VERSION is read only.");
  EXPECT_LE(window->StatusPanel0->sizeHint().height(), window->StatusBar1->height());
}

TEST_F(MapRulesWire, Quake2WindowRunsTheChainWithItsMarkersAndSendsRulesAsListed) {
  dir_.Write("players/Quake2/male/grunt.jpg", Jpeg(Qt::blue));
  std::vector<Player> players{Player::Bot("Zed", "male/grunt"), Player::Bot("Abe", "female/athena"),
                              Player::Human("Moe", "127.0.0.1:27901", 33)};
  players[0].slot = 5;
  players[1].slot = 1;
  players[2].slot = 3;
  GameServerConfig config = Config(Game::Quake2, players);
  config.cvars = {{"g_gametype", "4", {}, kServerInfo}};
  GameServer server(config);
  server.Start();
  TF_Q2Server* window = Open<TF_Q2Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  window->TB_Refresh->setValue(1);
  ASSERT_TRUE(WaitForCount(server, 5, 4000));
  ASSERT_TRUE(Settled(window));
  const std::vector<std::string> bytes = Bytes(server);
  EXPECT_EQ(bytes[0], RconBytes("secret", " status"));
  EXPECT_EQ(bytes[1], RconBytes("secret", " serverinfo"));
  EXPECT_EQ(bytes[2], kFF + "  status");
  EXPECT_EQ(bytes[3], RconBytes("secret", " status"));
  EXPECT_EQ(bytes[4], RconBytes("secret", " serverinfo"));

  // Rows stay in the order the status response gave them; no Rate column.
  QTreeWidget* list = window->LV_Players;
  ASSERT_TRUE(WaitFor([&] { return AllRowsComplete(list); }));
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->columnCount(), 5);
  std::vector<std::string> order;
  for (int r = 0; r < 3; ++r) order.push_back(RowTexts(list, r)[0] + RowTexts(list, r)[1]);
  EXPECT_EQ(order, (std::vector<std::string>{"1Abe", "3Moe", "5Zed"}));
  EXPECT_EQ(RowTexts(list, 1)[4], "127.0.0.1:27901");
  // g_gametype is just a rule here.
  EXPECT_GE(RowWith(window->LV_Settings, 0, "g_gametype"), 0);
  window->TB_Refresh->setValue(60);

  // The skin names the player picture.
  Select(list, 2);
  std::string path;
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    EXPECT_TRUE(WaitFor([&] { return window->State() == msPolling; }));
    path = dynamic_cast<TPlayerInfoForm&>(dialog).ImagePlayer->PicturePath();
    return static_cast<int>(platform::mrOk);
  });
  window->PlayerInfo1->trigger();
  EXPECT_EQ(path, "players\\Quake2\\male\\grunt.jpg");

  // Rule names go out as the server listed them.
  ASSERT_TRUE(Settled(window));
  const auto change = [&](const QString& rule, const QString& value) {
    if (const int row = RowWith(window->LV_Settings, 0, rule); row >= 0) Select(window->LV_Settings, row);
    dialogs_.modalAnswers.push_back([=](QDialog& dialog) {
      dynamic_cast<TF_ChangeSetting&>(dialog).E_Value->setText(value);
      return static_cast<int>(platform::mrOk);
    });
    window->LV_SettingsDblClick();
    EXPECT_TRUE(Settled(window));
  };
  server.ClearRecords();
  change("timelimit", "20");
  change("mapname", "q2dm3");
  ASSERT_TRUE(WaitFor([&] { return Commands(server).size() >= 4; }));
  EXPECT_EQ(Commands(server), (std::vector<std::string>{
                                  RconBytes("secret", "timelimit 20"), RconBytes("secret", " status"),
                                  RconBytes("secret", "MAP q2dm3"), RconBytes("secret", " status")}));
  EXPECT_EQ(server.Cvar("timelimit"), "20");
  EXPECT_EQ(server.Map(), "q2dm3");

  // A protected cvar's refusal goes to the status bar.
  change("version", "x");
  ASSERT_TRUE(WaitFor([&] { return !window->StatusText().empty(); }));
  EXPECT_EQ(window->StatusText(), "version is write protected.\n");
}

TEST_F(MapRulesWire, Quake2RefusalTexts) {
  GameServer server(Config(Game::Quake2));
  server.Start();
  TF_Q2Server* window = Open<TF_Q2Server>(server, "wrong");
  ASSERT_TRUE(WaitFor([&] { return !dialogs_.messages.empty(); }));
  EXPECT_EQ(dialogs_.Texts()[0], "Wrong rcon password, please try again\rClosing connection...");
  EXPECT_EQ(window->State(), msRefused);
  EXPECT_EQ(window->Q2_Client.State, ssClosed);

  GameServerConfig open = Config(Game::Quake2);
  open.password = "";
  GameServer unset(open);
  unset.Start();
  TF_Q2Server* second = Open<TF_Q2Server>(unset, "");
  ASSERT_TRUE(WaitFor([&] { return dialogs_.messages.size() == 2; }));
  // A Quake 2 server answers a missing password the same way as a wrong one.
  EXPECT_EQ(dialogs_.Texts()[1], "Wrong rcon password, please try again\rClosing connection...");
  EXPECT_EQ(second->State(), msRefused);
}

TEST_F(MapRulesWire, Quake2WindowDoesNotTakeAQuake3StatusTable) {
  // A Quake 3 server prints "map: q3dm17": not the Quake 2 window's marker. The window asks
  // for the status and the server info in turn; the server info, which both games print
  // alike, starts the polling, but no Quake 3 table or query answer ever fills the list.
  GameServer server(Config(Game::Quake3));
  server.Start();
  TF_Q2Server* window = Open<TF_Q2Server>(server, "secret");
  window->TB_Refresh->setValue(1);
  ASSERT_TRUE(WaitForCount(server, 3, 4000));
  const std::vector<std::string> bytes = Bytes(server);
  EXPECT_EQ(bytes[0], RconBytes("secret", " status"));
  EXPECT_EQ(bytes[1], RconBytes("secret", " serverinfo"));
  EXPECT_EQ(bytes[2], kFF + "  status");
  EXPECT_EQ(window->State(), msPolling);
  EXPECT_EQ(window->LV_Players->topLevelItemCount(), 0);
  EXPECT_GT(window->LV_Settings->topLevelItemCount(), 0);
}

}  // namespace
