#pragma once
// What the console's widget and wire tests share: the real frame, a program directory of
// their own (for Corvane.ini), scripted dialogs, and a UDP peer on 127.0.0.1 that plays the
// server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <string>

#include "app/mainunit.h"
#include "console/globalparam.h"
#include "console/terminalunit.h"
#include "net/requestpacer.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"
#include "unit/net/udp_peer.h"

namespace consoletest {

inline const std::string kMarker(4, '\xFF');

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net::RequestPacer::Instance().Reset();
    LoadTerminalSettings();
    frame.resize(1000, 750);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  void TearDown() override {
    frame.CloseAll1Click();
    Settle();
    TerminalFont = TTerminalFont{};
    TerminalBackColor = console::kDefaultBackColor;
  }

  TTerminalForm* Open(const std::string& password = "secret") {
    return OpenTerminal("Remote Console - 127.0.0.1:" + peer.PortText(), password, "127.0.0.1", peer.PortText());
  }
  // The peer answers the console's socket.
  void Reply(TTerminalForm* console, const std::string& text) { peer.SendTo(console->Q3A_Client.SocketHandle, text); }
  // Runs the event loop until the log holds `lines` lines.
  static bool WaitForLog(TTerminalForm* console, size_t lines) {
    return QTest::qWaitFor([&] { return console->LogLines().size() >= lines; }, 3000);
  }
  static void Type(TTerminalForm* console, const QString& text) {
    QTest::keyClicks(console->E_Command, text);
    QTest::keyClick(console->E_Command, Qt::Key_Return);
  }
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCoreApplication::processEvents();
    }
  }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  nettest::Peer peer;
  TF_Main frame;
};

}  // namespace consoletest
