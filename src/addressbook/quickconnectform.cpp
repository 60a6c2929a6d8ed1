#include "addressbook/quickconnectform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "addressbook/spinedit.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/errorhandler.h"
#include "platform/text.h"

TQuickConnectForm* QuickConnectForm = nullptr;

namespace {
constexpr addressbook::RowGeometry kRows{10, 80, 186, 16, 25};
}

TQuickConnectForm::TQuickConnectForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      GroupBox1(new QGroupBox(this)),
      fields_(addressbook::AddServerFields(GroupBox1, kRows)) {
  setObjectName("QuickConnectForm");
  setFixedSize(292, 150);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 2, 276, 115);
  E_Hostname = fields_.hostName;
  CB_GameType = fields_.gameType;
  SE_Port = fields_.port;
  E_rconPassword = fields_.password;

  Btn_Ok = new QPushButton("&Ok", this);
  Btn_Ok->setObjectName("Btn_Ok");
  Btn_Ok->setGeometry(124, 121, 75, 25);
  Btn_Ok->setDefault(true);
  Btn_Cancel = new QPushButton("&Cancel", this);
  Btn_Cancel->setObjectName("Btn_Cancel");
  Btn_Cancel->setGeometry(209, 121, 75, 25);

  connect(Btn_Ok, &QPushButton::clicked, this, platform::Handler([this](auto&&...) { Btn_OkClick(); }));
  connect(Btn_Cancel, &QPushButton::clicked, this, [this](auto&&...) { done(platform::mrCancel); });
  connect(CB_GameType, &QComboBox::activated, this, platform::Handler([this](auto&&...) { CB_GameTypeChange(); }));
  setTabOrder(E_Hostname, CB_GameType);
  setTabOrder(CB_GameType, SE_Port);
  setTabOrder(SE_Port, E_rconPassword);
  setTabOrder(E_rconPassword, Btn_Ok);
  setTabOrder(Btn_Ok, Btn_Cancel);
}

void TQuickConnectForm::Prepare(const std::string& caption) {
  setWindowTitle(platform::ToUnicode(caption));
  addressbook::PrepareServerFields(fields_);
}

void TQuickConnectForm::CB_GameTypeChange() { addressbook::ApplyDefaultPort(fields_); }

void TQuickConnectForm::Btn_OkClick() {
  auto refuse = [this](const char* text, QWidget* field) {
    platform::MessageDlg(text, platform::MsgType::Warning, platform::MsgButtons::Ok, this);
    field->setFocus();
  };
  if (E_Hostname->text().isEmpty()) return refuse("You should specify the hostname!", E_Hostname);
  if (CB_GameType->currentIndex() == -1) return refuse("You should specify the gametype!", CB_GameType);
  if (SE_Port->Value() == 0) return refuse("You should specify the port!", SE_Port);
  if (E_rconPassword->text().isEmpty()) return refuse("You should specify a password!", E_rconPassword);
  done(platform::mrOk);
}

ServerEntry TQuickConnectForm::EnteredEntry() const {
  ServerEntry e;
  e.HostName = platform::ToAnsi(E_Hostname->text());
  e.Port = platform::IntToStr(SE_Port->Value());
  e.Password = platform::ToAnsi(E_rconPassword->text());
  e.GameType = CB_GameType->currentIndex();
  return e;
}

void TQuickConnectForm::reject() { done(platform::mrCancel); }

void TQuickConnectForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::CentreOnScreen(*this);
}
