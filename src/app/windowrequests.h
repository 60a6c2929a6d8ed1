#pragma once
// How the windows reach the features they ask for. A monitor window only asks (its signals);
// the application answers: a remote console, the settings editor, the ban list. The server
// board asks for monitor windows and tells its alerts; the address book tells the board of its
// changes.
class TF_Board;
class TF_Main;
class TF_ServerMonitor;

namespace app {

// Connects every request of a monitor window; the open commands call it for each window they
// open. What an answer raises is shown by the general error handler.
void ConnectWindowRequests(TF_ServerMonitor& window);

// Connects the board: a double-clicked server opens or brings forward its monitor window in the
// frame; an alert shows in the frame's status bar (with the time) and as a desktop notice; a
// change of the stored server list is shown on the board at once.
void ConnectBoardRequests(TF_Board& board, TF_Main& frame);

}  // namespace app
