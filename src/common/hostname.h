#pragma once
// Reverse name look-up of a player's address, and the reading of IPv6 address texts.
#include <netinet/in.h>

#include <string>
#include <string_view>

// What a look-up that finds no name gives.
inline constexpr std::string_view kUnknownHostName = "Unknown IP";

// The host name of a bare address, no port: a dotted IPv4 address ("192.168.0.7") or an IPv6
// address ("2001:db8::5", also in brackets or with a %zone). "Unknown IP" when the text is no
// such address or the resolver knows no name. Blocks until the resolver answers: the program
// asks it through net::CurrentResolver, on a thread of its own.
std::string LookupHostName(std::string_view address);

// Reads an IPv6 address text, bare or in brackets, with an optional %zone (by interface name
// or number), without asking any resolver. False for anything else, IPv4 texts included.
bool ParseIPv6Address(std::string_view text, sockaddr_in6& address);
