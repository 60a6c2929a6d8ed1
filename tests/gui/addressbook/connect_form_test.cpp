#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "addressbook/spinedit.h"
#include "fixture.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace {

using platform::mrCancel;
using platform::mrOk;

ServerEntry Entry(const std::string& host, const std::string& port, const std::string& password, int game,
                  const std::string& description) {
  return ServerEntry{host, port, password, game, description};
}

class ConnectFormTest : public AddressBookForms {
 protected:
  void StoreThree() {
    WriteEntry(0, Entry("a.example", "27960", "pa", 0, "Alpha"), 1);
    WriteEntry(1, Entry("b.example", "27910", "pb", 2, "Bravo"), 2);
    WriteEntry(2, Entry("c.example", "27500", "pc", 1, "Charlie"), 3);
  }
  QTreeWidget* List() const { return ConnectForm->LV_Servers; }
  QString Cell(int row, int column) const { return List()->topLevelItem(row)->text(column); }
  void Select(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
  // The add/edit dialog's answer: fill in what is given and press OK.
  static std::function<int(QDialog&)> Fill(const QString& host, int game, int port, const QString& password,
                                           const QString& description) {
    return [=](QDialog&) {
      F_NewServer->E_Hostname->setText(host);
      F_NewServer->CB_GameType->setCurrentIndex(game);
      F_NewServer->SE_Port->SetValue(port);
      F_NewServer->E_rconPassword->setText(password);
      F_NewServer->E_Description->setText(description);
      return int(mrOk);
    };
  }
};

TEST_F(ConnectFormTest, LooksAsTheAddressBookShouldAndListsTheStoredServers) {
  WriteIni("[Common]\r\nNumServers=4\r\n[Server0]\r\nHostname=a\r\nPort=1\r\nGameType=2\r\nDescription=d\r\n"
           "[Server3]\r\nHostname=odd\r\nGameType=7\r\n");
  CreateAddressBookForms();
  EXPECT_EQ(ConnectForm->windowTitle(), "Select Remote Server");
  EXPECT_EQ(ConnectForm->size(), QSize(544, 259));
  EXPECT_EQ(List()->headerItem()->text(0), "Hostname / IP Address");
  EXPECT_EQ(List()->columnWidth(0), 175);
  EXPECT_EQ(List()->columnWidth(1), 75);
  EXPECT_EQ(List()->columnWidth(2), 150);
  EXPECT_FALSE(List()->rootIsDecorated());
  EXPECT_TRUE(ConnectForm->Btn_Delete->isEnabled());
  EXPECT_TRUE(ConnectForm->Btn_Ok->isDefault());
  EXPECT_EQ(ConnectForm->Btn_Clone->text(), "Cl&one");

  ASSERT_EQ(List()->topLevelItemCount(), 4);
  EXPECT_EQ(Cell(0, 0), "a");
  EXPECT_EQ(Cell(0, 1), "1");
  EXPECT_EQ(Cell(0, 2), "d");
  EXPECT_FALSE(List()->topLevelItem(0)->icon(0).isNull());
  EXPECT_EQ(Cell(1, 0), "");  // a missing section: defaults, the Quake 3 Arena icon
  EXPECT_FALSE(List()->topLevelItem(1)->icon(0).isNull());
  EXPECT_TRUE(List()->topLevelItem(3)->icon(0).isNull());  // no icon for an unknown game
}

TEST_F(ConnectFormTest, WithAnEmptyListAcceptingAsksForASelectionAndNewStoresServer0) {
  CreateAddressBookForms();
  ShowAndActivate(ConnectForm);
  ConnectForm->Btn_Ok->click();
  ConnectForm->Btn_RemoteConsole->click();
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
  ASSERT_EQ(dialogs.messages.size(), 3u);
  for (const auto& m : dialogs.messages) {
    EXPECT_EQ(m.text, "You should select a server...");
    EXPECT_EQ(m.type, platform::MsgType::Information);
  }
  EXPECT_TRUE(ConnectForm->isVisible());
  EXPECT_TRUE(List()->hasFocus());

  ConnectForm->Btn_Edit->click();
  ConnectForm->Btn_Clone->click();
  ConnectForm->Btn_Delete->click();
  EXPECT_EQ(dialogs.modalCount, 0);
  EXPECT_EQ(dialogs.messages.size(), 3u);

  QString caption;
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    caption = d.windowTitle();
    return Fill("q2.example", 2, 27911, "secret", "Lan party")(d);
  });
  ConnectForm->Btn_New->click();
  EXPECT_EQ(caption, "New Server");
  ASSERT_EQ(List()->topLevelItemCount(), 1);
  EXPECT_EQ(Cell(0, 1), "27911");
  EXPECT_EQ(ReadEntry(0), Entry("q2.example", "27911", "secret", 2, "Lan party"));
  EXPECT_EQ(Key("Common", "NumServers"), "1");

  // A cancelled New changes nothing.
  const std::string before = Ini();
  dialogs.modalAnswers.push_back([](QDialog&) { return int(mrCancel); });
  ConnectForm->Btn_New->click();
  EXPECT_EQ(List()->topLevelItemCount(), 1);
  EXPECT_EQ(Ini(), before);
}

