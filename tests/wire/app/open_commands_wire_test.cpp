// Connect, Quick Connect and Quick Remote Console run from the frame's menu against scripted
// Quake 3 and Quake 2 servers: what each creates, its caption and boxes, and the first
// datagram the server sees.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "addressbook/connectform.h"
#include "addressbook/forms.h"
#include "addressbook/quickconnectform.h"
#include "addressbook/serverstore.h"
#include "addressbook/spinedit.h"
#include "app/mainunit.h"
#include "app/mdiclient.h"
#include "app/startup.h"
#include "console/terminalunit.h"
#include "monitor/q2server.h"
#include "monitor/q3server.h"
#include "net/requestpacer.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace {

using platform::MsgType;

const std::string kFF = "\xFF\xFF\xFF\xFF";
// A monitor window's first request: the remote command " status" (hence two spaces).
const std::string kWindowGreeting = kFF + "rcon secret  status";
// A console's first request.
const std::string kConsoleGreeting = kFF + "rcon secret status";

constexpr int kQuake3 = 0;
constexpr int kQuakeWorld = 1;
constexpr int kQuake2 = 2;

test::GameServerConfig ServerConfig(test::Game game) {
  test::GameServerConfig config;
  config.game = game;
  config.password = "secret";
  config.players = test::BotPlayers(3);
  config.lifetime = std::chrono::seconds(90);
  return config;
}

template <class T>
int CountAlive() {
  int count = 0;
  for (QWidget* widget : QApplication::allWidgets())
    if (dynamic_cast<T*>(widget)) ++count;
  return count;
}

class OpenCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    net::RequestPacer::Instance().Reset();
    net::RequestPacer::Instance().Configure(1000, 10);
    q3.Start();
    q2.Start();
    frame.resize(1000, 800);
    frame.show();
    app::RegisterFrameCommands(frame);
  }
  void TearDown() override {
    frame.CloseAll1Click();
    Settle();
    DestroyAddressBookForms();
    net::RequestPacer::Instance().Reset();
    net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCoreApplication::processEvents();
    }
  }

  std::string Q3Port() const { return std::to_string(q3.Port()); }
  std::string Q2Port() const { return std::to_string(q2.Port()); }

  // Stores the entries as the address book does and creates the program's dialogs over them.
  void CreateForms(const std::vector<ServerEntry>& entries = {}) {
    const int count = static_cast<int>(entries.size());
    for (int i = 0; i < count; ++i) WriteEntry(i, entries[static_cast<size_t>(i)], count);
    CreateAddressBookForms();
  }

  // Answers the select-server dialog: picks a row and presses "&Connect" or "&Remote Console".
  static std::function<int(QDialog&)> Pick(int row, int button) {
    return [row, button](QDialog& dialog) {
      EXPECT_EQ(&dialog, ConnectForm);
      ConnectForm->LV_Servers->setCurrentItem(ConnectForm->LV_Servers->topLevelItem(row));
      dialog.setResult(platform::mrNone);
      (button == platform::mrOk ? ConnectForm->Btn_Ok : ConnectForm->Btn_RemoteConsole)->click();
      return dialog.result();
    };
  }

  // Answers the quick connect dialog with typed values and "&Ok"; the port as typed text.
  std::function<int(QDialog&)> Type(const std::string& host, int game, const std::string& port,
                                    const std::string& password = "secret") {
    return [this, host, game, port, password](QDialog& dialog) {
      EXPECT_EQ(&dialog, QuickConnectForm);
      quickCaptions.push_back(dialog.windowTitle().toStdString());
      // Each showing starts prepared: no host, no password, Quake 3 Arena.
      EXPECT_TRUE(QuickConnectForm->E_Hostname->text().isEmpty());
      EXPECT_TRUE(QuickConnectForm->E_rconPassword->text().isEmpty());
      EXPECT_EQ(QuickConnectForm->CB_GameType->currentIndex(), kQuake3);
      QuickConnectForm->E_Hostname->setText(QString::fromStdString(host));
      QuickConnectForm->CB_GameType->setCurrentIndex(game);
      QuickConnectForm->SE_Port->SetText(QString::fromStdString(port));
      QuickConnectForm->E_rconPassword->setText(QString::fromStdString(password));
      dialog.setResult(platform::mrNone);
      QuickConnectForm->Btn_Ok->click();
      return dialog.result();
    };
  }

  static bool WaitForCount(const test::GameServer& server, size_t count) {
    return QTest::qWaitFor([&] { return server.ReceivedCount() >= count; }, 3000);
  }
  static std::string FirstDatagram(const test::GameServer& server) {
    if (!WaitForCount(server, 1)) return "<nothing arrived>";
    return server.Received()[0].bytes;
  }
  // Closes every child and forgets what the servers received.
  void Reset() {
    frame.CloseAll1Click();
    Settle();
    q3.ClearRecords();
    q2.ClearRecords();
  }
  template <class W>
  W* OnlyChild() {
    const std::vector<QWidget*> children = frame.Children();
    EXPECT_EQ(children.size(), 1u);
    return children.empty() ? nullptr : dynamic_cast<W*>(children[0]);
  }
  static std::string Caption(const QWidget* window) { return window->windowTitle().toStdString(); }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  test::GameServer q3{ServerConfig(test::Game::Quake3)};
  test::GameServer q2{ServerConfig(test::Game::Quake2)};
  TF_Main frame;
  std::vector<std::string> quickCaptions;
};

