// One socket for many servers: replies told apart by their source, refusals by the address the
// refused datagram went to, and the pacer's queues shared with the one-server clients.
#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "net/udpclient.h"
#include "net/udpmulticlient.h"
#include "net/wsaerrors.h"
#include "platform/errors.h"
#include "unit/net/udp_peer.h"

namespace {

using nettest::Peer;

net::Endpoint Address(const Peer& peer) { return net::Endpoint::IPv4(INADDR_LOOPBACK, static_cast<std::uint16_t>(peer.Port())); }

// The client's answer for a host and port, waited for; the error code beside it.
std::pair<std::optional<net::Endpoint>, int> Resolve(net::UdpMultiClient& client, const std::string& host,
                                                     const std::string& port) {
  bool done = false;
  std::pair<std::optional<net::Endpoint>, int> answer;
  client.Resolve(host, port, [&](std::optional<net::Endpoint> server, int error) {
    answer = {server, error};
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
  return answer;
}

struct Recorder {
  std::vector<std::pair<net::Endpoint, std::string>> datagrams;
  std::vector<std::pair<net::Endpoint, int>> refusals;

  void Attach(net::UdpMultiClient& client) {
    client.OnDatagram = [this](const net::Endpoint& from, const std::string& text) { datagrams.emplace_back(from, text); };
    client.OnRefused = [this](const net::Endpoint& to, int code) { refusals.emplace_back(to, code); };
  }
};

class UdpMultiClientTest : public ::testing::Test {
 protected:
  void SetUp() override { net::RequestPacer::Instance().Reset(); }
  void TearDown() override {
    net::RequestPacer::Instance().Reset();
    net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  }
};

TEST_F(UdpMultiClientTest, SendsToEachServerAndReportsEveryReplyWithItsSource) {
  Peer a;
  Peer b;
  net::UdpMultiClient client;
  Recorder recorder;
  recorder.Attach(client);
  client.Open();
  ASSERT_TRUE(client.IsOpen());

  const net::Endpoint toA = Resolve(client, "127.0.0.1", a.PortText()).first.value_or(net::Endpoint{});
  const net::Endpoint toB = Resolve(client, "localhost", b.PortText()).first.value_or(net::Endpoint{});
  EXPECT_EQ(toA, Address(a));
  EXPECT_EQ(toB, Address(b));

  int sent = 0;
  client.SendTo(toA, "to a", false, [&] { ++sent; });
  client.SendTo(toB, "to b", false, [&] { ++sent; });
  client.SendTo(toB, "", false, [&] { ++sent; });  // nothing goes out, onSent still runs
  EXPECT_EQ(sent, 3);
  ASSERT_TRUE(a.WaitFor(1));
  ASSERT_TRUE(b.WaitFor(1));
  EXPECT_EQ(a.Texts(), std::vector<std::string>{"to a"});
  EXPECT_EQ(b.Texts(), std::vector<std::string>{"to b"});

  b.SendTo(client.SocketHandle, "from b");
  a.SendTo(client.SocketHandle, std::string(40000, 'x'));  // far more than a reply buffer of old
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.datagrams.size() == 2; }, 3000));
  EXPECT_EQ(recorder.datagrams[0], std::make_pair(toB, std::string("from b")));
  EXPECT_EQ(recorder.datagrams[1].first, toA);
  EXPECT_EQ(recorder.datagrams[1].second.size(), 40000u);
  EXPECT_TRUE(recorder.refusals.empty());
}

TEST_F(UdpMultiClientTest, ARefusalIsToldForTheServerItCameFromAndSpoilsNoOtherSend) {
  net::Endpoint closed;
  {
    Peer gone;
    closed = Address(gone);
  }  // nothing listens on that port any more
  Peer live;
  net::UdpMultiClient client;
  Recorder recorder;
  recorder.Attach(client);
  client.Open();

  client.SendTo(closed, "anyone?", false);
  // The refusal comes back at once on the loopback; the next send, to another server, meets
  // it waiting on the socket before any event has been handled.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  client.SendTo(Address(live), "hello", false);
  ASSERT_TRUE(live.WaitFor(1));
  EXPECT_EQ(live.Texts(), std::vector<std::string>{"hello"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.refusals.empty(); }, 3000));
  ASSERT_EQ(recorder.refusals.size(), 1u);
  EXPECT_EQ(recorder.refusals[0], std::make_pair(closed, net::WSAECONNREFUSED));
  EXPECT_EQ(client.LastError, 0) << "a refusal is not a failure of the socket";

  // And a refusal found by the readiness notification alone.
  client.SendTo(closed, "still there?", false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.refusals.size() == 2; }, 3000));
  EXPECT_EQ(recorder.refusals[1].first, closed);
}

