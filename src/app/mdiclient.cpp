#include "app/mdiclient.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/windowops.h"

namespace app {

MdiClient::MdiClient(QWidget* parent)
    : QMdiArea(parent), Image_Q3A(":/images/emblem.bmp"), Image_Q3A_Title(":/images/banner.bmp") {
  setBackground(Qt::black);
  // Children moved partly out of view can be scrolled back, as in any multiple-document frame.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void MdiClient::paintEvent(QPaintEvent* event) {
  QMdiArea::paintEvent(event);  // the black background
  // The viewport's top-left is the client area's; the positions take the outer size.
  const BackgroundPlacement place = PlaceBackground(size(), Image_Q3A.size(), Image_Q3A_Title.size());
  QPainter painter(viewport());
  painter.setClipRegion(event->region());
  painter.drawImage(place.emblem, Image_Q3A);
  painter.drawImage(place.banner, Image_Q3A_Title);
}

void MdiClient::scrollContentsBy(int dx, int dy) {
  // Scrolling moves the children and copies the painted pixels along with them; the pictures
  // belong to the client area, so everything is painted again in place.
  QMdiArea::scrollContentsBy(dx, dy);
  viewport()->update();
}

void MdiClient::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  viewport()->update();  // the pictures' places depend on the whole size
}

ChildFrame::ChildFrame(QWidget* child) : QMdiSubWindow(nullptr) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(child);
  // Queued: the child is in the middle of being destroyed. When the frame itself goes first,
  // the queued call goes with it.
  connect(child, &QObject::destroyed, this, [this] {
    if (!isHidden()) close();
  }, Qt::QueuedConnection);
}

}  // namespace app
