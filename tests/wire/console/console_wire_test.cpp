// The console against a UDP peer on 127.0.0.1 that plays the server.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <chrono>

#include "gui/console/console_fixture.h"
#include "platform/errorhandler.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"
#include "support/stand_in_resolver.h"

namespace consoletest {
namespace {

using Lines = std::vector<std::string>;

class ConsoleWire : public ConsoleTest {
 protected:
  // What Memo1 shows, one entry per paragraph.
  static QStringList Shown(const TTerminalForm* console) {
    QStringList shown;
    const QTextDocument* document = console->Memo1->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) shown << block.text();
    return shown;
  }
  // Opens a console, waits for its opening datagram and answers it.
  TTerminalForm* OpenAndGreet(const std::string& reply) {
    TTerminalForm* console = Open();
    EXPECT_TRUE(peer.WaitFor(1));
    const size_t before = console->LogLines().size();
    Reply(console, reply);
    EXPECT_TRUE(QTest::qWaitFor([&] { return console->LogLines().size() > before; }, 3000));
    return console;
  }
};

TEST_F(ConsoleWire, TheConsoleGreetsWithStatusAndSendsCommandsAsTyped) {
  TTerminalForm* console = OpenTerminal("c", "my pass", "127.0.0.1", peer.PortText());
  ASSERT_TRUE(peer.WaitFor(1));
  EXPECT_EQ(peer.Received[0].data, "\xFF\xFF\xFF\xFF" "rcon my pass status");
  // The greeting is neither echoed nor remembered.
  EXPECT_TRUE(console->LogLines().empty());
  EXPECT_TRUE(console->FHistory.empty());

  Type(console, "  say  hello there ");
  Type(console, "status");
  ASSERT_TRUE(peer.WaitFor(3));
  EXPECT_EQ(peer.Received[1].data, kMarker + "rcon my pass   say  hello there ");
  EXPECT_EQ(peer.Received[2].data, kMarker + "rcon my pass status");
  EXPECT_EQ(console->LogLines(), (Lines{"Command : [  say  hello there ]", "Command : [status]"}));

  TTerminalForm* open = OpenTerminal("c", "", "127.0.0.1", peer.PortText());
  open->E_Command->setText(QString::fromLatin1("\xE9t\xE9"));  // Latin-1 letters go out as their 8-bit bytes
  QTest::keyClick(open->E_Command, Qt::Key_Return);
  ASSERT_TRUE(peer.WaitFor(5));
  EXPECT_EQ(peer.Received[3].data, kMarker + "rcon  status");
  EXPECT_EQ(peer.Received[4].data, kMarker + "rcon  \xE9t\xE9");
}

TEST_F(ConsoleWire, ARepliesLinesAreShownAsTheyCame) {
  TTerminalForm* console = OpenAndGreet(kMarker + "print\n^1Red ^7Team\tx\nsecond line\n");
  EXPECT_EQ(console->LogLines(), (Lines{"print", "^1Red ^7Team\tx", "second line", ""}));
  // The codes show as colours; the log keeps them.
  EXPECT_EQ(Shown(console), (QStringList{"print", "Red Team\tx", "second line", ""}));

  // Carriage returns stay in the log (a saved log has them) but do not break the shown line.
  Reply(console, kMarker + "print\r\nabc\r\n");
  ASSERT_TRUE(WaitForLog(console, 7));
  EXPECT_EQ(console->LogLines(), (Lines{"print", "^1Red ^7Team\tx", "second line", "", "print\r", "abc\r", ""}));
  EXPECT_EQ(Shown(console).size(), 7);
  EXPECT_EQ(Shown(console)[5], "abc");
}

TEST_F(ConsoleWire, OneEmptyLineSeparatesReplies) {
  TTerminalForm* console = OpenAndGreet(kMarker + "print\nfirst\n");
  Reply(console, kMarker + "print\nsecond\n\n");  // ends with an empty line of its own
  Reply(console, kMarker + "print\nthird\n");
  ASSERT_TRUE(WaitForLog(console, 9));
  QTest::qWait(50);
  EXPECT_EQ(console->LogLines(), (Lines{"print", "first", "", "print", "second", "", "print", "third", ""}));
}

TEST_F(ConsoleWire, TextAfterTheLastLineFeedIsNotLost) {
  // A long listing comes in chunks that may end in the middle of a line.
  const std::string row = "10     0    0 Beret           ^7bot                        ";
  TTerminalForm* console = OpenAndGreet(kMarker + "print\nmap: oa_dm1\n" + row);
  Reply(console, kMarker + "print\n             16384\n11     0    0 Grunt\n\n");
  ASSERT_TRUE(WaitForLog(console, 8));
  EXPECT_EQ(console->LogLines(),
            (Lines{"print", "map: oa_dm1", row, "", "print", "             16384", "11     0    0 Grunt", ""}));
}

TEST_F(ConsoleWire, AReplyLongerThanTheOldReceiveBufferIsShownWhole) {
  const std::string line(99, 'x');
  std::string listing = kMarker + "print\n";
  for (int i = 0; i < 20; ++i) listing += line + "\n";
  ASSERT_GT(listing.size(), 1024u);
  TTerminalForm* console = OpenAndGreet(listing);
  EXPECT_EQ(console->LogLines().size(), 22u);
  EXPECT_EQ(console->LogLines()[20], line);
}

TEST_F(ConsoleWire, ARefusedPasswordIsShownLikeAnyReply) {
  TTerminalForm* console = OpenAndGreet(kMarker + "print\nBad rconpassword.\n");
  EXPECT_EQ(console->LogLines(), (Lines{"print", "Bad rconpassword.", ""}));
  EXPECT_TRUE(dialogs.messages.empty());
  // The console stays open and usable.
  Type(console, "status");
  ASSERT_TRUE(peer.WaitFor(2));
  EXPECT_EQ(frame.Children().size(), 1u);
}

TEST_F(ConsoleWire, EachConsoleShowsOnlyWhatArrivesOnItsOwnSocket) {
  TTerminalForm* one = OpenAndGreet(kMarker + "print\none\n");
  TTerminalForm* two = OpenAndGreet(kMarker + "print\ntwo\n");
  EXPECT_EQ(one->LogLines(), (Lines{"print", "one", ""}));
  EXPECT_EQ(two->LogLines(), (Lines{"print", "two", ""}));
}

TEST_F(ConsoleWire, CommandsKeepToTheServersRateAndNoneIsDropped) {
  net::RequestPacer& pacer = net::RequestPacer::Instance();
  const int burst = pacer.Burst();
  const int period = pacer.PeriodMs();
  pacer.Configure(2, 100);
  TTerminalForm* console = Open();
  for (int i = 1; i <= 4; ++i) Type(console, QString("cmd %1").arg(i));
  const bool all = peer.WaitFor(5);
  pacer.Configure(burst, period);
  ASSERT_TRUE(all);
  EXPECT_EQ(peer.Texts(), (Lines{kMarker + "rcon secret status", kMarker + "rcon secret cmd 1", kMarker + "rcon secret cmd 2",
                                 kMarker + "rcon secret cmd 3", kMarker + "rcon secret cmd 4"}));
  // Two went at once, the rest one per period.
  EXPECT_GE(peer.Received[4].ms - peer.Received[0].ms, 250.0);
}

TEST_F(ConsoleWire, APortThatIsNoNumberLeavesNoWindowBehind) {
  platform::Guarded([&] { OpenTerminal("Remote Console - 127.0.0.1:abc", "secret", "127.0.0.1", "abc"); });
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].type, platform::MsgType::Error);
  EXPECT_EQ(dialogs.messages[0].caption, "Corvane");
  EXPECT_EQ(dialogs.messages[0].text, "'abc' is not a valid integer value.");
  Settle();
  EXPECT_TRUE(frame.Children().empty());
  for (QWidget* widget : QApplication::allWidgets()) EXPECT_EQ(qobject_cast<TTerminalForm*>(widget), nullptr);
}

