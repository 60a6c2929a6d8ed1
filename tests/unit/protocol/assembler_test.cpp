#include <gtest/gtest.h>

#include <chrono>
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
using Replies = std::vector<std::string>;

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n"s;
// The start of a status table: the map line, the heading and the dashes.
const std::string kTableHead = kPrint + "map: x\ncl score ping name address rate\n-- ----- ----\n";

// Captured and hand-made replies of two datagrams.
struct ChunkPair {
  const GameTraits* game;
  const char* first;
  const char* second;
};
const ChunkPair kChunkPairs[] = {{&kQuake3, "q3_status_14bots_1", "q3_status_14bots_2"},
                                 {&kQuake3, "q3_serverinfo_1", "q3_serverinfo_2"},
                                 {&kQuake3, "hand_q3orig_status_16_1", "hand_q3orig_status_16_2"},
                                 {&kQuake2, "hand_q2_status_24_1", "hand_q2_status_24_2"}};

class Assembler : public ::testing::Test {
 protected:
  TimePoint t0 = TimePoint{} + 100s;
  TimePoint At(std::chrono::microseconds offset) const { return t0 + offset; }
};

TEST_F(Assembler, JoinsTheCapturedStatusTableAndServerInfo) {
  struct Pair {
    const char* first;
    const char* second;
  };
  for (const Pair& p : {Pair{"q3_status_14bots_1", "q3_status_14bots_2"}, Pair{"q3_serverinfo_1", "q3_serverinfo_2"}}) {
    SCOPED_TRACE(p.first);
    ReplyAssembler a(kQuake3);
    a.NoteSent(At(0us));
    EXPECT_TRUE(a.Feed(test::Capture(p.first), At(300us)).empty());
    EXPECT_TRUE(a.Holding());
    EXPECT_EQ(a.Deadline(), At(300us) + ReplyAssembler::kContinuationWindow);
    const Replies out = a.Feed(test::Capture(p.second), At(310us));
    EXPECT_EQ(out, (Replies{test::Joined(test::Capture(p.first), test::Capture(p.second))}));
    EXPECT_FALSE(a.Holding());
  }
}

TEST_F(Assembler, AWholeRefreshParsesEveryPlayerAndEveryRule) {
  ReplyAssembler a(kQuake3);
  TMonitorState state = msPolling;
  std::vector<PlayerRow> players;
  std::vector<RuleRow> rules;
  Replies sent;
  auto deliver = [&](const Replies& replies) {
    for (const std::string& r : replies) {
      const ReplyDecision d = ClassifyReply(kQuake3, state, r);
      state = d.state;
      if (d.parser == ReplyParser::StatusResponse) ParseStatusResponse(kQuake3, r, players);
      if (d.parser == ReplyParser::StatusTable) ParseStatusTable(kQuake3, r, players);
      if (d.parser == ReplyParser::ServerInfo) ParseServerInfo(kQuake3, r, rules);
      if (!d.send.empty()) sent.push_back(d.send);
    }
  };
  a.NoteSent(At(0us));
  deliver(a.Feed(test::Capture("q3_getstatus_14bots"), At(200us)));
  a.NoteSent(At(300us));
  deliver(a.Feed(test::Capture("q3_status_14bots_1"), At(500us)));
  deliver(a.Feed(test::Capture("q3_status_14bots_2"), At(510us)));
  a.NoteSent(At(600us));
  deliver(a.Feed(test::Capture("q3_serverinfo_1"), At(800us)));
  deliver(a.Feed(test::Capture("q3_serverinfo_2"), At(810us)));
  EXPECT_EQ(sent, (Replies{" status", " serverinfo"}));
  ASSERT_EQ(players.size(), 14u);
  EXPECT_EQ(players[13], (PlayerRow{"13", "BlueGreen x", "1", "0", "bot", "16384", "^4Blue^2Green ^3x"}));
  EXPECT_EQ(rules.size(), 43u);
}

