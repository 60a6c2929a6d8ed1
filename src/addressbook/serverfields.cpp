#include "addressbook/serverfields.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "addressbook/spinedit.h"
#include "games/registry.h"
#include "platform/text.h"

namespace addressbook {

QLabel* AddRowLabel(QWidget* parent, const char* caption, const RowGeometry& g, int row) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(g.labelX, g.firstY + row * g.rowStep, g.fieldX - g.labelX - 4, kRowHeight);
  return label;
}

ServerFields AddServerFields(QWidget* parent, const RowGeometry& g) {
  ServerFields f{};
  auto place = [&](QWidget* w, const char* name, int row) {
    w->setObjectName(name);
    w->setGeometry(g.fieldX, g.firstY + row * g.rowStep, g.fieldWidth, kRowHeight);
  };
  AddRowLabel(parent, "Hostname:", g, 0);
  f.hostName = new QLineEdit(parent);
  place(f.hostName, "E_Hostname", 0);

  AddRowLabel(parent, "Game:", g, 1);
  f.gameType = new QComboBox(parent);  // a drop-down list: not editable
  for (const games::Game& game : games::All()) f.gameType->addItem(platform::ToUnicode(game.name));
  place(f.gameType, "CB_GameType", 1);

  AddRowLabel(parent, "Port:", g, 2);
  f.port = new SpinEdit(parent);
  f.port->SetValue(games::All().front().defaultPort);  // the first game is chosen at first
  place(f.port, "SE_Port", 2);

  AddRowLabel(parent, "Password:", g, 3);
  f.password = new QLineEdit(parent);
  f.password->setEchoMode(QLineEdit::Password);
  f.password->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");  // '*'
  place(f.password, "E_rconPassword", 3);

  return f;
}

void ApplyDefaultPort(const ServerFields& fields) {
  if (const games::Game* game = games::Find(fields.gameType->currentIndex())) fields.port->SetValue(game->defaultPort);
}

void PrepareServerFields(const ServerFields& fields) {
  fields.gameType->setCurrentIndex(0);
  fields.hostName->clear();
  fields.password->clear();
  fields.hostName->setFocus();
}

}  // namespace addressbook
