// The console window: its shape, the command line and its history, focus, and Save Log.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>

#include <functional>

#include "console_fixture.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

namespace consoletest {
namespace {

using Lines = std::vector<std::string>;

QStringList ActionNames(const QMenu* menu) {
  QStringList names;
  for (const QAction* action : menu->actions()) names << action->objectName() + "=" + action->text();
  return names;
}

class ConsoleForm : public ConsoleTest {};

TEST_F(ConsoleForm, AConsoleHasItsControlsAndBringsItsMenu) {
  TTerminalForm plain;
  EXPECT_EQ(plain.windowTitle(), "Remote Console");
  EXPECT_EQ(plain.size(), QSize(667, 475));
  EXPECT_TRUE(plain.testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_TRUE(plain.Q3A_Client.Paced);
  EXPECT_TRUE(plain.Memo1->isReadOnly());
  EXPECT_EQ(plain.Panel1->height(), 39);
  EXPECT_EQ(plain.Panel3->width(), 200);
  EXPECT_EQ(plain.Btn_Close->text(), "&Close");
  EXPECT_EQ(plain.Btn_Save->text(), "&Save Log");
  EXPECT_EQ(plain.findChild<QLineEdit*>("E_Command"), plain.E_Command);
  EXPECT_TRUE(plain.E_Command->text().isEmpty());

  EXPECT_EQ(plain.MainMenu1->title(), "&Q3A Terminal");
  EXPECT_EQ(ActionNames(plain.MainMenu1),
            (QStringList{"Save=&Save Log", "Settings1=Settings", "ShowCodes1=Show Colour &Codes"}));
  EXPECT_EQ(ActionNames(plain.Settings1), (QStringList{"Font1=&Font", "Background1=&Background"}));

  TTerminalForm* console = Open();
  EXPECT_EQ(console->windowTitle().toStdString(), "Remote Console - 127.0.0.1:" + peer.PortText());
  EXPECT_EQ(frame.Children(), std::vector<QWidget*>{console});
  EXPECT_TRUE(frame.menuBar()->actions().contains(console->MainMenu1->menuAction()));
  EXPECT_EQ(console->size(), QSize(667, 475));
}

TEST_F(ConsoleForm, TheCommandLineStaysTenPixelsNarrowerThanItsPanel) {
  TTerminalForm* console = Open();
  Settle();
  EXPECT_EQ(console->E_Command->width(), console->P_Command->width() - 10);
  EXPECT_EQ(console->E_Command->geometry().topLeft(), QPoint(4, 9));
  console->parentWidget()->resize(900, 400);
  Settle();
  EXPECT_EQ(console->P_Command->width(), console->width() - 200);
  EXPECT_EQ(console->E_Command->width(), console->P_Command->width() - 10);
}

TEST_F(ConsoleForm, UpAndDownWalkTheHistory) {
  TTerminalForm* console = Open();
  QLineEdit* line = console->E_Command;
  // Without a history Up shows nothing and Down leaves an empty line.
  QTest::keyClick(line, Qt::Key_Up);
  EXPECT_TRUE(line->text().isEmpty());
  QTest::keyClick(line, Qt::Key_Down);
  EXPECT_TRUE(line->text().isEmpty());
  EXPECT_EQ(console->FHistoryIndex, 0);

  for (const char* command : {"status", "serverinfo", "say hi"}) Type(console, command);
  EXPECT_EQ(console->FHistory, (Lines{"status", "serverinfo", "say hi"}));
  EXPECT_EQ(console->FHistoryIndex, 3);

  QStringList shown;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(line, Qt::Key_Up);
    shown << line->text();
    EXPECT_EQ(line->cursorPosition(), line->text().size());
  }
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(line, Qt::Key_Down);
    shown << line->text();
    EXPECT_EQ(line->cursorPosition(), line->text().size());
  }
  EXPECT_EQ(shown, (QStringList{"say hi", "serverinfo", "status", "status", "serverinfo", "say hi", "", ""}));

  // A recalled command sent again is a new entry; the walk starts from the newest.
  QTest::keyClick(line, Qt::Key_Up);
  QTest::keyClick(line, Qt::Key_Up);
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(console->FHistory.back(), "serverinfo");
  EXPECT_EQ(console->FHistoryIndex, 4);
  QTest::keyClick(line, Qt::Key_Up);
  EXPECT_EQ(line->text(), "serverinfo");
}

TEST_F(ConsoleForm, EnterOnAnEmptyLineDoesNothing) {
  TTerminalForm* console = Open();
  ASSERT_TRUE(peer.WaitFor(1));
  QTest::keyClick(console->E_Command, Qt::Key_Return);
  QTest::keyClick(console->E_Command, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::qWait(100);
  peer.Collect();
  EXPECT_EQ(peer.Received.size(), 1u);
  EXPECT_TRUE(console->LogLines().empty());
  EXPECT_TRUE(console->Memo1->toPlainText().isEmpty());
  EXPECT_TRUE(console->FHistory.empty());
}

TEST_F(ConsoleForm, EnterSendsFromAnywhereInTheWindow) {
  TTerminalForm* console = Open();
  console->E_Command->setText("status");
  // The window sees the key before the focused button does: it sends and the button stays idle.
  QTest::keyClick(console->Btn_Close, Qt::Key_Return);
  EXPECT_EQ(console->LogLines(), (Lines{"Command : [status]"}));
  EXPECT_TRUE(console->E_Command->text().isEmpty());
  Settle();
  EXPECT_EQ(frame.Children().size(), 1u);
  ASSERT_TRUE(peer.WaitFor(2));
  EXPECT_EQ(peer.Received[1].data, kMarker + "rcon secret status");
}

TEST_F(ConsoleForm, TheLogNeverKeepsTheFocus) {
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  TTerminalForm* console = Open();
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), console->E_Command);
  EXPECT_FALSE(console->Memo1->focusPolicy() & Qt::TabFocus);