TEST_F(OpenCommands, ConnectOpensTheStoredServersMonitorWindowOfItsGame) {
  CreateForms({{"127.0.0.1", Q3Port(), "secret", kQuake3, "Arena"}, {"127.0.0.1", Q2Port(), "secret", kQuake2, "Base"}});

  dialogs.modalAnswers.push_back(Pick(0, platform::mrOk));
  frame.Connect1->trigger();
  auto* arena = OnlyChild<TF_Q3Server>();
  ASSERT_NE(arena, nullptr);
  EXPECT_EQ(Caption(arena), "Arena - 127.0.0.1:" + Q3Port());
  EXPECT_EQ(arena->E_Hostname->text().toStdString(), "127.0.0.1");
  EXPECT_EQ(arena->E_Port->text().toStdString(), Q3Port());
  EXPECT_EQ(arena->E_Password->text(), "secret");
  EXPECT_EQ(arena->Q3A_Client.Host, "127.0.0.1");
  EXPECT_EQ(arena->Q3A_Client.Port, Q3Port());
  EXPECT_EQ(FirstDatagram(q3), kWindowGreeting);
  // The window is connected for good: it polls and lists the server's players.
  EXPECT_TRUE(QTest::qWaitFor([&] { return arena->LV_Players->topLevelItemCount() == 3; }, 5000));
  EXPECT_EQ(arena->State(), msPolling);

  dialogs.modalAnswers.push_back(Pick(1, platform::mrOk));
  frame.Connect1->trigger();
  ASSERT_EQ(frame.Children().size(), 2u);
  auto* base = dynamic_cast<TF_Q2Server*>(frame.Children()[0]);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(Caption(base), "Base - 127.0.0.1:" + Q2Port());
  EXPECT_EQ(base->E_Port->text().toStdString(), Q2Port());
  EXPECT_EQ(base->Q2_Client.Port, Q2Port());
  EXPECT_EQ(FirstDatagram(q2), kWindowGreeting);
  EXPECT_TRUE(QTest::qWaitFor([&] { return base->LV_Players->topLevelItemCount() == 3; }, 5000));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpenCommands, RemoteConsoleFromTheSelectDialogOpensAConsoleForEveryGame) {
  CreateForms({{"127.0.0.1", Q3Port(), "secret", kQuake3, "Arena"},
               {"127.0.0.1", Q3Port(), "secret", kQuakeWorld, "World"},
               {"127.0.0.1", Q2Port(), "secret", kQuake2, "Base"}});
  struct Case {
    int row;
    test::GameServer& server;
    std::string caption;
  };
  const std::vector<Case> cases = {{0, q3, "Remote Console - Arena - 127.0.0.1:" + Q3Port()},
                                   {1, q3, "Remote Console - World - 127.0.0.1:" + Q3Port()},
                                   {2, q2, "Remote Console - Base - 127.0.0.1:" + Q2Port()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    Reset();
    dialogs.modalAnswers.push_back(Pick(c.row, platform::mrRetry));
    frame.Connect1->trigger();
    auto* console = OnlyChild<TTerminalForm>();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(Caption(console), c.caption);
    EXPECT_EQ(console->FPassword, "secret");
    EXPECT_EQ(FirstDatagram(c.server), kConsoleGreeting);
    // The server's answer to status is the console's first text.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !console->LogLines().empty(); }, 3000));
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpenCommands, StoredPortsAreUsedAsTheFileHoldsThemQuickPortsAsDecimal) {
  const std::string padded = "0" + Q3Port();  // "027960" for port 27960
  CreateForms({{"127.0.0.1", padded, "secret", kQuake3, "Padded"}});

  dialogs.modalAnswers.push_back(Pick(0, platform::mrOk));
  frame.Connect1->trigger();
  auto* window = OnlyChild<TF_Q3Server>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Caption(window), "Padded - 127.0.0.1:" + padded);
  EXPECT_EQ(window->E_Port->text().toStdString(), padded);
  EXPECT_EQ(window->Q3A_Client.Port, padded);
  EXPECT_EQ(FirstDatagram(q3), kWindowGreeting);  // and it still reaches the server's port

  Reset();
  dialogs.modalAnswers.push_back(Pick(0, platform::mrRetry));
  frame.Connect1->trigger();
  auto* console = OnlyChild<TTerminalForm>();
  ASSERT_NE(console, nullptr);
  EXPECT_EQ(Caption(console), "Remote Console - Padded - 127.0.0.1:" + padded);
  EXPECT_EQ(console->Q3A_Client.Port, padded);
  EXPECT_EQ(FirstDatagram(q3), kConsoleGreeting);

  // Typed into the quick connect dialog the same text is a number, shown in decimal.
  Reset();
  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuake3, padded));
  frame.QuickConnect1->trigger();
  auto* quick = OnlyChild<TF_Q3Server>();
  ASSERT_NE(quick, nullptr);
  EXPECT_EQ(quick->E_Port->text().toStdString(), Q3Port());
  EXPECT_EQ(quick->Q3A_Client.Port, Q3Port());
  EXPECT_EQ(FirstDatagram(q3), kWindowGreeting);

  Reset();
  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuake3, padded));
  frame.RemoteConsole1->trigger();
  auto* quickConsole = OnlyChild<TTerminalForm>();
  ASSERT_NE(quickConsole, nullptr);
  EXPECT_EQ(Caption(quickConsole), "Remote Console - 127.0.0.1:" + Q3Port());
  EXPECT_EQ(quickConsole->Q3A_Client.Port, Q3Port());
}

