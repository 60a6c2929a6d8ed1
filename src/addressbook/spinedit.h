#pragma once
// A whole-number field with up and down arrows: step 1, no limits. Typed keys other than digits
// and sign characters are refused with a beep; text put in otherwise (pasted or set) stays as
// it is, and a text that is not a whole number counts as 0.
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace addressbook {

class SpinEdit : public QWidget {
  Q_OBJECT

 public:
  explicit SpinEdit(QWidget* parent = nullptr);

  int Value() const;
  void SetValue(int value);
  QString Text() const;
  void SetText(const QString& text);
  // Adds `steps` to the value (what the arrows and the Up and Down keys do).
  void StepBy(int steps);

  QLineEdit* Editor() const { return edit_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace addressbook
