#include <QBuffer>
#include <QColor>
#include <QImage>

#include "monitor/picturebox.h"
#include "monitor/playerinfoform.h"
#include "monitor_fixture.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

GameServerConfig Quake3(std::vector<Player> players, const std::string& password = "secret") {
  GameServerConfig config;
  config.password = password;
  config.players = std::move(players);
  config.lifetime = 60s;
  return config;
}

using Q3Wire = MonitorWire;

TEST_F(Q3Wire, ConnectThenEveryTickRunsTheWholeChainAndTheLampFollows) {
  GameServer server(Quake3(BotPlayers(3)));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret", false);
  EXPECT_EQ(window->LampColor(), QColor(128, 128, 128));
  QTest::qWait(120);  // the idle timer ticks but sends nothing
  EXPECT_EQ(server.ReceivedCount(), 0u);

  window->Connect();
  EXPECT_EQ(window->LampColor(), QColor(255, 255, 0));
  ASSERT_TRUE(WaitPolling(window));
  EXPECT_EQ(Bytes(server), (std::vector<std::string>{RconBytes("secret", " status"), RconBytes("secret", " serverinfo")}));
  EXPECT_EQ(window->LampColor(), QColor(255, 0, 0));
  EXPECT_EQ(window->LV_Players->topLevelItemCount(), 3);

  window->TB_Refresh->setValue(1);
  EXPECT_EQ(window->TB_Refresh->toolTip(), "1 seconds");
  ASSERT_TRUE(WaitForCount(server, 8, 4000));
  const std::vector<std::string> bytes = Bytes(server);
  const std::vector<std::string> chain{kFF + "  getstatus", RconBytes("secret", " status"), RconBytes("secret", " serverinfo")};
  for (std::size_t i = 2; i < 8; ++i) EXPECT_EQ(bytes[i], chain[(i - 2) % 3]) << i;
  EXPECT_EQ(server.DroppedReplies(), 0);
}

TEST_F(Q3Wire, WrongPasswordAndUnconfiguredServerAreRefused) {
  GameServer server(Quake3(BotPlayers(2)));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "wrong");
  ASSERT_TRUE(WaitFor([&] { return !dialogs_.messages.empty(); }));
  EXPECT_EQ(dialogs_.messages[0].type, platform::MsgType::Warning);
  EXPECT_EQ(dialogs_.messages[0].text, "Wrong rcon password, please try again\rClosing connection...");
  EXPECT_EQ(window->State(), msRefused);
  EXPECT_EQ(window->Q3A_Client.State, ssClosed);
  const std::size_t count = server.ReceivedCount();
  window->Refresh1->trigger();
  EXPECT_EQ(window->LampColor(), QColor(255, 255, 0));
  QTest::qWait(100);
  EXPECT_EQ(server.ReceivedCount(), count);

  GameServer open(Quake3(BotPlayers(1), ""));
  open.Start();
  TF_Q3Server* second = Open<TF_Q3Server>(open, "anything");
  ASSERT_TRUE(WaitFor([&] { return dialogs_.messages.size() == 2; }));
  EXPECT_EQ(dialogs_.messages[1].text, "The server is not configured for remote administration.\rClosing connection...");
  EXPECT_EQ(second->State(), msRefused);
}

