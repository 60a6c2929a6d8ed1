#pragma once
// Reverse name look-up of a player's address.
#include <string>
#include <string_view>

// The official host name of a bare dotted IPv4 address ("192.168.0.7", no port), or
// "Unknown IP" when the text is not such an address or the resolver knows no name. Blocks
// until the resolver answers.
std::string LookupHostName(std::string_view address);
