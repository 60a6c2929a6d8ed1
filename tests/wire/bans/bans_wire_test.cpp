// The ban list window against the scripted Quake 2 server: the game's IP filter added to,
// listed, removed from, flushed entry by entry and saved, the filter mode switched, and a
// player banned by address and kicked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "bans/banlistform.h"
#include "monitor/messageform.h"
#include "support/gameserver/game_server.h"
#include "support/scripted_dialogs.h"

namespace {

class BansWire : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GameServerConfig config;
    config.game = test::Game::Quake2;
    config.password = "secret";
    config.players = {test::Player::Human("Grunt", "198.51.100.7:27901", 40), test::Player::Bot("Bot")};
    config.cvars = {{"filterban", "1", {}, 0}};
    server = std::make_unique<test::GameServer>(config);
    server->Start();
    window = OpenBanList(protocol::kQuake2, "Bans", "127.0.0.1", std::to_string(server->Port()), "secret");
    ASSERT_TRUE(Settled());
  }
  void TearDown() override { delete window; }

  bool Settled() { return QTest::qWaitFor([&] { return !window->Session().Busy(); }, 5000); }
  QStringList Listed() {
    QStringList listed;
    for (int i = 0; i < window->LV_Bans->topLevelItemCount(); ++i)
      listed << window->LV_Bans->topLevelItem(i)->text(0) + " " + window->LV_Bans->topLevelItem(i)->text(1) + " " +
                    window->LV_Bans->topLevelItem(i)->text(2);
    return listed;
  }
  void Add(const QString& typed) {
    dialogs.modalAnswers.push_back([typed](QDialog& dialog) {
      dynamic_cast<TF_Message&>(dialog).E_Message->setText(typed);
      return int(platform::mrOk);
    });
    window->Btn_AddClick();
    ASSERT_TRUE(Settled());
  }
  std::vector<std::string> Commands() const { return server->Commands(); }

  test::ScopedDialogs dialogs;
  std::unique_ptr<test::GameServer> server;
  TF_BanList* window = nullptr;
};

TEST_F(BansWire, TheIpFilterOfAQuake2Server) {
  EXPECT_TRUE(Listed().isEmpty());
  EXPECT_EQ(window->Btn_AddException, nullptr);
  EXPECT_EQ(window->Btn_ReloadFile, nullptr);
  ASSERT_NE(window->CB_FilterBan, nullptr);
  EXPECT_TRUE(window->CB_FilterBan->isChecked());

  Add("192.168.1.77/24");
  dialogs.messageAnswers = {platform::mrYes};  // the zero octet's warning
  Add("10.0.0.5");
  EXPECT_EQ(dialogs.Texts().back(), "A Quake 2 server reads a 0 in an address as any number: 10.0.0.5 stands for "
                                    "10.*.*.5.\rAdd it all the same?");
  EXPECT_EQ(Listed(), (QStringList{"Ban 192.168.1.0 255.255.255.0", "Ban 10.0.0.5 255.0.0.255"}));

  // Removed by the address as listed, which names the entry exactly.
  window->LV_Bans->setCurrentItem(window->LV_Bans->topLevelItem(0));
  dialogs.messageAnswers = {platform::mrYes};
  window->Btn_DeleteClick();
  ASSERT_TRUE(Settled());
  EXPECT_EQ(Listed(), (QStringList{"Ban 10.0.0.5 255.0.0.255"}));
  EXPECT_EQ(Commands().back(), "sv listip ");

  // Only the listed may connect: the mode is the server's variable.
  window->CB_FilterBan->click();
  ASSERT_TRUE(Settled());
  EXPECT_EQ(server->Cvar("filterban"), "0");
  EXPECT_EQ(Listed(), (QStringList{"Admitted 10.0.0.5 255.0.0.255"}));

  // A player banned by the address the status table gave, then kicked.
  window->BanPlayer("0", "Grunt", "198.51.100.7:27901");
  ASSERT_TRUE(Settled());
  EXPECT_EQ(server->Players().size(), 1u);
  EXPECT_EQ(Listed().size(), 2);

  // Saved, then flushed one entry at a time (the game has no command for all).
  window->Btn_SaveFile->click();
  ASSERT_TRUE(Settled());
  EXPECT_EQ(window->L_Answer->text(), "Writing baseq2/listip.cfg.");
  dialogs.messageAnswers = {platform::mrYes};
  window->Btn_FlushClick();
  ASSERT_TRUE(Settled());
  EXPECT_TRUE(Listed().isEmpty());
  const std::vector<std::string> commands = Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.rfind("sv removeip", 0) == 0; }),
            3);
}

}  // namespace

namespace {

// The scripted Quake 3 server keeps engine bans as ioquake3 does, so the window works the
// same against it as against a real server (the real one in the end-to-end tests).
TEST(BansWireQuake3, BanPlayerByClientNumberThenKick) {
  test::ScopedDialogs dialogs;
  test::GameServerConfig config;
  config.password = "secret";
  config.players = {test::Player::Human("Grism", "203.0.113.9:27960", 40), test::Player::Bot("Sarge")};
  test::GameServer server(config);
  server.Start();
  std::unique_ptr<TF_BanList> window(
      OpenBanList(protocol::kQuake3, "Bans", "127.0.0.1", std::to_string(server.Port()), "secret"));
  const auto settled = [&] { return QTest::qWaitFor([&] { return !window->Session().Busy(); }, 5000); };
  ASSERT_TRUE(settled());
  window->BanPlayer("1", "Sarge", "bot");
  ASSERT_TRUE(settled());
  EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Error: Can ban players connected via the internet only."}));
  EXPECT_EQ(server.Players().size(), 2u);
  window->BanPlayer("0", "Grism", "203.0.113.9:27960");
  ASSERT_TRUE(settled());
  EXPECT_EQ(server.Players().size(), 1u);
  ASSERT_EQ(window->LV_Bans->topLevelItemCount(), 1);
  EXPECT_EQ(window->LV_Bans->topLevelItem(0)->text(1), "203.0.113.9");
  const std::vector<std::string> commands = server.Commands();
  EXPECT_EQ(std::vector<std::string>(commands.end() - 3, commands.end()),
            (std::vector<std::string>{"banaddr 0", "kick 0", "listbans"}));
}

}  // namespace
