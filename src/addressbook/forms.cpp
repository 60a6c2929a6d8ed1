#include "addressbook/forms.h"

#include "addressbook/connect_form.h"
#include "addressbook/new_server_form.h"
#include "addressbook/quick_connect_form.h"

void CreateAddressBookForms(QWidget* owner) {
  QuickConnectForm = new TQuickConnectForm(owner);
  ConnectForm = new TConnectForm(owner);
  F_NewServer = new TF_NewServer(owner);
}

void DestroyAddressBookForms() {
  delete F_NewServer;
  F_NewServer = nullptr;
  delete ConnectForm;
  ConnectForm = nullptr;
  delete QuickConnectForm;
  QuickConnectForm = nullptr;
}
