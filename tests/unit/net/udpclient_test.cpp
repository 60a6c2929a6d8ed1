#include <gtest/gtest.h>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>

#include <QCoreApplication>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <memory>
#include <random>

#include "net/customwsocket.h"
#include "net/udpclient.h"
#include "platform/errors.h"
#include "unit/net/udp_peer.h"

namespace {

struct Report {
  int error;
  std::string msg;
};

// Records every error the component reports (reports must outlive the socket).
void Watch(TCustomWSocket& socket, std::vector<Report>& reports) {
  socket.OnError = [&reports, &socket](TCustomWSocket& sender, int error, const std::string& msg) {
    EXPECT_EQ(&sender, &socket);
    reports.push_back({error, msg});
  };
}

// Exposes the primitives the components use.
class TestSocket : public TCustomWSocket {
 public:
  TestSocket() { Protocol = IPPROTO_UDP; }
  using TCustomWSocket::ReportError;
  using TCustomWSocket::ResolvePort;
  using TCustomWSocket::ShutdownSocket;
};

bool Readable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) == 1;
}

bool DescriptorOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

void OpenTo(TUDPClient& client, const nettest::Peer& peer) {
  client.Host = "127.0.0.1";
  client.Port = peer.PortText();
  client.Open();
  ASSERT_EQ(client.State, ssOpen);
}

TEST(WinsockErrors, TextsAndMappings) {
  TestSocket socket;
  const std::pair<int, const char*> texts[] = {{10035, "Operation would block"},
                                               {11001, "Host not found"},
                                               {10038, "Socket operation on nonsocket"},
                                               {10040, "Message too long"},
                                               {10059, "Too many references:can't splice"},
                                               {11004, "Valid name, no data record of requested type"},
                                               {0, "Not a Winsock error"},
                                               {10000, "Not a Winsock error"},
                                               {10101, "Not a Winsock error"}};
  for (const auto& [code, text] : texts) {
    socket.ReportError(code);
    EXPECT_EQ(socket.GetErrorText(), text) << code;
  }
  EXPECT_EQ(net::WinsockErrorFromErrno(EAGAIN), 10035);
  EXPECT_EQ(net::WinsockErrorFromErrno(EWOULDBLOCK), 10035);
  EXPECT_EQ(net::WinsockErrorFromErrno(ECONNREFUSED), 10061);
  const std::pair<int, int> lookups[] = {{0, 0},           {EAI_NONAME, 11001}, {EAI_AGAIN, 11002}, {EAI_FAIL, 11003},
                                         {EAI_NODATA, 11004}, {EAI_ADDRFAMILY, 11004}, {EAI_MEMORY, 10055},
                                         {EAI_SERVICE, 11003}};
  for (const auto& [result, code] : lookups) EXPECT_EQ(net::WinsockErrorFromAddrInfo(result), code) << result;
  EXPECT_EQ(net::WinsockErrorFromAddrInfo(EAI_SYSTEM, ECONNREFUSED), 10061);
  EXPECT_EQ(net::WinsockErrorFromAddrInfo(EAI_SYSTEM, 0), 11003);
}

TEST(TUDPClient, FailedStartupLeavesAnInertClient) {
  const int sessions = net::SessionCount();
  {
    net::SimulateStartupFailure(10091);
    std::vector<Report> reports;
    TUDPClient client;
    EXPECT_EQ(client.State, ssNotStarted);
    EXPECT_EQ(client.LastError, 10091);
    EXPECT_EQ(net::SessionCount(), sessions);
    Watch(client, reports);
    client.Host = "127.0.0.1";
    client.Port = "27960";
    client.Open();
    client.Close();
    EXPECT_EQ(client.State, ssNotStarted);
    EXPECT_EQ(client.SocketHandle, net::InvalidSocket);
    EXPECT_TRUE(reports.empty());
    if (sessions == 0) {  // no component holds a session: socket calls are refused
      client.SendText("x");
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_EQ(reports[0].msg, "Winsock not initialized");
    }
  }
  EXPECT_EQ(net::SessionCount(), sessions);  // no clean-up for a session never started
  TUDPClient next;                            // the failure was for one start-up only
  EXPECT_EQ(next.State, ssClosed);
  EXPECT_EQ(next.LastError, 0);
  EXPECT_EQ(net::SessionCount(), sessions + 1);
}

