#include "app/startup.h"

#include "app/mainunit.h"

namespace app {

void LoadUnitSettings() {
  // The console look is read here (LoadTerminalSettings); it needs the application object,
  // which exists already, but nothing of the frame.
}

void RegisterFrameCommands(TF_Main& frame) {
  // The open commands and the Help items register here, e.g.
  //   frame.SetCommand(TFrameCommand::Connect, [] { ... });
  static_cast<void>(frame);
}

void CreateLongLivedForms() {
  // QuickConnectForm, ConnectForm and F_NewServer are created here, in this order.
}

}  // namespace app
