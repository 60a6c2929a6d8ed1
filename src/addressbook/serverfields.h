#pragma once
// The rows the add/edit and the quick connect dialog share: host, game, port and password, each
// with its label on the left, and what both do with them.
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace addressbook {

class SpinEdit;

struct ServerFields {
  QLineEdit* hostName;
  QComboBox* gameType;
  SpinEdit* port;
  QLineEdit* password;
};

// One row: label at `labelX`, field at `fieldX`, both at height `y`.
struct RowGeometry {
  int labelX;
  int fieldX;
  int fieldWidth;
  int firstY;
  int rowStep;
};
inline constexpr int kRowHeight = 21;

QLabel* AddRowLabel(QWidget* parent, const char* caption, const RowGeometry& g, int row);
// Creates the four rows in `parent`, the controls named E_Hostname, CB_GameType, SE_Port and
// E_rconPassword.
ServerFields AddServerFields(QWidget* parent, const RowGeometry& g);

// The game list's change handler: the selected game's default port into the port field. The
// dialogs run it on QComboBox::activated, which only the user's choice raises, so the
// program's own selections keep the port.
void ApplyDefaultPort(const ServerFields& fields);

// What both dialogs' Prepare does: game 0 selected without touching the port, host and
// password emptied, focus on the host.
void PrepareServerFields(const ServerFields& fields);

}  // namespace addressbook
