#pragma once
// The small dialog that takes one line of text: a message for the players ("Say to all",
// "Tell" a player) or an address to ban.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TF_Message : public QDialog {
 public:
  // `caption`: "Say to all", "Tell Sarge"; `label` above the line.
  TF_Message(const QString& caption, QWidget* parent = nullptr, const QString& label = "&Message:");

  QLabel* L_Message;
  QLineEdit* E_Message;
  QPushButton* Btn_Send;
  QPushButton* Btn_Cancel;
};