TEST_F(ConnectFormTest, EditShowsTheStoredValuesAndRewritesTheEntryInItsPlace) {
  StoreThree();
  CreateAddressBookForms();
  Select(2);
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Edit Server");
    EXPECT_EQ(F_NewServer->E_Hostname->text(), "c.example");
    EXPECT_EQ(F_NewServer->SE_Port->Value(), 27500);  // the row's port, not the game's default
    EXPECT_EQ(F_NewServer->CB_GameType->currentIndex(), 1);
    EXPECT_EQ(F_NewServer->E_Description->text(), "Charlie");
    EXPECT_EQ(F_NewServer->E_rconPassword->text(), "pc");
    EXPECT_EQ(F_NewServer->E_rconPassword->echoMode(), QLineEdit::Password);
    F_NewServer->E_Hostname->setText("c2.example");
    F_NewServer->SE_Port->SetValue(27501);
    return int(mrOk);
  });
  ConnectForm->Btn_Edit->click();
  EXPECT_EQ(Cell(2, 0), "c2.example");
  EXPECT_EQ(Cell(2, 1), "27501");
  EXPECT_EQ(ReadEntry(2), Entry("c2.example", "27501", "pc", 1, "Charlie"));  // password saved again unchanged
  EXPECT_EQ(ReadEntry(1), Entry("b.example", "27910", "pb", 2, "Bravo"));
  EXPECT_EQ(Key("Common", "NumServers"), "3");

  const std::string before = Ini();
  dialogs.modalAnswers.push_back([](QDialog& d) {
    static_cast<TF_NewServer&>(d).E_Hostname->setText("discarded");
    return int(mrCancel);
  });
  ConnectForm->Btn_Edit->click();
  EXPECT_EQ(Cell(2, 0), "c2.example");
  EXPECT_EQ(Ini(), before);
}

TEST_F(ConnectFormTest, CloneAddsACopyWithThePasswordAtTheEnd) {
  StoreThree();
  CreateAddressBookForms();
  Select(0);
  QString caption;
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    caption = d.windowTitle();
    return int(mrOk);
  });
  ConnectForm->Btn_Clone->click();
  EXPECT_EQ(caption, "Clone Server");
  ASSERT_EQ(List()->topLevelItemCount(), 4);
  EXPECT_EQ(Cell(3, 0), "a.example");
  EXPECT_EQ(ReadEntry(3), Entry("a.example", "27960", "pa", 0, "Alpha"));
  EXPECT_EQ(ReadEntry(0), Entry("a.example", "27960", "pa", 0, "Alpha"));
  EXPECT_EQ(Key("Common", "NumServers"), "4");
}

