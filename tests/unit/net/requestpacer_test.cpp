#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

#include "net/requestpacer.h"
#include "net/udpclient.h"
#include "unit/net/udp_peer.h"

namespace {

using nettest::Arrival;
using nettest::Peer;

constexpr int kBurst = 3;
constexpr int kPeriodMs = 100;

class RequestPacerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pacer().Reset();
    Pacer().Configure(kBurst, kPeriodMs);
  }
  void TearDown() override {
    Pacer().Reset();
    Pacer().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  }
  static net::RequestPacer& Pacer() { return net::RequestPacer::Instance(); }

  static void OpenPaced(TUDPClient& client, const Peer& peer, bool paced = true) {
    client.Host = "127.0.0.1";
    client.Port = peer.PortText();
    client.Paced = paced;
    client.Open();
    ASSERT_EQ(client.State, ssOpen);
  }
  static net::Endpoint Address(const Peer& peer) {
    return net::Endpoint::IPv4(INADDR_LOOPBACK, static_cast<std::uint16_t>(peer.Port()));
  }
};

// Replays the arrivals through the server's leaky bucket (with a leak period a tenth
// shorter, for timing jitter): none may find the bucket full.
void ExpectAcceptedByBucket(const std::vector<Arrival>& arrivals, int burst, double periodMs) {
  int level = 0;
  double lastLeak = 0;
  for (size_t i = 0; i < arrivals.size(); ++i) {
    const double now = arrivals[i].ms;
    if (level > 0) {
      // The kernel's arrival stamps come from the wall clock, which a virtual machine may set
      // back by a hair: time that seems to run backwards leaks nothing.
      const int expired = std::max(0, static_cast<int>(std::floor((now - lastLeak) / periodMs)));
      if (expired >= level) {
        level = 0;
      } else {
        level -= expired;
        lastLeak += expired * periodMs;
      }
    }
    if (level == 0) lastLeak = now;
    EXPECT_LT(level, burst) << "datagram " << i << " would be dropped";
    ++level;
  }
}

TEST_F(RequestPacerTest, SendsABurstThenOnePerPeriodInOrderAcrossClients) {
  Peer peer;
  TUDPClient a, b;
  OpenPaced(a, peer);
  OpenPaced(b, peer);
  std::vector<std::string> queued, sentOrder;
  for (int i = 0; i < 5; ++i) {
    for (TUDPClient* client : {&a, &b}) {
      const std::string text = (client == &a ? "a" : "b") + std::to_string(i);
      queued.push_back(text);
      client->SendText(text, [&sentOrder, text] { sentOrder.push_back(text); });
    }
  }
  // The burst went out inside SendText; the rest waits for its turn.
  EXPECT_EQ(sentOrder.size(), size_t{kBurst});
  EXPECT_EQ(Pacer().PendingCount(Address(peer)), 10 - kBurst);
  EXPECT_EQ(Pacer().PendingCount(a) + Pacer().PendingCount(b), 10 - kBurst);
  EXPECT_EQ(Pacer().InFlight(Address(peer)), kBurst);

  ASSERT_TRUE(peer.WaitFor(10));
  EXPECT_EQ(peer.Texts(), queued);
  EXPECT_EQ(sentOrder, queued);
  EXPECT_EQ(Pacer().PendingCount(Address(peer)), 0);

  const auto& got = peer.Received;
  EXPECT_LT(got[kBurst - 1].ms - got[0].ms, 50.0);
  const double span = got.back().ms - got[0].ms;
  EXPECT_GE(span, (10 - kBurst) * kPeriodMs * 0.9);
  EXPECT_LT(span, (10 - kBurst) * kPeriodMs + 200.0);  // the delays of the timer do not add up
  ExpectAcceptedByBucket(got, kBurst, kPeriodMs * 0.9);
}

TEST_F(RequestPacerTest, RequestsSentAheadGoBeforeTheWaitingOnesInTheirOwnOrder) {
  Peer peer;
  TUDPClient poller, dialog;
  OpenPaced(poller, peer);
  OpenPaced(dialog, peer);
  for (int i = 0; i < kBurst + 2; ++i) poller.SendText("p" + std::to_string(i));
  std::vector<std::string> sentOrder;
  dialog.SendTextAhead("d0", [&] { sentOrder.push_back("d0"); });
  poller.SendText("p5");
  dialog.SendTextAhead("d1", [&] { sentOrder.push_back("d1"); });
  EXPECT_EQ(Pacer().PendingCount(dialog), 2);
  ASSERT_TRUE(peer.WaitFor(kBurst + 5));
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"p0", "p1", "p2", "d0", "d1", "p3", "p4", "p5"}));
  EXPECT_EQ(sentOrder, (std::vector<std::string>{"d0", "d1"}));
  ExpectAcceptedByBucket(peer.Received, kBurst, kPeriodMs * 0.9);

  // With room in the bucket, or unpaced, it leaves at once like any other.
  QTest::qWait(kBurst * kPeriodMs + 50);
  bool sent = false;
  dialog.SendTextAhead("d2", [&] { sent = true; });
  EXPECT_TRUE(sent);
  TUDPClient unpaced;
  OpenPaced(unpaced, peer, false);
  sent = false;
  unpaced.SendTextAhead("u0", [&] { sent = true; });
  EXPECT_TRUE(sent);
}

