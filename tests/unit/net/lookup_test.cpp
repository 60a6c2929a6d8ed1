// Addresses of both families, and host names looked up without holding up the event loop.
#include <gtest/gtest.h>

#include <net/if.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

#include "net/address.h"
#include "net/requestpacer.h"
#include "net/resolver.h"
#include "net/udpclient.h"
#include "support/stand_in_resolver.h"
#include "unit/net/udp_peer.h"

namespace {

using net::Endpoint;
using net::Family;

Endpoint V6(const std::string& text, std::uint16_t port = 0) {
  std::optional<Endpoint> address = net::NumericHost(text);
  EXPECT_TRUE(address && address->family == Family::IPv6) << text;
  Endpoint endpoint = address.value_or(Endpoint{});
  endpoint.port = port;
  return endpoint;
}

TEST(NumericHost, AddressesOfBothFamiliesNeverGoToTheResolver) {
  struct Case {
    std::string host;
    std::optional<std::string> address;  // AddressText of the result; nothing: a host name
  };
  const Case cases[] = {
      {"127.0.0.1", "127.0.0.1"},
      {"203.0.113.7", "203.0.113.7"},
      {"127.1", "127.0.0.1"},       // read as inet_addr reads it
      {"0x7f.1", "127.0.0.1"},
      {"255.255.255.255", {}},      // inet_addr's "none": looked up as a name, as it always was
      {"::1", "::1"},
      {"[::1]", "::1"},
      {"2001:db8::5", "2001:db8::5"},
      {"2001:DB8:0:0:0:0:0:5", "2001:db8::5"},
      {"::ffff:192.0.2.1", "::ffff:192.0.2.1"},
      {"fe80::1%lo", "fe80::1%lo"},
      {"fe80::1%1", "fe80::1%lo"},        // a link-local zone is written by its interface's name
      {"2001:db8::1%1", "2001:db8::1%1"},  // any other by number, which is all it reads back from
      {"q3.example.org", {}},
      {"localhost", {}},
      {"", {}},
      {"[::1]:27960", {}},          // an address with a port is no host
      {"::1]", {}},
      {"2001:db8::5::1", {}},
      {std::string("127.0.0.1\0x", 11), {}},
  };
  for (const Case& c : cases) {
    const std::optional<Endpoint> address = net::NumericHost(c.host);
    ASSERT_EQ(address.has_value(), c.address.has_value()) << c.host;
    if (address) {
      EXPECT_EQ(address->AddressText(), *c.address) << c.host;
    }
  }
  EXPECT_EQ(net::NumericHost("fe80::1%lo")->scope, ::if_nametoindex("lo"));
}

TEST(Endpoint, TextsAndSocketAddressesOfBothFamilies) {
  const struct {
    Endpoint endpoint;
    std::string text;
    int family;
  } cases[] = {
      {Endpoint::IPv4(0x7F000001, 27960), "127.0.0.1:27960", AF_INET},
      {Endpoint::IPv4(0xCB007107, 0), "203.0.113.7:0", AF_INET},
      {V6("::1", 27960), "[::1]:27960", AF_INET6},
      {V6("2001:db8::5", 27910), "[2001:db8::5]:27910", AF_INET6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.endpoint.ToString(), c.text);
    sockaddr_storage storage{};
    const socklen_t length = c.endpoint.ToSockaddr(storage);
    EXPECT_EQ(storage.ss_family, c.family);
    EXPECT_EQ(c.endpoint.SocketFamily(), c.family);
    EXPECT_EQ(Endpoint::FromSockaddr(reinterpret_cast<const sockaddr*>(&storage), length), c.endpoint) << c.text;
    // A length too short for the family is no address.
    EXPECT_EQ(Endpoint::FromSockaddr(reinterpret_cast<const sockaddr*>(&storage), length - 1), std::nullopt);
  }
  // The pacer's key: the same bytes and port in the other family, or another port, are another server.
  Endpoint mapped = V6("::", 27960);
  mapped.bytes = Endpoint::IPv4(0x7F000001, 27960).bytes;
  EXPECT_NE(mapped, Endpoint::IPv4(0x7F000001, 27960));
  EXPECT_NE(V6("::1", 27960), V6("::1", 27961));
  EXPECT_EQ(V6("[::1]", 27960), V6("::1", 27960));
}

TEST(PreferredAddress, TheFirstIPv4AddressElseTheFirstIPv6One) {
  const Endpoint a4 = Endpoint::IPv4(0x0A000001, 0), b4 = Endpoint::IPv4(0x0A000002, 0);
  const Endpoint a6 = V6("2001:db8::1"), b6 = V6("2001:db8::2");
  const struct {
    std::vector<Endpoint> addresses;
    std::optional<Endpoint> chosen;
  } cases[] = {
      {{}, std::nullopt}, {{a4}, a4}, {{a6}, a6}, {{a6, b6}, a6}, {{a6, a4, b4}, a4}, {{a4, a6}, a4}, {{a6, b6, b4}, b4},
  };
  for (const auto& c : cases) EXPECT_EQ(net::PreferredAddress(c.addresses), c.chosen) << c.addresses.size();
}

TEST(SystemResolver, AnswersFromTheEventLoop) {
  std::vector<net::Resolution> answers;
  std::vector<std::string> names;
  net::Resolver& resolver = net::CurrentResolver();
  resolver.Resolve("localhost", [&](const net::Resolution& r) { answers.push_back(r); });
  resolver.Resolve("no-such-host.invalid", [&](const net::Resolution& r) { answers.push_back(r); });
  resolver.ReverseLookup("127.0.0.1", [&](const std::string& name) { names.push_back(name); });
  resolver.ReverseLookup("bot", [&](const std::string& name) { names.push_back(name); });
  EXPECT_TRUE(answers.empty());  // never inside the call
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2 && names.size() == 2; }, 10000));

  const net::Resolution& local = answers[0].error == 0 ? answers[0] : answers[1];
  const net::Resolution& unknown = answers[0].error == 0 ? answers[1] : answers[0];
  EXPECT_EQ(net::PreferredAddress(local.addresses), Endpoint::IPv4(0x7F000001, 0));
  EXPECT_EQ(unknown.error, 11001);
  EXPECT_TRUE(unknown.addresses.empty());
  EXPECT_NE(names[0] == "Unknown IP" ? names[1] : names[0], "Unknown IP");  // 127.0.0.1 has a name
  EXPECT_EQ(names[0] == "Unknown IP" ? names[0] : names[1], "Unknown IP");  // "bot" is no address
}