TEST(TUDPClient, OpensClosesAndReopens) {
  nettest::Peer peer;
  std::vector<Report> reports;
  TUDPClient client;
  Watch(client, reports);
  client.Close();  // never opened: nothing happens
  EXPECT_EQ(client.State, ssClosed);
  OpenTo(client, peer);
  EXPECT_EQ(client.ReceiveText(), "");  // nothing waiting: empty, and no report
  EXPECT_EQ(client.LastError, 0);
  const int first = client.SocketHandle;
  client.Open();  // already open: nothing happens
  EXPECT_EQ(client.SocketHandle, first);
  client.SendText("one");
  client.Close();
  EXPECT_EQ(client.State, ssClosed);
  EXPECT_EQ(client.SocketHandle, net::InvalidSocket);
  EXPECT_FALSE(DescriptorOpen(first));
  OpenTo(client, peer);
  client.SendText("two");
  client.SendText("");  // sends nothing
  ASSERT_TRUE(peer.WaitFor(2));
  QTest::qWait(30);
  peer.Collect();
  EXPECT_EQ(peer.Texts(), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(reports.empty());
}

TEST(TUDPClient, RaisesOnDataOncePerDatagramOnlyFromTheEventLoop) {
  nettest::Peer peer;
  TUDPClient client;
  std::vector<std::string> read;
  client.OnData = [&](TUDPClient& sender, int socket) {
    EXPECT_EQ(&sender, &client);
    EXPECT_EQ(socket, client.SocketHandle);
    read.push_back(sender.ReceiveText());
  };
  OpenTo(client, peer);
  for (int i = 0; i < 5; ++i) peer.SendTo(client.SocketHandle, "reply " + std::to_string(i));
  ASSERT_TRUE(Readable(client.SocketHandle, 1000));
  client.SendText("request");  // datagrams are waiting, but OnData never runs in here
  EXPECT_TRUE(read.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return read.size() >= 5; }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(read, (std::vector<std::string>{"reply 0", "reply 1", "reply 2", "reply 3", "reply 4"}));
}

TEST(TUDPClient, AHandlerRunningANestedEventLoopIsToldOfTheNextDatagram) {
  nettest::Peer peer;
  TUDPClient client;
  std::vector<std::string> read;
  client.OnData = [&](TUDPClient& sender, int) {
    read.push_back(sender.ReceiveText());
    if (read.size() == 1) {  // as a message box shown from the handler would
      peer.SendTo(sender.SocketHandle, "second");
      EXPECT_TRUE(QTest::qWaitFor([&] { return read.size() == 2; }, 2000));
    }
  };
  OpenTo(client, peer);
  peer.SendTo(client.SocketHandle, "first");
  ASSERT_TRUE(QTest::qWaitFor([&] { return read.size() >= 2; }, 3000));
  QTest::qWait(30);
  EXPECT_EQ(read, (std::vector<std::string>{"first", "second"}));
}

TEST(TUDPClient, NothingArrivesAfterClose) {
  nettest::Peer peer;
  TUDPClient client;
  int calls = 0;
  client.OnData = [&](TUDPClient& sender, int) {
    ++calls;
    sender.ReceiveText();
  };
  OpenTo(client, peer);
  peer.SendTo(client.SocketHandle, "late");
  ASSERT_TRUE(Readable(client.SocketHandle, 1000));  // ready, but not yet handled
  client.Close();
  QTest::qWait(50);
  EXPECT_EQ(calls, 0);

  // Reopened (most likely on the same descriptor number): only new datagrams count.
  OpenTo(client, peer);
  peer.SendTo(client.SocketHandle, "fresh");
  ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 2000));

  // A handler may close its own client, and a datagram still waiting is not reported.
  std::vector<std::string> read;
  client.OnData = [&](TUDPClient& sender, int) {
    read.push_back(sender.ReceiveText());
    sender.Close();
  };
  peer.SendTo(client.SocketHandle, "a");
  peer.SendTo(client.SocketHandle, "b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !read.empty(); }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(read, std::vector<std::string>{"a"});
  EXPECT_EQ(client.State, ssClosed);
}

TEST(TUDPClient, RefusalByTheServerHostIsReadOnceAsAnError) {
  int closedPort = 0;
  {
    nettest::Peer gone;
    closedPort = gone.Port();
  }
  std::vector<Report> reports;
  TUDPClient client;
  Watch(client, reports);
  std::vector<std::string> read;
  client.OnData = [&](TUDPClient& sender, int) { read.push_back(sender.ReceiveText()); };
  client.Host = "127.0.0.1";
  client.Port = std::to_string(closedPort);
  client.Open();
  client.SendText("anyone there?");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !read.empty(); }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(read, std::vector<std::string>{""});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].error, 10061);
  EXPECT_EQ(client.State, ssOpen);
}