TEST_F(Q3Wire, FourteenPlayersInAChunkedTableAreCompleteAndSortedAsText) {
  GameServer server(Quake3(BotPlayers(14)));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  window->TB_Refresh->setValue(1);
  // After a full refresh (status response, then the two-datagram table) every row is whole.
  ASSERT_TRUE(WaitForCount(server, 5, 4000));
  ASSERT_TRUE(WaitFor([&] { return !window->Session().ChainWaiting() && AllRowsComplete(window->LV_Players); }));
  QTreeWidget* list = window->LV_Players;
  ASSERT_EQ(list->topLevelItemCount(), 14);
  std::vector<std::string> nums;
  for (int r = 0; r < 14; ++r) {
    const std::vector<std::string> row = RowTexts(list, r);
    nums.push_back(row[0]);
    EXPECT_EQ(row[4], "bot");
    EXPECT_EQ(row[5], "16384");
    EXPECT_EQ(row[3], "0");
  }
  EXPECT_EQ(nums, (std::vector<std::string>{"0", "1", "10", "11", "12", "13", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(RowTexts(list, 1)[1], "VeryLongName");
  EXPECT_EQ(list->headerItem()->text(5), "Rate");
}

TEST_F(Q3Wire, PlayerInfoShowsTheUserInfoAndTheModelPicture) {
  dir_.Write("players/Quake3/sarge.jpg", ImageBytes("JPG", 64, 64, Qt::red));
  dir_.Write("players/Quake3/broken.jpg", "not a picture at all");
  dir_.Write("players/Question.bmp", ImageBytes("BMP", 32, 32, Qt::magenta));
  std::vector<Player> players{Player::Bot("Sarge", "sarge/default"), Player::Bot("Broken", "broken"),
                              Player::Bot("Ghost", "ghost"), Player::Bot("NoModel")};
  players[3].userinfo = {{"name", "NoModel"}, {"skill", "3"}};
  GameServer server(Quake3(players));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));

  struct Seen {
    std::string path;
    bool transparent = false;
    int rows = 0;
    std::string name;
  };
  const auto inspect = [&](const QString& player) {
    Seen seen;
    const int row = FindRow(window->LV_Players, player);
    EXPECT_GE(row, 0);
    Select(window->LV_Players, row);
    dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
      auto& info = dynamic_cast<TPlayerInfoForm&>(dialog);
      EXPECT_EQ(window->State(), msAwaitingUserInfo);
      EXPECT_TRUE(WaitFor([&] { return window->State() == msPolling; }));
      seen.path = info.ImagePlayer->PicturePath();
      seen.transparent = info.ImagePlayer->Transparent();
      seen.rows = info.LV_PlayerInfo->topLevelItemCount();
      if (seen.rows > 0) seen.name = info.LV_PlayerInfo->topLevelItem(0)->text(1).toStdString();
      return static_cast<int>(platform::mrOk);
    });
    window->PlayerInfo1->trigger();
    EXPECT_EQ(server.Received().back().bytes.substr(0, 26), RconBytes("secret", " dumpuser "));
    return seen;
  };

  Seen sarge = inspect("Sarge");
  EXPECT_EQ(sarge.path, "players\\Quake3\\sarge.jpg");
  EXPECT_FALSE(sarge.transparent);
  EXPECT_GT(sarge.rows, 3);
  Seen broken = inspect("Broken");
  EXPECT_EQ(broken.path, "players\\Question.bmp");
  EXPECT_TRUE(broken.transparent);
  Seen ghost = inspect("Ghost");
  EXPECT_EQ(ghost.path, "players\\Question.bmp");
  Seen none = inspect("NoModel");
  EXPECT_EQ(none.path, "");
  EXPECT_EQ(none.rows, 2);
  EXPECT_EQ(none.name, "NoModel");
  EXPECT_EQ(window->State(), msPolling);
  EXPECT_TRUE(window->FPlayerInfo.isNull());

  // The answer is lost: closing the dialog ends the wait, and the late reply (here: none)
  // leaves the window polling.
  server.DropRepliesTo("dumpuser", 1);
  Select(window->LV_Players, 0);
  dialogs_.modalAnswers.push_back([](QDialog&) {
    QTest::qWait(100);
    return static_cast<int>(platform::mrOk);
  });
  window->PlayerInfo1->trigger();
  EXPECT_EQ(window->State(), msPolling);
}

