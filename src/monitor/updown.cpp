#include "monitor/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace monitor {

UpDown::UpDown(const char* name, QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
  setObjectName(name);
  Up = new QToolButton(this);
  Up->setArrowType(Qt::UpArrow);
  Up->setAutoRepeat(true);
  Down = new QToolButton(this);
  Down->setArrowType(Qt::DownArrow);
  Down->setAutoRepeat(true);
  for (QToolButton* b : {Up, Down}) {
    b->setFixedHeight(10);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(Up);
  layout->addWidget(Down);
  connect(Up, &QToolButton::clicked, this, [this] { Step(1); });
  connect(Down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void UpDown::Step(int delta) {
  bool ok = false;
  const int value = buddy_->text().trimmed().toInt(&ok);
  const int next = ok ? std::clamp(value + delta, minimum_, maximum_) : minimum_;
  buddy_->setText(QString::number(next));
}

}  // namespace monitor
