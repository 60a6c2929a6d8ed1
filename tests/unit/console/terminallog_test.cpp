// The console's command datagrams, the walk from reply datagrams to log lines, and the log file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/terminallog.h"
#include "platform/errors.h"
#include "protocol/packets.h"
#include "support/test_env.h"

namespace {

using Lines = std::vector<std::string>;
const std::string M(protocol::kOutOfBand);

TEST(ConsoleDatagram, PasswordAndCommandGoOutExactlyAsGiven) {
  EXPECT_EQ(protocol::ConsoleCommandDatagram("secret", "status"), "\xFF\xFF\xFF\xFF" "rcon secret status");
  EXPECT_EQ(protocol::ConsoleCommandDatagram("my pass ", "  say hello  there "), M + "rcon my pass    say hello  there ");
  EXPECT_EQ(protocol::ConsoleCommandDatagram("", "status"), M + "rcon  status");
  EXPECT_EQ(protocol::ConsoleOpeningDatagram("secret"), M + "rcon secret status");
}

TEST(ConsoleReply, OnlyTheMarkerIsRemovedAndEveryOtherByteStays) {
  // The first four bytes go, whatever they are.
  EXPECT_EQ(console::ReplyLines("abcdprint\n"), (Lines{"print"}));
  const std::string text = "print\r\n^1Red^7 \x01\xE9\xFF\t\r\n";
  EXPECT_EQ(console::ReplyLines(M + text), (Lines{"print\r", "^1Red^7 \x01\xE9\xFF\t\r"}));
  EXPECT_EQ(console::ReplyLines(M + std::string("a\0b\n", 4)), (Lines{std::string("a\0b", 3)}));
  EXPECT_EQ(console::ReplyLines(M + "no line feed at all"), (Lines{"no line feed at all"}));
  // Empty and marker-only datagrams give no line.
  EXPECT_TRUE(console::ReplyLines("").empty());
  EXPECT_TRUE(console::ReplyLines("\xFF\xFF").empty());
  EXPECT_TRUE(console::ReplyLines(M).empty());
}

TEST(ConsoleLog, AnEmptyReceiveCompletesNoLineButMaySeparate) {
  Lines log;
  console::AppendReply(log, "");
  EXPECT_TRUE(log.empty());  // a fresh log does not start with an empty line
  console::AppendReply(log, M + "print\ntail");
  console::AppendReply(log, "");
  EXPECT_EQ(log, (Lines{"print", "tail", ""}));
  // After a command echo an empty receive still separates.
  log.push_back("Command : [x]");
  console::AppendReply(log, "");
  EXPECT_EQ(log, (Lines{"print", "tail", "", "Command : [x]", ""}));
}

TEST(ConsoleLogFile, EveryLineEndsWithCrLfAndKeepsItsBytes) {
  test::TempDir dir;
  const std::string file = dir.Path() + "/log.txt";
  console::SaveLogFile(file, {"print", "\xE9t\xE9\r", "", "^1x"});
  EXPECT_EQ(dir.Read("log.txt"), "print\r\n\xE9t\xE9\r\r\n\r\n^1x\r\n");
  // Saving again replaces the file.
  console::SaveLogFile(file, {});
  EXPECT_EQ(dir.Read("log.txt"), "");
}

TEST(ConsoleLogFile, FailuresRaiseTheirErrors) {
  test::TempDir dir;
  const std::string missing = dir.Path() + "/no such folder/log.txt";
  try {
    console::SaveLogFile(missing, {"x"});
    FAIL() << "no error";
  } catch (const platform::EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
  }
  // Created, but the disk is full.
  EXPECT_THROW(console::SaveLogFile("/dev/full", {std::string(100000, 'x')}), platform::Exception);
}

}  // namespace
