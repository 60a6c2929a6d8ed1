#pragma once
// The far end of the transport tests: a plain POSIX UDP socket on 127.0.0.1 or ::1 (port
// chosen by the system) that records each datagram with the kernel's arrival time.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>

#include <cstring>
#include <string>
#include <vector>

namespace nettest {

struct Arrival {
  std::string data;
  double ms;  // kernel arrival time (CLOCK_REALTIME, milliseconds)
};

class Peer {
 public:
  // On 127.0.0.1, or on ::1 with AF_INET6.
  explicit Peer(int family = AF_INET) {
    fd_ = ::socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    const int size = 1 << 20;
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    socklen_t length = 0;
    if (family == AF_INET6) {
      sockaddr_in6 address{};
      address.sin6_family = AF_INET6;
      address.sin6_addr = in6addr_loopback;
      length = sizeof address;
      std::memcpy(&address_, &address, sizeof address);
    } else {
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      length = sizeof address;
      std::memcpy(&address_, &address, sizeof address);
    }
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address_), length) == 0;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address_), &length);
  }
  ~Peer() { ::close(fd_); }
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  // False when the address could not be bound (a machine without IPv6 has no ::1).
  bool Bound() const { return bound_; }
  int Port() const {
    if (address_.ss_family == AF_INET6) {
      sockaddr_in6 v6{};
      std::memcpy(&v6, &address_, sizeof v6);
      return ntohs(v6.sin6_port);
    }
    sockaddr_in v4{};
    std::memcpy(&v4, &address_, sizeof v4);
    return ntohs(v4.sin_port);
  }
  std::string PortText() const { return std::to_string(Port()); }

  // Sends to the local address of a client's socket.
  void SendTo(int clientSocket, const std::string& data) const {
    sockaddr_storage to{};
    socklen_t length = sizeof to;
    ::getsockname(clientSocket, reinterpret_cast<sockaddr*>(&to), &length);
    if (to.ss_family == AF_INET6 && address_.ss_family == AF_INET) {
      // A socket of both families: reached over IPv4 on its port.
      sockaddr_in6 v6{};
      std::memcpy(&v6, &to, sizeof v6);
      sockaddr_in v4{};
      v4.sin_family = AF_INET;
      v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      v4.sin_port = v6.sin6_port;
      to = {};
      std::memcpy(&to, &v4, sizeof v4);
      length = sizeof v4;
    }
    ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), length);
  }

  // Moves every waiting datagram into Received.
  void Collect() {
    std::vector<char> buffer(65536);
    for (;;) {
      iovec io{buffer.data(), buffer.size()};
      alignas(cmsghdr) char control[256];
      msghdr message{};
      message.msg_iov = &io;
      message.msg_iovlen = 1;
      message.msg_control = control;
      message.msg_controllen = sizeof control;
      const ssize_t n = ::recvmsg(fd_, &message, 0);
      if (n < 0) return;
      double ms = 0;
      for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
          timespec stamp{};
          std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
          ms = stamp.tv_sec * 1000.0 + stamp.tv_nsec / 1e6;
        }
      }
      Received.push_back({std::string(buffer.data(), static_cast<size_t>(n)), ms});
    }
  }

  // Runs the event loop until count datagrams have arrived in all, or the time is up.
  bool WaitFor(size_t count, int timeoutMs = 3000) {
    return QTest::qWaitFor(
        [&] {
          Collect();
          return Received.size() >= count;
        },
        timeoutMs);
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Arrival& a : Received) texts.push_back(a.data);
    return texts;
  }

  std::vector<Arrival> Received;

 private:
  int fd_ = -1;
  bool bound_ = false;
  sockaddr_storage address_{};
};

}  // namespace nettest
