#pragma once
// The administrator's server list, kept in Corvane.ini: NumServers in section Common, and one
// section "Server"N per entry (Server0 first) with the keys Hostname, Port, GameType,
// rconPassword (scrambled) and Description.
//
// Every operation opens the file at platform::IniFileName(), reads or writes it and is done;
// nothing is cached here. Positions in the select-server list and section numbers stay equal:
// entries are appended at the old count, rewritten in place, and a deletion renumbers the
// sections after it.
#include <string>
#include <vector>

// One stored server.
struct ServerEntry {
  std::string HostName;
  std::string Port;      // as the file holds it (written from a whole number)
  std::string Password;  // plain; the file holds it scrambled
  int GameType = 0;      // 0 Quake 3 Arena, 1 Quake World, 2 Quake 2
  std::string Description;

  bool operator==(const ServerEntry&) const = default;
};

// Entries 0 .. NumServers - 1 with HostName, Port, GameType and Description; passwords are not
// read. NumServers missing, 0 or negative gives an empty list; a missing section inside the
// range gives an entry of defaults.
std::vector<ServerEntry> LoadServerList();

// Entry N as the file holds it now, password unscrambled.
ServerEntry ReadEntry(int index);

// The unscrambled password of entry N.
std::string ReadEntryPassword(int index);

// Writes section "Server"N key by key (Hostname, Port, GameType, rconPassword, Description),
// then NumServers = count. A key that cannot be written raises EIniFileException
// "Unable to write to <file>"; the keys after it and NumServers are not written.
void WriteEntry(int index, const ServerEntry& entry, int count);

// Removes entry N of a list of `count` entries: the sections after it move one number down and
// NumServers becomes count - 1, all in one write. Raises EIniFileException when the file cannot
// be written; the file is then unchanged.
void DeleteEntry(int index, int count);

namespace addressbook {

// A hand-edited NumServers beyond this is taken as this many.
inline constexpr int kMaxServers = 10000;

std::string ServerSection(int index);  // "Server" + index

// Most passwords are kept as their scrambled text under rconPassword. A scrambled text that an
// INI value cannot carry (a NUL or a line break in it, or too long to read back) is kept as
// hexadecimal under this key instead, with rconPassword left empty.
inline constexpr const char* kPasswordHexKey = "rconPasswordHex";

}  // namespace addressbook
