#pragma once
// What program start runs besides the frame. Each step is filled in by the unit it belongs to;
// main() calls them in this order:
//   1. LoadUnitSettings()        before the application is initialised: the console look
//                                 (LoadTerminalSettings) is read from the INI file here.
//   2. the application is initialised and F_Main created
//   3. RegisterFrameCommands()   the open commands, "&To Do List" and "&About..." are handed
//                                 to the frame with F_Main->SetCommand(...).
//   4. CreateLongLivedForms()    QuickConnectForm, ConnectForm (loads the server list) and
//                                 F_NewServer, created in this order, hidden until shown modally.
class TF_Main;

namespace app {

void LoadUnitSettings();
void RegisterFrameCommands(TF_Main& frame);
void CreateLongLivedForms();
// Frees them again after the event loop, while the application object still exists.
void DestroyLongLivedForms();

}  // namespace app
