#include "settings/inputs.h"

#include <QLineEdit>
#include <QPalette>
#include <QWheelEvent>

#include <climits>

#include "platform/text.h"
#include "settings/values.h"

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

SettingInput* MakeInput(InputKind kind, QWidget* parent) {
  switch (kind) {
    case InputKind::Text: return new TextField(parent);
    case InputKind::Spin: return new SpinField(parent);
    case InputKind::Check: return new CheckField(parent);
    case InputKind::None: break;
  }
  return nullptr;
}

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, [this] { NotifyEdited(); });
}

void TextField::SetUnknown(bool unknown) { ShowUnknown(this, this, unknown); }

void TextField::ShowValue(const std::string& value) {
  setText(platform::ToUnicode(value));
  setCursorPosition(0);  // show the start of a long value
}

std::string TextField::Value() const { return platform::ToAnsi(text()); }

SpinField::SpinField(QWidget* parent) : QSpinBox(parent) {
  setRange(INT_MIN, INT_MAX);
  setSingleStep(1);
  setValue(0);
  setFocusPolicy(Qt::StrongFocus);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { NotifyEdited(); });
}

void SpinField::ShowValue(const std::string& value) {
  if (const auto number = SpinValue(value)) setValue(*number);
}

std::string SpinField::Value() const { return std::to_string(value()); }

void SpinField::SetUnknown(bool unknown) {
  if (unknown_ == unknown) return;
  unknown_ = unknown;
  ShowUnknown(this, lineEdit(), unknown);
  if (!lineEdit()->isModified()) lineEdit()->setText(textFromValue(value()));
}

void SpinField::stepBy(int steps) {
  // The arrows, the Up and Down keys and the wheel all step; from the unknown state they start at 0.
  NotifyEdited();
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
  connect(this, &QCheckBox::clicked, this, [this] { NotifyEdited(); });
}

void CheckField::ShowValue(const std::string& value) {
  if (CheckShowsValue(value)) SetValue(CheckValue(value));
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
