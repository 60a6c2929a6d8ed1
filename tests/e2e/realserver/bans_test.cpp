// The ban list window and the messages to the players on a real server: bans added by
// address and by a bot's client number (which the server refuses, and the window shows),
// listed, deleted and flushed; say and tell as the server answers them (the window's status
// bar) and as its log records the commands.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "bans/banlistform.h"
#include "monitor/messageform.h"
#include "program_fixture.h"

namespace e2e {
namespace {

class Bans : public ServerGroup<Bans> {
 protected:
  // The ban list window the monitor window opened.
  TF_BanList* BanWindow() {
    for (QWidget* child : frame_->Children())
      if (auto* bans = dynamic_cast<TF_BanList*>(child)) return bans;
    return nullptr;
  }
  static QStringList Addresses(const TF_BanList* bans) {
    QStringList addresses;
    for (int i = 0; i < bans->LV_Bans->topLevelItemCount(); ++i)
      addresses << bans->LV_Bans->topLevelItem(i)->text(1) + "/" + bans->LV_Bans->topLevelItem(i)->text(2);
    return addresses;
  }
  // Waits until the window lists exactly these entries, its commands done.
  static bool Lists(TF_BanList* bans, const QStringList& addresses) {
    return WaitFor([&] { return !bans->Session().Busy() && Addresses(bans) == addresses; }, 20000);
  }
  static std::function<int(QDialog&)> Type(const QString& text) {
    return [text](QDialog& dialog) {
      dynamic_cast<TF_Message&>(dialog).E_Message->setText(text);
      return int(platform::mrOk);
    };
  }
  bool Select(const QString& name) {
    const int row = FindPlayer(window->LV_Players, name);
    if (row < 0) return false;
    window->LV_Players->setCurrentItem(window->LV_Players->topLevelItem(row));
    return true;
  }
  std::string NumOf(const QString& name) const {
    const int row = FindPlayer(window->LV_Players, name);
    return row < 0 ? std::string() : window->LV_Players->topLevelItem(row)->text(0).toStdString();
  }
  bool LogShows(const std::string& text) {
    return WaitFor([&] { return server->Log().find(text) != std::string::npos; }, 15000);
  }
};

TEST_F(Bans, AddedByAddressAndByClientNumberListedDeletedAndFlushed) {
  ASSERT_TRUE(window->Bans1->isVisible());
  window->Bans1->trigger();
  TF_BanList* bans = BanWindow();
  ASSERT_NE(bans, nullptr);
  ASSERT_TRUE(Lists(bans, {}));
  EXPECT_EQ(bans->L_File->text(), "The server's ban file: serverbans.dat");

  // By address; an address that does not read is refused before anything is sent.
  dialogs_.modalAnswers.push_back(Type("1.2.3"));
  dialogs_.modalAnswers.push_back(Type("203.0.113.7"));
  bans->Btn_AddClick();
  ASSERT_TRUE(Lists(bans, {"203.0.113.7/32"}));
  EXPECT_NE(dialogs_.Texts().back().find("\"1.2.3\" is not an IPv4 address"), std::string::npos);
  dialogs_.modalAnswers.push_back(Type("198.51.100.0/24"));
  bans->Btn_AddClick();
  ASSERT_TRUE(Lists(bans, {"203.0.113.7/32", "198.51.100.0/24"}));
  // The server's own refusal, as it came.
  dialogs_.modalAnswers.push_back(Type("198.51.100.9"));
  bans->Btn_AddClick();
  ASSERT_TRUE(WaitFor([&] { return !bans->Session().Busy() && dialogs_.messages.size() >= 2; }, 20000));
  EXPECT_EQ(dialogs_.Texts().back(), "Error: Ban 198.51.100.0/24 supersedes ban 198.51.100.9/32");
  dialogs_.modalAnswers.push_back(Type("198.51.100.9"));
  bans->Btn_AddExceptionClick();
  ASSERT_TRUE(Lists(bans, {"203.0.113.7/32", "198.51.100.0/24", "198.51.100.9/32"}));
  EXPECT_EQ(bans->LV_Bans->topLevelItem(2)->text(0), "Exception");
  const std::string listed = server->Rcon("listbans");
  EXPECT_NE(listed.find("Ban #1: 203.0.113.7/32"), std::string::npos) << listed;
  EXPECT_NE(listed.find("Except #1: 198.51.100.9/32"), std::string::npos) << listed;

  // "Ban Player" on a bot: by client number, which the server refuses; nobody is kicked.
  ASSERT_TRUE(Select("Sarge"));
  const std::size_t shown = dialogs_.messages.size();
  dialogs_.messageAnswers = {platform::mrYes};
  window->BanPlayer1->trigger();
  EXPECT_NE(dialogs_.Texts().at(shown).find("Ban Sarge (bot)"), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return dialogs_.messages.size() > shown + 1 && !bans->Session().Busy(); }, 20000));
  EXPECT_EQ(dialogs_.Texts().back(), "Error: Can ban players connected via the internet only.");
  EXPECT_GE(FindPlayer(window->LV_Players, "Sarge"), 0);

  // Deleted: the entry named in the confirmation.
  bans->LV_Bans->setCurrentItem(bans->LV_Bans->topLevelItem(0));
  dialogs_.messageAnswers = {platform::mrYes};
  bans->Btn_DeleteClick();
  EXPECT_EQ(dialogs_.Texts().back(), "Delete the ban 203.0.113.7/32?");
  ASSERT_TRUE(Lists(bans, {"198.51.100.0/24", "198.51.100.9/32"}));
  EXPECT_EQ(server->Rcon("listbans").find("203.0.113.7"), std::string::npos);

  // Flushed, after a confirmation.
  dialogs_.messageAnswers = {platform::mrYes};
  bans->Btn_FlushClick();
  EXPECT_EQ(dialogs_.Texts().back(), "Delete every ban and every exception on the server?");
  ASSERT_TRUE(Lists(bans, {}));
  EXPECT_EQ(server->Rcon("listbans").find("Ban #"), std::string::npos);
}

TEST_F(Bans, SayAndTellReachTheServer) {
  window->E_Message->setText("hello  everyone // all");
  window->Btn_Say->click();
  EXPECT_TRUE(WaitFor([&] { return window->StatusText() == "console: hello  everyone // all"; }, 15000));
  EXPECT_TRUE(LogShows("Rcon from 127.0.0.1: say hello  everyone // all"));
  EXPECT_TRUE(window->E_Message->text().isEmpty());

  ASSERT_TRUE(Select("Has Space"));
  window->E_Message->setText("just you");
  window->Btn_Tell->click();
  EXPECT_TRUE(WaitFor([&] { return window->StatusText() == "console_tell: just you"; }, 15000));
  EXPECT_TRUE(LogShows("tell " + NumOf("Has Space") + " just you"));

  // What the server would change is asked about first; declined, nothing goes.
  dialogs_.messageAnswers = {platform::mrNo};
  window->E_Message->setText("50% off");
  window->Btn_Say->click();
  EXPECT_NE(dialogs_.Texts().back().find("Send the message anyway?"), std::string::npos);
  dialogs_.modalAnswers.push_back(Type("from the menu"));
  window->SayToAll1->trigger();
  EXPECT_TRUE(WaitFor([&] { return window->StatusText() == "console: from the menu"; }, 15000));
  EXPECT_EQ(server->Log().find("say 50"), std::string::npos);
}

}  // namespace
}  // namespace e2e
