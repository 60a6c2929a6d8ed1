#include "app/opencommands.h"

#include <QComboBox>
#include <QLineEdit>

#include <memory>
#include <string>

#include "addressbook/connect_form.h"
#include "addressbook/quick_connect_form.h"
#include "addressbook/server_store.h"
#include "app/mainunit.h"
#include "console/terminalunit.h"
#include "monitor/q2server.h"
#include "monitor/q3server.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace {

// Game types as the address book numbers them.
constexpr int kQuake3 = 0;
constexpr int kQuakeWorld = 1;
constexpr int kQuake2 = 2;

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

// Opens the client, shows the window in the frame and starts polling. The client opens
// before the window is shown: a port it cannot take raises here, the window goes with the
// pointer and the caller's error handler reports the error. (Connect opens the client too;
// once open, that has no effect.)
template <class Window>
Window* ShowAndConnect(TF_Main& frame, std::unique_ptr<Window> window) {
  window->Client().Open();
  Window* shown = window.release();
  frame.AddChild(shown);
  shown->Connect();
  return shown;
}

template <class Window>
Window* OpenStored(TF_Main& frame, const std::string& host, const std::string& port, const std::string& password,
                   const std::string& description) {
  auto window = std::make_unique<Window>();
  SetServer(*window, description + " - " + host + ":" + port, host, port, password);
  return ShowAndConnect(frame, std::move(window));
}

// The caption of a quick-connected window: prefix + one plus the frame's children.
std::string QuickWindowCaption(const TF_Main& frame, const std::string& prefix) {
  return prefix + platform::IntToStr(static_cast<int>(frame.Children().size()) + 1);
}

template <class Window>
void OpenQuick(TF_Main& frame, const std::string& prefix, const ServerEntry& typed) {
  const std::string caption = QuickWindowCaption(frame, prefix);
  auto window = std::make_unique<Window>();
  SetServer(*window, caption, typed.HostName, typed.Port, typed.Password);
  ShowAndConnect(frame, std::move(window));
}

}  // namespace

TF_Q3Server* TF_Main::OpenQ3Server(const std::string& host, const std::string& port, const std::string& password,
                                   const std::string& description) {
  return OpenStored<TF_Q3Server>(*this, host, port, password, description);
}

TF_Q2Server* TF_Main::OpenQ2Server(const std::string& host, const std::string& port, const std::string& password,
                                   const std::string& description) {
  return OpenStored<TF_Q2Server>(*this, host, port, password, description);
}

namespace app {

void ConnectCommand(TF_Main& frame) {
  const int result = platform::ExecModal(*ConnectForm);
  if (result != platform::mrOk && result != platform::mrRetry) return;
  const ServerEntry entry = ConnectForm->SelectedEntry;
  if (result == platform::mrRetry) {
    // A console works the same for every game, Quake World included.
    OpenTerminal("Remote Console - " + entry.Description + " - " + entry.HostName + ":" + entry.Port, entry.Password,
                 entry.HostName, entry.Port);
    return;
  }
  switch (entry.GameType) {
    case kQuake3:
      frame.OpenQ3Server(entry.HostName, entry.Port, entry.Password, entry.Description);
      break;
    case kQuakeWorld:
      platform::MessageDlg("Sorry, QuakeWorld not implemented yet!", platform::MsgType::Information,
                           platform::MsgButtons::Ok, &frame);
      break;
    case kQuake2:
      frame.OpenQ2Server(entry.HostName, entry.Port, entry.Password, entry.Description);
      break;
    default:  // a game type edited into the file by hand: nothing to open
      break;
  }
}

void QuickConnectCommand(TF_Main& frame) {
  QuickConnectForm->Prepare("Quick Connect Remote Server");
  if (platform::ExecModal(*QuickConnectForm) != platform::mrOk) return;
  const ServerEntry typed = QuickConnectForm->EnteredEntry();  // the port as decimal text
  switch (QuickConnectForm->CB_GameType->currentIndex()) {
    case kQuake3:
      OpenQuick<TF_Q3Server>(frame, "Q3A-", typed);
      break;
    case kQuakeWorld:
      platform::MessageDlg("Sorry, " + platform::ToAnsi(QuickConnectForm->CB_GameType->currentText()) +
                               " support not implemented yet!",
                           platform::MsgType::Warning, platform::MsgButtons::Ok, &frame);
      break;
    case kQuake2:
      OpenQuick<TF_Q2Server>(frame, "Q2-", typed);
      break;
    default:
      break;
  }
}

void QuickRemoteConsoleCommand(TF_Main&) {
  QuickConnectForm->Prepare("Quick Connect Remote Console");
  if (platform::ExecModal(*QuickConnectForm) == platform::mrCancel) return;
  // The game chosen plays no part: a console talks to any of them alike.
  const ServerEntry typed = QuickConnectForm->EnteredEntry();
  OpenTerminal("Remote Console - " + typed.HostName + ":" + typed.Port, typed.Password, typed.HostName, typed.Port);
}

}  // namespace app
