#include "protocol/bans.h"

#include <arpa/inet.h>

#include <charconv>
#include <map>
#include <tuple>

#include "common/text.h"
#include "protocol/lines.h"
#include "protocol/packets.h"

namespace protocol {

const BanCommands kQuake3Bans{
    .list = "listbans",
    .add = "banaddr",
    .addException = "exceptaddr",
    .remove = "bandel",
    .removeException = "exceptdel",
    .flush = "flushbans",
    .reloadFile = "rehashbans",
    .saveFile = {},
    .fileVariable = "sv_banFile",
    .filterVariable = {},
    .form = BanListForm::Numbered,
    .addressForm = BanAddressForm::Cidr,
    .banByClientNumber = true,
    .errorTexts = {"Error:", "Usage:", "Bad slot number", {}},
    .keepingNote = "The server saves every change to its ban file, but many servers (ioquake3 builds before late "
                   "2025) do not read that file when they start: after a restart the list is empty until it is "
                   "reloaded from the server's file.",
};

const BanCommands kQuake2Bans{
    .list = "sv listip",
    .add = "sv addip",
    .addException = {},
    .remove = "sv removeip",
    .removeException = {},
    .flush = {},
    .reloadFile = {},
    .saveFile = "sv writeip",
    .fileVariable = {},
    .filterVariable = "filterban",
    .form = BanListForm::FilterList,
    .addressForm = BanAddressForm::Octets,
    .banByClientNumber = false,
    .errorTexts = {"Bad filter address", "IP filter list is full", "Didn't find", "Usage:"},
    .keepingNote = "The server keeps this list until it stops. \"Save to the server's file\" writes it to "
                   "listip.cfg, which the server reads at start when its configuration runs \"exec listip.cfg\".",
};

namespace {

bool ReadInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "Ban #12: 203.0.113.7/32"
bool ReadNumbered(std::string_view line, BanEntry& entry) {
  line = common::TrimSpacesView(line);
  if (StartsWith(line, "Ban #")) {
    entry.kind = BanKind::Ban;
    line.remove_prefix(5);
  } else if (StartsWith(line, "Except #")) {
    entry.kind = BanKind::Exception;
    line.remove_prefix(8);
  } else {
    return false;
  }
  const std::size_t colon = line.find(": ");
  if (colon == std::string_view::npos || !ReadInt(line.substr(0, colon), entry.number)) return false;
  const std::string_view target = line.substr(colon + 2);
  const std::size_t slash = target.rfind('/');
  int bits = 0;
  if (slash == std::string_view::npos || !ReadInt(target.substr(slash + 1), bits)) return false;
  entry.address = target.substr(0, slash);
  entry.mask = std::to_string(bits);
  return true;
}

// "192.168.  0.  0"
bool ReadOctets(std::string_view line, BanEntry& entry) {
  std::array<int, 4> octets{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t dot = i < 3 ? line.find('.', at) : line.size();
    if (dot == std::string_view::npos) return false;
    if (!ReadInt(common::TrimSpacesView(line.substr(at, dot - at)), octets[i]) || octets[i] < 0 || octets[i] > 255)
      return false;
    at = dot + 1;
  }
  std::string address;
  std::string mask;
  for (std::size_t i = 0; i < 4; ++i) {
    if (i) {
      address += '.';
      mask += '.';
    }
    address += std::to_string(octets[i]);
    mask += octets[i] != 0 ? "255" : "0";
  }
  entry.address = address;
  entry.mask = mask;
  return true;
}

bool IsIpv4(std::string_view text) {
  int parts = 0;
  std::size_t at = 0;
  for (;;) {
    const std::size_t dot = text.find('.', at);
    const std::string_view part = text.substr(at, dot == std::string_view::npos ? std::string_view::npos : dot - at);
    int value = 0;
    if (part.empty() || part.size() > 3 || !ReadInt(part, value) || value > 255) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    at = dot + 1;
  }
  return parts == 4;
}

bool IsIpv6(std::string_view text) {
  if (text.find(':') == std::string_view::npos) return false;
  in6_addr address{};
  return inet_pton(AF_INET6, std::string(text).c_str(), &address) == 1;
}

BanAddress Refuse(std::string error) {
  BanAddress result;
  result.error = std::move(error);
  return result;
}

BanAddress CheckCidr(std::string_view typed) {
  const std::size_t slash = typed.find('/');
  const std::string_view address = typed.substr(0, slash);
  const bool v4 = IsIpv4(address);
  if (!v4 && !IsIpv6(address))
    return Refuse("\"" + std::string(address) + "\" is not an IPv4 address (four numbers 0 to 255 with dots) or an IPv6 address.");
  BanAddress result;
  result.argument = std::string(address);
  if (slash != std::string_view::npos) {
    const int most = v4 ? 32 : 128;
    int bits = -1;
    if (!ReadInt(typed.substr(slash + 1), bits) || bits < 0 || bits > most)
      return Refuse("The mask after \"/\" must be a number of bits from 1 to " + std::to_string(most) + ".");
    if (bits == 0) return Refuse("A mask of 0 bits would ban every address.");
    result.argument += "/" + std::to_string(bits);
  }
  result.ok = true;
  return result;
}

BanAddress CheckOctets(std::string_view typed) {
  const std::size_t slash = typed.find('/');
  const std::string_view address = typed.substr(0, slash);
  if (!IsIpv4(address)) return Refuse("\"" + std::string(address) + "\" is not an IPv4 address (four numbers 0 to 255 with dots).");
  std::array<int, 4> octets{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t dot = address.find('.', at);
    ReadInt(address.substr(at, dot == std::string_view::npos ? std::string_view::npos : dot - at), octets[i]);
    at = dot + 1;
  }
  int bits = 32;
  if (slash != std::string_view::npos) {
    if (!ReadInt(typed.substr(slash + 1), bits) || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
      return Refuse("Quake 2 servers filter whole numbers of an address: the mask can be /8, /16, /24 or /32.");
  }
  for (int i = bits / 8; i < 4; ++i) octets[static_cast<std::size_t>(i)] = 0;
  BanAddress result;
  std::string pattern;
  bool wildcard = false;
  for (int i = 0; i < 4; ++i) {
    const int octet = octets[static_cast<std::size_t>(i)];
    if (i) {
      result.argument += '.';
      pattern += '.';
    }
    result.argument += std::to_string(octet);
    pattern += octet == 0 ? std::string("*") : std::to_string(octet);
    if (octet == 0 && i < bits / 8) wildcard = true;
  }
  if (wildcard)
    result.warning = "A Quake 2 server reads a 0 in an address as any number: " + result.argument + " stands for " +
                     pattern + ".";
  result.ok = true;
  return result;
}

}  // namespace

std::vector<BanEntry> ParseBanList(const BanCommands& commands, std::string_view output) {
  std::vector<BanEntry> entries;
  LineReader lines(output);
  std::string_view line;
  bool inList = commands.form == BanListForm::Numbered;
  while (lines.Next(line)) {
    if (line.size() && line.back() == '\r') line.remove_suffix(1);
    BanEntry entry;
    if (commands.form == BanListForm::Numbered) {
      if (!ReadNumbered(line, entry)) continue;
    } else {
      if (StartsWith(common::TrimSpacesView(line), "Filter list:")) {
        inList = true;
        continue;
      }
      if (!inList || !ReadOctets(line, entry)) continue;
      entry.number = static_cast<int>(entries.size()) + 1;
    }
    entries.push_back(std::move(entry));
  }
  // An entry listed twice: counted by kind, address and mask, so a long list stays quick.
  std::map<std::tuple<BanKind, std::string_view, std::string_view>, int> seen;
  for (const BanEntry& entry : entries) ++seen[{entry.kind, entry.address, entry.mask}];
  for (BanEntry& entry : entries) {
    if (commands.form == BanListForm::Numbered && entry.mask == "0") entry.suspect = true;
    if (seen[{entry.kind, entry.address, entry.mask}] > 1) entry.suspect = true;
  }
  return entries;
}

std::string BanEntryText(const BanEntry& entry) {
  if (entry.mask.find('.') != std::string::npos) return entry.address + " (" + entry.mask + ")";
  return entry.address + "/" + entry.mask;
}

BanAddress CheckBanAddress(const BanCommands& commands, std::string_view typed) {
  typed = common::TrimSpacesView(typed);
  if (typed.empty()) return Refuse("Type the address to ban.");
  if (typed.find_first_of(" \t\r\n\"") != std::string_view::npos)
    return Refuse("An address holds no spaces, quotes or line breaks.");
  return commands.addressForm == BanAddressForm::Cidr ? CheckCidr(typed) : CheckOctets(typed);
}

std::string BanCommandText(std::string_view command) { return " " + std::string(command); }

std::string BanListCommand(const BanCommands& commands) { return BanCommandText(commands.list); }

std::string AddBanCommand(const BanCommands& commands, BanKind kind, std::string_view argument) {
  const std::string_view add = kind == BanKind::Exception ? commands.addException : commands.add;
  return BanCommandText(add) + " " + std::string(argument);
}

std::string RemoveBanCommand(const BanCommands& commands, const BanEntry& entry) {
  if (commands.form == BanListForm::FilterList) return BanCommandText(commands.remove) + " " + entry.address;
  const std::string_view remove = entry.kind == BanKind::Exception ? commands.removeException : commands.remove;
  return BanCommandText(remove) + " " + std::to_string(entry.number);
}

std::string BanClientCommand(const BanCommands& commands, std::string_view clientNumber) {
  return BanCommandText(commands.add) + " " + std::string(clientNumber);
}

std::string BanErrors(const BanCommands& commands, std::string_view output) {
  std::string errors;
  LineReader lines(output);
  std::string_view line;
  while (lines.Next(line)) {
    for (std::string_view error : commands.errorTexts) {
      if (error.empty() || !StartsWith(line, error)) continue;
      if (!errors.empty()) errors += '\n';
      errors += line;
      break;
    }
  }
  return errors;
}

std::string PrintedText(const std::vector<std::string>& datagrams) {
  std::string text;
  for (const std::string& datagram : datagrams) {
    std::string_view body = DatagramText(datagram);
    if (StartsWith(body, "print\n")) body.remove_prefix(6);
    text += body;
  }
  return text;
}

}  // namespace protocol
