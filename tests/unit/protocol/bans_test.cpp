#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "protocol/bans.h"
#include "protocol/game.h"
#include "protocol/packets.h"

namespace protocol {
inline void PrintTo(const BanEntry& e, std::ostream* os) {
  *os << (e.kind == BanKind::Ban ? "ban " : "except ") << e.number << " " << BanEntryText(e) << (e.suspect ? " ?" : "");
}
}  // namespace protocol

namespace {

using namespace protocol;

const BanEntry Ban(int n, std::string address, std::string mask, bool suspect = false) {
  return {BanKind::Ban, n, std::move(address), std::move(mask), suspect};
}
const BanEntry Except(int n, std::string address, std::string mask, bool suspect = false) {
  return {BanKind::Exception, n, std::move(address), std::move(mask), suspect};
}

TEST(ParseBanList, ReadsBothGamesListsAsTheServersPrintThem) {
  struct Case {
    const BanCommands* commands;
    std::string output;
    std::vector<BanEntry> entries;
  };
  const std::vector<Case> cases = {
      {&kQuake3Bans, "", {}},
      {&kQuake3Bans,
       "Ban #1: 203.0.113.7/32\nBan #2: 198.51.100.0/24\nBan #3: 2001:db8::/32\nExcept #1: 198.51.100.9/32\n",
       {Ban(1, "203.0.113.7", "32"), Ban(2, "198.51.100.0", "24"), Ban(3, "2001:db8::", "32"),
        Except(1, "198.51.100.9", "32")}},
      // Other lines (a developer server's file notice) and a chunk's carriage return are skipped.
      {&kQuake3Bans, "writing to: /x/serverbans.dat\nBan #1: 1.2.3.4/32\r\nBan #x: 1.2.3.5/32\nBan #2 1.2.3.6/32\n",
       {Ban(1, "1.2.3.4", "32")}},
      // An entry the server could not read: listed with a stale address and /0, or twice.
      {&kQuake3Bans, "Ban #1: 127.0.0.3/0\nBan #2: 10.1.0.0/16\nBan #3: 10.1.0.0/16\nExcept #1: 10.1.0.0/16\n",
       {Ban(1, "127.0.0.3", "0", true), Ban(2, "10.1.0.0", "16", true), Ban(3, "10.1.0.0", "16", true),
        Except(1, "10.1.0.0", "16")}},
      {&kQuake2Bans, "Filter list:\n", {}},
      {&kQuake2Bans, "Filter list:\n192.168.  0.  0\n 10.  0.  0.  5\n203.  0.113.  7\n",
       {Ban(1, "192.168.0.0", "255.255.0.0"), Ban(2, "10.0.0.5", "255.0.0.255"), Ban(3, "203.0.113.7", "255.0.255.255")}},
      // Nothing before the heading counts; a line that is no address is skipped.
      {&kQuake2Bans, "1.2.3.4\nFilter list:\nBad\n256.  1.  1.  1\n  1.  2.  3.  4\n", {Ban(1, "1.2.3.4", "255.255.255.255")}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBanList(*c.commands, c.output), c.entries) << c.output;
}

TEST(CheckBanAddress, RefusesWhatTheServerWouldReadOtherwise) {
  struct Case {
    const BanCommands* commands;
    std::string typed;
    std::string argument;  // empty: refused
    bool warns = false;
  };
  const std::vector<Case> cases = {
      {&kQuake3Bans, "203.0.113.7", "203.0.113.7"},
      {&kQuake3Bans, "  198.51.100.0/24 ", "198.51.100.0/24"},
      {&kQuake3Bans, "2001:db8::/32", "2001:db8::/32"},
      {&kQuake3Bans, "1.2.3", ""},              // the server would ban 1.2.0.3
      {&kQuake3Bans, "203.0.113.8/33", ""},     // the server would quietly make it /32
      {&kQuake3Bans, "203.0.113.8/0", ""},      // everyone
      {&kQuake3Bans, "203.0.113.8/x", ""},
      {&kQuake3Bans, "300.1.1.1", ""},
      {&kQuake3Bans, "localhost", ""},
      {&kQuake3Bans, "1.2.3.4 5", ""},
      {&kQuake3Bans, "", ""},
      {&kQuake3Bans, "2001:db8::/129", ""},
      {&kQuake2Bans, "198.51.100.7", "198.51.100.7"},
      {&kQuake2Bans, "203.0.113.7", "203.0.113.7", true},
      {&kQuake2Bans, "192.168.1.77/24", "192.168.1.0"},
      {&kQuake2Bans, "192.168.1.77/16", "192.168.0.0"},
      {&kQuake2Bans, "10.0.0.5", "10.0.0.5", true},  // the zeros match any number
      {&kQuake2Bans, "192.168.1.0/20", ""},
      {&kQuake2Bans, "2001:db8::", ""},
  };
  for (const Case& c : cases) {
    const BanAddress checked = CheckBanAddress(*c.commands, c.typed);
    EXPECT_EQ(checked.ok, !c.argument.empty()) << c.typed;
    EXPECT_EQ(checked.argument, c.argument) << c.typed;
    EXPECT_EQ(checked.error.empty(), checked.ok) << c.typed;
    EXPECT_EQ(!checked.warning.empty(), c.warns) << c.typed;
  }
  EXPECT_EQ(CheckBanAddress(kQuake2Bans, "10.0.0.5").warning,
            "A Quake 2 server reads a 0 in an address as any number: 10.0.0.5 stands for 10.*.*.5.");
}

TEST(BanCommandTexts, EachGameNamesItsOwnCommands) {
  EXPECT_EQ(BanListCommand(kQuake3Bans), " listbans");
  EXPECT_EQ(BanListCommand(kQuake2Bans), " sv listip");
  EXPECT_EQ(AddBanCommand(kQuake3Bans, BanKind::Ban, "1.2.3.4/32"), " banaddr 1.2.3.4/32");
  EXPECT_EQ(AddBanCommand(kQuake3Bans, BanKind::Exception, "1.2.3.4"), " exceptaddr 1.2.3.4");
  EXPECT_EQ(AddBanCommand(kQuake2Bans, BanKind::Ban, "10.0.0.0"), " sv addip 10.0.0.0");
  // Quake 3 deletes by the listed number (an address would also delete every narrower entry).
  EXPECT_EQ(RemoveBanCommand(kQuake3Bans, Ban(2, "198.51.100.0", "24")), " bandel 2");
  EXPECT_EQ(RemoveBanCommand(kQuake3Bans, Except(1, "198.51.100.9", "32")), " exceptdel 1");
  EXPECT_EQ(RemoveBanCommand(kQuake2Bans, Ban(3, "192.168.0.0", "255.255.0.0")), " sv removeip 192.168.0.0");
  EXPECT_EQ(BanClientCommand(kQuake3Bans, "7"), " banaddr 7");
  EXPECT_EQ(BanEntryText(Ban(1, "1.2.3.4", "32")), "1.2.3.4/32");
  EXPECT_EQ(BanEntryText(Ban(1, "1.2.0.0", "255.255.0.0")), "1.2.0.0 (255.255.0.0)");
}

TEST(BanErrors, PicksTheErrorLinesOfAnAnswer) {
  EXPECT_EQ(BanErrors(kQuake3Bans, "writing to: x\nAdded ban: 203.0.113.7/32\n"), "");
  EXPECT_EQ(BanErrors(kQuake3Bans, "Error: Can ban players connected via the internet only.\n"),
            "Error: Can ban players connected via the internet only.");
  EXPECT_EQ(BanErrors(kQuake3Bans, "Sys_StringToSockaddr: Error resolving ::1: x\nError: Invalid address ::1\n"),
            "Error: Invalid address ::1");
  EXPECT_EQ(BanErrors(kQuake3Bans, "Bad slot number: x\nError: Playernum x does not exist.\n"),
            "Bad slot number: x\nError: Playernum x does not exist.");
  EXPECT_EQ(BanErrors(kQuake2Bans, "Didn't find 1.2.3.4.\n"), "Didn't find 1.2.3.4.");
  EXPECT_EQ(BanErrors(kQuake2Bans, "Removed.\n"), "");
}

TEST(PrintedText, JoinsTheChunksOfOneReply) {
  EXPECT_EQ(PrintedText({"\xFF\xFF\xFF\xFFprint\nBan #1: 1.2.3.4/3", "\xFF\xFF\xFF\xFFprint\n2\n"}), "Ban #1: 1.2.3.4/32\n");
  EXPECT_EQ(PrintedText({"\xFF\xFF\xFF\xFFprint\n"}), "");
  EXPECT_EQ(PrintedText({}), "");
}

TEST(ChatCommands, QuoteTheTextAndNeverSendALineBreak) {
  EXPECT_EQ(SayCommand("hi  all // x"), " say \"hi  all // x\"");
  EXPECT_EQ(SayCommand("two\nlines\r"), " say \"two lines \"");
  EXPECT_EQ(TellCommand(kQuake3, "3", "hello"), " tell 3 \"hello\"");
}

TEST(ChatEcho, RecognisesTheServersEchoOfAMessageOnly) {
  const std::string print = "\xFF\xFF\xFF\xFFprint\n";
  EXPECT_EQ(ChatEcho(print + "console: hi  all\n"), "console: hi  all");
  EXPECT_EQ(ChatEcho(print + "console_tell: psst\n"), "console_tell: psst");
  EXPECT_EQ(ChatEcho(print + "map: q3dm1\nconsole: x\n"), std::nullopt);
  EXPECT_EQ(ChatEcho("\xFF\xFF\xFF\xFFstatusResponse\nconsole: x\n"), std::nullopt);
  EXPECT_EQ(ChatEcho(print), std::nullopt);
}

TEST(ChatWarnings, TellWhatTheServerWillChange) {
  struct Case {
    const GameTraits* game;
    std::string text;
    std::size_t warnings;
  };
  const std::vector<Case> cases = {
      {&kQuake3, "plain text, ok?", 0}, {&kQuake3, "50%", 1},         {&kQuake3, "caf\xE9", 1},
      {&kQuake3, "a\nb", 1},            {&kQuake3, "say \"x\" 5%\n", 3}, {&kQuake2, "50% caf\xE9", 0},
      {&kQuake2, "\"q\"", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ChatWarnings(*c.game, c.text).size(), c.warnings) << c.text;
}

}  // namespace
