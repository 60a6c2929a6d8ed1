// Input no server should send: binary bytes, huge texts, no line feeds, markers at the very
// end. Nothing may crash, and each parser may change only what its reply describes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "captures.h"
#include "protocol/assembler.h"
#include "protocol/classify.h"
#include "protocol/parsers.h"

namespace {

using namespace std::string_literals;
using namespace std::chrono_literals;
using namespace protocol;

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n"s;

std::string RandomBytes(std::mt19937& rng, std::size_t size) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(byte(rng));
  return s;
}

std::size_t Lines(const std::string& text) {
  if (text.empty()) return 0;
  const auto lf = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  return text.back() == '\n' ? lf : lf + 1;
}

// Texts that stress the parsers: binary, 64 KB without a line feed, many empty lines,
// markers at the very end, lone carets, quotes and spaces.
std::vector<std::string> HostileTexts() {
  std::mt19937 rng(1234);
  std::vector<std::string> texts = {
      "", "\xFF\xFF\xFF\xFF", kPrint, "\n", "\n\n\n\n\n\n", std::string(65536, 'x'), std::string(65536, ' '),
      std::string(65536, '\n'), std::string(65536, '^'), std::string(65536, '"'),
      kPrint + "map: q3dm1\n" + std::string(70000, 'n'), "garbage without line feed map:", "junk userinfo",
      "junk Server info settings:", "x statusResponse", "\\mapname\\", "xx read only",
      kPrint + "map:\nheading lastmsg\n---\n1\n1 2\n1 2 3\n1 2 3 4 5 6 7 8 9 10 11 12\n   \n\"\n",
      kPrint + "Server info settings:\n" + std::string(5000, ' ') + "\n g_gametype\nmapname\n",
      std::string("\0\0\0\n\0\n\0 \0 \0\n", 12)};
  for (int i = 0; i < 40; ++i) texts.push_back(RandomBytes(rng, static_cast<std::size_t>(i) * 1637 % 70000));
  for (int i = 0; i < 20; ++i) texts.push_back(kPrint + "map: x\n" + RandomBytes(rng, 3000));
  return texts;
}

TEST(Hostile, ParsersSurviveAndChangeOnlyWhatTheReplyDescribes) {
  const std::vector<PlayerRow> before{{"1", "Keep", "2", "3", "bot", "4"}, {"", "", "", "", "", ""}};
  for (const GameTraits* game : {&kQuake3, &kQuake2}) {
    for (const std::string& text : HostileTexts()) {
      SCOPED_TRACE(text.size());
      std::vector<PlayerRow> rows = before;
      ParseStatusResponse(*game, text, rows);
      EXPECT_LE(rows.size(), Lines(text) > 2 ? Lines(text) - 2 : 0);

      rows = before;
      ParseStatusTable(*game, text, rows);
      EXPECT_GE(rows.size(), before.size());
      EXPECT_LE(rows.size(), before.size() + (Lines(text) > 4 ? Lines(text) - 4 : 0));
      // A row is overwritten only by a table line of its own name.
      if (rows[0].name == "Keep" && rows[0].num == "1") {
        EXPECT_EQ(rows[0], before[0]);
      }
      EXPECT_EQ(rows[1].name, "");

      std::vector<RuleRow> rules{{"old", "rule"}};
      int hooks = 0;
      ParseServerInfo(*game, text, rules, {[&](const std::string&) { ++hooks; }, [&](const std::string&) { ++hooks; }});
      EXPECT_EQ(rules.size(), Lines(text) > 2 ? Lines(text) - 2 : 0);
      EXPECT_LE(static_cast<std::size_t>(hooks), rules.size());

      std::vector<UserInfoRow> info{{"old", "row"}};
      ParseUserInfo(*game, text, info, [](const std::string&) { throw 42; });
      EXPECT_EQ(info.size(), 1 + (Lines(text) > 3 ? Lines(text) - 3 : 0));
      EXPECT_EQ(info[0], (UserInfoRow{"old", "row"}));
    }
  }
}

