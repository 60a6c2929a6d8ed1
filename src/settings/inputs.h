#pragma once
// The three inputs of the settings grid behind one interface. Until the server's value has
// arrived (or when it cannot be shown) an input is "unknown": greyed and without a value of its
// own. The dialog learns of the administrator's own edits, and of nothing else, through
// onEdited; what the states mean is settings::ValueModel's business.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include <functional>
#include <string>

#include "settings/fields.h"

namespace settings {

class SettingInput {
 public:
  virtual ~SettingInput() = default;
  virtual QWidget* Widget() = 0;
  virtual void SetUnknown(bool unknown) = 0;
  // Puts a value read from the server into the input, as far as the input can show it.
  virtual void ShowValue(const std::string& value) = 0;
  // The input's value as the server reads it: the text, the number in decimal, "1" or "0".
  virtual std::string Value() const = 0;

  std::function<void()> onEdited;

 protected:
  void NotifyEdited() {
    if (onEdited) onEdited();
  }
};

// A new input of a kind (Text, Spin or Check), a child widget of `parent` that owns it;
// nullptr for None.
SettingInput* MakeInput(InputKind kind, QWidget* parent);

class TextField : public QLineEdit, public SettingInput {
 public:
  explicit TextField(QWidget* parent = nullptr);
  QWidget* Widget() override { return this; }
  void SetUnknown(bool unknown) override;
  void ShowValue(const std::string& value) override;
  std::string Value() const override;
};

class SpinField : public QSpinBox, public SettingInput {
 public:
  explicit SpinField(QWidget* parent = nullptr);
  QWidget* Widget() override { return this; }
  // While unknown the field shows no number (its value stays 0).
  void SetUnknown(bool unknown) override;
  void ShowValue(const std::string& value) override;
  std::string Value() const override;
  bool Unknown() const { return unknown_; }
  void stepBy(int steps) override;

 protected:
  QString textFromValue(int value) const override;
  // The wheel scrolls the grid unless the field has the focus: turning it over the grid must
  // not change values on its way.
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool unknown_ = false;
};

// Unknown shows as the partly checked state; the first click checks it, and from then on it
// toggles between checked and unchecked.
class CheckField : public QCheckBox, public SettingInput {
 public:
  explicit CheckField(QWidget* parent = nullptr);
  QWidget* Widget() override { return this; }
  void SetUnknown(bool unknown) override;
  void ShowValue(const std::string& value) override;
  std::string Value() const override { return checkState() == Qt::Checked ? "1" : "0"; }
  void SetValue(bool checked);

 protected:
  void nextCheckState() override;
};

}  // namespace settings
