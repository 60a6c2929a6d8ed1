// The frame's menus, tool bar and status bar, the commands other units plug in, and the menu
// that the active child merges into the menu bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/launchernotice.h"
#include "app/mainunit.h"
#include "app/mdiclient.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "support/scripted_dialogs.h"
#include "test_child.h"

namespace apptest {
namespace {

// "name caption [shortcut]" of every visible entry; "-" for a separator.
std::vector<std::string> VisibleEntries(const QWidget* owner) {
  std::vector<std::string> entries;
  for (const QAction* action : owner->actions()) {
    if (!action->isVisible()) continue;
    if (action->isSeparator()) {
      entries.push_back("-");
      continue;
    }
    std::string entry = action->objectName().toStdString() + " " + action->text().toStdString();
    if (!action->shortcut().isEmpty()) entry += " [" + action->shortcut().toString().toStdString() + "]";
    entries.push_back(entry);
  }
  return entries;
}

std::vector<std::string> MenuBarTitles(TF_Main& frame) {
  std::vector<std::string> titles;
  for (const QAction* action : frame.menuBar()->actions())
    if (action->isVisible()) titles.push_back(action->text().toStdString());
  return titles;
}

// The tool bar's visible buttons by name, "-" for a separator.
std::vector<std::string> ToolBarEntries(TF_Main& frame) {
  auto* bar = frame.findChild<QToolBar*>("ToolBar1");
  std::vector<std::string> entries;
  for (QAction* action : bar->actions()) {
    if (!action->isVisible()) continue;
    if (action->isSeparator())
      entries.push_back("-");
    else
      entries.push_back(bar->widgetForAction(action)->objectName().toStdString());
  }
  return entries;
}

void RegisterAll(TF_Main& frame, std::vector<std::string>& ran) {
  frame.SetCommand(TFrameCommand::Connect, [&] { ran.push_back("Connect"); });
  frame.SetCommand(TFrameCommand::QuickConnect, [&] { ran.push_back("QuickConnect"); });
  frame.SetCommand(TFrameCommand::RemoteConsole, [&] { ran.push_back("RemoteConsole"); });
  frame.SetCommand(TFrameCommand::Board, [&] { ran.push_back("Board"); });
  frame.SetCommand(TFrameCommand::ToDoList, [&] { ran.push_back("ToDoList"); });
  frame.SetCommand(TFrameCommand::About, [&] { ran.push_back("About"); });
}

TEST(FrameMenus, UntilCommandsArePluggedInOnlyTheFramesOwnItemsAreOffered) {
  TF_Main frame;
  EXPECT_EQ(frame.windowTitle(), "Corvane");
  EXPECT_EQ(frame.objectName(), "F_Main");
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Window", "&Help"}));
  EXPECT_EQ(frame.File1->objectName(), "File1");
  EXPECT_EQ(frame.Window1->objectName(), "Window1");
  EXPECT_EQ(frame.Help1->objectName(), "Help1");
  EXPECT_EQ(VisibleEntries(frame.File1), (std::vector<std::string>{"Close1 &Close", "-", "Exit1 E&xit"}));
  EXPECT_EQ(VisibleEntries(frame.Window1),
            (std::vector<std::string>{"Tile1 &Tile", "Cascade1 &Cascade", "ArrangeAll1 &Arrange Icons",
                                      "CloseAll1 C&lose All", "-", "MinimizeAll1 &Minimize All",
                                      "MaximizeAll1 M&aximize All", "RestoreAll1 &Restore All"}));
  EXPECT_EQ(VisibleEntries(frame.Help1), (std::vector<std::string>{"Contents1 &Contents"}));
  EXPECT_EQ(ToolBarEntries(frame), (std::vector<std::string>{"SB_Close"}));

  // The shortcuts of hidden items must not fire either.
  std::vector<std::string> ran;
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(ran.empty());
}

TEST(FrameMenus, PluggedInCommandsShowTheirItemsAndButtonsInPlace) {
  TF_Main frame;
  std::vector<std::string> ran;
  RegisterAll(frame, ran);
  EXPECT_EQ(VisibleEntries(frame.File1),
            (std::vector<std::string>{"Connect1 &Connect [Ctrl+N]", "QuickConnect1 &Quick Connect [Ctrl+Q]",
                                      "RemoteConsole1 Quick &Remote Console [Ctrl+R]", "Board1 Server &Board [Ctrl+B]",
                                      "Close1 &Close", "-",
                                      "Exit1 E&xit"}));
  EXPECT_EQ(VisibleEntries(frame.Help1), (std::vector<std::string>{"Contents1 &Contents", "ToDoList1 &To Do List", "-",
                                                                   "About1 &About..."}));
  EXPECT_EQ(ToolBarEntries(frame),
            (std::vector<std::string>{"SB_New", "CB_QuickConnect", "SB_Remote", "SB_Board", "-", "SB_Close"}));

  const std::vector<std::pair<const char*, const char*>> hints = {{"SB_New", "Connect to remote server"},
                                                                  {"CB_QuickConnect", "Quick Connect"},
                                                                  {"SB_Remote", "Quick Remote Console"},
                                                                  {"SB_Board", "Server Board"},
                                                                  {"SB_Close", "Close current window"}};
  for (const auto& [name, hint] : hints) {
    auto* button = frame.findChild<QToolButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->toolTip(), hint);
    EXPECT_EQ(button->size(), QSize(25, 25));
    EXPECT_TRUE(button->autoRaise()) << name << " is flat";
    EXPECT_FALSE(button->icon().isNull()) << name;
  }