// Against the scripted game server, which prints long output in chunks cut where a real
// server cuts them: the status of 14 bots comes in two datagrams, the first ending inside
// the row of client 10.
TEST_F(ConsoleWire, TheGameServersChunkedOutputAndRefusalAreShownWhole) {
  using namespace std::chrono_literals;
  test::GameServerConfig config;
  config.password = "secret";
  config.players = test::BotPlayers(14);
  config.lifetime = 60s;
  test::GameServer server(config);
  server.Start();
  const std::string port = std::to_string(server.Port());

  TTerminalForm* console = OpenTerminal("c", "secret", "127.0.0.1", port);
  ASSERT_TRUE(server.WaitForReplies(2, 3000ms));
  const std::vector<test::Datagram> sent = server.Sent();
  ASSERT_EQ(server.Received()[0].bytes, kMarker + "rcon secret status");
  const std::string& first = sent[0].bytes;
  ASSERT_NE(first.back(), '\n');
  const std::string tail = first.substr(first.rfind('\n') + 1);
  ASSERT_TRUE(WaitForLog(console, 22));
  QTest::qWait(50);
  const Lines log = console->LogLines();
  // print, the map line, heading, dashes, rows 0 to 9, the cut row 10, the separating empty
  // line; then the second datagram: print, the rest of row 10, rows 11 to 13, the table's end.
  ASSERT_EQ(log.size(), 22u);
  EXPECT_EQ(log[0], "print");
  EXPECT_EQ(log[1].rfind("map: ", 0), 0u);
  EXPECT_EQ(log[14], tail);
  EXPECT_EQ(log[14].rfind("10 ", 0), 0u);
  EXPECT_EQ(log[15], "");
  EXPECT_EQ(log[16], "print");
  EXPECT_EQ(log[17], sent[1].bytes.substr(10, sent[1].bytes.find('\n', 10) - 10));
  EXPECT_EQ(log[18].rfind("11 ", 0), 0u);
  EXPECT_EQ(log[20].rfind("13 ", 0), 0u);
  EXPECT_EQ(log[21], "");

  // A command with spaces goes out as typed. A command that prints nothing still gets its
  // "print" line; the next answer follows after one empty line.
  Type(console, "set sv_hostname  Two  Words ");
  Type(console, "sv_hostname");
  ASSERT_TRUE(WaitForLog(console, 29));
  QTest::qWait(50);
  EXPECT_EQ(server.Received()[1].bytes, kMarker + "rcon secret set sv_hostname  Two  Words ");
  EXPECT_EQ(server.Received()[2].bytes, kMarker + "rcon secret sv_hostname");
  const Lines after(console->LogLines().begin() + 22, console->LogLines().end());
  ASSERT_EQ(after.size(), 7u);
  EXPECT_EQ(after[0], "Command : [set sv_hostname  Two  Words ]");
  EXPECT_EQ(after[1], "Command : [sv_hostname]");
  EXPECT_EQ(after[2], "print");
  EXPECT_EQ(after[3], "");
  EXPECT_EQ(after[4], "print");
  // The server joins the words of set with single spaces, as a real one does.
  EXPECT_EQ(after[5].rfind("\"sv_hostname\" is:\"Two Words^7\"", 0), 0u) << after[5];
  EXPECT_EQ(after[6], "");

  // A wrong password: the server's own refusal, shown like any reply.
  TTerminalForm* refused = OpenTerminal("c", "wrong", "127.0.0.1", port);
  ASSERT_TRUE(WaitForLog(refused, 3));
  EXPECT_EQ(refused->LogLines(), (Lines{"print", "Bad rconpassword.", ""}));
  EXPECT_TRUE(dialogs.messages.empty());
}

