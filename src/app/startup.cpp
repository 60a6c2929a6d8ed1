#include "app/startup.h"

#include "about/aboutform.h"
#include "about/todoform.h"
#include "addressbook/forms.h"
#include "app/boardcommand.h"
#include "app/mainunit.h"
#include "app/opencommands.h"
#include "console/globalparam.h"

namespace app {

void LoadUnitSettings() { LoadTerminalSettings(); }

void RegisterFrameCommands(TF_Main& frame) {
  frame.SetCommand(TFrameCommand::Connect, [&frame] { ConnectCommand(frame); });
  frame.SetCommand(TFrameCommand::QuickConnect, [&frame] { QuickConnectCommand(frame); });
  frame.SetCommand(TFrameCommand::RemoteConsole, [&frame] { QuickRemoteConsoleCommand(frame); });
  frame.SetCommand(TFrameCommand::Board, [&frame] { BoardCommand(frame); });
  frame.SetCommand(TFrameCommand::ToDoList, [] { OpenToDoViewer(); });
  frame.SetCommand(TFrameCommand::About, [] { ShowAboutBox(); });
}

void CreateLongLivedForms() {
  // QuickConnectForm, ConnectForm (which loads the server list) and F_NewServer, in this order.
  CreateAddressBookForms();
}

void DestroyLongLivedForms() { DestroyAddressBookForms(); }

}  // namespace app