TEST_F(Assembler, HandMadeChunkedTablesOfBothGames) {
  struct Sample {
    const GameTraits* game;
    const char* name;
    std::size_t players;
  };
  for (const Sample& s : {Sample{&kQuake3, "hand_q3orig_status_16", 16}, Sample{&kQuake2, "hand_q2_status_24", 24}}) {
    SCOPED_TRACE(s.name);
    ReplyAssembler a(*s.game);
    const std::string first = test::Capture(std::string(s.name) + "_1");
    const std::string second = test::Capture(std::string(s.name) + "_2");
    EXPECT_TRUE(a.Feed(first, At(0us)).empty());
    const Replies out = a.Feed(second, At(5ms));
    ASSERT_EQ(out.size(), 1u);
    std::vector<PlayerRow> rows;
    ParseStatusTable(*s.game, out[0], rows);
    ASSERT_EQ(rows.size(), s.players);
    EXPECT_EQ(rows.back().num, std::to_string(s.players - 1));
    EXPECT_FALSE(rows.back().address.empty());
  }
}

TEST_F(Assembler, PassesOnWholeRepliesAtOnce) {
  for (const char* name : {"q3_getstatus_14bots", "q3_kick_42", "q3_dumpuser_2", "q3_read_only", "q3_bad_rconpassword",
                           "q3_cvar_sv_hostname", "q3_map_nosuchmap", "hand_q3orig_status", "hand_q2_statusresponse"}) {
    SCOPED_TRACE(name);
    ReplyAssembler a(kQuake3);
    EXPECT_EQ(a.Feed(test::Capture(name), At(0us)), (Replies{test::Capture(name)}));
    EXPECT_FALSE(a.Holding());
  }
  // A table that fills its datagram but closes with the empty line is complete.
  std::string full = kTableHead;
  while (full.size() < 1015) full += "row\n";
  full += "\n";
  ReplyAssembler a(kQuake3);
  EXPECT_EQ(a.Feed(full, At(0us)).size(), 1u);
}

TEST_F(Assembler, AChunkThatOvertookItsFirstIsJoinedBehindIt) {
  for (const ChunkPair& p : kChunkPairs) {
    SCOPED_TRACE(p.first);
    ReplyAssembler a(*p.game);
    a.NoteSent(At(0us));
    a.NoteSent(At(10us));  // another request right behind
    EXPECT_TRUE(a.Feed(test::Capture(p.second), At(200us)).empty());
    // A notice in between passes at once.
    EXPECT_EQ(a.Feed(test::Capture("q3_kick_42"), At(205us)), (Replies{test::Capture("q3_kick_42")}));
    EXPECT_EQ(a.Feed(test::Capture(p.first), At(210us)),
              (Replies{test::Joined(test::Capture(p.first), test::Capture(p.second))}));
    EXPECT_FALSE(a.Holding());
  }
  // A chunk of another form, or one whose first comes too late, is not taken.
  ReplyAssembler b(kQuake3);
  EXPECT_TRUE(b.Feed(test::Capture("q3_serverinfo_2"), At(0us)).empty());
  EXPECT_EQ(b.Feed(test::Capture("q3_status_14bots_1"), At(1ms)), (Replies{test::Capture("q3_serverinfo_2")}));
  EXPECT_EQ(b.Flush(), (Replies{test::Capture("q3_status_14bots_1")}));
  EXPECT_TRUE(b.Feed(test::Capture("q3_status_14bots_2"), At(1s)).empty());
  EXPECT_EQ(b.Feed(test::Capture("q3_status_14bots_1"), At(1s) + ReplyAssembler::kContinuationWindow + 1us),
            (Replies{test::Capture("q3_status_14bots_2")}));
}