// A client whose host is a name, with the stand-in resolver in place.
class NamedHost : public ::testing::Test {
 protected:
  void OpenNamed(TUDPClient& client, const nettest::Peer& peer, const std::string& name = "q3.example.org") {
    client.Host = name;
    client.Port = peer.PortText();
    client.OnLookupDone = [this](TUDPClient&, int error) { lookupErrors.push_back(error); };
    client.OnError = [this](TCustomWSocket&, int error, const std::string&) { reported.push_back(error); };
    client.Open();
  }

  test::StandInResolver resolver;
  std::vector<int> lookupErrors;
  std::vector<int> reported;
};

TEST_F(NamedHost, DatagramsSentWhileTheNameIsLookedUpLeaveInOrderOnceItIsKnown) {
  // A name with both addresses goes to its IPv4 one; a name with only an IPv6 one goes there.
  const struct {
    int family;
    std::vector<Endpoint> addresses;
    bool paced;
  } cases[] = {
      {AF_INET, {V6("::1"), Endpoint::IPv4(0x7F000001, 0)}, false},
      {AF_INET, {Endpoint::IPv4(0x7F000001, 0), V6("::1")}, true},
      {AF_INET6, {V6("::1")}, false},
      {AF_INET6, {V6("::1")}, true},
  };
  for (const auto& c : cases) {
    nettest::Peer peer(c.family);
    if (!peer.Bound()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
    SCOPED_TRACE(std::to_string(c.family) + (c.paced ? " paced" : ""));
    resolver.names["q3.example.org"] = c.addresses;
    resolver.delayMs = 100;
    lookupErrors.clear();
    TUDPClient client;
    client.Paced = c.paced;
    OpenNamed(client, peer);
    EXPECT_EQ(client.State, ssResolving);
    std::vector<std::string> left;
    client.SendText("one", [&] {
      left.push_back("one");
      client.SendText("three", [&] { left.push_back("three"); });  // keeps its place behind "two"
    });
    client.SendText("two", [&] { left.push_back("two"); });
    client.Open();  // opening already: nothing happens
    EXPECT_TRUE(left.empty());
    ASSERT_TRUE(peer.WaitFor(3));
    EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(left, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(lookupErrors, std::vector<int>{0});
    EXPECT_EQ(client.State, ssOpen);
    EXPECT_EQ(client.Peer().SocketFamily(), c.family);
    EXPECT_EQ(client.Peer().port, peer.Port());
    // Replies come back on the same socket.
    std::vector<std::string> read;
    client.OnData = [&](TUDPClient& sender, int) { read.push_back(sender.ReceiveText()); };
    peer.SendTo(client.SocketHandle, "reply");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !read.empty(); }, 2000));
    EXPECT_EQ(read, std::vector<std::string>{"reply"});
  }
  EXPECT_TRUE(reported.empty());
}