// Each line of a status table finds the rows of its name, or (a name cut by the table) of names
// it begins, without walking the list: 30 000 rows of new names, of one name the list holds
// 30 000 times, or of cut names that each begin another row's name took 38 s and more.
TEST(Hostile, AStatusTableOfThousandsOfRowsIsReadInLinearTime) {
  constexpr std::size_t kRows = 30000;
  std::string distinct = kPrint + "map: x\ncl score ping name address rate\n--\n", same = distinct;
  std::string cut = kPrint + "Current map: x\n\nnum score ping name lastmsg address rate pr fps\n--\n";
  std::vector<PlayerRow> none, sarges(kRows), longer(kRows);
  for (std::size_t i = 0; i < kRows; ++i) {
    const std::string n = std::to_string(i), start = "Sarge" + std::string(10 - n.size(), '0') + n;
    distinct += "1 " + n + " 0 p" + n + "\n";
    same += "1 " + n + " 0 Sarge\n";
    cut += "1 " + n + " 0 " + start + " 0 a 1 2 3\n";
    sarges[i].name = "Sarge";
    longer[i].name = start + "TheLonger";
  }
  const auto start = std::chrono::steady_clock::now();
  ParseStatusTable(kQuake3, distinct, none);
  ParseStatusTable(kQuake3, same, sarges);
  ParseStatusTable(kQuake2, cut + "\n", longer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  // Each line has a row of its own: a row's frags are its line's number.
  for (const auto* rows : {&none, &sarges, &longer}) {
    ASSERT_EQ(rows->size(), kRows);
    EXPECT_EQ(rows->back().frags, std::to_string(kRows - 1));
  }
  EXPECT_EQ(longer.back().name, "Sarge0000029999TheLonger");
}

TEST(Hostile, ClassifierDecidesSomethingSaneForAnyText) {
  for (const GameTraits* game : {&kQuake3, &kQuake2}) {
    for (const std::string& text : HostileTexts()) {
      for (TMonitorState state : {msIdle, msRefused, msConnecting, msPolling, msAwaitingUserInfo}) {
        const ReplyDecision d = ClassifyReply(*game, state, text);
        if (state == msIdle || state == msRefused) {
          ReplyDecision nothing;
          nothing.state = state;
          EXPECT_EQ(d, nothing);
        }
        EXPECT_TRUE(d.send.empty() || d.send == " status" || d.send == " serverinfo");
        EXPECT_LE(d.statusText.size(), text.size());
        EXPECT_EQ(d.closeClient, d.state == msRefused && state != msRefused);
      }
    }
  }
  // A marker at the very end of other text counts for nothing.
  EXPECT_EQ(ClassifyReply(kQuake3, msConnecting, "garbage without line feed map:").parser, ReplyParser::None);
  EXPECT_EQ(ClassifyReply(kQuake3, msAwaitingUserInfo, "junk userinfo").parser, ReplyParser::None);
}

TEST(Hostile, AssemblerLosesNothingAndHoldsNothingForever) {
  std::mt19937 rng(99);
  const std::string pieces[] = {test::Capture("q3_status_14bots_1"), test::Capture("q3_status_14bots_2"),
                                test::Capture("q3_serverinfo_1"),    test::Capture("q3_serverinfo_2"),
                                test::Capture("q3_kick_42"),         test::Capture("q3_getstatus_14bots"),
                                kPrint + std::string(1007, 'z'),     kPrint,
                                "",                                  std::string(65536, '\xFF')};
  for (const GameTraits* game : {&kQuake3, &kQuake2}) {
    ReplyAssembler a(*game);
    TimePoint now{};
    std::size_t in = 0, out = 0, datagrams = 0, replies = 0;
    auto take = [&](const std::vector<std::string>& got) {
      for (const std::string& r : got) {
        out += r.size();
        ++replies;
      }
    };
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) + 1);
    std::uniform_int_distribution<int> gap(0, 400);
    for (int i = 0; i < 5000; ++i) {
      now += std::chrono::milliseconds(gap(rng));
      const std::size_t k = pick(rng);
      if (k == std::size(pieces)) {
        a.NoteSent(now);
        continue;
      }
      if (k == std::size(pieces) + 1) {
        take(a.Poll(now));
        continue;
      }
      std::string d = pieces[k];
      if (rng() % 4 == 0) d += RandomBytes(rng, rng() % 2000);
      in += d.size();
      ++datagrams;
      take(a.Feed(d, now));
      if (a.Deadline()) {
        EXPECT_LE(*a.Deadline(), now + ReplyAssembler::kContinuationWindow);
      }
    }
    take(a.Flush());
    EXPECT_FALSE(a.Holding());
    // Joining drops only the repeated "print" headers of continuations.
    EXPECT_LE(out, in);
    EXPECT_GE(out + (datagrams - replies) * kPrint.size(), in);
    EXPECT_LE(replies, datagrams);
  }
}

}  // namespace
