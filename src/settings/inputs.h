#pragma once
// The three inputs of the settings grid. Each knows whether it shows the server's value:
// until that value has arrived (or when it cannot be shown) the input is "unknown": greyed,
// without a value of its own, and it goes back to the server only once the administrator
// has edited it. Edited() is raised for the administrator's own edits only.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

namespace settings {

class TextField : public QLineEdit {
  Q_OBJECT

 public:
  explicit TextField(QWidget* parent = nullptr);
  void SetUnknown(bool unknown);

 signals:
  void Edited();
};

class SpinField : public QSpinBox {
  Q_OBJECT

 public:
  explicit SpinField(QWidget* parent = nullptr);
  // While unknown the field shows no number (its value stays 0).
  void SetUnknown(bool unknown);
  bool Unknown() const { return unknown_; }
  void stepBy(int steps) override;

 signals:
  void Edited();

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
class CheckField : public QCheckBox {
  Q_OBJECT

 public:
  explicit CheckField(QWidget* parent = nullptr);
  void SetUnknown(bool unknown);
  void SetValue(bool checked);
  bool Value() const { return checkState() == Qt::Checked; }

 signals:
  void Edited();

 protected:
  void nextCheckState() override;
};

}  // namespace settings
