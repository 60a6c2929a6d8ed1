#include "addressbook/spinedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <climits>

#include "platform/convert.h"
#include "platform/text.h"

namespace addressbook {
namespace {

constexpr int kArrowWidth = 16;

bool IsNumberKey(QChar c) { return (c >= QChar('0') && c <= QChar('9')) || c == QChar('+') || c == QChar('-'); }

class NumberLineEdit : public QLineEdit {
 public:
  NumberLineEdit(SpinEdit* owner) : QLineEdit(owner), owner_(owner) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
      owner_->StepBy(event->key() == Qt::Key_Up ? 1 : -1);
      return;
    }
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && !typed.isEmpty() && typed.at(0).isPrint()) {
      for (const QChar c : typed) {
        if (!IsNumberKey(c)) {
          QApplication::beep();
          return;
        }
      }
    }
    QLineEdit::keyPressEvent(event);
  }

 private:
  SpinEdit* owner_;
};

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

SpinEdit::SpinEdit(QWidget* parent)
    : QWidget(parent),
      edit_(new NumberLineEdit(this)),
      up_(ArrowButton(this, Qt::UpArrow)),
      down_(ArrowButton(this, Qt::DownArrow)) {
  setFocusProxy(edit_);
  setFocusPolicy(edit_->focusPolicy());
  connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
  SetValue(0);
}

int SpinEdit::Value() const { return platform::StrToIntDef(platform::ToAnsi(edit_->text()), 0); }

void SpinEdit::SetValue(int value) { edit_->setText(QString::number(value)); }

QString SpinEdit::Text() const { return edit_->text(); }

void SpinEdit::SetText(const QString& text) { edit_->setText(text); }

void SpinEdit::StepBy(int steps) {
  const long long next = static_cast<long long>(Value()) + steps;
  SetValue(static_cast<int>(next > INT_MAX ? INT_MAX : next < INT_MIN ? INT_MIN : next));
}

void SpinEdit::resizeEvent(QResizeEvent*) {
  const int w = width();
  const int h = height();
  edit_->setGeometry(0, 0, w - kArrowWidth, h);
  up_->setGeometry(w - kArrowWidth, 0, kArrowWidth, h / 2);
  down_->setGeometry(w - kArrowWidth, h / 2, kArrowWidth, h - h / 2);
}

}  // namespace addressbook
