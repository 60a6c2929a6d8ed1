// The client area's background as it is on screen: black, the emblem in the middle, the banner
// near the bottom over the emblem, and both in place when the children are scrolled.
#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <functional>

#include "app/mainunit.h"
#include "app/mdiclient.h"
#include "test_child.h"

namespace apptest {
namespace {

// What the frame's window shows of the client area, read back from the screen.
QImage OnScreen(TF_Main& frame) {
  app::MdiClient* client = frame.ClientArea();
  const QPoint at = client->mapTo(&frame, QPoint(0, 0));
  return frame.screen()
      ->grabWindow(frame.winId(), at.x(), at.y(), client->width(), client->height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

void ResizeClientTo(TF_Main& frame, QSize target) {
  const QSize chrome = frame.size() - frame.ClientArea()->size();
  frame.resize(target + chrome);
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame.ClientArea()->size() == target; }));
  QTest::qWait(50);  // let the new size be painted
}

// Counts the pixels of the visible part of `area` (clipped to `view`) where the shot differs
// from what `expected` says the pixel should be.
int Mismatches(const QImage& shot, const QRect& area, const QRect& view, const std::function<QRgb(QPoint)>& expected) {
  int wrong = 0;
  const QRect visible = area.intersected(view);
  for (int y = visible.top(); y <= visible.bottom(); ++y)
    for (int x = visible.left(); x <= visible.right(); ++x)
      if ((shot.pixel(x, y) & 0xFFFFFF) != (expected(QPoint(x, y)) & 0xFFFFFF)) ++wrong;
  return wrong;
}

// Checks the whole visible client area against the expected background. Pixels in `skip`
// (a child window) are not looked at.
void ExpectBackground(TF_Main& frame, const QImage& shot, QPoint emblemAt, QPoint bannerAt, QRect skip = QRect()) {
  app::MdiClient* client = frame.ClientArea();
  const QImage emblem = client->Image_Q3A.convertToFormat(QImage::Format_RGB32);
  const QImage banner = client->Image_Q3A_Title.convertToFormat(QImage::Format_RGB32);
  const QRect emblemRect(emblemAt, emblem.size());
  const QRect bannerRect(bannerAt, banner.size());
  const QRect view(client->viewport()->pos(), client->viewport()->size());
  const auto expected = [&](QPoint p) -> QRgb {
    if (skip.contains(p)) return shot.pixel(p);
    if (bannerRect.contains(p)) return banner.pixel(p - bannerAt);
    if (emblemRect.contains(p)) return emblem.pixel(p - emblemAt);
    return qRgb(0, 0, 0);
  };
  EXPECT_EQ(Mismatches(shot, QRect(QPoint(0, 0), shot.size()), view, expected), 0)
      << "client " << client->width() << "x" << client->height() << ", emblem at " << emblemAt.x() << ","
      << emblemAt.y() << ", banner at " << bannerAt.x() << "," << bannerAt.y();
}

class Background : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_EQ(frame.ClientArea()->Image_Q3A.size(), QSize(140, 170));
    ASSERT_EQ(frame.ClientArea()->Image_Q3A_Title.size(), QSize(600, 46));
  }
  TF_Main frame;
};

TEST_F(Background, PicturesSitWhereTheClientAreaSizeSaysForTwoSizes) {
  ResizeClientTo(frame, QSize(900, 600));
  ExpectBackground(frame, OnScreen(frame), QPoint(380, 215), QPoint(150, 550));
  ResizeClientTo(frame, QSize(700, 400));
  ExpectBackground(frame, OnScreen(frame), QPoint(280, 115), QPoint(50, 350));
}

TEST_F(Background, BannerLiesOverTheEmblemAndOffsetsTruncateTowardZero) {
  // 501 wide: the banner starts (501 - 600) / 2 = -49 pixels left of the client area, and
  // 240 high: the banner's rows 190..235 cover the emblem's last rows 35..204.
  ResizeClientTo(frame, QSize(501, 240));
  ExpectBackground(frame, OnScreen(frame), QPoint(180, 35), QPoint(-49, 190));
}

TEST_F(Background, ScrollingTheChildrenRepaintsThePicturesInPlace) {
  ResizeClientTo(frame, QSize(800, 500));
  Log log;
  TestChild* child = AddTestChild(frame, "wide", log, false, QSize(300, 150));
  QMdiSubWindow* childFrame = child->Frame();
  childFrame->move(650, 320);  // partly out of view on the right and at the bottom
  QScrollBar* bar = frame.ClientArea()->horizontalScrollBar();
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->isVisible() && bar->maximum() > 0; }));
  QTest::qWait(50);

  bar->setValue(bar->maximum());
  ASSERT_TRUE(QTest::qWaitFor([&] { return childFrame->x() < 650; })) << "the child scrolled";
  QTest::qWait(50);
  const QImage shot = OnScreen(frame);
  ExpectBackground(frame, shot, QPoint(330, 165), QPoint(100, 450), childFrame->geometry());

  bar->setValue(0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return childFrame->x() == 650; }));
  QTest::qWait(50);
  ExpectBackground(frame, OnScreen(frame), QPoint(330, 165), QPoint(100, 450), childFrame->geometry());
}

}  // namespace
}  // namespace apptest