TEST_F(Assembler, AHeldReplyComesOutWhenItsWindowPasses) {
  ReplyAssembler a(kQuake3);
  const std::string first = test::Capture("q3_status_14bots_1");
  EXPECT_TRUE(a.Feed(first, At(0us)).empty());
  EXPECT_TRUE(a.Poll(At(0us) + ReplyAssembler::kContinuationWindow - 1us).empty());
  EXPECT_EQ(a.Poll(At(0us) + ReplyAssembler::kContinuationWindow), (Replies{first}));
  EXPECT_FALSE(a.Deadline().has_value());
  // The late second half waits as long for a first chunk it could follow, then stands alone.
  const std::string second = test::Capture("q3_status_14bots_2");
  EXPECT_TRUE(a.Feed(second, At(400ms)).empty());
  EXPECT_EQ(a.Deadline(), At(400ms) + ReplyAssembler::kContinuationWindow);
  EXPECT_EQ(a.Poll(At(400ms) + ReplyAssembler::kContinuationWindow), (Replies{second}));

  // A datagram arriving after the window, before anyone polled, also ends what is held.
  EXPECT_TRUE(a.Feed(first, At(1s)).empty());
  EXPECT_EQ(a.Feed(second, At(2s)), (Replies{first}));
  EXPECT_EQ(a.Feed(test::Capture("q3_kick_42"), At(3s)), (Replies{second, test::Capture("q3_kick_42")}));
  EXPECT_TRUE(a.Feed(first, At(4s)).empty());
  EXPECT_EQ(a.Flush(), (Replies{first}));
  EXPECT_FALSE(a.Holding());
}

TEST_F(Assembler, NeverSwallowsTheAnswerToAnotherRequest) {
  const std::string info = test::Capture("q3_serverinfo_1");  // nearly full, yet might be the whole reply
  const std::string notice = test::Capture("q3_kick_42");

  // A kick sent after the listing's first datagram arrived.
  ReplyAssembler a(kQuake3);
  a.NoteSent(At(0us));
  EXPECT_TRUE(a.Feed(info, At(200us)).empty());
  a.NoteSent(At(250us));
  EXPECT_EQ(a.Feed(notice, At(400us)), (Replies{info, notice}));

  // A kick sent before it arrived, after the serverinfo request: its answer follows the listing.
  const std::string others[] = {notice, test::Capture("q3_cvar_sv_hostname"), test::Capture("q3_map_nosuchmap"),
                                test::Capture("q3_read_only"), kPrint + "sv_hostname is:\"x\"\n",
                                kPrint + "12 is a number\n"};
  for (const std::string& other : others) {
    SCOPED_TRACE(other.substr(10));
    ReplyAssembler b(kQuake3);
    b.NoteSent(At(0us));
    b.NoteSent(At(10us));
    EXPECT_TRUE(b.Feed(info, At(200us)).empty());
    EXPECT_EQ(b.Feed(other, At(210us)), (Replies{info, other}));
    // The same for a status table whose last datagram ended with a whole row.
    ReplyAssembler c(kQuake3);
    c.NoteSent(At(0us));
    c.NoteSent(At(10us));
    const std::string table = kTableHead + std::string(960, ' ') + "1 2 3 x\n";
    EXPECT_TRUE(c.Feed(table, At(200us)).empty());
    EXPECT_EQ(c.Feed(other, At(210us)), (Replies{table, other}));
  }
}

TEST_F(Assembler, JoinsARealContinuationEvenWhileAnotherAnswerIsDue) {
  for (const ChunkPair& p : kChunkPairs) {
    SCOPED_TRACE(p.first);
    ReplyAssembler a(*p.game);
    a.NoteSent(At(0us));
    a.NoteSent(At(10us));  // " kick 42" right behind the request
    EXPECT_TRUE(a.Feed(test::Capture(p.first), At(200us)).empty());
    EXPECT_EQ(a.Feed(test::Capture(p.second), At(210us)),
              (Replies{test::Joined(test::Capture(p.first), test::Capture(p.second))}));
    const std::string notice = test::Capture("q3_kick_42");
    EXPECT_EQ(a.Feed(notice, At(220us)), (Replies{notice}));
  }

  // A request that was never answered counts as lost after a while.
  ReplyAssembler c(kQuake3);
  c.NoteSent(At(0us));
  c.NoteSent(At(2s));
  EXPECT_TRUE(c.Feed(test::Capture("q3_serverinfo_1"), At(2s + 200us)).empty());
  EXPECT_EQ(c.Feed(test::Capture("q3_serverinfo_2"), At(2s + 210us)),
            (Replies{test::Joined(test::Capture("q3_serverinfo_1"), test::Capture("q3_serverinfo_2"))}));
}

