#pragma once
// "Server &Board": the server board of the frame. The first use opens it with the stored
// servers; while it is open, the command brings it forward. Its requests (a server's monitor
// window) and alerts (the frame's status bar, a desktop notice) are connected here, and every
// change of the address book reaches it at once.
class TF_Board;
class TF_Main;

namespace app {

void BoardCommand(TF_Main& frame);
// The frame's board while it is open, or nullptr.
TF_Board* OpenBoard();

}  // namespace app
