#include "app/windowrequests.h"

#include "bans/banlistform.h"
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

}  // namespace app
