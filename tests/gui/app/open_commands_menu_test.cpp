// The open commands as the program registers them: menu item, shortcut and tool button each
// show the command's dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "addressbook/connectform.h"
#include "addressbook/forms.h"
#include "addressbook/quickconnectform.h"
#include "addressbook/serverstore.h"
#include "app/mainunit.h"
#include "app/startup.h"
#include "platform/dialogs.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace apptest {
namespace {

class OpenCommandTriggers : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateAddressBookForms();
    app::RegisterFrameCommands(frame);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    // Every dialog is recorded and cancelled.
    dialogs.defaultModal = [this](QDialog& dialog) {
      shown.push_back({&dialog, dialog.windowTitle().toStdString()});
      dialog.reject();
      return dialog.result();
    };
  }
  void TearDown() override { DestroyAddressBookForms(); }

  // Runs the command through its menu item, its shortcut and its tool button.
  void RunThreeWays(QAction* item, Qt::Key key, QToolButton* button) {
    ASSERT_TRUE(item->isVisible());
    ASSERT_TRUE(button->isVisible());
    item->trigger();
    QTest::keyClick(&frame, key, Qt::ControlModifier);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void ExpectShownThrice(const QDialog* dialog, const std::string& caption) {
    ASSERT_EQ(shown.size(), 3u);
    for (const Shown& s : shown) {
      EXPECT_EQ(s.dialog, dialog);
      EXPECT_EQ(s.caption, caption);
    }
    EXPECT_TRUE(frame.Children().empty());
    EXPECT_TRUE(dialogs.messages.empty());
  }

  struct Shown {
    const QDialog* dialog;
    std::string caption;
  };
  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  TF_Main frame;
  std::vector<Shown> shown;
};

TEST_F(OpenCommandTriggers, ConnectShowsTheSelectServerDialog) {
  RunThreeWays(frame.Connect1, Qt::Key_N, frame.SB_New);
  ExpectShownThrice(ConnectForm, "Select Remote Server");
}

TEST_F(OpenCommandTriggers, QuickConnectShowsTheQuickConnectDialog) {
  RunThreeWays(frame.QuickConnect1, Qt::Key_Q, frame.CB_QuickConnect);
  ExpectShownThrice(QuickConnectForm, "Quick Connect Remote Server");
}

TEST_F(OpenCommandTriggers, QuickRemoteConsoleShowsTheQuickConnectDialog) {
  RunThreeWays(frame.RemoteConsole1, Qt::Key_R, frame.SB_Remote);
  ExpectShownThrice(QuickConnectForm, "Quick Connect Remote Console");
}

// The keyboard alone: Ctrl+N, Down, Enter opens the first stored server.
TEST_F(OpenCommandTriggers, CtrlNDownEnterOpensTheFirstStoredServer) {
  DestroyAddressBookForms();
  WriteEntry(0, ServerEntry{"127.0.0.1", "27999", "pw", 0, "First"}, 1);
  WriteEntry(1, ServerEntry{"127.0.0.2", "27999", "pw", 0, "Second"}, 2);
  CreateAddressBookForms();
  dialogs.modalAnswers.push_back([](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(focus, ConnectForm->LV_Servers);
    if (!focus) return int(platform::mrCancel);
    QTest::keyClick(focus, Qt::Key_Down);
    QTest::keyClick(focus, Qt::Key_Return);
    return dialog.result();
  });
  QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(frame.Children().size(), 1u);
  EXPECT_EQ(frame.Children()[0]->windowTitle(), "First - 127.0.0.1:27999");
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace apptest
