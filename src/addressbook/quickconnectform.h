#pragma once
// The quick connect dialog of the frame's Quick Connect and Quick Remote Console commands: a
// server typed in, not stored. OK closes it only when host, game, port and password are given.
// Created once and reused; each showing begins with Prepare, and the port keeps its value
// between showings.
#include <QDialog>

#include <string>

#include "addressbook/serverfields.h"
#include "addressbook/serverstore.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace addressbook {
class SpinEdit;
}

class TQuickConnectForm : public QDialog {
  Q_OBJECT

 public:
  explicit TQuickConnectForm(QWidget* parent = nullptr);

  // Sets the caption, selects "Quake 3 Arena" (the port stays), empties host and password, and
  // puts the focus on the host.
  void Prepare(const std::string& caption);
  void CB_GameTypeChange();
  // The four checks, in order; the first that fails warns, focuses its field and keeps the
  // dialog open. When all pass the dialog closes with result 1.
  void Btn_OkClick();

  // The typed values: the port as decimal text, the game as the selected index; no description.
  ServerEntry EnteredEntry() const;

  QGroupBox* GroupBox1;
  QLineEdit* E_Hostname;
  QComboBox* CB_GameType;
  addressbook::SpinEdit* SE_Port;
  QLineEdit* E_rconPassword;
  QPushButton* Btn_Ok;      // "&Ok"
  QPushButton* Btn_Cancel;  // "&Cancel"

 protected:
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  addressbook::ServerFields fields_;
};

extern TQuickConnectForm* QuickConnectForm;
