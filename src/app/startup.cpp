#include "app/startup.h"

#include "about/aboutform.h"
#include "about/todoform.h"
#include "addressbook/forms.h"
#include "app/mainunit.h"
#include "monitor/servermonitor.h"
#include "settings/opensettings.h"
#include "console/globalparam.h"

namespace app {

void LoadUnitSettings() { LoadTerminalSettings(); }

void RegisterFrameCommands(TF_Main& frame) {
  // The open commands register here as well, e.g.
  //   frame.SetCommand(TFrameCommand::Connect, [] { ... });
  frame.SetCommand(TFrameCommand::ToDoList, [] { OpenToDoViewer(); });
  frame.SetCommand(TFrameCommand::About, [] { ShowAboutBox(); });
  // "&Settings" of every monitor window opens the settings editor on that window's server.
  TF_ServerMonitor::SetSettingsCommand([](TF_ServerMonitor& window) { OpenServerSettings(window); });
}

void CreateLongLivedForms() {
  // QuickConnectForm, ConnectForm (which loads the server list) and F_NewServer, in this order.
  CreateAddressBookForms();
}

void DestroyLongLivedForms() { DestroyAddressBookForms(); }

}  // namespace app
