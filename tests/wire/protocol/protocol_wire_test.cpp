// The client side of the protocol against the scripted game server over loopback UDP, without
// a window: the UDP client sends the datagrams, the reply assembler joins chunked output, the
// classifier and the parsers turn each reply into rows. Every status-table layout, with
// players of every kind and enough of them for the table to take several datagrams.
#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "common/text.h"
#include "net/udpclient.h"
#include "protocol/assembler.h"
#include "protocol/classify.h"
#include "protocol/packets.h"
#include "protocol/parsers.h"
#include "support/engine_rows.h"
#include "support/gameserver/game_server.h"

namespace {

using namespace std::chrono_literals;
using protocol::PlayerRow;
using protocol::ReplyDecision;
using protocol::ReplyParser;

constexpr int kPlayers = 40;

struct Layout {
  const char* name;
  test::Game game;
  test::StatusLayout layout;
  const protocol::GameTraits* traits;
  std::size_t minTableDatagrams;  // how many datagrams the table of kPlayers players takes
  // Names no longer than 16 characters: Yamagi's server never answers the status otherwise.
  bool shortNames = false;
};

const Layout kLayouts[] = {
    {"Quake 3, today's table", test::Game::Quake3, test::StatusLayout::Ioquake3, &protocol::kQuake3, 3},
    {"Quake 3, original table", test::Game::Quake3, test::StatusLayout::Original, &protocol::kQuake3, 3},
    {"Quake3e", test::Game::Quake3, test::StatusLayout::Quake3e, &protocol::kQuake3, 3},
    {"Quake 2", test::Game::Quake2, test::StatusLayout::Ioquake3, &protocol::kQuake2, 2},
    {"Yamagi Quake 2", test::Game::Quake2, test::StatusLayout::Yamagi, &protocol::kQuake2, 2, true},
    {"Q2PRO", test::Game::Quake2, test::StatusLayout::Q2pro, &protocol::kQuake2, 2},
};

// A server of the layout's game with players of every kind and the password "secret".
test::GameServerConfig ConfigFor(const Layout& l) {
  test::GameServerConfig config;
  config.game = l.game;
  config.layout = l.layout;
  config.password = "secret";
  config.players = test::PlayersOfEveryKind(kPlayers, l.shortNames ? 16 : 0);
  return config;
}

// A UDP client pointed at the server, with the assembler between its datagrams and the test.
class Client {
 public:
  Client(const protocol::GameTraits& traits, std::uint16_t port) : assembler_(traits) {
    client_.Host = "127.0.0.1";
    client_.Port = std::to_string(port);
    client_.OnData = [this](TUDPClient& sender, int) {
      for (std::string& reply : assembler_.Feed(sender.ReceiveText(), protocol::Clock::now()))
        replies_.push_back(std::move(reply));
    };
    client_.Open();
  }

  void Send(const std::string& datagram) {
    assembler_.NoteSent(protocol::Clock::now());
    client_.SendText(datagram);
  }

  // The whole replies that arrive until `count` are in and nothing is held back.
  std::vector<std::string> Replies(std::size_t count) {
    const bool whole = QTest::qWaitFor(
        [&] {
          for (std::string& reply : assembler_.Poll(protocol::Clock::now())) replies_.push_back(std::move(reply));
          return replies_.size() >= count && !assembler_.Holding();
        },
        5000);
    EXPECT_TRUE(whole) << replies_.size() << " of " << count << " replies";
    QTest::qWait(20);
    return std::exchange(replies_, {});
  }