TEST_F(UdpMultiClientTest, PacedDatagramsShareTheServersQueueWithItsOtherClients) {
  net::RequestPacer& pacer = net::RequestPacer::Instance();
  pacer.Configure(2, 100);
  Peer peer;
  TUDPClient window;
  window.Host = "127.0.0.1";
  window.Port = peer.PortText();
  window.Paced = true;
  window.Open();
  net::UdpMultiClient board;
  board.Open();

  window.SendText("w1");
  window.SendText("w2");  // the bucket is full now
  std::vector<std::string> left;
  board.SendTo(Address(peer), "b1", true, [&] { left.push_back("b1"); });
  board.SendTo(Address(peer), "b2", true, [&] { left.push_back("b2"); });
  window.SendText("w3");
  EXPECT_TRUE(left.empty());
  EXPECT_EQ(pacer.PendingCount(Address(peer)), 3);
  EXPECT_EQ(pacer.PendingCount(board), 2);
  EXPECT_EQ(pacer.PendingCount(window), 1);

  ASSERT_TRUE(peer.WaitFor(5, 3000));
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"w1", "w2", "b1", "b2", "w3"}));  // in the order queued
  EXPECT_EQ(left, (std::vector<std::string>{"b1", "b2"}));

  // Closing forgets the board's own queued datagrams only.
  window.SendText("w4");
  window.SendText("w5");
  board.SendTo(Address(peer), "b3", true, [&] { left.push_back("b3"); });
  window.SendText("w6");
  board.Close();
  EXPECT_EQ(pacer.PendingCount(board), 0);
  ASSERT_TRUE(peer.WaitFor(8, 3000));
  EXPECT_EQ(peer.Texts().back(), "w6");
  EXPECT_EQ(left.size(), 2u);

  // Unpaced datagrams leave at once and are counted in the server's bucket, as the server counts them.
  pacer.Reset();
  board.Open();
  board.SendTo(Address(peer), "now", false);
  EXPECT_EQ(pacer.InFlight(Address(peer)), 1);
}

TEST_F(UdpMultiClientTest, AHandlerMayDestroyTheClient) {
  Peer peer;
  auto client = std::make_unique<net::UdpMultiClient>();
  int calls = 0;
  client->OnDatagram = [&](const net::Endpoint&, const std::string&) {
    ++calls;
    client.reset();
  };
  client->Open();
  client->SendTo(Address(peer), "x", false);
  ASSERT_TRUE(peer.WaitFor(1));
  const int socket = client->SocketHandle;
  for (int i = 0; i < 3; ++i) peer.SendTo(socket, "reply");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !client; }, 3000));
  QTest::qWait(50);
  EXPECT_EQ(calls, 1);
}

TEST_F(UdpMultiClientTest, AddressesThatCannotBeHad) {
  net::UdpMultiClient client;
  const auto unknown = Resolve(client, "no-such-host.invalid", "27960");
  EXPECT_FALSE(unknown.first);
  EXPECT_NE(unknown.second, 0);
  EXPECT_THROW(client.Resolve("127.0.0.1", "port", [](std::optional<net::Endpoint>, int) {}), platform::EConvertError);
  // Nothing is sent through a client that is not open, and nothing fails.
  int sent = 0;
  client.SendTo(net::Endpoint::IPv4(INADDR_LOOPBACK, 9), "x", false, [&] { ++sent; });
  EXPECT_EQ(sent, 0);
}

// The one socket reaches IPv6 servers beside IPv4 ones, and tells their replies apart.
TEST_F(UdpMultiClientTest, ServersOfBothFamiliesThroughOneSocket) {
  Peer v4;
  Peer v6(AF_INET6);
  if (!v6.Bound()) GTEST_SKIP() << "no ::1 on this machine";
  net::UdpMultiClient client;
  Recorder recorder;
  recorder.Attach(client);
  client.Open();
  const auto [to6, error] = Resolve(client, "::1", v6.PortText());
  ASSERT_TRUE(to6) << error;
  EXPECT_EQ(to6->family, net::Family::IPv6);
  client.SendTo(*to6, "six", false);
  client.SendTo(Address(v4), "four", false);
  ASSERT_TRUE(QTest::qWaitFor([&] { v4.Collect(); v6.Collect(); return !v4.Received.empty() && !v6.Received.empty(); }, 3000));
  v6.SendTo(client.SocketHandle, "from six");
  v4.SendTo(client.SocketHandle, "from four");
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.datagrams.size() == 2; }, 3000));
  for (const auto& [from, text] : recorder.datagrams)
    EXPECT_EQ(from, text == "from six" ? *to6 : Address(v4)) << text;
}

}  // namespace
