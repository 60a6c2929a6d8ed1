#pragma once
// Monitor windows talking to the scripted game server over loopback, inside a small MDI host.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QAction>
#include <QTreeWidget>

#include <chrono>
#include <string>
#include <vector>

#include "app/windowrequests.h"
#include "gui/about/test_mdi_host.h"
#include "monitor/q2server.h"
#include "monitor/q3server.h"
#include "net/requestpacer.h"
#include "platform/mdi.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"
#include "support/list_texts.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace test {

inline const std::string kFF = "\xFF\xFF\xFF\xFF";
inline std::string RconBytes(const std::string& password, const std::string& command) {
  return kFF + "rcon " + password + " " + command;
}

class MonitorWire : public ::testing::Test {
 protected:
  void SetUp() override {
    net::RequestPacer::Instance().Reset();
    // Fast pacing unless a test wants the real rate limit's pace.
    net::RequestPacer::Instance().Configure(1000, 10);
  }
  void TearDown() override {
    for (auto& w : windows_)
      if (w) w->close();
    TestMdiHost::Settle();
    net::RequestPacer::Instance().Reset();
    net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  }

  // Opens a window on the server as the frame's open commands do (its requests answered as
  // the program answers them), and connects it.
  template <class W>
  W* Open(const GameServer& server, const std::string& password, bool connect = true) {
    return OpenAt<W>(std::to_string(server.Port()), password, connect);
  }
  // The same for a server on 127.0.0.1 at this port.
  template <class W>
  W* OpenAt(const std::string& port, const std::string& password, bool connect = true) {
    return OpenOn<W>("127.0.0.1", port, password, connect);
  }
  // The same for a server on this host (an address or a name).
  template <class W>
  W* OpenOn(const std::string& host, const std::string& port, const std::string& password, bool connect = true) {
    auto* window = new W;
    window->setWindowTitle(QString::fromStdString("Test - " + host + ":" + port));
    window->E_Password->setText(QString::fromStdString(password));
    window->E_Port->setText(QString::fromStdString(port));
    window->E_Hostname->setText(QString::fromStdString(host));
    window->Client().Host = host;
    window->Client().Port = port;
    app::ConnectWindowRequests(*window);
    window->Client().Open();
    platform::Frame()->AddChild(window);
    windows_.emplace_back(window);
    if (connect) window->Connect();
    return window;
  }

  static bool WaitFor(const std::function<bool()>& condition, int ms = 3000) {
    return QTest::qWaitFor(condition, ms);
  }
  static bool WaitForCount(const GameServer& server, std::size_t count, int ms = 3000) {
    return WaitFor([&] { return server.ReceivedCount() >= count; }, ms);
  }
  // The datagrams the server received, as text.
  static std::vector<std::string> Bytes(const GameServer& server) {
    std::vector<std::string> bytes;
    for (const Datagram& d : server.Received()) bytes.push_back(d.bytes);
    return bytes;
  }
  // Waits until the window polls and has shown its first server info.
  static bool WaitPolling(TF_ServerMonitor* window) {
    return WaitFor([window] { return window->State() == msPolling && window->LV_Settings->topLevelItemCount() > 0; });
  }
  static void Select(QTreeWidget* list, int row) { list->setCurrentItem(list->topLevelItem(row)); }
  // The row of the named player, or -1.
  static int FindRow(const QTreeWidget* list, const QString& name) { return RowWith(list, 1, name); }

  TestMdiHost host_;
  ScopedDialogs dialogs_;
  ScopedProgramDir dir_;
  std::vector<QPointer<TF_ServerMonitor>> windows_;
};

}  // namespace test
