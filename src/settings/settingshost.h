#pragma once
// What the settings editor needs of the monitor window it is opened from. The monitor windows
// implement it; their "&Settings" item asks the application, which calls OpenServerSettings.
#include <functional>
#include <string>

#include "protocol/game.h"

class QWidget;

class TSettingsHost {
 public:
  virtual ~TSettingsHost() = default;

  // The window's game: it picks the description file, the command forms and the pacing.
  virtual const protocol::GameTraits& Game() const = 0;
  // Host and Port of the window's UDP client.
  virtual std::string ClientHost() const = 0;
  virtual std::string ClientPort() const = 0;
  // The text of the window's password box, now.
  virtual std::string PasswordText() const = 0;
  // While `updating` the window's connection lamp P_Connection shows lime green whatever is
  // sent or arrives; released, it stays green until the next send or arrival.
  virtual void HoldUpdateLamp(bool updating) = 0;
  // Panel 0 of the window's status bar StatusBar1.
  virtual void SetStatusText(const std::string& text) = 0;
  // The window's SendRcon: lamp yellow, the password box read now, marker + "rcon " + password +
  // " " + command sent through the window's client (paced for Quake 3). onSent runs when the
  // datagram has left (possibly inside this call); it is dropped, never run, when the window's
  // client closes first, so it never runs after the window is gone.
  virtual void SendRcon(const std::string& command, std::function<void()> onSent) = 0;
  // The window itself (its cursor shows the hourglass while an update is under way).
  virtual QWidget* HostWindow() = 0;
};
