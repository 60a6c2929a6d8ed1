#pragma once
// A stand-in for a monitor window, for the settings dialog's tests: it implements what the
// dialog needs of a window over a real UDP client (paced for Quake 3, as a window's is) and
// records the lamp colours, status texts and remote commands.
#include <QColor>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "net/udpclient.h"
#include "settings/settingshost.h"

namespace settings_test {

class FakeHost : public QWidget, public TSettingsHost {
 public:
  FakeHost(const protocol::GameTraits& game, int port, std::string password);
  ~FakeHost() override;

  const protocol::GameTraits& Game() const override { return game_; }
  std::string ClientHost() const override { return client.Host; }
  std::string ClientPort() const override { return client.Port; }
  std::string PasswordText() const override { return password; }
  void HoldUpdateLamp(bool updating) override;
  void SetStatusText(const std::string& text) override;
  void SendRcon(const std::string& command, std::function<void()> onSent) override;
  QWidget* HostWindow() override { return this; }

  // Sends the game's status query every `ms` milliseconds, as a polling window does.
  void StartPolling(int ms);

  TUDPClient client;
  std::string password;
  // When set, SendRcon hands its command here instead of to the client (tests without a server).
  std::function<void(const std::string&, std::function<void()>)> sendOverride;

  // The lamp as the window shows it: green whatever happens while held.
  void SetLamp(const QColor& color);

  QColor lamp = QColor(128, 128, 128);
  bool lampHeld = false;
  std::string status;
  std::vector<QColor> lamps;          // every colour set, in order
  std::vector<std::string> statuses;  // every status text set, in order
  std::vector<std::string> rcons;     // every command given to SendRcon
  int sentCount = 0;                  // commands that have left
  int replies = 0;                    // datagrams that arrived on the client

 private:
  const protocol::GameTraits& game_;
  QTimer poll_;
};

}  // namespace settings_test
