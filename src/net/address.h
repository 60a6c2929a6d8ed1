#pragma once
// A game server's socket address, IPv4 or IPv6, as one plain comparable value; the host texts
// that are addresses already (and so never go to a resolver); and the choice among the
// addresses a host name has.
#include <sys/socket.h>

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace net {

enum class Family : std::uint8_t { IPv4, IPv6 };

struct Endpoint {
  Family family = Family::IPv4;
  std::array<std::uint8_t, 16> bytes{};  // the address in network order; IPv4 fills the first 4
  std::uint16_t port = 0;                // host order
  std::uint32_t scope = 0;               // IPv6 zone (interface index) of a link-local address
  auto operator<=>(const Endpoint&) const = default;

  // An IPv4 address and port, both in host byte order.
  static Endpoint IPv4(std::uint32_t address, std::uint16_t port);
  // The address of a socket address of either family; nothing for another family.
  static std::optional<Endpoint> FromSockaddr(const sockaddr* address, socklen_t length);
  // Fills a socket address for socket calls and returns its length.
  socklen_t ToSockaddr(sockaddr_storage& out) const;
  int SocketFamily() const;  // AF_INET or AF_INET6
  // The address alone ("203.0.113.7", "2001:db8::5", "fe80::1%eth0") and with its port
  // ("203.0.113.7:27960", "[2001:db8::5]:27960").
  std::string AddressText() const;
  std::string ToString() const;
};

// The host text as an address when it is one, port 0: an IPv4 address as inet_addr reads it
// (dotted, but also "127.1" or hexadecimal parts), except 255.255.255.255, whose value is
// inet_addr's "none" and which goes to the resolver as it always has; or an IPv6 address,
// bare or in brackets, with an optional %zone. Anything else is a host name.
std::optional<Endpoint> NumericHost(const std::string& host);

// Of the addresses a host name has, the one to talk to: the first IPv4 address where there is
// one (a machine without an IPv6 route still reaches it), else the first IPv6 address.
std::optional<Endpoint> PreferredAddress(const std::vector<Endpoint>& addresses);

}  // namespace net