TEST_F(Q3Wire, BothKickPathsWithTheirTextsAndPauses) {
  std::vector<Player> players{Player::Host("Hoster"), Player::Bot("Sarge"), Player::Bot("Grism")};
  GameServer server(Quake3(players));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  ASSERT_TRUE(WaitFor([&] { return AllRowsComplete(window->LV_Players); }));

  // Nothing selected: nothing happens.
  window->LV_Players->clearSelection();
  window->Kickplayer1->trigger();
  window->PlayerInfo1->trigger();
  window->NameLookup1->trigger();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.modalCount, 0);

  Select(window->LV_Players, FindRow(window->LV_Players, "Hoster"));
  window->Kickplayer1->trigger();
  ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"It isn't very nice to kick the host player..."});
  EXPECT_EQ(dialogs_.messages[0].type, platform::MsgType::Warning);

  const int sarge = FindRow(window->LV_Players, "Sarge");
  const std::string sargeNum = window->LV_Players->topLevelItem(sarge)->text(0).toStdString();
  Select(window->LV_Players, sarge);
  server.ClearRecords();
  dialogs_.messageAnswers = {platform::mrYes};
  window->Kickplayer1->trigger();
  EXPECT_EQ(dialogs_.Texts().back(), "Are you sure you want to kick Sarge?");
  EXPECT_EQ(dialogs_.messages.back().type, platform::MsgType::Confirmation);
  ASSERT_TRUE(WaitForCount(server, 2));
  std::vector<Datagram> got = server.Received();
  EXPECT_EQ(got[0].bytes, RconBytes("secret", " kick " + sargeNum));
  EXPECT_EQ(got[1].bytes, RconBytes("secret", " status"));
  EXPECT_LT(got[1].time - got[0].time, 90ms);
  ASSERT_TRUE(WaitFor([&] { return server.Players().size() == 2; }));

  // From the dialog: the number, then a pause of 100 ms before " status".
  ASSERT_TRUE(WaitFor([&] { return !window->Session().ChainWaiting(); }));
  const int grism = FindRow(window->LV_Players, "Grism");
  const std::string grismNum = window->LV_Players->topLevelItem(grism)->text(0).toStdString();
  Select(window->LV_Players, grism);
  dialogs_.modalAnswers.push_back([](QDialog&) { return static_cast<int>(platform::mrAbort); });
  dialogs_.messageAnswers = {platform::mrYes};
  server.ClearRecords();
  window->PlayerInfo1->trigger();
  EXPECT_EQ(dialogs_.Texts().back(), "Are you sure you want to kick player " + grismNum + "?");
  ASSERT_TRUE(WaitForCount(server, 3));
  got = server.Received();
  EXPECT_EQ(got[0].bytes, RconBytes("secret", " dumpuser " + grismNum));
  EXPECT_EQ(got[1].bytes, RconBytes("secret", " kick " + grismNum));
  EXPECT_EQ(got[2].bytes, RconBytes("secret", " status"));
  EXPECT_GE(got[2].time - got[1].time, 95ms);
}

TEST_F(Q3Wire, NameLookupMessages) {
  std::vector<Player> players{Player::Bot("Sarge"), Player::Host("Hoster"), Player::Human("Remote", "127.0.0.1:27961", 40)};
  GameServer server(Quake3(players));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitPolling(window));
  for (const char* name : {"Sarge", "Hoster", "Remote"}) {
    Select(window->LV_Players, FindRow(window->LV_Players, name));
    window->NameLookup1->trigger();
  }
  // The address's box comes when the resolver's thread has answered.
  ASSERT_TRUE(WaitFor([&] { return dialogs_.messages.size() == 3; }));
  const std::vector<std::string> texts = dialogs_.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "bot => 127.0.0.1");
  EXPECT_EQ(texts[1], "loopback => 127.0.0.1");
  EXPECT_EQ(texts[2].rfind("127.0.0.1:27961 => ", 0), 0u) << texts[2];
  EXPECT_GT(texts[2].size(), std::string("127.0.0.1:27961 => ").size());
  EXPECT_EQ(dialogs_.messages[0].type, platform::MsgType::Custom);
}

}  // namespace

namespace {

TEST_F(Q3Wire, RemoteConsoleOpensWithTheBoxesAsTheyStandNow) {
  GameServer server(Quake3(BotPlayers(1), "other"));
  server.Start();
  TF_Q3Server* window = Open<TF_Q3Server>(server, "secret");
  ASSERT_TRUE(WaitFor([&] { return window->State() == msRefused; }));
  server.ClearRecords();
  // The user edits the password box; the console takes the edited one.
  window->E_Password->setText("other");
  window->RemoteConsole1->trigger();
  ASSERT_TRUE(WaitForCount(server, 1));
  EXPECT_EQ(server.Received()[0].bytes, kFF + "rcon other status");
  const std::vector<QWidget*> children = platform::Frame()->Children();
  ASSERT_EQ(children.size(), 2u);
  QWidget* console = children[0] == window ? children[1] : children[0];
  EXPECT_EQ(console->windowTitle().toStdString(), "Remote Console - 127.0.0.1:" + std::to_string(server.Port()));
  console->close();
}

}  // namespace
