#include "settings/inputs.h"

#include <QLineEdit>
#include <QPalette>
#include <QWheelEvent>

#include <climits>

namespace settings {
namespace {

// The unknown look of a text or spin field: the window colour behind, a question mark as
// placeholder.
void ShowUnknown(QWidget* field, QLineEdit* editor, bool unknown) {
  // A palette with nothing set inherits everything; the unknown one sets only the background.
  QPalette palette;
  if (unknown) palette.setColor(QPalette::Base, field->palette().color(QPalette::Window));
  field->setPalette(palette);
  editor->setPlaceholderText(unknown ? "?" : QString());
}

}  // namespace

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, [this] { emit Edited(); });
}

void TextField::SetUnknown(bool unknown) { ShowUnknown(this, this, unknown); }

SpinField::SpinField(QWidget* parent) : QSpinBox(parent) {
  setRange(INT_MIN, INT_MAX);
  setSingleStep(1);
  setValue(0);
  setFocusPolicy(Qt::StrongFocus);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { emit Edited(); });
}

void SpinField::SetUnknown(bool unknown) {
  if (unknown_ == unknown) return;
  unknown_ = unknown;
  ShowUnknown(this, lineEdit(), unknown);
  if (!lineEdit()->isModified()) lineEdit()->setText(textFromValue(value()));
}

void SpinField::stepBy(int steps) {
  // The arrows, the Up and Down keys and the wheel all step; from the unknown state they start at 0.
  emit Edited();
  QSpinBox::stepBy(steps);
}

void SpinField::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QSpinBox::wheelEvent(event);
}

QString SpinField::textFromValue(int value) const { return unknown_ ? QString() : QSpinBox::textFromValue(value); }

CheckField::CheckField(QWidget* parent) : QCheckBox(parent) {
  connect(this, &QCheckBox::clicked, this, [this] { emit Edited(); });
}

void CheckField::SetUnknown(bool unknown) {
  if (unknown) {
    setTristate(true);
    setCheckState(Qt::PartiallyChecked);
  } else if (checkState() == Qt::PartiallyChecked) {
    SetValue(false);
  }
}

void CheckField::SetValue(bool checked) {
  setTristate(false);
  setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void CheckField::nextCheckState() {
  if (checkState() == Qt::PartiallyChecked) {
    SetValue(true);
    return;
  }
  QCheckBox::nextCheckState();
}

}  // namespace settings
