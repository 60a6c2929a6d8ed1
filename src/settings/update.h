#pragma once
// Sending the settings dialog's commands back to the server through the monitor window.
#include <string>
#include <vector>

class TSettingsHost;

namespace settings {

// Sends the commands through the window's SendRcon, each one when the one before has left
// (paced for Quake 3, so every command reaches the server and the window's own polling takes
// turns with them). Meanwhile the window shows the hourglass, a green lamp and "Updating
// server... n of m" in its status bar; when the last command has left the cursor comes back
// and the status text is cleared. Returns at once: the event loop runs on.
//
// A second update for the same window while one is under way joins it (the count grows). If
// the window's client closes first the rest is not sent, and the cursor comes back.
void StartServerUpdate(TSettingsHost& host, const std::vector<std::string>& commands);

// Whether an update for this window is still sending.
bool UpdateRunning(const TSettingsHost& host);

}  // namespace settings
