#include "net/customwsocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/convert.h"

namespace net {

namespace {
std::atomic<int> sessions{0};
std::atomic<int> failNextStartup{0};
}  // namespace

int StartupSession() {
  if (const int code = failNextStartup.exchange(0); code != 0) return code;
  ++sessions;
  return 0;
}

int CleanupSession(int& lastError) {
  int count = sessions.load();
  do {
    if (count == 0) {
      lastError = WSANOTINITIALISED;
      return -1;
    }
  } while (!sessions.compare_exchange_weak(count, count - 1));
  return 0;
}

int SessionCount() { return sessions.load(); }

void SimulateStartupFailure(int code) { failNextStartup = code; }

}  // namespace net

namespace {

int LastSocketError() { return net::WinsockErrorFromErrno(errno); }

// The protocol's name for service look-ups. The protocol database may be missing on a
// stripped-down system; the protocols every system knows are taken from here then.
std::string ProtocolName(int number) {
  protoent entry{};
  protoent* found = nullptr;
  char scratch[1024];
  if (getprotobynumber_r(number, &entry, scratch, sizeof scratch, &found) == 0 && found && found->p_name) {
    return found->p_name;
  }
  switch (number) {
    case IPPROTO_IP: return "ip";
    case IPPROTO_ICMP: return "icmp";
    case IPPROTO_TCP: return "tcp";
    case IPPROTO_UDP: return "udp";
    default: return {};
  }
}

// The port of a service name of the protocol, in network byte order.
bool ServicePort(const std::string& name, const std::string& protocol, std::uint16_t& port) {
  servent entry{};
  servent* found = nullptr;
  std::vector<char> scratch(4096);
  while (getservbyname_r(name.c_str(), protocol.c_str(), &entry, scratch.data(), scratch.size(), &found) == ERANGE) {
    scratch.resize(scratch.size() * 2);
  }
  if (!found) return false;
  port = static_cast<std::uint16_t>(found->s_port);
  return true;
}

}  // namespace

TCustomWSocket::TCustomWSocket() {
  LastError = net::StartupSession();
  if (LastError != 0) {
    ReportError(LastError);  // OnError cannot be assigned yet: this only stores the code
  } else {
    State = ssClosed;
  }
}

TCustomWSocket::~TCustomWSocket() {
  if (SocketHandle != net::InvalidSocket) ::close(SocketHandle);
  if (State != ssNotStarted) {
    int error = 0;
    if (net::CleanupSession(error) == -1) ReportError(error);
  }
}

std::string TCustomWSocket::GetErrorText() const { return net::WinsockErrorText(LastError); }

void TCustomWSocket::ReportError(int code) {
  LastError = code;
  if (OnError) OnError(*this, code, GetErrorText());
}

bool TCustomWSocket::ResolvePort(const std::string& port, std::uint16_t& number) {
  const std::string protocol = ProtocolName(Protocol);
  if (protocol.empty()) {
    ReportError(net::WSANO_DATA);
    return false;
  }
  std::uint16_t networkPort = 0;
  if (ServicePort(port, protocol, networkPort)) {
    number = ntohs(networkPort);
  } else {
    // Only the low 16 bits count: "92495" is port 26959.
    number = static_cast<std::uint16_t>(platform::StrToInt(port));
  }
  return true;
}

void TCustomWSocket::ShutdownSocket(TSocket& socket, QSocketNotifier* notifier) {
  if (socket == net::InvalidSocket) return;
  if (notifier) notifier->setEnabled(false);
  if (::shutdown(socket, SHUT_WR) != 0) {
    const int code = LastSocketError();
    if (code != net::WSAENOTCONN) {
      ReportError(code);
      return;
    }
  }
  // Discard what is still waiting; MSG_DONTWAIT so that a blocking socket cannot hang here.
  while (::recv(socket, ReceiveBuffer.data(), ReceiveBuffer.size(), MSG_DONTWAIT) > 0) {
  }
  // The descriptor is released even when close() reports a failure, so the handle is
  // given up either way: keeping it could later close a descriptor reused by someone else.
  if (::close(socket) != 0) ReportError(LastSocketError());
  socket = net::InvalidSocket;
}

void TCustomWSocket::SendData(TSocket socket, int flags, const std::string& text) {
  if (text.empty()) return;
  if (net::SessionCount() == 0) {
    ReportError(net::WSANOTINITIALISED);
    return;
  }
  if (socket == net::InvalidSocket) {
    ReportError(net::WSAENOTSOCK);
    return;
  }
  std::size_t sent = 0;
  int refusals = 0;
  for (;;) {
    const ssize_t n = ::send(socket, text.data() + sent, text.size() - sent, flags | MSG_NOSIGNAL);
    if (n < 0) {
      ++refusals;
      const int code = LastSocketError();
      if (code != net::WSAEWOULDBLOCK) {
        ReportError(code);
        return;
      }
    } else {
      sent += static_cast<std::size_t>(n);
    }
    if (sent >= text.size()) return;
    if (refusals > 100) return;  // the 101st refusal drops what is left, silently
  }
}

std::string TCustomWSocket::ReceiveData(TSocket socket, int flags) {
  if (net::SessionCount() == 0) {
    ReportError(net::WSANOTINITIALISED);
    return {};
  }
  if (socket == net::InvalidSocket) {
    ReportError(net::WSAENOTSOCK);
    return {};
  }
  // MSG_TRUNC makes recv return the datagram's real length, so one that does not fit is
  // recognised instead of being cut short silently.
  const int truncate = SocketType == SOCK_STREAM ? 0 : MSG_TRUNC;
  const ssize_t n = ::recv(socket, ReceiveBuffer.data(), ReceiveBuffer.size(), flags | truncate | MSG_DONTWAIT);
  if (n < 0) {
    const int code = LastSocketError();
    if (code != net::WSAEWOULDBLOCK) ReportError(code);
    return {};
  }
  if (static_cast<std::size_t>(n) > ReceiveBuffer.size()) {
    ReportError(net::WSAEMSGSIZE);
    return {};
  }
  return std::string(ReceiveBuffer.data(), static_cast<std::size_t>(n));
}