// A console on an IPv6 server, typed as an address or reached through a name whose look-up
// takes a while: the greeting and what is typed meanwhile leave in order once it is known.
TEST_F(ConsoleWire, ConsolesReachIPv6ServersAndWaitForTheirAddressWithoutFreezing) {
  using namespace std::chrono_literals;
  if (!nettest::Peer(AF_INET6).Bound()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
  test::StandInResolver resolver;
  resolver.names["v6only.example"] = {*net::NumericHost("::1")};
  resolver.delayMs = 300;
  for (const std::string host : {"::1", "v6only.example"}) {
    SCOPED_TRACE(host);
    test::GameServerConfig config;
    config.ipv6 = true;
    config.password = "secret";
    config.players = test::BotPlayers(2);
    config.lifetime = 60s;
    test::GameServer server(config);
    server.Start();
    TTerminalForm* console = OpenTerminal("c", "secret", host, std::to_string(server.Port()));
    Type(console, "serverinfo");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Sent().size() >= 2; }, 3000));
    EXPECT_EQ(server.Received()[0].bytes, kMarker + "rcon secret status");
    EXPECT_EQ(server.Received()[1].bytes, kMarker + "rcon secret serverinfo");
    ASSERT_TRUE(QTest::qWaitFor([&] {
      const Lines& log = console->LogLines();
      return std::count(log.begin(), log.end(), "Server info settings:") == 1;
    }, 3000));
    EXPECT_EQ(console->LogLines()[0], "Command : [serverinfo]");
    console->close();
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace consoletest
