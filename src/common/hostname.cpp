#include "common/hostname.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>

bool ParseIPv6Address(std::string_view text, sockaddr_in6& address) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
  // A NUL inside would let the C functions read only the front of the text.
  if (text.find(':') == std::string_view::npos || text.find('\0') != std::string_view::npos) return false;
  // getaddrinfo with a numeric host never asks a resolver, and it reads a zone by name.
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (::getaddrinfo(std::string(text).c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  const bool fits = found->ai_family == AF_INET6 && found->ai_addrlen >= sizeof address;
  if (fits) std::memcpy(&address, found->ai_addr, sizeof address);
  ::freeaddrinfo(found);
  return fits;
}

std::string LookupHostName(std::string_view address) {
  // Only a strict dotted quad counts for IPv4: a port suffix, a word such as "bot" or an
  // embedded NUL is not an address.
  sockaddr_storage socketAddress{};
  socklen_t length = 0;
  sockaddr_in v4{};
  sockaddr_in6 v6{};
  const std::string text(address);
  if (text.find('\0') == std::string::npos && ::inet_pton(AF_INET, text.c_str(), &v4.sin_addr) == 1) {
    v4.sin_family = AF_INET;
    length = sizeof v4;
    std::memcpy(&socketAddress, &v4, sizeof v4);
  } else if (ParseIPv6Address(address, v6)) {
    length = sizeof v6;
    std::memcpy(&socketAddress, &v6, sizeof v6);
  } else {
    return std::string(kUnknownHostName);
  }
  char name[NI_MAXHOST] = {};
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), length, name, sizeof name, nullptr, 0,
                    NI_NAMEREQD) != 0 ||
      name[0] == '\0')
    return std::string(kUnknownHostName);
  return name;
}
