#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "addressbook/spinedit.h"
#include "fixture.h"
#include "platform/dialogs.h"

namespace {

class ServerDialogs : public AddressBookForms {
 protected:
  void SetUp() override { CreateAddressBookForms(); }
  // The warnings shown since the last call.
  std::vector<std::string> TakeMessages() {
    auto texts = dialogs.Texts();
    for (const auto& m : dialogs.messages) EXPECT_EQ(m.type, platform::MsgType::Warning);
    dialogs.messages.clear();
    return texts;
  }
};

TEST_F(ServerDialogs, QuickConnectChecksHostGamePortAndPasswordInOrder) {
  TQuickConnectForm* form = QuickConnectForm;
  EXPECT_EQ(form->size(), QSize(292, 150));
  form->E_Hostname->setText("left over");
  form->Prepare("Quick Connect Remote Server");
  EXPECT_EQ(form->windowTitle(), "Quick Connect Remote Server");
  EXPECT_TRUE(form->E_Hostname->text().isEmpty());
  ShowAndActivate(form);
  EXPECT_TRUE(form->E_Hostname->hasFocus());

  auto pressOk = [&] { QTest::keyClick(form, Qt::Key_Return); };
  pressOk();  // host and password empty: only the host is reported
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You should specify the hostname!"});
  EXPECT_TRUE(form->E_Hostname->hasFocus());

  form->E_Hostname->setText("  ");  // blanks are a host name
  form->CB_GameType->setCurrentIndex(-1);
  pressOk();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You should specify the gametype!"});
  EXPECT_TRUE(form->CB_GameType->hasFocus());

  form->CB_GameType->setCurrentIndex(2);
  for (const QString port : {"abc", "", "0"}) {
    form->SE_Port->SetText(port);
    pressOk();
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You should specify the port!"}) << port.toStdString();
    EXPECT_TRUE(form->SE_Port->hasFocus());
  }

  form->SE_Port->SetText("-5");  // a negative port passes
  pressOk();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"You should specify a password!"});
  EXPECT_TRUE(form->E_rconPassword->hasFocus());
  EXPECT_TRUE(form->isVisible());

  QTest::keyClicks(form->E_rconPassword, "pw");
  pressOk();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form->result(), platform::mrOk);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->EnteredEntry(), (ServerEntry{"  ", "-5", "pw", 2, ""}));
  EXPECT_EQ(form->CB_GameType->currentText(), "Quake 2");

  ShowAndActivate(form);
  QTest::keyClick(form, Qt::Key_Escape);
  EXPECT_EQ(form->result(), platform::mrCancel);
}

TEST_F(ServerDialogs, OnlyTheUsersChoiceOfGameSetsThePortAndThePortOutlivesEachShowing) {
  for (QDialog* dialog : {static_cast<QDialog*>(QuickConnectForm), static_cast<QDialog*>(F_NewServer)}) {
    auto* game = dialog->findChild<QComboBox*>("CB_GameType");
    auto* port = dialog->findChild<addressbook::SpinEdit*>("SE_Port");
    ASSERT_TRUE(game && port);
    EXPECT_EQ(port->Value(), 27960);
    EXPECT_EQ(game->count(), 3);
    EXPECT_EQ(game->itemText(1), "Quake World");
    ShowAndActivate(dialog);
    game->setFocus();
    QTest::keyClick(game, Qt::Key_Down);  // the user picks "Quake World"
    EXPECT_EQ(port->Value(), 27500);
    QTest::keyClick(game, Qt::Key_Down);  // then "Quake 2"
    EXPECT_EQ(port->Value(), 27910);
    dialog->hide();

    if (dialog == QuickConnectForm) QuickConnectForm->Prepare("Quick Connect Remote Console");
    else F_NewServer->Prepare("New Server");
    EXPECT_EQ(game->currentIndex(), 0);
    EXPECT_EQ(port->Value(), 27910);  // the last showing's port
    game->setCurrentIndex(1);         // the program's own selection
    EXPECT_EQ(port->Value(), 27910);
  }
}

TEST_F(ServerDialogs, NewServerPrepareClearsItsFieldsAndOkNeedsNothing) {
  TF_NewServer* form = F_NewServer;
  EXPECT_EQ(form->size(), QSize(307, 179));
  form->E_Hostname->setText("h");
  form->E_rconPassword->setText("p");
  form->E_Description->setText("d");
  form->Prepare("Edit Server");
  EXPECT_EQ(form->windowTitle(), "Edit Server");
  EXPECT_TRUE(form->E_Hostname->text().isEmpty() && form->E_rconPassword->text().isEmpty() &&
              form->E_Description->text().isEmpty());
  ShowAndActivate(form);
  EXPECT_TRUE(form->E_Hostname->hasFocus());
  form->SE_Port->SetText("");
  form->Button1->click();  // empty host, password and port 0 are accepted
  EXPECT_EQ(form->result(), platform::mrOk);
  EXPECT_EQ(form->EnteredEntry(), (ServerEntry{"", "0", "", 0, ""}));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ServerDialogs, ThePortFieldTakesOnlyDigitsAndSignsAndSteps) {
  addressbook::SpinEdit* port = QuickConnectForm->SE_Port;
  ShowAndActivate(QuickConnectForm);
  port->setFocus();
  port->SetText("");
  QTest::keyClicks(port->Editor(), "2a7.9 x6-+0");
  EXPECT_EQ(port->Text(), "2796-+0");
  EXPECT_EQ(port->Value(), 0);  // not a whole number

  port->SetValue(27960);
  QTest::keyClick(port->Editor(), Qt::Key_Up);
  EXPECT_EQ(port->Value(), 27961);
  QTest::keyClick(port->Editor(), Qt::Key_Down);
  QTest::keyClick(port->Editor(), Qt::Key_Down);
  EXPECT_EQ(port->Value(), 27959);
  port->SetText("junk");
  port->StepBy(-1);  // from 0: no lower limit
  EXPECT_EQ(port->Value(), -1);
  port->SetValue(INT_MAX);
  port->StepBy(1);
  EXPECT_EQ(port->Value(), INT_MAX);
}

}  // namespace
