#include "app/windowrequests.h"

#include "console/terminalunit.h"
#include "monitor/servermonitor.h"
#include "platform/errorhandler.h"
#include "settings/opensettings.h"

namespace app {

void ConnectWindowRequests(TF_ServerMonitor& window) {
  QObject::connect(&window, &TF_ServerMonitor::RemoteConsoleRequested, &window,
                   platform::Handler([](const std::string& caption, const std::string& password, const std::string& host,
                                        const std::string& port) { OpenTerminal(caption, password, host, port); }));
  QObject::connect(&window, &TF_ServerMonitor::SettingsRequested, &window,
                   platform::Handler([](TF_ServerMonitor* requester) { OpenServerSettings(*requester); }));
}

}  // namespace app
