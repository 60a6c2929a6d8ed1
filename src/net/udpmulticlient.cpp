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
#include <utility>

#include "net/wsaerrors.h"

namespace net {

namespace {

// Room for the replies of many servers that answer at the same moment.
constexpr int kReceiveBufferBytes = 1 << 20;

Endpoint EndpointOf(const sockaddr_in& address) {
  return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

sockaddr_in AddressOf(const Endpoint& server) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(server.address);
  address.sin_port = htons(server.port);
  return address;
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
  const TSocket handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (handle < 0) {
    ReportError(WinsockErrorFromErrno(errno));
    return;
  }
  // Refusals come back as errors queued with the address they were sent to, so that one
  // socket can tell which of its servers refused.
  const int on = 1;
  if (::setsockopt(handle, IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0) {
    ReportError(WinsockErrorFromErrno(errno));
    ::close(handle);
    return;
  }
  ::setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof kReceiveBufferBytes);
  SocketHandle = handle;
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

bool UdpMultiClient::Resolve(const std::string& host, const std::string& port, Endpoint& server) {
  sockaddr_in address{};
  if (!ResolveAddress(host, port, address)) return false;
  server = EndpointOf(address);
  return true;
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
  const sockaddr_in to = AddressOf(server);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::sendto(SocketHandle, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) >= 0)
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
    sockaddr_in offender{};
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
      if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_RECVERR) continue;
      sock_extended_err error{};
      std::memcpy(&error, CMSG_DATA(header), sizeof error);
      if (OnRefused) OnRefused(EndpointOf(offender), WinsockErrorFromErrno(static_cast<int>(error.ee_errno)));
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
    sockaddr_in from{};
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
    OnDatagram(EndpointOf(from), std::string(ReceiveBuffer.data(), static_cast<std::size_t>(n)));
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
