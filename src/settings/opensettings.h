#pragma once
// The "&Settings" command of a monitor window.
class TSettingsHost;

// Opens the settings dialog for the window's server (host, port and password as the window has
// them now, the window's game), shows it modally while the values arrive, and on "&Update
// server" starts sending the values back through the window (settings::StartServerUpdate).
// Cancel sends nothing and leaves the window as it was.
void OpenServerSettings(TSettingsHost& window);
