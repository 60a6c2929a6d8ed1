#include "app/startup.h"

#include "app/mainunit.h"
#include "console/globalparam.h"

namespace app {

void LoadUnitSettings() { LoadTerminalSettings(); }

void RegisterFrameCommands(TF_Main& frame) {
  // The open commands and the Help items register here, e.g.
  //   frame.SetCommand(TFrameCommand::Connect, [] { ... });
  static_cast<void>(frame);
}

void CreateLongLivedForms() {
  // QuickConnectForm, ConnectForm and F_NewServer are created here, in this order.
}

}  // namespace app
