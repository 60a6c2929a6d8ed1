// The board's polling and alerts against a scripted network and clock.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "board/session.h"
#include "net/wsaerrors.h"
#include "platform/convert.h"
#include "protocol/packets.h"

namespace {

using namespace std::chrono_literals;
using board::Alert;
using board::AlertKind;
using board::BoardServer;
using board::BoardSession;
using board::Lamp;
using board::TimePoint;

// The network and clock: sends are recorded (and leave at once unless held), the timer fires
// when the test moves the clock past it.
class FakeNet : public board::BoardTransport {
 public:
  struct Sent {
    net::Endpoint to;
    std::string datagram;
    bool paced;
    std::function<void()> onSent;
  };

  void Resolve(const std::string& host, const std::string& port, Resolved done) override {
    ++lookups;
    const auto found = hosts.find(host);
    int number = 0;
    if (found == hosts.end() || !platform::TryStrToInt(port, number)) {
      done(std::nullopt, "cannot find " + host);
      return;
    }
    const net::Endpoint server = net::Endpoint::IPv4(found->second, static_cast<std::uint16_t>(number));
    if (slowLookups)
      waitingLookups.push_back([done, server] { done(server, ""); });
    else
      done(server, "");
  }
  void Send(const net::Endpoint& to, const std::string& datagram, bool paced, std::function<void()> onSent) override {
    sent.push_back({to, datagram, paced, std::move(onSent)});
    if (!holdSends) std::exchange(sent.back().onSent, nullptr)();
  }
  TimePoint Now() override { return now; }
  void ArmTimer(TimePoint when) override { timer = when; }

  // Lets held datagrams leave, in order.
  void Release() {
    for (Sent& s : sent)
      if (s.onSent) std::exchange(s.onSent, nullptr)();
  }
  std::vector<net::Endpoint> SentTo() const {
    std::vector<net::Endpoint> to;
    for (const Sent& s : sent) to.push_back(s.to);
    return to;
  }