TEST_F(ConnectFormTest, AcceptingHandsOnWhatTheFileHoldsNow) {
  StoreThree();
  CreateAddressBookForms();
  ShowAndActivate(ConnectForm);
  // Edited by hand while the program runs: the list keeps the old texts.
  ASSERT_TRUE(platform::IniWriteString("Server1", "HostName", "hand.example", platform::IniFileName()));
  ASSERT_TRUE(platform::IniWriteString("Server1", "Port", "27999", platform::IniFileName()));
  Select(1);
  ConnectForm->Btn_RemoteConsole->click();
  EXPECT_EQ(ConnectForm->result(), platform::mrRetry);
  EXPECT_FALSE(ConnectForm->isVisible());
  EXPECT_EQ(ConnectForm->SelectedEntry, Entry("hand.example", "27999", "pb", 2, "Bravo"));
  EXPECT_EQ(Cell(1, 0), "b.example");

  // Cancelling keeps the last accepted entry.
  ShowAndActivate(ConnectForm);
  QTest::keyClick(ConnectForm, Qt::Key_Escape);
  EXPECT_EQ(ConnectForm->result(), mrCancel);
  EXPECT_EQ(ConnectForm->SelectedEntry.HostName, "hand.example");

  // A double-click on a row connects.
  ShowAndActivate(ConnectForm);
  const QRect rect = List()->visualItemRect(List()->topLevelItem(0));
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(ConnectForm->result(), mrOk);
  EXPECT_EQ(ConnectForm->SelectedEntry, Entry("a.example", "27960", "pa", 0, "Alpha"));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConnectFormTest, TheFirstArrowKeyOrSpaceSelectsTheFirstRowAndEnterConnectsToIt) {
  struct Case {
    int servers;
    std::vector<Qt::Key> keys;
    int selected;  // -1: none
  };
  const Case cases[] = {
      {1, {Qt::Key_Down}, 0},
      {1, {Qt::Key_Up}, 0},
      {1, {Qt::Key_Space}, 0},
      {1, {Qt::Key_Down, Qt::Key_Down}, 0},
      {3, {Qt::Key_Down}, 0},
      {3, {Qt::Key_Down, Qt::Key_Down}, 1},
      {3, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}, 0},
      {3, {Qt::Key_Space, Qt::Key_Down}, 1},
      {0, {Qt::Key_Down, Qt::Key_Space}, -1},
      {3, {Qt::Key_End}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.servers << " servers, " << c.keys.size() << " keys, row " << c.selected);
    DestroyAddressBookForms();
    WriteIni("");
    for (int i = 0; i < c.servers; ++i)
      WriteEntry(i, Entry("h" + std::to_string(i) + ".example", "27960", "pw", 0, "Server " + std::to_string(i)), i + 1);
    dialogs.messages.clear();
    CreateAddressBookForms();
    ShowAndActivate(ConnectForm);
    ASSERT_TRUE(List()->hasFocus());
    for (Qt::Key key : c.keys) QTest::keyClick(List(), key);
    const auto selected = List()->selectedItems();
    ASSERT_EQ(selected.size(), c.selected < 0 ? 0 : 1);
    EXPECT_EQ(selected.isEmpty() ? -1 : List()->indexOfTopLevelItem(selected.first()), c.selected);

    QTest::keyClick(List(), Qt::Key_Return);
    if (c.selected < 0) {
      EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"You should select a server..."});
      EXPECT_TRUE(ConnectForm->isVisible());
      QTest::keyClick(ConnectForm, Qt::Key_Escape);
      continue;
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(ConnectForm->isVisible());
    EXPECT_EQ(ConnectForm->result(), mrOk);
    EXPECT_EQ(ConnectForm->SelectedEntry.HostName, "h" + std::to_string(c.selected) + ".example");
  }

  // Shown again, the dialog keeps its selection and the arrow keys move on from it.
  ShowAndActivate(ConnectForm);
  QTest::keyClick(List(), Qt::Key_Up);
  EXPECT_EQ(List()->indexOfTopLevelItem(List()->selectedItems().value(0)), 1);
}