  // Menu items, buttons and shortcuts run the same commands.
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  frame.Connect1->trigger();
  QTest::mouseClick(frame.SB_New, Qt::LeftButton);
  QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
  QTest::mouseClick(frame.CB_QuickConnect, Qt::LeftButton);
  QTest::keyClick(&frame, Qt::Key_Q, Qt::ControlModifier);
  QTest::mouseClick(frame.SB_Remote, Qt::LeftButton);
  QTest::keyClick(&frame, Qt::Key_R, Qt::ControlModifier);
  frame.Board1->trigger();
  QTest::mouseClick(frame.SB_Board, Qt::LeftButton);
  QTest::keyClick(&frame, Qt::Key_B, Qt::ControlModifier);
  frame.ToDoList1->trigger();
  frame.About1->trigger();
  frame.Contents1->trigger();  // has no action
  EXPECT_EQ(ran, (std::vector<std::string>{"Connect", "Connect", "Connect", "QuickConnect", "QuickConnect",
                                           "RemoteConsole", "RemoteConsole", "Board", "Board", "Board", "ToDoList",
                                           "About"}));

  // Taking a command back hides it again, separator included.
  frame.SetCommand(TFrameCommand::Connect, nullptr);
  frame.SetCommand(TFrameCommand::QuickConnect, nullptr);
  frame.SetCommand(TFrameCommand::RemoteConsole, nullptr);
  frame.SetCommand(TFrameCommand::Board, nullptr);
  EXPECT_EQ(ToolBarEntries(frame), (std::vector<std::string>{"SB_Close"}));
}

TEST(FrameMenus, AnErrorRaisedByACommandIsShownAndTheFrameStaysOpen) {
  test::ScopedDialogs dialogs;
  TF_Main frame;
  frame.show();
  frame.SetCommand(TFrameCommand::Connect, [] { throw platform::EFOpenError("Cannot open file Corvane.ini"); });
  QTest::mouseClick(frame.SB_New, Qt::LeftButton);
  frame.Connect1->trigger();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "Cannot open file Corvane.ini.");
  EXPECT_TRUE(frame.isVisible());
}

TEST(FrameMenus, StatusBarHasTwoEmptyPanelsOfFiftyPixels) {
  TF_Main frame;
  frame.show();
  const QList<QLabel*> panels = frame.statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel"));
  ASSERT_EQ(panels.size(), 2);
  for (const QLabel* panel : panels) {
    EXPECT_EQ(panel->width(), 50);
    EXPECT_TRUE(panel->text().isEmpty());
  }
}

