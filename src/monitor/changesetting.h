#pragma once
// The dialog that changes one rule: the rule's name, its old value and an edit box for the
// new one. It has no behaviour of its own; the monitor window reads E_Value after OK.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

class TF_ChangeSetting : public QDialog {
 public:
  explicit TF_ChangeSetting(QWidget* parent = nullptr);

  QLabel* Label1;      // "cVar:"
  QLabel* L_cVar;
  QLabel* Label2;      // "Old value:"
  QLabel* L_OldValue;
  QLabel* Label3;      // "New value:"
  QLineEdit* E_Value;
  QPushButton* Btn_Ok;
  QPushButton* Btn_Cancel;

 public:
  // Esc and the close box give the cancel result.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
};
