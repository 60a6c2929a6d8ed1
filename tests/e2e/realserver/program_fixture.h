#pragma once
// The program as a user runs it, against a real OpenArena server: the frame with its open
// commands and long-lived dialogs, in a working folder seeded with the shipped data, every
// modal interaction answered by the test. Requests to the server go through the program's
// own pacer at the real servers' rate limit.
//
// Each test group (a test suite) starts its own server in SetUpTestSuite and stops it in
// TearDownTestSuite; CTest runs each group as a test of its own.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/mainunit.h"
#include "console/terminalunit.h"
#include "monitor/q3server.h"
#include "openarena_server.h"
#include "support/list_texts.h"
#include "support/scripted_dialogs.h"
#include "support/test_env.h"

namespace e2e {

using test::AllRowsComplete;
using test::RowTexts;

// Bots every group's server gets: ten plain ones and four with names of their own (a coloured
// name, names longer than 16 characters, a name with spaces).
extern const std::vector<std::string> kPlainBots;
extern const std::vector<std::pair<std::string, std::string>> kNamedBots;
std::size_t BotCount();

// Starts a server with the options and, unless `bots` is false, every bot; fails the suite
// (and leaves the pointer empty) when OpenArena is missing or does not come up.
std::unique_ptr<OpenArenaServer> StartServer(const OpenArenaOptions& options, bool bots = true);

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // File > Quick Connect, typed as a user types it: a monitor window on the server (on ::1
  // and its IPv6 port with `ipv6`).
  TF_Q3Server* QuickConnect(const OpenArenaServer& server, const std::string& password, bool ipv6 = false);
  // File > Quick Remote Console.
  TTerminalForm* QuickConsole(const OpenArenaServer& server, const std::string& password, bool ipv6 = false);

  // Waits (running the event loop) until the condition holds.
  static bool WaitFor(const std::function<bool()>& condition, int ms);
  // Asks the server through the side channel about once a second, running the event loop in
  // between, until `check` holds.
  static bool ServerShows(const std::function<bool()>& check, int ms);
  // Waits until the window polls and has completed a refresh: every row filled in and the
  // rules listed.
  static bool WaitForCompleteRefresh(TF_Q3Server* window, std::size_t players, int ms);

  // The row of the named player, or -1.
  static int FindPlayer(const QTreeWidget* list, const QString& name) { return test::RowWith(list, 1, name); }
  // The texts of the row the list shows for a player the server reports (under its name
  // cleaned of colour codes); none when the list has no such row.
  static std::vector<std::string> RowOf(const QTreeWidget* list, const ServerPlayer& player);
  // The row of the rule, or -1.
  static int FindRule(const QTreeWidget* list, const QString& rule) { return test::RowWith(list, 0, rule); }
  // The rule's value as the list shows it; empty when the rule is not listed.
  static QString RuleValue(const QTreeWidget* list, const QString& rule);
  // Lines of the server's log that tell of a request from the program (127.0.0.1 or ::1)
  // dropped by the server's rate limit.
  static std::vector<std::string> DroppedRequests(const OpenArenaServer& server);

  test::ScopedProgramDir dir_;
  test::ScopedDialogs dialogs_;
  std::unique_ptr<TF_Main> frame_;
  // The group's server, when it has one: after each test its log must not tell of a request
  // of the program that it dropped.
  OpenArenaServer* server_ = nullptr;
};

// A group of tests sharing one server, started for the group with every bot (Group: the test
// class itself, so that each group has a server of its own; Group::Options() may name the
// server's options). With `window`, each test begins with a monitor window opened on it by
// Quick Connect, after its first complete refresh.
template <class Group, bool kWindow = true>
class ServerGroup : public ProgramTest {
 protected:
  static OpenArenaOptions Options() { return {}; }
  static void SetUpTestSuite() { server = StartServer(Group::Options()); }
  static void TearDownTestSuite() { server.reset(); }
  void SetUp() override {
    ProgramTest::SetUp();
    if (!server) GTEST_SKIP() << "no server";
    server_ = server.get();
    if (!kWindow) return;
    window = QuickConnect(*server, "secret");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForCompleteRefresh(window, 1, 20000));
  }
  // Waits until the rules list shows the value for the rule.
  bool RuleShows(const QString& rule, const QString& value, int ms = 15000) {
    return WaitFor([&] { return RuleValue(window->LV_Settings, rule) == value; }, ms);
  }

  static inline std::unique_ptr<OpenArenaServer> server;
  TF_Q3Server* window = nullptr;
};

}  // namespace e2e
