#include "test_child.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QTest>

#include "app/mainunit.h"

namespace apptest {

TestChild::TestChild(std::string name, Log& log, bool withMenu) : name_(std::move(name)), log_(log) {
  setWindowTitle(QString::fromStdString(name_));
  setAttribute(Qt::WA_DeleteOnClose);
  if (withMenu) {
    menu_ = new QMenu(QString::fromStdString("&" + name_), this);
    menu_->setObjectName(QString::fromStdString(name_ + "Menu"));
    menu_->addAction("&Refresh");
  }
}

QMdiSubWindow* TestChild::Frame() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void TestChild::closeEvent(QCloseEvent* event) {
  log_.push_back("close " + name_);
  if (watchedFrame) frameVisibleAtClose = watchedFrame->isVisible();
  if (refuseClose) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

TestChild* AddTestChild(TF_Main& frame, const std::string& name, Log& log, bool withMenu, QSize size) {
  auto* child = new TestChild(name, log, withMenu);
  child->resize(size);
  frame.AddChild(child);
  return child;
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace apptest