  TimePoint now = TimePoint{} + 1000h;
  std::optional<TimePoint> timer;
  std::vector<Sent> sent;
  bool holdSends = false;
  int lookups = 0;
  // Look-ups answer only when the test runs what waits here.
  bool slowLookups = false;
  std::vector<std::function<void()>> waitingLookups;
  std::map<std::string, std::uint32_t> hosts{{"127.0.0.1", 0x7F000001}, {"10.0.0.2", 0x0A000002}};
};

class Listener : public board::BoardListener {
 public:
  void RowsReset() override { ++resets; }
  void RowChanged(std::size_t row) override { changed.push_back(row); }
  void ShowAlert(const Alert& alert) override { alerts.push_back(alert); }
  std::vector<std::string> Events() {
    std::vector<std::string> events;
    for (const Alert& alert : alerts) events.push_back(alert.server + ": " + alert.event);
    alerts.clear();
    return events;
  }
  int resets = 0;
  std::vector<std::size_t> changed;
  std::vector<Alert> alerts;
};

const net::Endpoint kQ3 = net::Endpoint::IPv4(0x7F000001, 27960);
const net::Endpoint kQ2 = net::Endpoint::IPv4(0x7F000001, 27910);
const net::Endpoint kOther = net::Endpoint::IPv4(0x0A000002, 27960);

BoardServer Q3(std::string host = "127.0.0.1", std::string port = "27960", std::string description = "Arena") {
  return {std::move(host), std::move(port), std::move(description), 0, "Quake 3 Arena", &protocol::kQuake3};
}
BoardServer Q2() { return {"127.0.0.1", "27910", "Strogg", 2, "Quake 2", &protocol::kQuake2}; }
BoardServer Qw() { return {"127.0.0.1", "27500", "World", 1, "Quake World", nullptr}; }

struct P {
  std::string name;
  int ping;
};

std::string Q3Reply(const std::string& map, const std::vector<P>& players = {}, const std::string& extra = "") {
  std::string reply = "\xFF\xFF\xFF\xFFstatusResponse\n\\sv_hostname\\^1Red ^7Arena\\mapname\\" + map +
                      "\\sv_maxclients\\16\\g_gametype\\4" + extra + "\n";
  for (const P& p : players) reply += "0 " + std::to_string(p.ping) + " \"" + p.name + "\"\n";
  return reply;
}

std::string Q2Reply(const std::string& map, const std::vector<P>& players = {}) {
  std::string reply = "\xFF\xFF\xFF\xFFprint\n\\mapname\\" + map + "\\hostname\\Box\\maxclients\\8\\deathmatch\\1\n";
  for (const P& p : players) reply += "5 " + std::to_string(p.ping) + " \"" + p.name + "\"\n";
  return reply;
}

class BoardSessionTest : public ::testing::Test {
 protected:
  // Moves the clock on by `step`, firing the timer each time it is due on the way.
  void Advance(std::chrono::milliseconds step) {
    const TimePoint until = net.now + step;
    while (net.timer && *net.timer <= until) {
      net.now = std::max(net.now, *net.timer);
      net.timer.reset();
      session.TimerFired();
    }
    net.now = until;
  }
  // The servers set, the first round of queries out and answered with these replies.
  void Start(const std::vector<BoardServer>& servers, const std::vector<std::pair<net::Endpoint, std::string>>& replies) {
    session.SetServers(servers);
    Advance(1s);
    for (const auto& [from, reply] : replies) session.DatagramArrived(from, reply);
  }
  // The next round of queries goes out; a moment later these replies answer it (the other
  // servers stay silent) and `meanwhile` runs; then the answer wait passes.
  void NextRound(const std::vector<std::pair<net::Endpoint, std::string>>& replies,
                 const std::function<void()>& meanwhile = {}) {
    const std::size_t before = net.sent.size();
    for (int i = 0; i < 3500 && net.sent.size() == before; ++i) Advance(100ms);
    Advance(100ms);
    for (const auto& [from, reply] : replies) session.DatagramArrived(from, reply);
    if (meanwhile) meanwhile();
    Advance(BoardSession::kAnswerWait);
  }
  const board::ServerRow& Row(std::size_t i) { return session.Rows().at(i); }

