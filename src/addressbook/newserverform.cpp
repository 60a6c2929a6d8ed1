#include "addressbook/newserverform.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "addressbook/spinedit.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/text.h"

TF_NewServer* F_NewServer = nullptr;

namespace {
constexpr addressbook::RowGeometry kRows{8, 88, 211, 8, 26};
}

TF_NewServer::TF_NewServer(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), fields_(addressbook::AddServerFields(this, kRows)) {
  setObjectName("F_NewServer");
  setFixedSize(307, 179);
  E_Hostname = fields_.hostName;
  CB_GameType = fields_.gameType;
  SE_Port = fields_.port;
  E_rconPassword = fields_.password;

  addressbook::AddRowLabel(this, "Description:", kRows, 4);
  E_Description = new QLineEdit(this);
  E_Description->setObjectName("E_Description");
  E_Description->setGeometry(kRows.fieldX, kRows.firstY + 4 * kRows.rowStep, kRows.fieldWidth, addressbook::kRowHeight);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(8, 139, 291, 2);

  Button1 = new QPushButton("&OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(140, 147, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton("&Cancel", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(224, 147, 75, 25);

  connect(Button1, &QPushButton::clicked, this, [this](auto&&...) { done(platform::mrOk); });
  connect(Button2, &QPushButton::clicked, this, [this](auto&&...) { done(platform::mrCancel); });
  connect(CB_GameType, &QComboBox::activated, this, platform::Handler([this](auto&&...) { CB_GameTypeChange(); }));
  setTabOrder(E_Hostname, CB_GameType);
  setTabOrder(CB_GameType, SE_Port);
  setTabOrder(SE_Port, E_rconPassword);
  setTabOrder(E_rconPassword, E_Description);
  setTabOrder(E_Description, Button1);
  setTabOrder(Button1, Button2);
}

void TF_NewServer::Prepare(const std::string& caption) {
  setWindowTitle(platform::ToUnicode(caption));
  addressbook::PrepareServerFields(fields_);
  E_Description->clear();
}

void TF_NewServer::CB_GameTypeChange() { addressbook::ApplyDefaultPort(fields_); }

ServerEntry TF_NewServer::EnteredEntry() const {
  ServerEntry e;
  e.HostName = platform::ToAnsi(E_Hostname->text());
  e.Port = platform::IntToStr(SE_Port->Value());
  e.Password = platform::ToAnsi(E_rconPassword->text());
  e.GameType = CB_GameType->currentIndex();
  e.Description = platform::ToAnsi(E_Description->text());
  return e;
}

void TF_NewServer::reject() { done(platform::mrCancel); }

void TF_NewServer::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
}