TEST_F(Assembler, OnlyMarksInTheirPlacesMakeADatagramANewReply) {
  // Held: the first half of the captured table, cut inside a row (as in "Beret ^7bot"), or a
  // nearly full listing that ends with its line.
  const std::string cutTable = test::Capture("q3_status_14bots_1");
  const std::string wholeLines = kPrint + "Server info settings:\n" + std::string(960, 'k') + " v\n";
  const std::string info = test::Capture("q3_serverinfo_1");
  const std::string user = test::Capture("q3_dumpuser_2");
  struct Case {
    const std::string* held;
    std::string datagram;
    bool requestWaiting;  // another request's answer is due
    bool continues;
  };
  const Case cases[] = {
      // A new status table shows itself on two lines: never a continuation.
      {&cutTable, kTableHead + " 0 0 0 x ^7bot 1\n\n", false, false},
      {&cutTable, test::Capture("hand_q3orig_status"), true, false},
      // A player named like a map line (or like any other heading) at the start of a chunk.
      {&cutTable, kPrint + "map: q3dm1      ^7bot   16384\n11     0    0 Grunt  ^7bot   16384\n\n", false, true},
      {&cutTable, kPrint + "map: q3dm1      ^7bot   16384\n11     0    0 Grunt  ^7bot   16384\n\n", true, true},
      {&cutTable, kPrint + "statusResponse   ^7bot   16384\n\n", true, true},
      // One-line headings: a value at the start of the next chunk while nothing else is due.
      {&cutTable, info, false, true},
      {&cutTable, user, false, true},
      {&cutTable, kPrint + "Bad rconpassword.\n", false, true},
      {&cutTable, info, true, false},
      {&cutTable, user, true, false},
      {&cutTable, kPrint + "Bad rconpassword.\n", true, false},
      {&wholeLines, info, false, false},
      // Not printed output, or not even the marker: never.
      {&cutTable, test::Capture("q3_getstatus_14bots"), false, false},
      {&cutTable, "\xFF\xFF\xFF\xFF" "disconnect"s, false, false},
      {&cutTable, "rest of a row\n", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.datagram.substr(4, 30) + (c.requestWaiting ? " (request waiting)" : ""));
    ReplyAssembler a(kQuake3);
    EXPECT_TRUE(a.Feed(*c.held, At(0us)).empty());
    if (c.requestWaiting) a.NoteSent(At(5us));
    const Replies out = a.Feed(c.datagram, At(10us));
    if (c.continues) {
      ASSERT_EQ(out.size() + (a.Holding() ? 1 : 0), 1u);
      const std::string joined = out.empty() ? a.Flush()[0] : out[0];
      EXPECT_EQ(joined, test::Joined(*c.held, c.datagram));
    } else {
      ASSERT_FALSE(out.empty());
      EXPECT_EQ(out[0], *c.held);
    }
  }
}

TEST_F(Assembler, JoinsSeveralChunksButNeverGrowsWithoutBound) {
  ReplyAssembler a(kQuake3);
  const std::string head = kTableHead;
  auto chunk = [&](std::size_t bytes) { return kPrint + std::string(bytes, 'a'); };  // cut mid-line
  EXPECT_TRUE(a.Feed(head + std::string(1007 - (head.size() - 10), 'r'), At(0us)).empty());
  EXPECT_TRUE(a.Feed(chunk(1007), At(1ms)).empty());
  Replies out = a.Feed(kPrint + "z\n\n", At(2ms));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].size(), 1017u + 1007u + 3u);

  // A server that keeps sending full chunks gets cut off at the size limit.
  EXPECT_TRUE(a.Feed(head + "r", At(1s)).empty());
  std::size_t total = 0;
  for (int i = 0; i < 200 && total == 0; ++i)
    for (const std::string& r : a.Feed(chunk(1007), At(1s + std::chrono::milliseconds(i)))) {
      EXPECT_LE(r.size(), ReplyAssembler::kMaxReply);
      total += r.size();
    }
  EXPECT_GT(total, 0u);
}

}  // namespace
