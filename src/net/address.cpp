#include "net/address.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

#include "common/hostname.h"

namespace net {

Endpoint Endpoint::IPv4(std::uint32_t address, std::uint16_t port) {
  Endpoint endpoint;
  const std::uint32_t network = htonl(address);
  std::memcpy(endpoint.bytes.data(), &network, 4);
  endpoint.port = port;
  return endpoint;
}

std::optional<Endpoint> Endpoint::FromSockaddr(const sockaddr* address, socklen_t length) {
  if (!address) return std::nullopt;
  Endpoint endpoint;
  if (address->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
    sockaddr_in in{};
    std::memcpy(&in, address, sizeof in);
    std::memcpy(endpoint.bytes.data(), &in.sin_addr, 4);
    endpoint.port = ntohs(in.sin_port);
    return endpoint;
  }
  if (address->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
    sockaddr_in6 in6{};
    std::memcpy(&in6, address, sizeof in6);
    endpoint.family = Family::IPv6;
    std::memcpy(endpoint.bytes.data(), &in6.sin6_addr, 16);
    endpoint.port = ntohs(in6.sin6_port);
    endpoint.scope = in6.sin6_scope_id;
    return endpoint;
  }
  return std::nullopt;
}

socklen_t Endpoint::ToSockaddr(sockaddr_storage& out) const {
  out = sockaddr_storage{};
  if (family == Family::IPv4) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    std::memcpy(&in.sin_addr, bytes.data(), 4);
    std::memcpy(&out, &in, sizeof in);
    return sizeof in;
  }
  sockaddr_in6 in6{};
  in6.sin6_family = AF_INET6;
  in6.sin6_port = htons(port);
  std::memcpy(&in6.sin6_addr, bytes.data(), 16);
  in6.sin6_scope_id = scope;
  std::memcpy(&out, &in6, sizeof in6);
  return sizeof in6;
}

int Endpoint::SocketFamily() const { return family == Family::IPv4 ? AF_INET : AF_INET6; }

std::string Endpoint::AddressText() const {
  char text[INET6_ADDRSTRLEN + IF_NAMESIZE + 1] = {};
  if (family == Family::IPv4) {
    ::inet_ntop(AF_INET, bytes.data(), text, sizeof text);
    return text;
  }
  // As the system writes it, which reads back: a zone by its interface's name where the
  // address is link-local, by number elsewhere.
  sockaddr_storage storage{};
  const socklen_t length = ToSockaddr(storage);
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&storage), length, text, sizeof text, nullptr, 0,
                    NI_NUMERICHOST) != 0)
    ::inet_ntop(AF_INET6, bytes.data(), text, sizeof text);
  return text;
}

std::string Endpoint::ToString() const {
  const std::string portText = std::to_string(port);
  return family == Family::IPv4 ? AddressText() + ":" + portText : "[" + AddressText() + "]:" + portText;
}

std::optional<Endpoint> NumericHost(const std::string& host) {
  // A text with a NUL inside is no address: inet_addr would read only its front.
  if (host.find('\0') != std::string::npos) return std::nullopt;
  const in_addr_t v4 = ::inet_addr(host.c_str());
  if (v4 != INADDR_NONE) return Endpoint::IPv4(ntohl(v4), 0);
  sockaddr_in6 v6{};
  if (!ParseIPv6Address(host, v6)) return std::nullopt;
  return Endpoint::FromSockaddr(reinterpret_cast<const sockaddr*>(&v6), sizeof v6);
}

std::optional<Endpoint> PreferredAddress(const std::vector<Endpoint>& addresses) {
  const auto v4 = std::find_if(addresses.begin(), addresses.end(),
                               [](const Endpoint& address) { return address.family == Family::IPv4; });
  if (v4 != addresses.end()) return *v4;
  if (!addresses.empty()) return addresses.front();
  return std::nullopt;
}

}  // namespace net