TEST_F(RequestPacerTest, SeparateServersHaveSeparateQueues) {
  Peer busy, idle;
  TUDPClient x, y;
  OpenPaced(x, busy);
  OpenPaced(y, idle);
  for (int i = 0; i < 2 * kBurst; ++i) x.SendText("x" + std::to_string(i));
  EXPECT_EQ(Pacer().PendingCount(Address(busy)), kBurst);
  int sent = 0;
  for (int i = 0; i < kBurst; ++i) y.SendText("y" + std::to_string(i), [&] { ++sent; });
  EXPECT_EQ(sent, kBurst);
  EXPECT_EQ(Pacer().PendingCount(Address(idle)), 0);
  ASSERT_TRUE(idle.WaitFor(kBurst));
  ASSERT_TRUE(busy.WaitFor(2 * kBurst));
  EXPECT_LT(idle.Received.back().ms - busy.Received.front().ms, 50.0);
}

TEST_F(RequestPacerTest, ClosingOrDestroyingAClientDropsOnlyItsOwnQueue) {
  Peer peer;
  TUDPClient keeper, closer;
  auto destroyed = std::make_unique<TUDPClient>();
  OpenPaced(keeper, peer);
  OpenPaced(closer, peer);
  OpenPaced(*destroyed, peer);
  for (int i = 0; i < kBurst; ++i) keeper.SendText("k" + std::to_string(i));
  int droppedCallbacks = 0;
  closer.SendText("c0", [&] { ++droppedCallbacks; });
  keeper.SendText("k3");
  destroyed->SendText("d0", [&] { ++droppedCallbacks; });
  keeper.SendText("k4");
  EXPECT_EQ(Pacer().PendingCount(Address(peer)), 4);

  closer.Close();
  destroyed.reset();
  EXPECT_EQ(Pacer().PendingCount(Address(peer)), 2);
  EXPECT_EQ(Pacer().PendingCount(closer), 0);
  ASSERT_TRUE(peer.WaitFor(5));
  QTest::qWait(2 * kPeriodMs);
  peer.Collect();
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"k0", "k1", "k2", "k3", "k4"}));
  EXPECT_EQ(droppedCallbacks, 0);
}

TEST_F(RequestPacerTest, UnpacedAndUnopenedClientsSendAtOnce) {
  Peer peer;
  TUDPClient paced, unpaced;
  OpenPaced(paced, peer);
  OpenPaced(unpaced, peer, false);
  unpaced.SendText("u0");
  EXPECT_EQ(Pacer().InFlight(Address(peer)), 1);  // the server counts it, so the pacer does
  for (int i = 0; i < kBurst; ++i) paced.SendText("p" + std::to_string(i));
  EXPECT_EQ(Pacer().PendingCount(Address(peer)), 1);
  bool sent = false;
  unpaced.SendText("u1", [&] { sent = true; });  // past the queue
  EXPECT_TRUE(sent);
  // A full bucket stays full: the server does not count what it drops.
  EXPECT_EQ(Pacer().InFlight(Address(peer)), kBurst);
  ASSERT_TRUE(peer.WaitFor(kBurst + 2));
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"u0", "p0", "p1", "u1", "p2"}));

  TUDPClient unopened;
  unopened.Paced = true;
  int error = 0;
  unopened.OnError = [&](TCustomWSocket&, int code, const std::string&) { error = code; };
  sent = false;
  unopened.SendText("x", [&] { sent = true; });
  EXPECT_EQ(error, 10038);
  EXPECT_TRUE(sent);
}

TEST_F(RequestPacerTest, CallbacksMayQueueTheNextRequest) {
  Peer peer;
  TUDPClient client;
  OpenPaced(client, peer);
  int next = 0;
  std::function<void()> chain = [&] {
    if (++next < 2 * kBurst) client.SendText("r" + std::to_string(next), chain);
  };
  client.SendText("r0", chain);
  client.SendText("", [&] { EXPECT_GE(next, kBurst); });  // keeps its place, uses no room
  ASSERT_TRUE(peer.WaitFor(2 * kBurst));
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"r0", "r1", "r2", "r3", "r4", "r5"}));
  ExpectAcceptedByBucket(peer.Received, kBurst, kPeriodMs * 0.9);
}

}  // namespace
