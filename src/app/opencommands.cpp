#include "app/opencommands.h"

#include <QComboBox>
#include <QLineEdit>

#include <memory>
#include <string>

#include "addressbook/connectform.h"
#include "addressbook/quickconnectform.h"
#include "addressbook/serverstore.h"
#include "app/mainunit.h"
#include "app/windowrequests.h"
#include "console/terminalunit.h"
#include "games/registry.h"
#include "monitor/servermonitor.h"
#include "platform/ascii.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace {

// Fills the window's boxes and its client's address from the texts as given.
void SetServer(TF_ServerMonitor& window, const std::string& caption, const std::string& host, const std::string& port,
               const std::string& password) {
  window.setWindowTitle(platform::ToUnicode(caption));
  window.E_Password->setText(platform::ToUnicode(password));
  window.E_Port->setText(platform::ToUnicode(port));
  window.E_Hostname->setText(platform::ToUnicode(host));
  window.Client().Host = host;
  window.Client().Port = port;
}

// Makes the game's window, fills it in, opens the client, shows the window in the frame and
// starts polling. The client opens before the window is shown: a port it cannot take raises
// here, the window goes with the pointer and the caller's error handler reports the error.
// (Connect opens the client too; once open, that has no effect.)
TF_ServerMonitor* OpenWindow(TF_Main& frame, const games::Game& game, const std::string& caption, const std::string& host,
                             const std::string& port, const std::string& password) {
  std::unique_ptr<TF_ServerMonitor> window(game.newWindow());
  SetServer(*window, caption, host, port, password);
  app::ConnectWindowRequests(*window);
  window->Client().Open();
  TF_ServerMonitor* shown = window.release();
  frame.AddChild(shown);
  shown->Connect();
  return shown;
}

// Whether the window talks to the host and port (host names match without regard to case,
// ports by their number when both are numbers).
bool TalksTo(TF_ServerMonitor& window, const std::string& host, const std::string& port) {
  if (!platform::SameTextNoCase(window.Client().Host, host)) return false;
  int a = 0;
  int b = 0;
  if (platform::TryStrToInt(window.Client().Port, a) && platform::TryStrToInt(port, b)) return a == b;
  return window.Client().Port == port;
}

// The stored entry of that host, port and game, password included; the entry as given when
// the address book no longer holds it.
ServerEntry StoredEntry(const ServerEntry& server) {
  const std::vector<ServerEntry> list = LoadServerList();
  for (std::size_t n = 0; n < list.size(); ++n) {
    const ServerEntry& entry = list[n];
    if (entry.HostName == server.HostName && entry.Port == server.Port && entry.GameType == server.GameType)
      return ReadEntry(static_cast<int>(n));
  }
  return server;
}

// What "&Connect" answers for a stored server of a game without a monitor window.
void SayNoWindow(TF_Main& frame, const games::Game& game) {
  platform::MessageDlg(std::string(game.noWindowText), platform::MsgType::Information, platform::MsgButtons::Ok, &frame);
}

// The caption of a quick-connected window: prefix + one plus the frame's children.
std::string QuickWindowCaption(const TF_Main& frame, std::string_view prefix) {
  return std::string(prefix) + platform::IntToStr(static_cast<int>(frame.Children().size()) + 1);
}

}  // namespace

namespace app {

TF_ServerMonitor* OpenServerWindow(TF_Main& frame, const games::Game& game, const std::string& host,
                                   const std::string& port, const std::string& password, const std::string& description) {
  return OpenWindow(frame, game, description + " - " + host + ":" + port, host, port, password);
}

void ShowServerWindow(TF_Main& frame, const ServerEntry& server) {
  for (QWidget* child : frame.Children()) {
    auto* window = dynamic_cast<TF_ServerMonitor*>(child);
    if (window && TalksTo(*window, server.HostName, server.Port)) return frame.ActivateChild(window);
  }
  const games::Game* game = games::Find(server.GameType);
  if (!game) return;
  if (!game->HasWindow()) return SayNoWindow(frame, *game);
  const ServerEntry entry = StoredEntry(server);
  OpenServerWindow(frame, *game, entry.HostName, entry.Port, entry.Password, entry.Description);
}

void ConnectCommand(TF_Main& frame) {
  const int result = platform::ExecModal(*ConnectForm);
  if (result != platform::mrOk && result != platform::mrRemoteConsole) return;
  const ServerEntry entry = ConnectForm->SelectedEntry;
  if (result == platform::mrRemoteConsole) {
    // A console works the same for every game, Quake World included.
    OpenTerminal("Remote Console - " + entry.Description + " - " + entry.HostName + ":" + entry.Port, entry.Password,
                 entry.HostName, entry.Port);
    return;
  }
  const games::Game* game = games::Find(entry.GameType);
  if (!game) return;  // a game type edited into the file by hand: nothing to open
  if (!game->HasWindow()) return SayNoWindow(frame, *game);
  OpenServerWindow(frame, *game, entry.HostName, entry.Port, entry.Password, entry.Description);
}

void QuickConnectCommand(TF_Main& frame) {
  QuickConnectForm->Prepare("Quick Connect Remote Server");
  if (platform::ExecModal(*QuickConnectForm) != platform::mrOk) return;
  const ServerEntry typed = QuickConnectForm->EnteredEntry();  // the port as decimal text
  const games::Game* game = games::Find(QuickConnectForm->CB_GameType->currentIndex());
  if (!game) return;
  if (!game->HasWindow()) {
    platform::MessageDlg("Sorry, " + platform::ToAnsi(QuickConnectForm->CB_GameType->currentText()) +
                             " support not implemented yet!",
                         platform::MsgType::Warning, platform::MsgButtons::Ok, &frame);
    return;
  }
  OpenWindow(frame, *game, QuickWindowCaption(frame, game->quickCaptionPrefix), typed.HostName, typed.Port,
             typed.Password);
}

void QuickRemoteConsoleCommand(TF_Main&) {
  QuickConnectForm->Prepare("Quick Connect Remote Console");
  if (platform::ExecModal(*QuickConnectForm) == platform::mrCancel) return;
  // The game chosen plays no part: a console talks to any of them alike.
  const ServerEntry typed = QuickConnectForm->EnteredEntry();
  OpenTerminal("Remote Console - " + typed.HostName + ":" + typed.Port, typed.Password, typed.HostName, typed.Port);
}

}  // namespace app
