#include "support/gameserver/server_state.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "support/gameserver/text.h"

namespace test::gameserver {

CvarEntry* CvarTable::Find(std::string_view name) {
  for (auto& entry : entries_)
    if (ignoreCase_ ? EqualsNoCase(entry.name, name) : entry.name == name) return &entry;
  return nullptr;
}

const CvarEntry* CvarTable::Find(std::string_view name) const {
  return const_cast<CvarTable*>(this)->Find(name);
}

CvarEntry& CvarTable::Define(const CvarDef& def) {
  CvarEntry* entry = Find(def.name);
  if (!entry) {
    entries_.push_back({def.name, {}, {}, 0, {}});
    entry = &entries_.back();
  }
  entry->value = def.value;
  entry->reset = def.resetValue.value_or(def.value);
  entry->flags = def.flags;
  entry->latched.reset();
  return *entry;
}

CvarEntry& CvarTable::ForceSet(std::string_view name, std::string_view value, unsigned addFlags) {
  CvarEntry* entry = Find(name);
  if (!entry) {
    entries_.push_back({std::string(name), std::string(value), std::string(value), 0, {}});
    entry = &entries_.back();
  }
  entry->value = std::string(value);
  entry->flags |= addFlags;
  entry->latched.reset();
  return *entry;
}

std::string CvarTable::InfoString(unsigned flag) const {
  std::string info;
  for (const auto& entry : entries_) {
    // The servers' info-string setter leaves out empty values.
    if (!(entry.flags & flag) || entry.value.empty()) continue;
    info += '\\' + entry.name + '\\' + entry.value;
  }
  return info;
}

void CvarTable::ApplyLatched() {
  for (auto& entry : entries_) {
    if (!entry.latched) continue;
    entry.value = *entry.latched;
    entry.latched.reset();
  }
}

int CvarTable::Integer(std::string_view name, int fallback) const {
  const CvarEntry* entry = Find(name);
  return entry ? std::atoi(entry->value.c_str()) : fallback;
}

const char* PasswordCvar(Game game) { return game == Game::Quake3 ? "rconpassword" : "rcon_password"; }
const char* MaxClientsCvar(Game game) { return game == Game::Quake3 ? "sv_maxclients" : "maxclients"; }

std::vector<CvarDef> StockCvars(Game game) {
  constexpr unsigned kInfo = kServerInfo;
  if (game == Game::Quake3) {
    return {
        // The server info of a stock OpenArena server (ioquake3 1.36), in its order.
        {"com_protocol", "71", {}, kInfo | kWriteProtected},
        {"version", "ioq3 1.36+u20221123.70d07d9+dfsg-1/Debian linux-x86_64 Jan  8 2023", {}, kInfo | kReadOnly},
        {"com_gamename", "Quake3Arena", {}, kInfo | kWriteProtected},
        {"dmflags", "0", {}, kInfo},
        {"fraglimit", "20", {}, kInfo},
        {"timelimit", "0", {}, kInfo},
        {"g_gametype", "0", {}, kInfo | kLatch},
        {"mapname", "q3dm17", "nomap", kInfo | kReadOnly},
        {"sv_privateClients", "0", {}, kInfo},
        {"sv_hostname", "^1Test ^7Server", "noname", kInfo},
        {"sv_maxclients", "16", "8", kInfo | kLatch},
        {"sv_minRate", "0", {}, kInfo},
        {"sv_maxRate", "0", {}, kInfo},
        {"sv_dlRate", "100", {}, kInfo},
        {"sv_minPing", "0", {}, kInfo},
        {"sv_maxPing", "0", {}, kInfo},
        {"sv_floodProtect", "1", {}, kInfo},
        {"sv_allowDownload", "0", {}, kInfo},
        {"bot_minplayers", "0", {}, kInfo},
        {"gamename", "baseoa", {}, kInfo | kReadOnly},
        {"g_maxGameClients", "0", {}, kInfo | kLatch},
        {"videoflags", "7", {}, kInfo},
        {"elimflags", "0", {}, kInfo},
        {"voteflags", "767", {}, kInfo},
        {"capturelimit", "8", {}, kInfo},
        {"g_doWarmup", "0", {}, kInfo},
        {"g_needpass", "0", {}, kInfo},
        {"g_allowVote", "1", {}, kInfo},
        {"g_voteGametypes", "/0/1/3/4/5/6/7/8/9/10/11/12/", {}, kInfo},
        {"g_voteMaxTimelimit", "1000", {}, kInfo},
        {"g_voteMinTimelimit", "0", {}, kInfo},
        {"g_voteMaxFraglimit", "0", {}, kInfo},
        {"g_voteMinFraglimit", "0", {}, kInfo},
        {"g_obeliskRespawnDelay", "10", {}, kInfo},
        {"g_enableDust", "0", {}, kInfo},
        {"g_enableBreath", "0", {}, kInfo},
        {"g_delagHitscan", "0", {}, kInfo},
        {"elimination_roundtime", "120", {}, kInfo},
        {"g_rockets", "0", {}, kInfo},
        {"g_instantgib", "0", {}, kInfo},
        {"g_lms_mode", "0", {}, kInfo},
        {"g_altExcellent", "0", {}, kInfo},
        {"g_timestamp", "2026-12-08 01:17:44", {}, kInfo | kReadOnly},
        {"rconpassword", "", "", 0},
        {"sv_cheats", "0", {}, kReadOnly},
        {"dedicated", "1", "0", 0},
        {"fs_game", "", {}, kWriteProtected},
        {"sv_pure", "1", {}, 0},
        {"sv_fps", "20", {}, 0},
        {"sv_timeout", "200", {}, 0},
        {"sv_zombietime", "2", {}, 0},
        {"sv_privatePassword", "", {}, 0},
        {"g_password", "", {}, 0},
        {"g_motd", "", {}, 0},
        {"g_gravity", "800", {}, 0},
        {"g_speed", "320", {}, 0},
        {"g_knockback", "1000", {}, 0},
        {"g_quadfactor", "3", {}, 0},
        {"g_friendlyFire", "0", {}, 0},
        {"g_teamAutoJoin", "0", {}, 0},
        {"g_teamForceBalance", "0", {}, 0},
        {"g_warmup", "20", {}, 0},
        {"g_forcerespawn", "20", {}, 0},
        {"g_weaponrespawn", "5", {}, 0},
        {"g_inactivity", "0", {}, 0},
        {"g_synchronousClients", "0", {}, 0},
        {"bot_enable", "1", {}, kLatch},
        {"timescale", "1", {}, kCheat},
    };
  }
  return {
      {"mapname", "q2dm1", {}, kInfo | kWriteProtected},
      {"gamedate", "Nov 30 1997", {}, kInfo | kLatch},
      {"gamename", "baseq2", {}, kInfo | kLatch},
      {"maxspectators", "4", {}, kInfo},
      {"protocol", "34", {}, kInfo | kWriteProtected},
      {"cheats", "0", {}, kInfo | kLatch},
      {"deathmatch", "1", "0", kInfo | kLatch},
      {"dmflags", "16", "0", kInfo},
      {"fraglimit", "0", {}, kInfo},
      {"timelimit", "20", "0", kInfo},
      {"maxclients", "16", "1", kInfo | kLatch},
      {"hostname", "Test Server", "noname", kInfo},
      {"version", "3.20 x86 Nov 30 1997 Linux RELEASE", {}, kInfo | kWriteProtected},
      {"rcon_password", "", "", 0},
      {"dedicated", "1", "0", kWriteProtected},
      {"game", "", {}, kInfo | kLatch},
      {"password", "", {}, 0},
      {"public", "0", {}, 0},
      {"skill", "1", {}, kLatch},
      {"timeout", "125", {}, 0},
      {"zombietime", "2", {}, 0},
      {"sv_gravity", "800", {}, 0},
      {"sv_maxvelocity", "2000", {}, 0},
      {"allow_download", "1", "0", 0},
      {"sv_enforcetime", "0", {}, 0},
  };
}

std::vector<std::string> StockMaps(Game game) {
  std::vector<std::string> maps;
  if (game == Game::Quake3) {
    for (int i = 0; i <= 19; ++i) maps.push_back(Format("q3dm%d", i));
    for (int i = 1; i <= 6; ++i) maps.push_back(Format("q3tourney%d", i));
    for (int i = 1; i <= 4; ++i) maps.push_back(Format("q3ctf%d", i));
    maps.push_back("q3tourney6_ctf");
    return maps;
  }
  for (int i = 1; i <= 8; ++i) maps.push_back(Format("q2dm%d", i));
  for (const char* name : {"base1", "base2", "base3", "biggun", "boss1", "boss2", "bunk1", "city1", "city2",
                           "city3", "command", "cool1", "fact1", "fact2", "fact3", "hangar1", "hangar2", "jail1",
                           "jail2", "jail3", "jail4", "jail5", "lab", "mine1", "mine2", "mine3", "mine4",
                           "mintro", "power1", "power2", "security", "space", "strike", "train", "ware1",
                           "ware2", "waste1", "waste2", "waste3"})
    maps.push_back(name);
  return maps;
}

std::size_t StockChunk(Game game) { return game == Game::Quake3 ? 1008 : 1384; }

ServerState::ServerState(const GameServerConfig& config)
    : game(config.game),
      layout(config.layout),
      quake2Engine(config.quake2Engine),
      chunk(config.chunk ? config.chunk : StockChunk(config.game)),
      cvars(config.game == Game::Quake3),
      maps(config.maps.empty() ? StockMaps(config.game) : config.maps) {
  if (config.stockCvars) {
    for (const auto& def : StockCvars(game)) cvars.Define(def);
    for (const auto& def : config.cvars) cvars.Define(def);
  } else {
    for (const auto& def : config.cvars) cvars.Define(def);
    const std::string essential[] = {"mapname", MaxClientsCvar(game), PasswordCvar(game),
                                     game == Game::Quake3 ? "sv_cheats" : "cheats", "g_gametype"};
    for (const auto& def : StockCvars(game))
      if (!cvars.Find(def.name) && std::find(std::begin(essential), std::end(essential), def.name) != std::end(essential))
        cvars.Define(def);
  }
  if (!config.password.empty()) cvars.ForceSet(PasswordCvar(game), config.password);
  if (!config.map.empty()) SetMapName(config.map);
  SetPlayers(config.players);
}

Player* ServerState::FindPlayer(int slot) {
  auto it = players_.find(slot);
  return it == players_.end() ? nullptr : &it->second;
}

void ServerState::PutPlayer(Player player) {
  if (player.slot < 0) {
    player.slot = 0;
    while (players_.count(player.slot)) ++player.slot;
  }
  if (player.slot >= MaxClients()) cvars.ForceSet(MaxClientsCvar(game), std::to_string(player.slot + 1));
  const int slot = player.slot;
  players_[slot] = std::move(player);
}

void ServerState::SetPlayers(std::vector<Player> players) {
  players_.clear();
  // Players with a fixed slot first, so that the others fill the gaps around them.
  std::stable_partition(players.begin(), players.end(), [](const Player& p) { return p.slot >= 0; });
  for (auto& player : players) PutPlayer(std::move(player));
}

bool ServerState::RemovePlayer(int slot) { return players_.erase(slot) > 0; }

std::string ServerState::Password() const {
  const CvarEntry* entry = cvars.Find(PasswordCvar(game));
  return entry ? entry->value : std::string();
}

std::string ServerState::MapName() const {
  const CvarEntry* entry = cvars.Find("mapname");
  return entry ? entry->value : std::string();
}

void ServerState::SetMapName(const std::string& name) { cvars.ForceSet("mapname", name); }

bool ServerState::IsKnownMap(std::string_view name) const {
  return std::any_of(maps.begin(), maps.end(), [&](const std::string& map) { return EqualsNoCase(map, name); });
}

int ServerState::MaxClients() const { return cvars.Integer(MaxClientsCvar(game), 0); }

std::string ServerState::UserInfoString(const Player& player) const {
  std::vector<std::pair<std::string, std::string>> info = player.userinfo;
  const bool bot = player.address == "bot";
  const bool hasPort = player.address.find(':') != std::string::npos;
  if (info.empty() && game == Game::Quake3 && bot) {
    // The order a real server's bots have.
    info = {{"sex", "male"},          {"skill", " 3.00"},         {"characterfile", "bots/" + player.model.substr(0, player.model.find('/')) + "_c.c"},
            {"color2", "5"},          {"color1", "4"},            {"team_headmodel", player.model},
            {"headmodel", player.model}, {"team_model", player.model}, {"model", player.model},
            {"handicap", "100"},      {"snaps", "20"},            {"rate", std::to_string(player.rate)},
            {"name", player.name}};
  } else if (info.empty() && game == Game::Quake3) {
    info = {{"name", player.name},       {"rate", std::to_string(player.rate)}, {"snaps", "20"},
            {"model", player.model},     {"headmodel", player.model},           {"team_model", player.model},
            {"team_headmodel", player.model}, {"color1", "4"},                 {"color2", "5"},
            {"handicap", "100"},         {"sex", "male"}};
    if (hasPort) info.emplace_back("ip", player.address);
  } else if (info.empty()) {
    info = {{"name", player.name}, {"skin", player.model}, {"rate", std::to_string(player.rate)},
            {"msg", "1"},          {"hand", "0"},          {"fov", "90"},
            {"spectator", "0"}};
    if (hasPort) info.emplace_back("ip", player.address);
  }
  std::string text;
  for (const auto& [key, value] : info) text += '\\' + key + '\\' + value;
  return text;
}

}  // namespace test::gameserver
