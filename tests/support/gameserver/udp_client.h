#pragma once
// A plain POSIX UDP socket on 127.0.0.1 for talking to the scripted game server (wire tests
// and benchmarks).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace test {

class UdpClient {
 public:
  UdpClient() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    if (fd_ < 0) throw std::runtime_error("socket");
    sockaddr_in address = Loopback(0);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) throw std::runtime_error("bind");
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~UdpClient() { ::close(fd_); }
  UdpClient(const UdpClient&) = delete;
  UdpClient& operator=(const UdpClient&) = delete;

  std::uint16_t Port() const { return port_; }

  void Send(std::uint16_t port, std::string_view bytes) const {
    const sockaddr_in to = Loopback(port);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }

  std::optional<std::string> Receive(std::chrono::milliseconds timeout) const {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
    std::string buffer(65536, '\0');
    const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
    if (n < 0) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
  }

  // Everything that arrives until nothing has come for `quiet`.
  std::vector<std::string> ReceiveAll(std::chrono::milliseconds first = std::chrono::milliseconds(2000),
                                      std::chrono::milliseconds quiet = std::chrono::milliseconds(60)) const {
    std::vector<std::string> datagrams;
    for (auto wait = first; auto datagram = Receive(wait); wait = quiet) datagrams.push_back(std::move(*datagram));
    return datagrams;
  }

  // Sends a request and returns its reply datagrams.
  std::vector<std::string> Ask(std::uint16_t port, std::string_view bytes) const {
    Send(port, bytes);
    return ReceiveAll();
  }

 private:
  static sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }

  int fd_;
  std::uint16_t port_ = 0;
};

}  // namespace test