TEST_F(OpenCommands, QuickConnectOpensAnUndescribedWindowNumberedAfterTheFramesChildren) {
  CreateForms();
  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuake3, Q3Port()));
  frame.QuickConnect1->trigger();
  auto* q3Window = OnlyChild<TF_Q3Server>();
  ASSERT_NE(q3Window, nullptr);
  EXPECT_EQ(Caption(q3Window), "Q3A-1");
  EXPECT_EQ(q3Window->E_Hostname->text(), "127.0.0.1");
  EXPECT_EQ(q3Window->E_Password->text(), "secret");
  EXPECT_EQ(q3Window->E_Port->text().toStdString(), Q3Port());
  EXPECT_EQ(q3Window->Q3A_Client.Host, "127.0.0.1");
  EXPECT_EQ(FirstDatagram(q3), kWindowGreeting);
  EXPECT_TRUE(QTest::qWaitFor([&] { return q3Window->LV_Players->topLevelItemCount() == 3; }, 5000));

  // Every child counts, consoles too: with the window and a console open the next is number 3.
  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuake3, Q3Port()));
  frame.RemoteConsole1->trigger();
  ASSERT_EQ(frame.Children().size(), 2u);
  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuake2, Q2Port()));
  frame.QuickConnect1->trigger();
  ASSERT_EQ(frame.Children().size(), 3u);
  auto* q2Window = dynamic_cast<TF_Q2Server*>(frame.Children()[0]);
  ASSERT_NE(q2Window, nullptr);
  EXPECT_EQ(Caption(q2Window), "Q2-3");
  EXPECT_EQ(q2Window->Q2_Client.Port, Q2Port());
  EXPECT_EQ(q2Window->E_Port->text().toStdString(), Q2Port());
  EXPECT_EQ(FirstDatagram(q2), kWindowGreeting);
  EXPECT_TRUE(QTest::qWaitFor([&] { return q2Window->LV_Players->topLevelItemCount() == 3; }, 5000));

  EXPECT_EQ(quickCaptions, (std::vector<std::string>{"Quick Connect Remote Server", "Quick Connect Remote Console",
                                                     "Quick Connect Remote Server"}));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpenCommands, QuickRemoteConsoleIgnoresTheGameChosen) {
  CreateForms();
  for (int game : {kQuake3, kQuakeWorld, kQuake2}) {
    SCOPED_TRACE(game);
    Reset();
    dialogs.modalAnswers.push_back(Type("127.0.0.1", game, Q3Port()));
    frame.RemoteConsole1->trigger();
    auto* console = OnlyChild<TTerminalForm>();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(Caption(console), "Remote Console - 127.0.0.1:" + Q3Port());
    EXPECT_EQ(console->FPassword, "secret");
    EXPECT_EQ(FirstDatagram(q3), kConsoleGreeting);
  }
  EXPECT_EQ(quickCaptions, std::vector<std::string>(3, "Quick Connect Remote Console"));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpenCommands, QuakeWorldAndUnknownGamesOpenNoMonitorWindow) {
  CreateForms({{"127.0.0.1", Q3Port(), "secret", kQuakeWorld, "World"}, {"127.0.0.1", Q3Port(), "secret", 7, "Odd"}});

  dialogs.modalAnswers.push_back(Pick(0, platform::mrOk));
  frame.Connect1->trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Sorry, QuakeWorld not implemented yet!");
  EXPECT_EQ(dialogs.messages[0].type, MsgType::Information);
  EXPECT_EQ(dialogs.messages[0].buttons, platform::MsgButtons::Ok);

  // A game type edited into the file by hand opens nothing and says nothing.
  dialogs.modalAnswers.push_back(Pick(1, platform::mrOk));
  frame.Connect1->trigger();
  EXPECT_EQ(dialogs.messages.size(), 1u);

  dialogs.modalAnswers.push_back(Type("127.0.0.1", kQuakeWorld, "27500"));
  frame.QuickConnect1->trigger();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "Sorry, Quake World support not implemented yet!");
  EXPECT_EQ(dialogs.messages[1].type, MsgType::Warning);

  QTest::qWait(100);
  EXPECT_TRUE(frame.Children().empty());
  EXPECT_EQ(q3.ReceivedCount(), 0u);
}

