#pragma once
// The game state a test server answers from: cvars, players and maps. Not thread-safe on its
// own; GameServer guards it with its mutex.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/gameserver/game_server.h"

namespace test::gameserver {

struct CvarEntry {
  std::string name;
  std::string value;
  std::string reset;
  unsigned flags = 0;
  std::optional<std::string> latched;
};

// Cvars in the order they were registered. Quake 3 finds names without regard to letter case,
// Quake 2 with it.
class CvarTable {
 public:
  explicit CvarTable(bool ignoreCase) : ignoreCase_(ignoreCase) {}

  CvarEntry* Find(std::string_view name);
  const CvarEntry* Find(std::string_view name) const;
  // Adds the cvar, or replaces value, default and flags of the one with that name.
  CvarEntry& Define(const CvarDef& def);
  // Sets the value bypassing every protection; creates a plain cvar when missing.
  CvarEntry& ForceSet(std::string_view name, std::string_view value, unsigned addFlags = 0);
  // "\key\value..." of every cvar carrying `flag`, in table order.
  std::string InfoString(unsigned flag) const;
  // Latched values take effect (a new map is loaded).
  void ApplyLatched();
  int Integer(std::string_view name, int fallback) const;
  // In the order they were registered.
  const std::vector<CvarEntry>& Entries() const { return entries_; }

 private:
  bool ignoreCase_;
  std::vector<CvarEntry> entries_;
};

std::vector<CvarDef> StockCvars(Game game);
std::vector<std::string> StockMaps(Game game);
std::size_t StockChunk(Game game);

class ServerState {
 public:
  explicit ServerState(const GameServerConfig& config);

  Game game;
  StatusLayout layout;
  Quake2Engine quake2Engine;
  std::size_t chunk;
  CvarTable cvars;
  std::vector<std::string> maps;
  // The Quake 2 game's IP filter: per entry the four octets to compare and whether each
  // counts (an octet 0 when added matches any value).
  struct IpFilter {
    std::array<int, 4> octets{};
    std::array<bool, 4> counts{};
    bool operator==(const IpFilter&) const = default;
  };
  std::vector<IpFilter> ipFilters;
  // The ioquake3 engine's bans (IPv4 only here), in the order added.
  struct Ban {
    bool exception = false;
    std::string address;
    int bits = 32;
  };
  std::vector<Ban> bans;

  const std::map<int, Player>& Players() const { return players_; }
  Player* FindPlayer(int slot);
  // Takes the slot the player names or the lowest free one; raises the client limit to fit.
  void PutPlayer(Player player);
  void SetPlayers(std::vector<Player> players);
  bool RemovePlayer(int slot);

  std::string Password() const;
  std::string MapName() const;
  void SetMapName(const std::string& name);
  bool IsKnownMap(std::string_view name) const;
  int MaxClients() const;
  // "\key\value..." of the player's user info.
  std::string UserInfoString(const Player& player) const;

 private:
  std::map<int, Player> players_;
};

const char* PasswordCvar(Game game);
const char* MaxClientsCvar(Game game);

}  // namespace test::gameserver