 private:
  TUDPClient client_;
  protocol::ReplyAssembler assembler_;
  std::vector<std::string> replies_;
};

TEST(ProtocolWire, EveryLayoutGivesEveryPlayerAndEveryRuleWhole) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.name);
    const protocol::GameTraits& traits = *l.traits;
    test::GameServer server(ConfigFor(l));
    server.Start();
    Client client(traits, server.Port());

    // Query: its exact bytes, and the names of the players it lists.
    TMonitorState state = msPolling;
    std::vector<PlayerRow> rows;
    client.Send(protocol::QueryDatagram(traits.queryText));
    std::vector<std::string> replies = client.Replies(1);
    ASSERT_EQ(replies.size(), 1u);
    ReplyDecision d = protocol::ClassifyReply(traits, state, replies[0]);
    ASSERT_EQ(d.parser, ReplyParser::StatusResponse);
    protocol::ParseStatusResponse(traits, replies[0], rows);
    EXPECT_GE(rows.size(), static_cast<std::size_t>(kPlayers - 1));  // zombies may be left out
    ASSERT_TRUE(server.WaitForDatagrams(1, 1s));
    EXPECT_EQ(server.Received()[0].bytes,
              l.game == test::Game::Quake3 ? "\xFF\xFF\xFF\xFF  getstatus" : "\xFF\xFF\xFF\xFF  status");

    // The status table comes in several datagrams and is parsed as one reply.
    server.ClearRecords();
    client.Send(protocol::RconDatagram("secret", d.send));
    replies = client.Replies(1);
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_TRUE(server.WaitForDatagrams(1, 1s));
    EXPECT_EQ(server.Received()[0].bytes, "\xFF\xFF\xFF\xFFrcon secret  status");
    EXPECT_GE(server.Sent().size(), l.minTableDatagrams);
    d = protocol::ClassifyReply(traits, state, replies[0]);
    ASSERT_EQ(d.parser, ReplyParser::StatusTable);
    EXPECT_EQ(d.send, " serverinfo");
    protocol::ParseStatusTable(traits, replies[0], rows);
    std::vector<PlayerRow> expected;
    for (const test::Player& p : server.Players())
      expected.push_back(test::ExpectedRow(p, l.layout, traits.hasRateColumn));
    std::sort(rows.begin(), rows.end(), [](const PlayerRow& a, const PlayerRow& b) {
      return std::stoi(a.num) < std::stoi(b.num);
    });
    for (PlayerRow& row : rows) row.colouredName.clear();  // the parsers' unit tests see to the colours
    EXPECT_EQ(rows, expected);

    // Server info: every rule, and the map reported to the caller.
    client.Send(protocol::RconDatagram("secret", d.send));
    replies = client.Replies(1);
    ASSERT_EQ(replies.size(), 1u);
    d = protocol::ClassifyReply(traits, state, replies[0]);
    ASSERT_EQ(d.parser, ReplyParser::ServerInfo);
    std::vector<protocol::RuleRow> rules;
    std::string map;
    protocol::ParseServerInfo(traits, replies[0], rules, {{}, [&](const std::string& v) { map = v; }});
    EXPECT_EQ(map, server.Map());
    EXPECT_GE(rules.size(), 5u);

    // One player's settings: the name cleaned, the picture key reported.
    state = msAwaitingUserInfo;
    client.Send(protocol::RconDatagram("secret", protocol::DumpUserCommand("5")));
    replies = client.Replies(1);
    ASSERT_EQ(replies.size(), 1u);
    d = protocol::ClassifyReply(traits, state, replies[0]);
    ASSERT_EQ(d.parser, ReplyParser::UserInfo);
    EXPECT_EQ(d.state, msPolling);
    std::vector<protocol::UserInfoRow> info;
    std::string picture;
    protocol::ParseUserInfo(traits, replies[0], info, [&](const std::string& v) { picture = v; });
    EXPECT_NE(std::find_if(info.begin(), info.end(),
                           [](const protocol::UserInfoRow& row) { return row.key == "name" && row.value == "BlueMan"; }),
              info.end());
    EXPECT_EQ(picture, "sarge/blue");
  }
}

TEST(ProtocolWire, AnAnswerRightBehindAChunkedTableStaysAReplyOfItsOwn) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.name);
    test::GameServer server(ConfigFor(l));
    server.Start();
    Client client(*l.traits, server.Port());

    // The kick is sent before the table has arrived; the server answers the two in order.
    client.Send(protocol::RconDatagram("secret", protocol::kStatusCommand));
    client.Send(protocol::RconDatagram("secret", protocol::KickCommand("42")));
    const std::vector<std::string> replies = client.Replies(2);
    ASSERT_EQ(replies.size(), 2u);
    std::vector<PlayerRow> rows;
    protocol::ParseStatusTable(*l.traits, replies[0], rows);
    EXPECT_EQ(rows.size(), server.Players().size());
    EXPECT_EQ(replies[1], std::string(protocol::kPrintHeader) +
                              (l.game == test::Game::Quake3 ? "Player 42 is not on the server\n" : "Bad client slot: 42\n"));
  }
}

}  // namespace
