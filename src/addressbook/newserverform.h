#pragma once
// The add/edit dialog of the select-server dialog ("New Server", "Edit Server", "Clone
// Server"). It checks nothing: OK always closes with result 1. Created once and reused; each
// showing begins with Prepare, and the port keeps its value between showings.
#include <QDialog>

#include <string>

#include "addressbook/serverfields.h"
#include "addressbook/serverstore.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace addressbook {
class SpinEdit;
}

class TF_NewServer : public QDialog {
  Q_OBJECT

 public:
  explicit TF_NewServer(QWidget* parent = nullptr);

  // Sets the caption, selects "Quake 3 Arena" (the port stays), empties host, password and
  // description, and puts the focus on the host.
  void Prepare(const std::string& caption);
  void CB_GameTypeChange();

  // The fields as a stored entry: the port as decimal text, the game as the selected index.
  ServerEntry EnteredEntry() const;

  QLineEdit* E_Hostname;
  QComboBox* CB_GameType;
  addressbook::SpinEdit* SE_Port;
  QLineEdit* E_rconPassword;
  QLineEdit* E_Description;
  QFrame* Bevel1;
  QPushButton* Button1;  // "&OK"
  QPushButton* Button2;  // "&Cancel"

 protected:
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  addressbook::ServerFields fields_;
};

extern TF_NewServer* F_NewServer;
