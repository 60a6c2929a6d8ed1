#include "addressbook/forms.h"

#include "addressbook/connectform.h"
#include "addressbook/newserverform.h"
#include "addressbook/quickconnectform.h"

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
