// The player actions on a real server's bots: player info with the user info rows and the
// model picture, both kick paths, and the name lookup.
#include <QPushButton>

#include "monitor/picturebox.h"
#include "monitor/playerinfoform.h"
#include "program_fixture.h"

namespace e2e {
namespace {

class Players : public ServerGroup<Players> {
 protected:
  // Selects the row of the named player; false when the list does not hold it.
  bool SelectPlayer(const QString& name) {
    const int row = FindPlayer(window->LV_Players, name);
    if (row < 0) return false;
    window->LV_Players->setCurrentItem(window->LV_Players->topLevelItem(row));
    return true;
  }
  QString NumOf(const QString& name) const {
    const int row = FindPlayer(window->LV_Players, name);
    return row < 0 ? QString() : window->LV_Players->topLevelItem(row)->text(0);
  }
  // True once the player's row has gone from the list.
  bool Gone(const QString& name) {
    return WaitFor([&] { return FindPlayer(window->LV_Players, name) < 0; }, 30000);
  }

  // What the player info dialog showed once the user info had come.
  struct Shown {
    std::vector<std::pair<std::string, std::string>> rows;
    std::string picturePath;
    std::string Value(const std::string& key) const {
      for (const auto& [k, v] : rows)
        if (k == key) return v;
      return "<missing>";
    }
  };
  // Answers the player info dialog with "&Ok" after reading it into `shown`.
  static std::function<int(QDialog&)> ReadInto(Shown& shown) {
    return [&shown](QDialog& dialog) {
      auto& info = dynamic_cast<TPlayerInfoForm&>(dialog);
      EXPECT_TRUE(WaitFor([&] { return info.LV_PlayerInfo->topLevelItemCount() > 5; }, 10000));
      shown.rows.clear();
      for (int r = 0; r < info.LV_PlayerInfo->topLevelItemCount(); ++r)
        shown.rows.emplace_back(info.LV_PlayerInfo->topLevelItem(r)->text(0).toStdString(),
                                info.LV_PlayerInfo->topLevelItem(r)->text(1).toStdString());
      shown.picturePath = info.ImagePlayer->PicturePath();
      return int(platform::mrOk);
    };
  }
};

TEST_F(Players, PlayerInfoOfABotListsItsUserInfoAndShowsItsModelPicture) {
  dir_.Write("players/Quake3/angelyss.jpg", test::ImageBytes("JPG", 64, 64, Qt::darkGreen));

  ASSERT_TRUE(SelectPlayer("ExtraordinarilyLongName"));
  Shown shown;
  dialogs_.modalAnswers.push_back(ReadInto(shown));
  window->PlayerInfo1->trigger();
  EXPECT_EQ(shown.Value("name"), "ExtraordinarilyLongName");
  EXPECT_EQ(shown.Value("model"), "angelyss");
  EXPECT_EQ(shown.Value("characterfile"), "bots/angelyss_c.c");
  EXPECT_EQ(shown.picturePath, "players\\Quake3\\angelyss.jpg");
  // The dialog has closed: the window polls again.
  EXPECT_TRUE(WaitFor([&] { return window->State() == msPolling; }, 1000));

  // A coloured name is shown cleaned; a model without a picture shows the question mark.
  ASSERT_TRUE(SelectPlayer("VeryLongName"));
  dialogs_.modalAnswers.push_back(ReadInto(shown));
  window->LV_PlayersDblClick();
  EXPECT_EQ(shown.Value("name"), "VeryLongName");
  EXPECT_EQ(shown.picturePath, "players\\Question.bmp");
}

TEST_F(Players, KickFromTheMenuAndFromPlayerInfoRemoveTheBot) {
  // The popup menu's kick names the player and asks first.
  ASSERT_TRUE(SelectPlayer("Has Space"));
  dialogs_.messageAnswers.push_back(platform::mrYes);
  window->Kickplayer1->trigger();
  ASSERT_FALSE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.messages.back().text, "Are you sure you want to kick Has Space?");
  EXPECT_TRUE(Gone("Has Space"));

  // Player info's "&Kick Player" names the client number (once the refresh has brought the
  // numbers: the status response lists names only).
  ASSERT_TRUE(WaitForCompleteRefresh(window, 1, 20000));
  ASSERT_TRUE(SelectPlayer("Beret"));
  const QString num = NumOf("Beret");
  dialogs_.modalAnswers.push_back([&](QDialog& dialog) {
    auto& info = dynamic_cast<TPlayerInfoForm&>(dialog);
    EXPECT_TRUE(WaitFor([&] { return info.LV_PlayerInfo->topLevelItemCount() > 5; }, 10000));
    info.Btn_Kick->click();
    return info.result();
  });
  dialogs_.messageAnswers.push_back(platform::mrYes);
  window->PlayerInfo1->trigger();
  EXPECT_EQ(dialogs_.messages.back().text, "Are you sure you want to kick player " + num.toStdString() + "?");
  EXPECT_TRUE(Gone("Beret"));

  // The server agrees.
  EXPECT_TRUE(ServerShows([&] {
    for (const ServerPlayer& player : server->Players())
      if (player.name == "Has Space" || player.name == "Beret") return false;
    return true;
  }, 10000));
}

TEST_F(Players, NameLookupOfABotNamesTheServersHost) {
  ASSERT_TRUE(SelectPlayer("Sarge"));
  dialogs_.messages.clear();
  window->NameLookup1->trigger();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "bot => 127.0.0.1");
}

}  // namespace
}  // namespace e2e
