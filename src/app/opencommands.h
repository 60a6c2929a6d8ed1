#pragma once
// The frame's three open commands: Connect (a stored server from the select-server dialog),
// Quick Connect (a monitor window on a typed server) and Quick Remote Console (a console on a
// typed server). RegisterFrameCommands hands them to the frame; each runs under the frame's
// general error handler, so what they raise is shown in an error box.
//
// Quick-connected monitor windows are captioned "Q3A-" or "Q2-" and a number: one plus the
// count of every child window the frame holds when the command runs (monitor windows, consoles
// and to-do viewers alike). Numbers may repeat once windows have been closed; the caption only
// tells the windows apart at a glance, the host and port are in the window's boxes.
#include <string>

struct ServerEntry;
class TF_Main;
class TF_ServerMonitor;

namespace games {
struct Game;
}

namespace app {

// Opens the game's monitor window on a stored server: the caption is description + " - " +
// host + ":" + port, the boxes and the client take the texts as they are, the window's
// requests are connected, the client opens and the window connects. A port the client cannot
// take raises before the window is shown, and no window is left behind. The game must have a
// window kind.
TF_ServerMonitor* OpenServerWindow(TF_Main& frame, const games::Game& game, const std::string& host,
                                   const std::string& port, const std::string& password, const std::string& description);

// The monitor window of a stored server: a window already open on its host and port is brought
// forward; else one is opened as "&Connect" opens it, with the password the address book holds
// for the entry of that host, port and game (none when the entry has gone meanwhile). A game
// without a monitor window is answered with its message.
void ShowServerWindow(TF_Main& frame, const ServerEntry& server);

// "&Connect": Quake 3 Arena and Quake 2 entries open a monitor window, a Quake World entry
// is answered with a message; "&Remote Console" opens a console for any entry.
void ConnectCommand(TF_Main& frame);
void QuickConnectCommand(TF_Main& frame);
void QuickRemoteConsoleCommand(TF_Main& frame);

}  // namespace app