TEST(FrameMenus, TheLaunchersNoticeShowsInTheStatusBarBesideTheEmptyPanels) {
  struct Case {
    const char* variable;  // CORVANE_NOTICE, nullptr: not set
    QString shown;
  };
  const Case cases[] = {
      {nullptr, ""},
      {"77 level pictures imported from /usr/share/games/openarena/baseoa",
       "77 level pictures imported from /usr/share/games/openarena/baseoa"},
      {"3 level pictures imported from /home/j\xC3\xBCrgen/.q3a/baseq3",  // UTF-8, as the shell wrote it
       QString::fromUtf8("3 level pictures imported from /home/j\xC3\xBCrgen/.q3a/baseq3")},
      {"first line\nsecond line", "first line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.toStdString());
    if (c.variable)
      setenv("CORVANE_NOTICE", c.variable, 1);
    else
      unsetenv("CORVANE_NOTICE");
    TF_Main frame;
    frame.show();
    frame.ShowStatusText(app::TakeLauncherNotice());
    EXPECT_EQ(std::getenv("CORVANE_NOTICE"), nullptr) << "passed on to the programs Corvane starts";
    const auto* text = frame.statusBar()->findChild<QLabel*>("StatusText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), c.shown);
    EXPECT_TRUE(text->isVisible());
    const QList<QLabel*> panels = frame.statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel"));
    ASSERT_EQ(panels.size(), 2);
    for (const QLabel* panel : panels) {
      EXPECT_EQ(panel->width(), 50);
      EXPECT_TRUE(panel->text().isEmpty());
      EXPECT_LT(panel->x(), text->x());
    }
  }
}

TEST(FrameMenus, TheActiveChildsMenuIsMergedBetweenFileAndWindow) {
  TF_Main frame;
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  Log log;
  TestChild* first = AddTestChild(frame, "First", log, true);
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&First", "&Window", "&Help"}));
  TestChild* second = AddTestChild(frame, "Second", log, true);
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Second", "&Window", "&Help"}));

  frame.ClientArea()->setActiveSubWindow(first->Frame());
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&First", "&Window", "&Help"}));

  TestChild* plain = AddTestChild(frame, "Plain", log, false);
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Window", "&Help"}));
  frame.ClientArea()->setActiveSubWindow(second->Frame());
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Second", "&Window", "&Help"}));

  // Closing the active child takes its menu away; the next active child brings its own.
  second->Frame()->close();
  Settle();
  const std::vector<std::string> afterClose = MenuBarTitles(frame);
  EXPECT_EQ(std::count(afterClose.begin(), afterClose.end(), "&Second"), 0);
  frame.ClientArea()->setActiveSubWindow(plain->Frame());
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Window", "&Help"}));

  // A child closing itself (its own Close button) takes its menu along too.
  frame.ClientArea()->setActiveSubWindow(first->Frame());
  ASSERT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&First", "&Window", "&Help"}));
  first->close();
  Settle();
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Window", "&Help"}));
  plain->close();
  Settle();
  EXPECT_EQ(MenuBarTitles(frame), (std::vector<std::string>{"&File", "&Window", "&Help"}));
}

// Alt and a menu's letter open that menu, the active child's merged menu included, while a
// control of the child has the focus; and they still do after a modal dialog has come and gone.
TEST(FrameMenus, EveryMenuOpensWithItsAltLetterAlsoAfterAModalDialog) {
  // The program's own dialogs, closed as soon as they are up.
  platform::Dialogs* scripted = platform::SetDialogs(nullptr);
  const auto closeModal = [] {
    QTimer::singleShot(0, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
  };
  enum Modal { kNone, kForm, kMessageBox };
  enum Menu { kFile, kMerged, kWindow, kHelp };
  const std::pair<Qt::Key, Menu> keys[] = {{Qt::Key_F, kFile}, {Qt::Key_S, kMerged}, {Qt::Key_W, kWindow}, {Qt::Key_H, kHelp}};
  for (Modal modal : {kNone, kForm, kMessageBox})
    for (const auto& [key, which] : keys) {
      SCOPED_TRACE(testing::Message() << "modal " << modal << ", menu " << which);
      // A frame of its own each time: the offscreen platform leaves no focus behind a closed menu.
      TF_Main frame;
      frame.show();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
      Log log;
      TestChild* child = AddTestChild(frame, "Server", log, true);
      auto* edit = new QLineEdit(child);
      edit->show();
      edit->setFocus();
      if (modal == kForm) {
        QDialog form(&frame);
        closeModal();
        platform::ExecModal(form);
      } else if (modal == kMessageBox) {
        closeModal();
        platform::ShowMessage("Done", &frame);
      }
      QCoreApplication::processEvents();  // a person's next key comes after the window events
      QTest::keyClick(edit, key, Qt::AltModifier);
      QMenu* const menus[] = {frame.File1, child->MergedMenu(), frame.Window1, frame.Help1};
      EXPECT_TRUE(menus[which]->isVisible());
      menus[which]->close();
      EXPECT_EQ(edit->text(), "") << "the letter went to the focused control";
    }
  platform::SetDialogs(scripted);
}

TEST(FrameMenus, WindowMenuListsTheChildrenAndActivatesTheOneChosen) {
  TF_Main frame;
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  const auto listed = [&] {
    emit frame.Window1->aboutToShow();
    std::vector<std::string> entries = VisibleEntries(frame.Window1);
    entries.erase(entries.begin(), entries.begin() + 8);  // the menu's own items
    for (QAction* action : frame.Window1->actions())
      if (action->isCheckable() && action->isChecked()) entries.push_back("checked: " + action->text().toStdString());
    return entries;
  };
  EXPECT_TRUE(listed().empty()) << "no list and no separator without children";

  Log log;
  TestChild* a = AddTestChild(frame, "Alpha", log);
  AddTestChild(frame, "B & B", log);
  AddTestChild(frame, "Gamma", log);
  EXPECT_EQ(listed(), (std::vector<std::string>{"-", " &1 Alpha", " &2 B && B", " &3 Gamma", "checked: &3 Gamma"}));

  emit frame.Window1->aboutToShow();
  QAction* alpha = nullptr;
  for (QAction* action : frame.Window1->actions())
    if (action->text() == "&1 Alpha") alpha = action;
  ASSERT_NE(alpha, nullptr);
  a->Frame()->showMinimized();
  alpha->trigger();
  EXPECT_EQ(frame.ActiveChild(), a);
  EXPECT_FALSE(a->Frame()->isMinimized()) << "a minimised child chosen from the list comes back";
  EXPECT_EQ(listed().back(), "checked: &1 Alpha");
}

}  // namespace
}  // namespace apptest
