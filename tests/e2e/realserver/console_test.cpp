// A remote console on a real server: a command, its reply in the log, the log saved to a file;
// and the two refusals a monitor window meets: a wrong password, and a server without one.
#include <QLineEdit>

#include <QPushButton>

#include <algorithm>
#include <filesystem>

#include "program_fixture.h"

namespace e2e {
namespace {

class Console : public ServerGroup<Console, false> {
 protected:
  static void SetUpTestSuite() {
    ServerGroup::SetUpTestSuite();
    OpenArenaOptions unguarded;
    unguarded.password.clear();
    open = StartServer(unguarded, false);
  }
  static void TearDownTestSuite() {
    ServerGroup::TearDownTestSuite();
    open.reset();
  }
  void SetUp() override {
    ServerGroup::SetUp();
    if (!open) GTEST_SKIP() << "no server";
  }

  static bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  static inline std::unique_ptr<OpenArenaServer> open;  // no rconpassword
};

TEST_F(Console, ACommandsReplyIsShownAndSavedWithItsLog) {
  TTerminalForm* console = QuickConsole(*server, "secret");
  ASSERT_NE(console, nullptr);
  // The greeting's status table comes first, in two datagrams for 14 bots.
  ASSERT_TRUE(WaitFor([&] { return Holds(console->LogLines(), "map: oa_dm1"); }, 10000));
  EXPECT_TRUE(WaitFor([&] {
    return std::any_of(console->LogLines().begin(), console->LogLines().end(),
                       [](const std::string& line) { return line.find("ExtraordinarilyLongName") != std::string::npos; });
  }, 5000));

  console->E_Command->setText("g_gravity");
  QTest::keyClick(console->E_Command, Qt::Key_Return);
  EXPECT_TRUE(Holds(console->LogLines(), "Command : [g_gravity]"));
  ASSERT_TRUE(WaitFor([&] {
    return std::any_of(console->LogLines().begin(), console->LogLines().end(),
                       [](const std::string& line) { return line.rfind("\"g_gravity\" is:\"800^7\"", 0) == 0; });
  }, 10000));

  const std::string logFile = dir_.Path() + "/logs/session.txt";
  std::filesystem::create_directories(dir_.Path() + "/logs");
  dialogs_.saveAnswers.push_back(QString::fromStdString(logFile));
  console->Btn_Save->click();
  const std::string saved = dir_.Read("logs/session.txt");
  std::string expected;
  for (const std::string& line : console->LogLines()) expected += line + "\r\n";
  EXPECT_EQ(saved, expected);
  EXPECT_NE(saved.find("Command : [g_gravity]\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\"g_gravity\" is:\"800^7\""), std::string::npos);
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Console, AWrongPasswordAndAServerWithoutOneAreRefusedWithTheirWarnings) {
  struct Case {
    OpenArenaServer* server;
    std::string password;
    std::string warning;
  };
  const Case cases[] = {
      {server.get(), "not-the-password", "Wrong rcon password, please try again\rClosing connection..."},
      {open.get(), "anything", "The server is not configured for remote administration.\rClosing connection..."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warning);
    dialogs_.messages.clear();
    window = QuickConnect(*c.server, c.password);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return window->State() == msRefused; }, 10000));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, c.warning);
    EXPECT_EQ(dialogs_.messages[0].caption, "Warning");
    EXPECT_EQ(window->LV_Players->topLevelItemCount(), 0);
  }
}

}  // namespace
}  // namespace e2e
