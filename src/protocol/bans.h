#pragma once
// Ban lists over remote commands: each game's command set, the commands built from what the
// administrator typed, the reader of the listed entries and the answers that mean an error.
//
//   Quake 3 (ioquake3 engine bans):
//     listbans           Ban #1: 203.0.113.7/32 / Except #1: 198.51.100.9/32 (numbered per kind)
//     banaddr A[/BITS]   Added ban: 203.0.113.7/32 | Error: Ban X supersedes ban Y
//     banaddr N          (a client number) Error: Can ban players connected via the internet only.
//     exceptaddr         likewise, "Added ban exception: ..."
//     bandel N, exceptdel N, flushbans, rehashbans (reads the server's file again)
//   Quake 2 (the game's IP filter):
//     sv listip          Filter list: then one "%3i.%3i.%3i.%3i" a line; an octet 0 matches any
//     sv addip A, sv removeip A, sv writeip (saves listip.cfg); the variable filterban.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

struct GameTraits;

enum class BanListForm : std::uint8_t {
  Numbered,    // "Ban #n: address/bits", "Except #n: ..."
  FilterList,  // "Filter list:", then dotted octets padded to three
};

enum class BanAddressForm : std::uint8_t {
  Cidr,    // IPv4 or IPv6 with an optional /bits
  Octets,  // IPv4 whose octets 0 match any value
};

struct BanCommands {
  std::string_view list;             // prints the list
  std::string_view add;              // + " " + address
  std::string_view addException;     // empty: the game has no exceptions
  std::string_view remove;           // + " " + number (Numbered) or address (FilterList)
  std::string_view removeException;
  std::string_view flush;            // empty: entries are removed one by one
  std::string_view reloadFile;       // reads the server's saved list again; empty: none
  std::string_view saveFile;         // saves the list to the server's file; empty: saved on each change
  std::string_view fileVariable;     // names the server's file; empty: none
  std::string_view filterVariable;   // 1: the list bans, 0: only the listed may connect; empty: none
  BanListForm form;
  BanAddressForm addressForm;
  bool banByClientNumber;            // the add command also takes a client number
  // Answers that mean the command failed, found at the start of a line.
  std::array<std::string_view, 4> errorTexts;
  // How the server keeps its list, for the administrator.
  std::string_view keepingNote;
};

extern const BanCommands kQuake3Bans;
extern const BanCommands kQuake2Bans;

enum class BanKind : std::uint8_t { Ban, Exception };

struct BanEntry {
  BanKind kind = BanKind::Ban;
  int number = 0;         // as listed (Numbered, per kind) or the position in the list (FilterList)
  std::string address;    // "203.0.113.7", "2001:db8::", "192.168.0.0"
  std::string mask;       // "32" (bits), or "255.255.0.0" (octets that count)
  // A listing that cannot be what it says: a /0 entry (an IPv6 entry read by a server without
  // IPv6 is listed so, with a stale address, and bans nobody) or an entry listed twice.
  bool suspect = false;
  bool operator==(const BanEntry&) const = default;
};

// The entries of a list command's output (the printed text, chunks joined, without the
// datagrams' "print" lines). Lines of any other form are skipped; never fails.
std::vector<BanEntry> ParseBanList(const BanCommands& commands, std::string_view output);

// The address as the window shows it: "203.0.113.7/32", "192.168.0.0 (255.255.0.0)".
std::string BanEntryText(const BanEntry& entry);

// What the administrator typed as an address to ban, checked before anything is sent.
struct BanAddress {
  bool ok = false;
  std::string argument;  // what the add command takes
  std::string error;     // why it cannot be sent
  std::string warning;   // what the administrator should know before it is sent
};
BanAddress CheckBanAddress(const BanCommands& commands, std::string_view typed);

// The command texts (with a leading space, as a monitor window's commands).
std::string BanListCommand(const BanCommands& commands);
std::string AddBanCommand(const BanCommands& commands, BanKind kind, std::string_view argument);
std::string RemoveBanCommand(const BanCommands& commands, const BanEntry& entry);
std::string BanClientCommand(const BanCommands& commands, std::string_view clientNumber);
std::string BanCommandText(std::string_view command);  // " " + command

// The lines of an answer that tell of an error, joined with line feeds; empty when none.
std::string BanErrors(const BanCommands& commands, std::string_view output);

// The printed text of a remote command's reply datagrams: each datagram's text after the
// marker and "print" and its line feed, joined.
std::string PrintedText(const std::vector<std::string>& datagrams);

}  // namespace protocol