TEST(TUDPClient, HandlerMayDestroyItsClient) {
  nettest::Peer peer;
  auto client = std::make_unique<TUDPClient>();
  int calls = 0;
  client->OnData = [&](TUDPClient& sender, int) {
    ++calls;
    sender.ReceiveText();
    client.reset();
  };
  OpenTo(*client, peer);
  peer.SendTo(client->SocketHandle, "a");
  peer.SendTo(client->SocketHandle, "b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return client == nullptr; }, 2000));
  QTest::qWait(30);
  EXPECT_EQ(calls, 1);
}

TEST(TUDPClient, DestroyingAnOpenClientClosesItsSocket) {
  nettest::Peer peer;
  int handle = net::InvalidSocket;
  {
    TUDPClient client;
    OpenTo(client, peer);
    handle = client.SocketHandle;
    EXPECT_TRUE(DescriptorOpen(handle));
  }
  EXPECT_FALSE(DescriptorOpen(handle));
}

TEST(TUDPClient, ReturnsLargeDatagramsWhole) {
  nettest::Peer peer;
  std::vector<Report> reports;
  TUDPClient client;
  Watch(client, reports);
  std::vector<std::string> read;
  client.OnData = [&](TUDPClient& sender, int) { read.push_back(sender.ReceiveText()); };
  OpenTo(client, peer);
  std::mt19937 random(7);
  std::vector<std::string> sent;
  for (size_t size : {1024u, 1029u, 1394u, 65507u}) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random() % 4 == 0 ? 0 : random());
    data.replace(0, 4, "\xFF\xFF\xFF\xFF");
    sent.push_back(data);
    peer.SendTo(client.SocketHandle, data);
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return read.size() >= sent.size(); }, 2000));
  ASSERT_EQ(read.size(), sent.size());
  for (size_t i = 0; i < sent.size(); ++i) EXPECT_TRUE(read[i] == sent[i]) << "datagram of " << sent[i].size();
  EXPECT_TRUE(reports.empty());
}

TEST(TUDPClient, UnknownHostIsReportedAndLeavesTheClientClosed) {
  std::vector<Report> reports;
  TUDPClient client;
  Watch(client, reports);
  std::vector<int> done;
  client.OnLookupDone = [&](TUDPClient&, int error) { done.push_back(error); };
  client.Host = "no-such-host.invalid";
  client.Port = "27960";
  int sentBefore = 0;
  client.Open();  // asks the system's resolver on a thread of its own and returns at once
  EXPECT_EQ(client.State, ssResolving);
  client.SendText("x", [&] { ++sentBefore; });  // waits for the address
  EXPECT_TRUE(reports.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 5000));
  EXPECT_EQ(done, std::vector<int>{11001});
  EXPECT_EQ(client.State, ssClosed);
  // The datagram that waited is lost as any sent through a closed client.
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].error, 11001);
  EXPECT_EQ(reports[0].msg, "Host not found");
  EXPECT_EQ(reports[1].error, 10038);
  EXPECT_EQ(sentBefore, 1);

  client.SendText("x");
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[2].error, 10038);
  EXPECT_EQ(reports[2].msg, "Socket operation on nonsocket");
  client.SendText("");  // nothing to send, nothing to report
  EXPECT_EQ(reports.size(), 3u);
  EXPECT_EQ(client.ReceiveText(), "");
  EXPECT_EQ(client.LastError, 10038);
}

TEST(TUDPClient, PortTextIsAServiceNameOrANumberOfWhichTheLow16BitsCount) {
  std::vector<Report> reports;
  TestSocket socket;
  Watch(socket, reports);
  const std::pair<const char*, int> ports[] = {{"domain", 53} /* /etc/services: 53/udp */, {"92495", 26959}, {"27960", 27960}};
  for (const auto& [text, number] : ports) {
    std::uint16_t port = 0;
    ASSERT_TRUE(socket.ResolvePort(text, port));
    EXPECT_EQ(port, number) << text;
  }
  EXPECT_TRUE(reports.empty());

  // The wrapped number reaches the server on the low 16 bits.
  nettest::Peer peer;
  TUDPClient client;
  client.Host = "127.0.0.1";
  client.Port = std::to_string(peer.Port() + 65536);
  client.Open();
  client.SendText("wrapped");
  ASSERT_TRUE(peer.WaitFor(1));
  EXPECT_EQ(peer.Received[0].data, "wrapped");
}

TEST(TUDPClient, PortThatIsNoNumberRaisesAndLeavesTheClientClosed) {
  for (const std::string port : {"", "q3port"}) {
    std::vector<Report> reports;
    TUDPClient client;
    Watch(client, reports);
    client.Host = "no-such-host.invalid";  // never looked up: the port fails first
    client.Port = port;
    try {
      client.Open();
      ADD_FAILURE() << "no exception for '" << port << "'";
    } catch (const platform::EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + port + "' is not a valid integer value");
    }
    EXPECT_EQ(client.State, ssClosed);
    EXPECT_EQ(client.SocketHandle, net::InvalidSocket);
    EXPECT_TRUE(reports.empty());
  }
}

TEST(TCustomWSocket, ShutdownOfAnUnconnectedSocketStillDrainsAndCloses) {
  std::vector<Report> reports;
  TestSocket socket;
  Watch(socket, reports);
  int handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);  // blocking: the drain must not wait
  ASSERT_GE(handle, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  nettest::Peer peer;
  peer.SendTo(handle, "waiting");
  ASSERT_TRUE(Readable(handle, 1000));
  const int closed = handle;
  socket.ShutdownSocket(handle, nullptr);
  EXPECT_EQ(handle, net::InvalidSocket);
  EXPECT_FALSE(DescriptorOpen(closed));
  EXPECT_TRUE(reports.empty());
  socket.ShutdownSocket(handle, nullptr);  // nothing to do for no socket
  EXPECT_TRUE(reports.empty());
}

}  // namespace
