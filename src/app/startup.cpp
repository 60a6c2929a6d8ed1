#include "app/startup.h"

#include "about/aboutform.h"
#include "about/todoform.h"
#include "app/mainunit.h"

namespace app {

void LoadUnitSettings() {
  // The console look is read here (LoadTerminalSettings); it needs the application object,
  // which exists already, but nothing of the frame.
}

void RegisterFrameCommands(TF_Main& frame) {
  // The open commands register here as well, e.g.
  //   frame.SetCommand(TFrameCommand::Connect, [] { ... });
  frame.SetCommand(TFrameCommand::ToDoList, [] { OpenToDoViewer(); });
  frame.SetCommand(TFrameCommand::About, [] { ShowAboutBox(); });
}

void CreateLongLivedForms() {
  // QuickConnectForm, ConnectForm and F_NewServer are created here, in this order.
}

}  // namespace app
