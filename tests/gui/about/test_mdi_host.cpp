#include "gui/about/test_mdi_host.h"

#include <QCoreApplication>
#include <QMdiSubWindow>

namespace test {

TestMdiHost::TestMdiHost() {
  area.resize(900, 600);
  area.show();
  platform::SetFrame(this);
}

TestMdiHost::~TestMdiHost() { platform::SetFrame(nullptr); }

void TestMdiHost::AddChild(QWidget* child) {
  QMdiSubWindow* sub = area.addSubWindow(child);
  sub->show();
}

std::vector<QWidget*> TestMdiHost::Children() const {
  std::vector<QWidget*> children;
  const QList<QMdiSubWindow*> list = area.subWindowList(QMdiArea::StackingOrder);
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if ((*it)->widget()) children.push_back((*it)->widget());
  return children;
}

void TestMdiHost::Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

}  // namespace test