TEST_F(NamedHost, AResolverThatNeverAnswersHoldsUpNothingAndTheClientMayGoMeanwhile) {
  resolver.names["q3.example.org"] = {Endpoint::IPv4(0x7F000001, 0)};
  resolver.delayMs = test::StandInResolver::kNever;
  nettest::Peer peer;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);

  QElapsedTimer clock;
  clock.start();
  auto gone = std::make_unique<TUDPClient>();
  OpenNamed(*gone, peer);
  int sent = 0;
  gone->SendText("lost", [&] { ++sent; });
  TUDPClient closed;
  OpenNamed(closed, peer);
  closed.SendText("lost too", [&] { ++sent; });
  EXPECT_LT(clock.elapsed(), 100);
  QTest::qWait(200);
  EXPECT_GT(ticks, 5);
  EXPECT_EQ(closed.State, ssResolving);

  closed.Close();  // abandons the look-up and what waited for it
  EXPECT_EQ(closed.State, ssClosed);
  gone.reset();
  EXPECT_EQ(resolver.Held(), 2);
  resolver.AnswerHeld();  // answers for a client gone and one closed: dropped
  QTest::qWait(50);
  peer.Collect();
  EXPECT_TRUE(peer.Received.empty());
  EXPECT_EQ(sent, 0);
  EXPECT_TRUE(lookupErrors.empty());
  EXPECT_EQ(closed.State, ssClosed);

  // Opened again, it asks again and this time goes through.
  resolver.delayMs = 0;
  closed.Open();
  closed.SendText("found");
  ASSERT_TRUE(peer.WaitFor(1));
  EXPECT_EQ(peer.Texts(), std::vector<std::string>{"found"});
  EXPECT_EQ(resolver.asked, (std::vector<std::string>{"q3.example.org", "q3.example.org", "q3.example.org"}));
}

TEST(RequestPacerKeys, AServerOverIPv6HasABucketOfItsOwn) {
  net::RequestPacer& pacer = net::RequestPacer::Instance();
  pacer.Reset();
  pacer.Configure(2, 100000);
  nettest::Peer v4;
  nettest::Peer v6(AF_INET6);
  if (!v6.Bound()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
  TUDPClient a, b;
  for (auto [client, host, peer] : {std::tuple{&a, "127.0.0.1", &v4}, std::tuple{&b, "::1", &v6}}) {
    client->Host = host;
    client->Port = peer->PortText();
    client->Paced = true;
    client->Open();
    ASSERT_EQ(client->State, ssOpen);
    for (int i = 0; i < 3; ++i) client->SendText("x");
  }
  const Endpoint key6 = V6("::1", static_cast<std::uint16_t>(v6.Port()));
  EXPECT_EQ(b.Peer(), key6);
  EXPECT_EQ(pacer.InFlight(key6), 2);
  EXPECT_EQ(pacer.PendingCount(key6), 1);
  EXPECT_EQ(pacer.PendingCount(Endpoint::IPv4(0x7F000001, static_cast<std::uint16_t>(v4.Port()))), 1);
  ASSERT_TRUE(v6.WaitFor(2));
  ASSERT_TRUE(v4.WaitFor(2));
  pacer.Reset();
  pacer.Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
}

}  // namespace
