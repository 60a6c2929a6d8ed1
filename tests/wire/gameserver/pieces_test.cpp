// The building blocks of the test server on their own: the print buffer, the tokenizers, the
// leaky bucket and the players file.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "support/gameserver/console_output.h"
#include "support/gameserver/rate_limiter.h"
#include "support/gameserver/sample_players.h"
#include "support/gameserver/text.h"

namespace test::gameserver {
namespace {

const std::string kPrint = "\xff\xff\xff\xffprint\n";

TEST(ConsoleOutput, SendsTheBufferWhenTheNextPieceWouldNotFit) {
  ConsoleOutput out(11);  // ten bytes of text
  out.Print("abcd");
  out.Print("efghij");  // exactly full
  out.Print("k");
  out.Printf("%s-%d", "lm", 7);
  const auto datagrams = out.Finish();
  ASSERT_EQ(datagrams.size(), 2u);
  EXPECT_EQ(datagrams[0], kPrint + "abcdefghij");
  EXPECT_EQ(datagrams[1], kPrint + "klm-7");
}

TEST(ConsoleOutput, EmptyOutputStillSendsOnePrintAndOverlongPiecesAreCut) {
  EXPECT_EQ(ConsoleOutput(1008).Finish(), std::vector<std::string>{kPrint});
  ConsoleOutput out(8);
  out.Print("ab");
  out.Print("0123456789");
  const auto datagrams = out.Finish();
  ASSERT_EQ(datagrams.size(), 2u);
  EXPECT_EQ(datagrams[0], kPrint + "ab");
  EXPECT_EQ(datagrams[1], kPrint + "0123456");
}

TEST(Tokenize, Quake3) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Tokenize(Game::Quake3, "  rcon   secret  status "), (V{"rcon", "secret", "status"}));
  EXPECT_EQ(Tokenize(Game::Quake3, "set x \"a  b\"c"), (V{"set", "x", "a  b", "c"}));
  EXPECT_EQ(Tokenize(Game::Quake3, "say ab\"cd\""), (V{"say", "ab", "cd"}));
  EXPECT_EQ(Tokenize(Game::Quake3, "a /* note */ b // rest"), (V{"a", "b"}));
  EXPECT_EQ(Tokenize(Game::Quake3, "a\tb\x01" "c"), (V{"a", "b", "c"}));
  EXPECT_EQ(Tokenize(Game::Quake3, "\"open"), (V{"open"}));
  EXPECT_TRUE(Tokenize(Game::Quake3, "   ").empty());
}

TEST(Tokenize, Quake2) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Tokenize(Game::Quake2, "hostname \"My Server\" x"), (V{"hostname", "My Server", "x"}));
  // A quote inside a word does not end it; bytes above 127 separate words.
  EXPECT_EQ(Tokenize(Game::Quake2, "ab\"cd\" e\xe9" "f"), (V{"ab\"cd\"", "e", "f"}));
  EXPECT_EQ(Tokenize(Game::Quake2, "a // b"), (V{"a"}));
  EXPECT_EQ(Tokenize(Game::Quake2, "x " + std::string(128, 'w')), (V{"x", ""}));
  EXPECT_EQ(Tokenize(Game::Quake2, "x " + std::string(127, 'w')).at(1).size(), 127u);
}

TEST(ReadPacketLine, EachGameReadsItsOwnWay) {
  EXPECT_EQ(ReadPacketLine(Game::Quake3, "rcon 100%\xe9 status\nignored"), "rcon 100.. status");
  EXPECT_EQ(ReadPacketLine(Game::Quake3, std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(ReadPacketLine(Game::Quake2, "rcon 100%\xe9 x\xff tail"), "rcon 100%\xe9 x");
}

TEST(Names, ColourCodesAndCleaning) {
  EXPECT_EQ(VisibleLength("^1Very^7LongName"), 12u);
  EXPECT_EQ(VisibleLength("a^!b^"), 5u);  // a caret before a non-alphanumeric is a character
  EXPECT_EQ(VisibleLength("^bX^^7"), 2u);
  EXPECT_EQ(CleanName("^4Blue^7Man\x01"), "BlueMan");
}

// The figures measured on a real server: 40 requests back to back got 10 answers, 40 at 30 ms
// intervals 11, 12 at 500 ms intervals all 12.
TEST(LeakyBucket, LetsTenThroughThenOneASecond) {
  auto answered = [](int count, int interval) {
    LeakyBucket bucket;
    int passed = 0;
    for (int i = 0; i < count; ++i) passed += bucket.Limit(5000 + i * interval, 10, 1000) ? 0 : 1;
    return passed;
  };
  EXPECT_EQ(answered(40, 0), 10);
  EXPECT_EQ(answered(40, 30), 11);
  EXPECT_EQ(answered(12, 500), 12);
  EXPECT_EQ(answered(40, 1000), 40);
  // A bucket left alone empties again.
  LeakyBucket bucket;
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(bucket.Limit(0, 10, 1000));
  EXPECT_TRUE(bucket.Limit(999, 10, 1000));
  EXPECT_FALSE(bucket.Limit(11000, 10, 1000));
}

TEST(RateLimiter, CountsAddressesApart) {
  RateLimiter limiter;
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(limiter.LimitAddress("127.0.0.1", 0));
  EXPECT_TRUE(limiter.LimitAddress("127.0.0.1", 0));
  EXPECT_FALSE(limiter.LimitAddress("127.0.0.2", 0));
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(limiter.LimitStatusQueries(0));
  EXPECT_TRUE(limiter.LimitStatusQueries(50));
  EXPECT_FALSE(limiter.LimitStatusQueries(100));
}

TEST(ParsePlayers, ReadsEveryKindAndNamesBadLines) {
  const auto players = ParsePlayers(
      "# score ping address model name\n"
      "\n"
      "12 50 203.0.113.7:27960 sarge/blue ^1Name With  Spaces\r\n"
      "0 0 bot grunt Sarge\n"
      "-3 CNCT 127.0.0.1:27961 visor Joining\n"
      "1 ZMBI loopback sarge Gone\n");
  ASSERT_EQ(players.size(), 4u);
  EXPECT_EQ(players[0].name, "^1Name With  Spaces");
  EXPECT_EQ(players[0].score, 12);
  EXPECT_EQ(players[0].ping, 50);
  EXPECT_EQ(players[0].address, "203.0.113.7:27960");
  EXPECT_EQ(players[0].model, "sarge/blue");
  EXPECT_EQ(players[1].rate, 16384);
  EXPECT_EQ(players[2].state, PlayerState::Connecting);
  EXPECT_EQ(players[2].score, -3);
  EXPECT_EQ(players[3].state, PlayerState::Zombie);
  try {
    ParsePlayers("1 2 bot sarge Fine\nx 2 bot sarge Broken\n");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ParsePlayers("1 2 bot sarge\n"), std::runtime_error);
  EXPECT_THROW(ParsePlayers("1 fast bot sarge Name\n"), std::runtime_error);
}

TEST(SamplePlayers, BotNamesStayUniqueBeyondTheStockList) {
  const auto bots = BotPlayers(40);
  std::set<std::string> names;
  for (const auto& bot : bots) names.insert(bot.name);
  EXPECT_EQ(names.size(), 40u);
  EXPECT_EQ(bots[10].name, "Beret");
}

}  // namespace
}  // namespace test::gameserver