TEST_F(ConnectFormTest, DeleteAsksFirstAndKeepsRowsAndSectionsInStep) {
  StoreThree();
  CreateAddressBookForms();
  Select(1);
  dialogs.messageAnswers = {platform::mrNo};
  ConnectForm->Btn_Delete->click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Are you sure you want to delete b.example:27910 (Bravo)?");
  EXPECT_EQ(dialogs.messages[0].buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(List()->topLevelItemCount(), 3);

  dialogs.messageAnswers = {platform::mrYes};
  ConnectForm->Btn_Delete->click();
  ASSERT_EQ(List()->topLevelItemCount(), 2);
  EXPECT_EQ(Cell(1, 0), "c.example");
  EXPECT_EQ(ReadEntry(1), Entry("c.example", "27500", "pc", 1, "Charlie"));
  EXPECT_EQ(Key("Common", "NumServers"), "2");
  EXPECT_EQ(Key("Server2", "Hostname"), "<missing>");
  EXPECT_TRUE(List()->selectedItems().isEmpty());

  // After the deletion, New goes to the new end and Edit to the row's own section.
  dialogs.modalAnswers.push_back(Fill("d.example", 0, 1, "pd", "Delta"));
  ConnectForm->Btn_New->click();
  EXPECT_EQ(ReadEntry(2), Entry("d.example", "1", "pd", 0, "Delta"));
  EXPECT_EQ(Key("Common", "NumServers"), "3");
}

TEST_F(ConnectFormTest, ARestartFindsTheListAsTheSessionLeftIt) {
  CreateAddressBookForms();
  dialogs.modalAnswers.push_back(Fill("a.example", 0, 27960, "pa", "Alpha"));
  ConnectForm->Btn_New->click();
  dialogs.modalAnswers.push_back(Fill("b.example", 2, 27910, "p b\r\n", "Bravo"));
  ConnectForm->Btn_New->click();
  Select(0);
  dialogs.modalAnswers.push_back([](QDialog&) {
    F_NewServer->E_Description->setText("Alpha edited");
    return int(mrOk);
  });
  ConnectForm->Btn_Edit->click();
  Select(1);
  dialogs.modalAnswers.push_back([](QDialog&) { return int(mrOk); });
  ConnectForm->Btn_Clone->click();
  Select(0);
  dialogs.messageAnswers = {platform::mrYes};
  ConnectForm->Btn_Delete->click();

  DestroyAddressBookForms();
  CreateAddressBookForms();
  ASSERT_EQ(List()->topLevelItemCount(), 2);
  EXPECT_EQ(Cell(0, 0), "b.example");
  EXPECT_EQ(Cell(1, 2), "Bravo");
  EXPECT_EQ(ReadEntry(0), Entry("b.example", "27910", "p b\r\n", 2, "Bravo"));
  EXPECT_EQ(ReadEntry(1), Entry("b.example", "27910", "p b\r\n", 2, "Bravo"));
  EXPECT_EQ(Key("Common", "NumServers"), "2");
}

TEST_F(ConnectFormTest, FailuresAreReportedAndTheFileStaysAsItWas) {
  StoreThree();
  ASSERT_TRUE(platform::IniWriteString("Server0", "Port", "abc", platform::IniFileName()));
  CreateAddressBookForms();
  Select(0);
  ConnectForm->Btn_Edit->click();
  ConnectForm->Btn_Clone->click();
  EXPECT_EQ(dialogs.modalCount, 0);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid integer value.");
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);

  const std::string before = Ini();
  ::chmod(platform::IniFileName().c_str(), 0400);
  const std::string error = "Unable to write to " + platform::IniFileName() + ".";
  dialogs.modalAnswers.push_back(Fill("e.example", 0, 5, "", ""));
  ConnectForm->Btn_New->click();
  EXPECT_EQ(dialogs.messages.back().text, error);
  EXPECT_EQ(List()->topLevelItemCount(), 4);  // the new row stays on screen

  Select(1);
  dialogs.messageAnswers = {platform::mrYes};
  ConnectForm->Btn_Delete->click();
  EXPECT_EQ(dialogs.messages.back().text, error);
  EXPECT_EQ(List()->topLevelItemCount(), 4);  // not deleted from the file, so not from the list
  EXPECT_EQ(Ini(), before);
}

TEST_F(ConnectFormTest, AnUnknownGameShowsNoneSelectedWhenEdited) {
  WriteIni("[Common]\r\nNumServers=1\r\n[Server0]\r\nHostname=odd\r\nPort=5\r\nGameType=9\r\n");
  CreateAddressBookForms();
  Select(0);
  int shown = -2;
  dialogs.modalAnswers.push_back([&](QDialog&) {
    shown = F_NewServer->CB_GameType->currentIndex();
    return int(mrOk);
  });
  ConnectForm->Btn_Edit->click();
  EXPECT_EQ(shown, -1);
  EXPECT_EQ(Key("Server0", "GameType"), "-1");
}

}  // namespace