  FakeNet net;
  Listener listener;
  BoardSession session{net, listener};
};

TEST_F(BoardSessionTest, AsksEachServerOncePerIntervalAndNeverPilesQueriesUp) {
  session.SetServers({Q3(), Qw(), Q2()});
  EXPECT_EQ(listener.resets, 1);
  EXPECT_EQ(Row(1).lamp, Lamp::NotPolled);
  Advance(0ms);
  ASSERT_EQ(net.sent.size(), 1u);  // the second polled server follows a moment later
  Advance(BoardSession::kSpacing);
  ASSERT_EQ(net.sent.size(), 2u);
  EXPECT_EQ(net.sent[0].to, kQ3);
  EXPECT_EQ(net.sent[0].datagram, protocol::QueryDatagram(" getstatus"));
  EXPECT_TRUE(net.sent[0].paced);
  EXPECT_EQ(net.sent[1].to, kQ2);
  EXPECT_EQ(net.sent[1].datagram, protocol::QueryDatagram(" status"));
  EXPECT_FALSE(net.sent[1].paced);  // Quake 2 servers have no rate limit

  session.DatagramArrived(kQ3, Q3Reply("q3dm17"));
  session.DatagramArrived(kQ2, Q2Reply("q2dm1"));
  Advance(29s);
  EXPECT_EQ(net.sent.size(), 2u);
  Advance(1s);
  EXPECT_EQ(net.SentTo(), (std::vector<net::Endpoint>{kQ3, kQ2, kQ3, kQ2}));

  // A query held back by the pacer is not followed by another however long it waits, nor is
  // it counted as missed.
  net.holdSends = true;
  session.DatagramArrived(kQ3, Q3Reply("q3dm17"));
  session.DatagramArrived(kQ2, Q2Reply("q2dm1"));
  Advance(30s);
  EXPECT_EQ(net.sent.size(), 6u);
  Advance(95s);
  EXPECT_EQ(net.sent.size(), 6u);
  EXPECT_EQ(Row(0).lamp, Lamp::Answering);
  net.Release();
  Advance(2s);
  session.DatagramArrived(kQ3, Q3Reply("q3dm17"));
  EXPECT_EQ(Row(0).roundTripMs, 2000) << "counted from the moment it left";
  EXPECT_TRUE(listener.alerts.empty());
}

TEST_F(BoardSessionTest, AnAnswerFillsTheRow) {
  session.SetServers({Q3(), Q2()});
  Advance(5ms);
  session.DatagramArrived(kQ3, Q3Reply("q3dm17", {{"^1Sarge", 0}, {"Player", 48}, {"Grism", 0}}));
  Advance(40ms);
  session.DatagramArrived(kQ2, Q2Reply("q2dm1", {{"Grunt", 0}, {"Visor", 99}}));

  const board::ServerRow& q3 = Row(0);
  EXPECT_EQ(q3.lamp, Lamp::Answering);
  EXPECT_EQ(q3.name, "^1Red ^7Arena");
  EXPECT_EQ(q3.map, "q3dm17");
  EXPECT_EQ(q3.gameType, "Capture the Flag");
  EXPECT_EQ(std::make_tuple(q3.humans, q3.bots, q3.maxPlayers), std::make_tuple(1, 2, 16));
  EXPECT_EQ(q3.roundTripMs, 5);
  EXPECT_EQ(q3.lastAnswer, net.now - 40ms);
  EXPECT_EQ(q3.Address(), "127.0.0.1:27960");

  const board::ServerRow& q2 = Row(1);
  EXPECT_EQ(q2.name, "Box");
  EXPECT_EQ(q2.gameType, "Deathmatch");
  // Quake 2 servers have no bots of their own: ping 0 is a person there.
  EXPECT_EQ(std::make_tuple(q2.humans, q2.bots, q2.maxPlayers), std::make_tuple(2, 0, 8));
  EXPECT_EQ(q2.roundTripMs, 25);
  EXPECT_EQ(listener.changed, (std::vector<std::size_t>{0, 1}));

  // A server whose answer leaves out the slots shows them as unknown.
  Advance(30s);
  session.DatagramArrived(kQ3, "\xFF\xFF\xFF\xFFstatusResponse\n\\mapname\\q3dm17\n");
  EXPECT_EQ(std::make_tuple(Row(0).humans, Row(0).bots, Row(0).maxPlayers), std::make_tuple(0, 0, -1));
}

TEST_F(BoardSessionTest, StopsAnsweringAfterThreeMissedPollsAndAnswersAgain) {
  Start({Q3(), Q3("10.0.0.2", "27960", "")}, {{kQ3, Q3Reply("q3dm17")}});  // the second never answers
  struct Step {
    bool answers;
    Lamp lamp;
    std::string lampText;
    std::vector<std::string> events;
  };
  const std::vector<Step> steps = {
      {false, Lamp::NotAnswering, "No answer to the last query", {}},
      {false, Lamp::NotAnswering, "No answer to the last 2 queries", {}},
      {false, Lamp::NotAnswering, "No answer to the last 3 queries", {"Arena: stopped answering"}},
      {false, Lamp::NotAnswering, "No answer to the last 4 queries", {}},  // told once
      {true, Lamp::Answering, "Answering", {"Arena: answers again"}},
      {false, Lamp::NotAnswering, "No answer to the last query", {}},
      {true, Lamp::Answering, "Answering", {}},  // one miss is no outage
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE("round " + std::to_string(i + 2));
    if (step.answers)
      NextRound({{kQ3, Q3Reply("q3dm17")}});
    else
      NextRound({});
    EXPECT_EQ(Row(0).lamp, step.lamp);
    EXPECT_EQ(Row(0).lampText, step.lampText);
    EXPECT_EQ(listener.Events(), step.events);
  }
  // A server that has never answered cannot stop answering.
  EXPECT_EQ(Row(1).lamp, Lamp::NotAnswering);
  EXPECT_EQ(Row(1).lampText, "No answer to the last 8 queries");
}

TEST_F(BoardSessionTest, WatchedPlayersJoiningAndLeavingAndMapChanges) {
  session.SetWatchList(board::WatchList({"sarge", "*bot*"}));
  Start({Q3()}, {{kQ3, Q3Reply("q3dm6", {{"^1Sarge", 0}, {"Grism", 0}})}});
  EXPECT_TRUE(listener.alerts.empty()) << "the first answer only tells who is there";
  EXPECT_EQ(Row(0).watched, std::vector<std::string>{"Sarge"});

  struct Round {
    std::string map;
    std::vector<P> players;
    std::vector<std::string> events;
  };
  const std::vector<Round> rounds = {
      {"q3dm6", {{"Sarge", 0}, {"Grism", 0}}, {}},  // colour codes changed: the same player
      {"q3dm6", {{"Sarge", 0}, {"Grism", 0}, {"RoBoT", 0}, {"Xaero", 0}}, {"Arena: RoBoT joined"}},
      {"q3dm17", {{"Sarge", 0}, {"RoBoT", 0}, {"Sarge", 30}},
       {"Arena: map changed from q3dm6 to q3dm17", "Arena: Sarge joined"}},  // a second Sarge
      {"q3dm17", {{"Sarge", 30}}, {"Arena: RoBoT left", "Arena: Sarge left"}},
      {"q3dm17", {}, {"Arena: Sarge left"}},
  };
  for (const Round& round : rounds) {
    NextRound({{kQ3, Q3Reply(round.map, round.players)}});
    EXPECT_EQ(listener.Events(), round.events) << round.map << " with " << round.players.size() << " players";
  }

  // A new watch list takes the players now there as known.
  NextRound({{kQ3, Q3Reply("q3dm17", {{"Grism", 0}})}});
  session.SetWatchList(board::WatchList({"gr*"}));
  EXPECT_EQ(Row(0).watched, std::vector<std::string>{"Grism"});
  NextRound({{kQ3, Q3Reply("q3dm17", {{"Grism", 0}, {"Sarge", 0}})}});
  EXPECT_TRUE(listener.Events().empty());
  NextRound({{kQ3, Q3Reply("q3dm17", {{"Sarge", 0}})}});
  EXPECT_EQ(listener.Events(), std::vector<std::string>{"Arena: Grism left"});
}

TEST_F(BoardSessionTest, KindsSwitchedOffAreNotToldButStillFollowed) {
  board::AlertKinds kinds;
  for (AlertKind kind : {AlertKind::PlayerJoined, AlertKind::ServerDown, AlertKind::MapChanged}) kinds.Set(kind, false);
  session.SetAlertKinds(kinds);
  session.SetWatchList(board::WatchList({"*"}));
  Start({Q3()}, {{kQ3, Q3Reply("a")}});
  NextRound({{kQ3, Q3Reply("b", {{"Sarge", 0}})}});
  for (int i = 0; i < 3; ++i) NextRound({});
  EXPECT_TRUE(listener.Events().empty());
  NextRound({{kQ3, Q3Reply("c")}});
  EXPECT_EQ(listener.Events(), (std::vector<std::string>{"Arena: answers again", "Arena: Sarge left"}));
  session.SetAlertKinds({});
  NextRound({{kQ3, Q3Reply("c")}});
  EXPECT_TRUE(listener.Events().empty()) << "nothing told afterwards for what happened meanwhile";
}

TEST_F(BoardSessionTest, AnAnswerCountsOnlyFromItsServersAddressAndInItsGamesForm) {
  // Two stored entries for one address: each query is answered in turn.
  session.SetServers({Q3("127.0.0.1", "27960", "First"), Q3("127.0.0.1", "27960", "Second"), Q2()});
  Advance(1s);
  struct Case {
    net::Endpoint from;
    std::string reply;
    std::vector<Lamp> lamps;
  };
  const std::vector<Case> cases = {
      {kOther, Q3Reply("x"), {Lamp::Waiting, Lamp::Waiting, Lamp::Waiting}},  // no query went there
      {net::Endpoint::IPv4(0x7F000001, 27961), Q3Reply("x"), {Lamp::Waiting, Lamp::Waiting, Lamp::Waiting}},
      {kQ3, "\xFF\xFF\xFF\xFFprint\nBad rconpassword.\n", {Lamp::Waiting, Lamp::Waiting, Lamp::Waiting}},
      {kQ3, Q2Reply("x"), {Lamp::Waiting, Lamp::Waiting, Lamp::Waiting}},  // a Quake 2 answer from a Quake 3 server
      {kQ3, Q3Reply("one"), {Lamp::Answering, Lamp::Waiting, Lamp::Waiting}},
      {kQ3, Q3Reply("two"), {Lamp::Answering, Lamp::Answering, Lamp::Waiting}},
      {kQ2, Q2Reply("q2dm1"), {Lamp::Answering, Lamp::Answering, Lamp::Answering}},
  };
  for (const Case& c : cases) {
    session.DatagramArrived(c.from, c.reply);
    EXPECT_EQ((std::vector<Lamp>{Row(0).lamp, Row(1).lamp, Row(2).lamp}), c.lamps) << c.reply;
  }
  EXPECT_EQ(Row(0).map, "one");
  EXPECT_EQ(Row(1).map, "two");

  // An answer that comes after its query was given up still shows the server answering.
  Advance(30s);
  Advance(BoardSession::kAnswerWait);
  EXPECT_EQ(Row(0).lamp, Lamp::NotAnswering);
  Advance(500ms);
  session.DatagramArrived(kQ3, Q3Reply("late"));
  EXPECT_EQ(Row(0).lamp, Lamp::Answering);
  EXPECT_EQ(Row(0).map, "late");
  EXPECT_EQ(Row(0).roundTripMs, 4500);  // from the query given up: it left at the poll, 30 s in
}

TEST_F(BoardSessionTest, RefusalsAndHostsThatCannotBeFound) {
  net.hosts.erase("10.0.0.2");
  Start({Q3(), Q3("10.0.0.2", "27960", "Lost"), Q3("127.0.0.1", "port", "Typo")}, {{kQ3, Q3Reply("a")}});
  EXPECT_EQ(Row(1).lamp, Lamp::Refused);
  EXPECT_EQ(Row(1).lampText, "cannot find 10.0.0.2");
  EXPECT_EQ(Row(2).lamp, Lamp::Refused);
  const int lookups = net.lookups;
  NextRound({{kQ3, Q3Reply("a")}});
  EXPECT_EQ(net.lookups, lookups) << "a failed look-up is not repeated at every poll";
  EXPECT_EQ(Row(1).lamp, Lamp::Refused);
  NextRound({{kQ3, Q3Reply("a")}});  // a minute after the first look-up
  EXPECT_EQ(net.lookups, lookups + 2);

  // The network refuses the query: a missed poll with its reason; three make an outage.
  for (int round = 0; round < 3; ++round) {
    NextRound({}, [&] { session.Refused(kQ3, net::WSAECONNREFUSED); });
    EXPECT_EQ(Row(0).lamp, Lamp::Refused);
  }
  EXPECT_EQ(Row(0).lampText, "Refused: no server listens on this port");
  EXPECT_EQ(listener.Events(), std::vector<std::string>{"Arena: stopped answering"});
  session.Refused(kOther, net::WSAEHOSTUNREACH);  // no query on its way there: nothing
  EXPECT_EQ(board::RefusalText(net::WSAEHOSTUNREACH), "Refused: the host cannot be reached");
  EXPECT_EQ(board::RefusalText(net::WSAENETUNREACH), "Refused: the network cannot be reached");
}

TEST_F(BoardSessionTest, ANewServerListKeepsWhatIsKnownOfTheServersStillInIt) {
  session.SetWatchList(board::WatchList({"sarge"}));
  net.holdSends = true;
  session.SetServers({Q3(), Q2()});
  Advance(1s);
  net.holdSends = false;
  std::exchange(net.sent[0].onSent, nullptr)();
  session.DatagramArrived(kQ3, Q3Reply("q3dm17", {{"Sarge", 0}}));

  // Edited description, the Quake 2 server deleted (its query still waits), one added.
  session.SetServers({Q3("10.0.0.2", "27960", "New"), Q3("127.0.0.1", "27960", "Renamed")});
  EXPECT_EQ(listener.resets, 2);
  EXPECT_EQ(Row(1).lamp, Lamp::Answering);
  EXPECT_EQ(Row(1).watched, std::vector<std::string>{"Sarge"});
  EXPECT_EQ(Row(1).Label(), "Renamed");
  EXPECT_EQ(Row(0).lamp, Lamp::Waiting);
  net.Release();  // the deleted server's query leaves: nothing to update
  Advance(0ms);
  EXPECT_EQ(net.sent.back().to, kOther);  // the new server is asked at once

  // The known server goes on as before: a player leaving is told under its new name.
  NextRound({{kQ3, Q3Reply("q3dm17")}});
  EXPECT_EQ(listener.Events(), std::vector<std::string>{"Renamed: Sarge left"});
  // The same address as another game is another server.
  session.SetServers({{"127.0.0.1", "27960", "Renamed", 2, "Quake 2", &protocol::kQuake2}});
  EXPECT_EQ(Row(0).lamp, Lamp::Waiting);
}

TEST_F(BoardSessionTest, TheIntervalIsKeptInRangeAndAShorterOneTakesEffectAtOnce) {
  Start({Q3()}, {{kQ3, Q3Reply("a")}});
  const std::vector<std::pair<int, int>> intervals = {{30, 30}, {1, 5}, {0, 5}, {301, 300}, {-7, 5}, {120, 120}};
  for (const auto& [asked, kept] : intervals) {
    session.SetInterval(asked);
    EXPECT_EQ(session.IntervalSeconds(), kept) << asked;
  }
  const std::size_t sent = net.sent.size();
  session.SetInterval(300);
  session.SetInterval(10);  // the poll due in 5 s (set by the interval of 5 above) stays due then
  Advance(5s);
  EXPECT_EQ(net.sent.size(), sent + 1);
  session.PollAll();
  Advance(0ms);
  EXPECT_EQ(net.sent.size(), sent + 1) << "the query still waits for its answer";
  session.DatagramArrived(kQ3, Q3Reply("a"));
  session.PollAll();
  Advance(0ms);
  EXPECT_EQ(net.sent.size(), sent + 2);
}

TEST(AgeText, InTheLargestUnitsThatFit) {
  const std::vector<std::pair<long long, std::string>> cases = {
      {-5, "0 s"}, {0, "0 s"}, {59, "59 s"}, {60, "1 min"}, {3599, "59 min"},
      {3600, "1 h 0 min"}, {7500, "2 h 5 min"}, {86399, "23 h 59 min"}, {86400, "1 d"}, {10 * 86400, "10 d"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(board::AgeText(std::chrono::seconds(seconds)), text) << seconds;
}

// A host name looked up in the background: no query until the answer, one look-up however many
// polls pass meanwhile, and an answer that comes after the board has gone is dropped.
TEST_F(BoardSessionTest, AQueryWaitsForItsLookUpAndALateAnswerIsHarmless) {
  net.slowLookups = true;
  session.SetServers({Q3()});
  Advance(1s);
  Advance(40s);
  EXPECT_TRUE(net.sent.empty());
  ASSERT_EQ(net.waitingLookups.size(), 1u);
  std::exchange(net.waitingLookups, {}).front()();
  EXPECT_EQ(net.SentTo(), std::vector<net::Endpoint>{kQ3});

  auto other = std::make_unique<BoardSession>(net, listener);
  other->SetServers({Q3("10.0.0.2", "27960", "Gone")});
  other->PollAll();
  net.now += 1s;
  other->TimerFired();
  ASSERT_EQ(net.waitingLookups.size(), 1u);
  other.reset();
  std::exchange(net.waitingLookups, {}).front()();
  EXPECT_EQ(net.SentTo(), std::vector<net::Endpoint>{kQ3});
}

}  // namespace
