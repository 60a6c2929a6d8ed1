// Host texts, as typed into a hostname box or taken from a player's address in a reply: an
// address is recognised without asking any resolver, and what is recognised reads back the
// same from its own text and its own socket address.
#include <arpa/inet.h>

#include <cstring>
#include <string>

#include "common/hostname.h"
#include "fuzz_support.h"
#include "net/address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(fuzz::Bytes(data, size));
  sockaddr_in6 v6{};
  const bool isIPv6 = ParseIPv6Address(text, v6);
  FUZZ_CHECK(!isIPv6 || v6.sin6_family == AF_INET6);

  const std::optional<net::Endpoint> address = net::NumericHost(text);
  if (!address) {
    FUZZ_CHECK(!isIPv6);
    return 0;
  }
  FUZZ_CHECK(text.find('\0') == std::string::npos);
  FUZZ_CHECK(address->port == 0);
  if (address->family == net::Family::IPv4) {
    const in_addr_t value = ::inet_addr(text.c_str());
    FUZZ_CHECK(value != INADDR_NONE);
    FUZZ_CHECK(std::memcmp(address->bytes.data(), &value, 4) == 0);
  } else {
    FUZZ_CHECK(isIPv6);
    FUZZ_CHECK(std::memcmp(address->bytes.data(), &v6.sin6_addr, 16) == 0);
  }
  // Its own text is an address again, the same one, and so is its socket address.
  FUZZ_CHECK(net::NumericHost(address->AddressText()) == address);
  sockaddr_storage storage{};
  const socklen_t length = address->ToSockaddr(storage);
  FUZZ_CHECK(net::Endpoint::FromSockaddr(reinterpret_cast<const sockaddr*>(&storage), length) == address);
  return 0;
}
