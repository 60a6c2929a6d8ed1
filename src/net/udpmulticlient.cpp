#include "net/udpmulticlient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "net/wsaerrors.h"

namespace net {

namespace {

// Room for the replies of many servers that answer at the same moment.
constexpr int kReceiveBufferBytes = 1 << 20;

// A server's address as the socket takes it: an IPv4 server on an IPv6 socket as the IPv6
// address that maps it (::ffff:a.b.c.d).
socklen_t AddressOf(const Endpoint& server, bool dualStack, sockaddr_storage& out) {
  if (!dualStack || server.family == Family::IPv6) return server.ToSockaddr(out);
  out = {};
  sockaddr_in6 mapped{};
  mapped.sin6_family = AF_INET6;
  mapped.sin6_port = htons(server.port);
  mapped.sin6_addr.s6_addr[10] = 0xFF;
  mapped.sin6_addr.s6_addr[11] = 0xFF;
  std::memcpy(&mapped.sin6_addr.s6_addr[12], server.bytes.data(), 4);
  std::memcpy(&out, &mapped, sizeof mapped);
  return sizeof mapped;
}

// The server a socket address names, a mapped IPv4 address as the IPv4 one.
std::optional<Endpoint> EndpointOf(const sockaddr_storage& address, socklen_t length) {
  if (address.ss_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, &address, sizeof v6);
    if (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
      std::uint32_t v4 = 0;
      std::memcpy(&v4, &v6.sin6_addr.s6_addr[12], 4);
      return Endpoint::IPv4(ntohl(v4), ntohs(v6.sin6_port));
    }
  }
  return Endpoint::FromSockaddr(reinterpret_cast<const sockaddr*>(&address), length);
}

// The errors by which the network refuses a datagram; they belong to one destination, not to
// the socket.
bool IsRefusal(int error) {
  return error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH || error == EHOSTDOWN;
}

}  // namespace

UdpMultiClient::UdpMultiClient() : alive_(std::make_shared<bool>(true)) {
  Protocol = IPPROTO_UDP;
  SocketType = SOCK_DGRAM;
}

UdpMultiClient::~UdpMultiClient() {
  Close();
  RequestPacer::Instance().Remove(*this);
  ReleaseNotifier();
  *alive_ = false;
}

void UdpMultiClient::Open() {
  if (State != ssClosed) return;
  // One socket for both families: an IPv6 socket that also reaches IPv4 servers through mapped
  // addresses; an IPv4 socket where the system has no IPv6.
  bool dualStack = true;
  TSocket handle = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int off = 0;
  if (handle >= 0 && ::setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) != 0) {
    ::close(handle);
    handle = -1;
  }
  if (handle < 0) {
    dualStack = false;
    handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  }
  if (handle < 0) {
    ReportError(WinsockErrorFromErrno(errno));
    return;
  }
  // Refusals come back as errors queued with the address they were sent to, so that one
  // socket can tell which of its servers refused (IPv4 ones through IP_RECVERR, on either
  // kind of socket).
  const int on = 1;
  if (::setsockopt(handle, IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0 ||
      (dualStack && ::setsockopt(handle, IPPROTO_IPV6, IPV6_RECVERR, &on, sizeof on) != 0)) {
    ReportError(WinsockErrorFromErrno(errno));
    ::close(handle);
    return;
  }
  ::setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof kReceiveBufferBytes);
  SocketHandle = handle;
  dualStack_ = dualStack;
  notifier_ = new QSocketNotifier(handle, QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [this] { HandleReadiness(); });
  State = ssOpen;
}

void UdpMultiClient::Close() {
  if (State != ssOpen) return;
  RequestPacer::Instance().Remove(*this);
  ReleaseNotifier();
  ::close(SocketHandle);
  SocketHandle = InvalidSocket;
  State = ssClosed;
}

void UdpMultiClient::Resolve(const std::string& host, const std::string& port, ResolveDone done) {
  std::uint16_t number = 0;
  if (!ResolvePort(port, number)) {
    done(std::nullopt, LastError);
    return;
  }
  if (std::optional<Endpoint> address = NumericHost(host)) {
    address->port = number;
    done(address, 0);
    return;
  }
  CurrentResolver().Resolve(host, lookups_.Wrap([number, done = std::move(done)](const Resolution& resolution) {
    int error = 0;
    const std::optional<Endpoint> server = ServerOf(resolution, number, error);
    done(server, error);
  }));
}

