// The frame's children: their order, their size, the Window commands and closing the frame.
#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

#include "app/mainunit.h"
#include "app/mdiclient.h"
#include "app/windowops.h"
#include "support/scripted_dialogs.h"
#include "test_child.h"

namespace apptest {
namespace {

class FrameWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.resize(900, 700);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  // Three children added in the order a, b, c: c is on top, index 0.
  void AddThree() {
    a = AddTestChild(frame, "a", log);
    b = AddTestChild(frame, "b", log);
    c = AddTestChild(frame, "c", log);
  }
  // Logs "<state> <name>" whenever a child's frame enters the given state.
  void WatchState(TestChild* child, Qt::WindowState state, const std::string& word) {
    QObject::connect(child->Frame(), &QMdiSubWindow::windowStateChanged, child,
                     [this, child, state, word](Qt::WindowStates before, Qt::WindowStates now) {
                       if ((now & state) && !(before & state)) log.push_back(word + " " + child->Name());
                     });
  }
  std::vector<QWidget*> Order(std::initializer_list<QWidget*> children) { return children; }

  test::ScopedDialogs dialogs;
  TF_Main frame;
  Log log;
  TestChild* a = nullptr;
  TestChild* b = nullptr;
  TestChild* c = nullptr;
};

TEST_F(FrameWindows, TheFrameRegistersAsTheHostAndListsItsChildrenTopmostFirst) {
  EXPECT_EQ(platform::Frame(), &frame);
  AddThree();
  EXPECT_EQ(frame.Children(), Order({c, b, a}));
  EXPECT_EQ(frame.ActiveChild(), c);
  frame.ClientArea()->setActiveSubWindow(a->Frame());
  EXPECT_EQ(frame.Children(), Order({a, c, b}));
  EXPECT_EQ(frame.ActiveChild(), a);
  EXPECT_TRUE(a->isVisible());
}

TEST_F(FrameWindows, AChildIsFramedAtTheSizeItAsksFor) {
  TestChild* child = AddTestChild(frame, "sized", log, false, QSize(532, 318));
  Settle();
  EXPECT_EQ(child->size(), QSize(532, 318));
  EXPECT_TRUE(child->Frame()->testAttribute(Qt::WA_DeleteOnClose));
}

TEST_F(FrameWindows, WithoutChildrenTheCommandsDoNothing) {
  frame.Close1->trigger();
  QTest::mouseClick(frame.SB_Close, Qt::LeftButton);
  for (QAction* command : {frame.Tile1, frame.Cascade1, frame.ArrangeAll1, frame.CloseAll1, frame.MinimizeAll1,
                           frame.MaximizeAll1, frame.RestoreAll1})
    command->trigger();
  Settle();
  EXPECT_TRUE(frame.Children().empty());
  EXPECT_TRUE(frame.isVisible());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FrameWindows, CloseAndTheCloseButtonCloseOnlyTheActiveChild) {
  AddThree();
  frame.ClientArea()->setActiveSubWindow(b->Frame());
  frame.Close1->trigger();
  EXPECT_EQ(log, (Log{"close b"}));
  Settle();
  EXPECT_EQ(frame.Children().size(), 2u);
  QWidget* active = frame.ActiveChild();
  QTest::mouseClick(frame.SB_Close, Qt::LeftButton);
  Settle();
  const std::vector<QWidget*> left = frame.Children();
  EXPECT_EQ(left.size(), 1u);
  EXPECT_EQ(std::count(left.begin(), left.end(), active), 0);
}

TEST_F(FrameWindows, CloseAllClosesFromTheLastIndexDownAndLeavesTheFrameOpen) {
  AddThree();
  frame.ClientArea()->setActiveSubWindow(a->Frame());  // order now a, c, b
  QPointer<TestChild> gone = b;
  frame.CloseAll1->trigger();
  EXPECT_EQ(log, (Log{"close b", "close c", "close a"}));
  Settle();
  EXPECT_TRUE(gone.isNull()) << "children free themselves when closed";
  EXPECT_TRUE(frame.ClientArea()->subWindowList().isEmpty());
  EXPECT_TRUE(frame.isVisible());
}

TEST_F(FrameWindows, MinimizeMaximizeAndRestoreAllWalkFromTheLastIndexDown) {
  AddThree();
  for (TestChild* child : {a, b, c}) {
    WatchState(child, Qt::WindowMinimized, "min");
    WatchState(child, Qt::WindowMaximized, "max");
  }
  frame.MinimizeAll1->trigger();
  EXPECT_EQ(log, (Log{"min a", "min b", "min c"}));
  for (TestChild* child : {a, b, c}) EXPECT_TRUE(child->Frame()->isMinimized());

  frame.RestoreAll1->trigger();
  for (TestChild* child : {a, b, c}) EXPECT_FALSE(child->Frame()->isMinimized() || child->Frame()->isMaximized());

  log.clear();
  const std::vector<QWidget*> before = frame.Children();
  frame.MaximizeAll1->trigger();
  ASSERT_EQ(log.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(log[i], "max " + static_cast<TestChild*>(before[2 - i])->Name());
  EXPECT_EQ(frame.ActiveChild(), before[0]) << "the topmost child ends up maximised in front";
}

TEST_F(FrameWindows, TileStacksTheChildrenAtFullWidth) {
  AddThree();
  c->Frame()->showMaximized();
  frame.Tile1->trigger();
  Settle();
  const QSize client = frame.ClientArea()->viewport()->size();
  const std::vector<QWidget*> order = frame.Children();
  int top = 0;
  for (QWidget* child : order) {
    const QRect place = child->parentWidget()->geometry();
    EXPECT_FALSE(static_cast<QMdiSubWindow*>(child->parentWidget())->isMaximized());
    EXPECT_EQ(place.left(), 0);
    EXPECT_EQ(place.width(), client.width());
    EXPECT_EQ(place.top(), top);
    top = place.bottom() + 1;
  }
  EXPECT_EQ(top, client.height());
}

TEST_F(FrameWindows, TileLeavesMinimisedChildrenInARowAtTheBottom) {
  AddThree();
  a->Frame()->showMinimized();
  frame.ArrangeAll1->trigger();
  frame.Tile1->trigger();
  Settle();
  const QSize client = frame.ClientArea()->viewport()->size();
  EXPECT_EQ(a->Frame()->geometry().bottom(), client.height() - 1);
  EXPECT_EQ(a->Frame()->x(), 0);
  EXPECT_LE(b->Frame()->geometry().bottom(), a->Frame()->y());
  EXPECT_LE(c->Frame()->geometry().bottom(), a->Frame()->y());
}

TEST_F(FrameWindows, AChildThatClosesItselfLeavesNoEmptyFrameBehind) {
  AddThree();
  b->close();
  EXPECT_EQ(frame.Children(), Order({c, a})) << "no longer listed once it has closed";
  Settle();
  EXPECT_EQ(frame.ClientArea()->subWindowList().size(), 2);
}

TEST_F(FrameWindows, ExitClosesEveryChildLastIndexFirstBeforeTheFrame) {
  AddThree();
  TestChild* console = AddTestChild(frame, "console", log);
  for (TestChild* child : {a, b, c, console}) child->watchedFrame = &frame;
  frame.Exit1->trigger();
  EXPECT_EQ(log, (Log{"close a", "close b", "close c", "close console"}));
  for (TestChild* child : {a, b, c, console}) EXPECT_TRUE(child->frameVisibleAtClose) << child->Name();
  EXPECT_FALSE(frame.isVisible());
  Settle();
  EXPECT_TRUE(frame.ClientArea()->subWindowList().isEmpty());
}

TEST_F(FrameWindows, TheCloseBoxClosesTheChildrenTooAndAChildThatRefusesKeepsTheFrameOpen) {
  AddThree();
  b->refuseClose = true;
  frame.close();
  EXPECT_EQ(log, (Log{"close a", "close b", "close c"}));
  Settle();
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.Children(), Order({b}));

  b->refuseClose = false;
  log.clear();
  frame.close();
  EXPECT_EQ(log, (Log{"close b"}));
  EXPECT_FALSE(frame.isVisible());
}

TEST(WindowOps, LastToFirstAndTileGeometry) {
  EXPECT_EQ(app::LastToFirst(std::vector<int>{0, 1, 2, 3}), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_TRUE(app::LastToFirst(std::vector<int>{}).empty());

  // 3 strips over 100 pixels: 33, 33 and the last takes 34.
  const std::vector<QRect> strips = app::TileHorizontally(QRect(0, 0, 640, 100), 3);
  EXPECT_EQ(strips, (std::vector<QRect>{QRect(0, 0, 640, 33), QRect(0, 33, 640, 33), QRect(0, 66, 640, 34)}));
  EXPECT_TRUE(app::TileHorizontally(QRect(0, 0, 640, 100), 0).empty());

  // Icons fill the bottom row from the left and wrap to the row above.
  const std::vector<QPoint> icons = app::ArrangeIcons(QRect(0, 0, 400, 300), QSize(160, 24), 3);
  EXPECT_EQ(icons, (std::vector<QPoint>{QPoint(0, 276), QPoint(160, 276), QPoint(0, 252)}));
}

}  // namespace
}  // namespace apptest