TEST_F(OpenCommands, CancellingCreatesNothing) {
  CreateForms({{"127.0.0.1", Q3Port(), "secret", kQuake3, "Arena"}});
  // An earlier acceptance leaves SelectedEntry filled; a cancel must not reuse it.
  dialogs.modalAnswers.push_back(Pick(0, platform::mrOk));
  frame.Connect1->trigger();
  Reset();

  const auto cancel = [](QDialog& dialog) {
    dialog.reject();
    return dialog.result();
  };
  dialogs.modalAnswers = {cancel, cancel, cancel};
  frame.Connect1->trigger();
  frame.QuickConnect1->trigger();
  frame.RemoteConsole1->trigger();
  EXPECT_EQ(dialogs.modalCount, 4);
  QTest::qWait(100);
  EXPECT_TRUE(frame.Children().empty());
  EXPECT_EQ(q3.ReceivedCount(), 0u);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OpenCommands, AStoredPortThatIsNoNumberIsReportedAndLeavesNoWindow) {
  CreateForms({{"127.0.0.1", "27960x", "secret", kQuake3, "Typo"}, {"127.0.0.1", "x", "secret", kQuake2, "Typo"}});
  const int monitorsBefore = CountAlive<TF_ServerMonitor>();
  const int consolesBefore = CountAlive<TTerminalForm>();
  struct Case {
    int row;
    int button;
    std::string error;
  };
  const std::vector<Case> cases = {{0, platform::mrOk, "'27960x' is not a valid integer value."},
                                   {1, platform::mrOk, "'x' is not a valid integer value."},
                                   {0, platform::mrRetry, "'27960x' is not a valid integer value."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    dialogs.messages.clear();
    dialogs.modalAnswers.push_back(Pick(c.row, c.button));
    frame.Connect1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, c.error);
    EXPECT_EQ(dialogs.messages[0].type, MsgType::Error);
    Settle();
    EXPECT_TRUE(frame.Children().empty());
    EXPECT_TRUE(frame.ClientArea()->subWindowList().isEmpty());
    EXPECT_EQ(CountAlive<TF_ServerMonitor>(), monitorsBefore);
    EXPECT_EQ(CountAlive<TTerminalForm>(), consolesBefore);
  }
  EXPECT_TRUE(frame.isVisible());
}

}  // namespace
