#include "common/hostname.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <vector>

std::string LookupHostName(std::string_view address) {
  static const std::string kUnknown = "Unknown IP";
  // Only a strict dotted quad counts; anything else (a port suffix, a word such as "bot",
  // an embedded NUL) is not an address.
  const std::string text(address);
  in_addr addr{};
  if (text.size() != std::char_traits<char>::length(text.c_str()) || ::inet_pton(AF_INET, text.c_str(), &addr) != 1)
    return kUnknown;
  hostent entry{};
  hostent* result = nullptr;
  int error = 0;
  std::vector<char> buffer(1024);
  for (;;) {
    const int rc = ::gethostbyaddr_r(&addr, sizeof addr, AF_INET, &entry, buffer.data(), buffer.size(), &result, &error);
    if (rc == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    break;
  }
  if (!result || !result->h_name || !*result->h_name) return kUnknown;
  return result->h_name;
}