  console->Btn_Save->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), console->Btn_Save);
  QTest::mouseClick(console->Memo1->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
  EXPECT_EQ(QApplication::focusWidget(), console->E_Command);
  console->Memo1->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), console->E_Command);
}

TEST_F(ConsoleForm, TextSelectedInTheLogCanBeCopiedFromTheCommandLine) {
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  TTerminalForm* console = Open();
  Type(console, "status");
  Settle();
  // Dragging over the log selects, though the focus goes back to the command line.
  QWidget* viewport = console->Memo1->viewport();
  const QPoint start = console->Memo1->cursorRect(QTextCursor(console->Memo1->document())).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, start);
  QTest::mouseMove(viewport, start + QPoint(60, 0));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(60, 0));
  EXPECT_EQ(QApplication::focusWidget(), console->E_Command);
  ASSERT_TRUE(console->Memo1->textCursor().hasSelection());
  const QString selected = console->Memo1->textCursor().selectedText();
  QApplication::clipboard()->clear();
  QTest::keyClick(console->E_Command, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), selected);
  EXPECT_TRUE(QString("Command : [status]").startsWith(selected));

  // A selection in the command line is copied as usual.
  console->E_Command->setText("map q3dm17");
  console->E_Command->selectAll();
  QTest::keyClick(console->E_Command, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "map q3dm17");
}

TEST_F(ConsoleForm, CloseEndsTheConsoleAndItsSocket) {
  QPointer<TTerminalForm> console = Open();
  QTest::mouseClick(console->Btn_Close, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(console.isNull());
  EXPECT_TRUE(frame.Children().empty());
}

// Close, Close All and Exit release the socket at once, as monitor windows do, not only when the
// window is deleted after the event loop comes round again.
TEST_F(ConsoleForm, EveryWayOfClosingReleasesTheSocketAtOnce) {
  const std::function<void(TTerminalForm*)> ways[] = {
      [](TTerminalForm* console) { console->Btn_Close->click(); },
      [this](TTerminalForm*) { frame.CloseAll1Click(); },
      [this](TTerminalForm*) { frame.Exit1Click(); },
  };
  for (const auto& close : ways) {
    QPointer<TTerminalForm> console = Open();
    close(console);
    ASSERT_FALSE(console.isNull());
    EXPECT_EQ(console->Q3A_Client.State, ssClosed);
  }
}

// ---- Save Log ----

class SaveLog : public ConsoleTest {
 protected:
  TTerminalForm* ConsoleWithOutput() {
    TTerminalForm* console = Open();
    Type(console, "status");
    Reply(console, kMarker + "print\r\nmap: q3dm17\r\n\xE9\n");
    EXPECT_TRUE(WaitForLog(console, 5));
    return console;
  }
  const std::string kExpected = "Command : [status]\r\nprint\r\r\nmap: q3dm17\r\r\n\xE9\r\n\r\n";
};

TEST_F(SaveLog, TheWholeLogIsWrittenWithCrLfLineEnds) {
  TTerminalForm* console = ConsoleWithOutput();
  test::TempDir elsewhere;
  const QString file = QString::fromStdString(elsewhere.Path() + "/console.txt");
  dialogs.saveAnswers.push_back(file);
  console->Btn_Save->click();
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  const platform::SaveDialogRequest& request = dialogs.saveRequests[0];
  EXPECT_EQ(request.defaultExtension, "txt");
  EXPECT_EQ(request.filter, "Text file|*.txt|Log File|*.log|All files|*.*");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_EQ(elsewhere.Read("console.txt"), kExpected);
  EXPECT_TRUE(dialogs.messages.empty());

  // The menu item saves the same way; saving elsewhere does not move Corvane.ini.
  dialogs.saveAnswers.push_back(file);
  console->Save->trigger();
  EXPECT_EQ(dialogs.saveRequests.size(), 2u);
  EXPECT_EQ(elsewhere.Read("console.txt"), kExpected);
  EXPECT_EQ(platform::IniFileName(), dir.Path() + "/Corvane.ini");
  EXPECT_EQ(console->LogLines().size(), 5u);
}

TEST_F(SaveLog, CancellingWritesNothing) {
  TTerminalForm* console = ConsoleWithOutput();
  console->Btn_Save->click();
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_TRUE(QDir(QString::fromStdString(dir.Path())).isEmpty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SaveLog, AFileThatCannotBeCreatedIsReported) {
  TTerminalForm* console = ConsoleWithOutput();
  const std::string file = dir.Path() + "/missing/console.txt";
  dialogs.saveAnswers.push_back(QString::fromStdString(file));
  console->Btn_Save->click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "Cannot create file " + file + ".");
  EXPECT_EQ(console->LogLines().size(), 5u);
  EXPECT_EQ(frame.Children().size(), 1u);

  // A message ending in a character that sorts before the full stop gets none.
  const std::string dash = dir.Path() + "/missing/console-";
  dialogs.saveAnswers.push_back(QString::fromStdString(dash));
  console->Save->trigger();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Cannot create file " + dash);
}

}  // namespace
}  // namespace consoletest
