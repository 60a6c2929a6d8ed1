#pragma once
// The address book's three long-lived dialogs. main() creates them after the frame, in the
// order QuickConnectForm, ConnectForm (which loads the server list), F_NewServer, and destroys
// them before the application object goes.
class QWidget;

void CreateAddressBookForms(QWidget* owner = nullptr);
void DestroyAddressBookForms();