void UdpMultiClient::SendTo(const Endpoint& server, const std::string& text, bool paced, std::function<void()> onSent) {
  if (State != ssOpen) return;
  if (paced) {
    RequestPacer::Instance().Send(*this, server, text, std::move(onSent));
    return;
  }
  SendNow(server, text);
  if (!text.empty()) RequestPacer::Instance().NoteSent(server);
  if (onSent) onSent();
}

void UdpMultiClient::SendPaced(const Endpoint& server, const std::string& text) { SendNow(server, text); }

void UdpMultiClient::SendNow(const Endpoint& server, const std::string& text) {
  if (text.empty() || State != ssOpen) return;
  if (!dualStack_ && server.family == Family::IPv6) {
    ReportError(WinsockErrorFromErrno(EAFNOSUPPORT));
    return;
  }
  sockaddr_storage to{};
  const socklen_t length = AddressOf(server, dualStack_, to);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::sendto(SocketHandle, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                 length) >= 0)
      return;
    const int error = errno;
    if (!IsRefusal(error) || attempt > 0) {
      ReportError(WinsockErrorFromErrno(error));
      return;
    }
    // The socket still held the refusal of an earlier datagram: it goes to its own server.
    const std::shared_ptr<bool> alive = alive_;
    if (!ReadRefusals(alive) || State != ssOpen) return;
  }
}

bool UdpMultiClient::ReadRefusals(const std::shared_ptr<bool>& alive) {
  for (;;) {
    sockaddr_storage offender{};
    char control[512];
    char data[64];
    iovec vector{data, sizeof data};
    msghdr message{};
    message.msg_name = &offender;
    message.msg_namelen = sizeof offender;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (::recvmsg(SocketHandle, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) return true;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
      const bool v4 = header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_RECVERR;
      const bool v6 = header->cmsg_level == IPPROTO_IPV6 && header->cmsg_type == IPV6_RECVERR;
      if (!v4 && !v6) continue;
      sock_extended_err error{};
      std::memcpy(&error, CMSG_DATA(header), sizeof error);
      const std::optional<Endpoint> to = EndpointOf(offender, message.msg_namelen);
      if (to && OnRefused) OnRefused(*to, WinsockErrorFromErrno(static_cast<int>(error.ee_errno)));
      if (!*alive || State != ssOpen) return false;
    }
  }
}

void UdpMultiClient::HandleReadiness() {
  if (State != ssOpen) return;
  const std::shared_ptr<bool> alive = alive_;
  ++dispatching_;
  struct Done {
    UdpMultiClient& client;
    const std::shared_ptr<bool>& alive;
    ~Done() {
      if (*alive) --client.dispatching_;
    }
  } done{*this, alive};

  for (int read = 0; read < kReadsPerNotification; ++read) {
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    const ssize_t n = ::recvfrom(SocketHandle, ReceiveBuffer.data(), ReceiveBuffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                                 reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) {
      const int error = errno;
      if (IsRefusal(error)) {
        if (!ReadRefusals(alive)) return;
        continue;
      }
      if (error != EAGAIN && error != EWOULDBLOCK && error != EINTR) ReportError(WinsockErrorFromErrno(error));
      // Refusals may wait in the error queue without a pending error of the socket.
      ReadRefusals(alive);
      return;
    }
    if (static_cast<std::size_t>(n) > ReceiveBuffer.size()) {
      ReportError(WSAEMSGSIZE);
      continue;
    }
    if (!OnDatagram) continue;
    const std::optional<Endpoint> source = EndpointOf(from, length);
    if (!source) continue;
    OnDatagram(*source, std::string(ReceiveBuffer.data(), static_cast<std::size_t>(n)));
    if (!*alive || State != ssOpen) return;
  }
}

void UdpMultiClient::ReleaseNotifier() {
  QSocketNotifier* notifier = std::exchange(notifier_, nullptr);
  if (!notifier) return;
  notifier->setEnabled(false);
  QObject::disconnect(notifier, nullptr, nullptr, nullptr);
  // Inside a handler the notifier is still emitting its signal: delete it afterwards.
  if (dispatching_ > 0)
    notifier->deleteLater();
  else
    delete notifier;
}

}  // namespace net
