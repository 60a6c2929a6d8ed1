#include "app/windowrequests.h"

#include <QTime>

#include "addressbook/connectform.h"
#include "app/desktopnotice.h"
#include "app/mainunit.h"
#include "app/opencommands.h"
#include "bans/banlistform.h"
#include "board/boardform.h"
#include "console/terminalunit.h"
#include "monitor/servermonitor.h"
#include "platform/errorhandler.h"
#include "platform/text.h"
#include "settings/opensettings.h"

namespace {

// The ban list window of the monitor window's server, with the password its box holds now.
TF_BanList* BansOf(TF_ServerMonitor& window) {
  return OpenBanList(window.Game(), "Bans - " + platform::ToAnsi(window.windowTitle()), window.ClientHost(),
                     window.ClientPort(), window.PasswordText());
}

}  // namespace

namespace app {

void ConnectWindowRequests(TF_ServerMonitor& window) {
  QObject::connect(&window, &TF_ServerMonitor::RemoteConsoleRequested, &window,
                   platform::Handler([](const std::string& caption, const std::string& password, const std::string& host,
                                        const std::string& port) { OpenTerminal(caption, password, host, port); }));
  QObject::connect(&window, &TF_ServerMonitor::SettingsRequested, &window,
                   platform::Handler([](TF_ServerMonitor* requester) { OpenServerSettings(*requester); }));
  QObject::connect(&window, &TF_ServerMonitor::BanListRequested, &window,
                   platform::Handler([](TF_ServerMonitor* requester) { BansOf(*requester); }));
  QObject::connect(&window, &TF_ServerMonitor::BanPlayerRequested, &window,
                   platform::Handler([](TF_ServerMonitor* requester, const std::string& num, const std::string& name,
                                        const std::string& address) { BansOf(*requester)->BanPlayer(num, name, address); }));
}

void ConnectBoardRequests(TF_Board& board, TF_Main& frame) {
  QObject::connect(&board, &TF_Board::ServerWindowRequested, &frame,
                   platform::Handler([&frame](const ServerEntry& server) { ShowServerWindow(frame, server); }));
  QObject::connect(&board, &TF_Board::AlertRaised, &frame, platform::Handler([&frame](const board::Alert& alert) {
                     const std::string time = platform::ToAnsi(QTime::currentTime().toString("HH:mm:ss"));
                     frame.ShowStatusText(time + " " + board::AlertLine(alert));
                     ShowDesktopNotice(alert.server, alert.event);
                   }));
  if (ConnectForm) {
    QObject::connect(ConnectForm, &TConnectForm::ServerListChanged, &board,
                     platform::Handler([target = &board] { target->SetServers(LoadServerList()); }));
  }
}

}  // namespace app
