// The Quake 3 side: the status query and the remote console of an ioquake3 dedicated server
// (texts and print order as it prints them), with the original status table as an option.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "support/gameserver/console_output.h"
#include "support/gameserver/games.h"
#include "support/gameserver/text.h"

namespace test::gameserver {
namespace {

constexpr Game kGame = Game::Quake3;
constexpr int kSinglePlayer = 2;
constexpr std::size_t kMaxCommand = 1023;  // the buffer the remote command is copied into
constexpr std::size_t kMaxStatus = 16384;  // player lines the status query holds

// What the ping column says of a client that is not playing: ioquake3 tells connecting and
// zombie slots, Quake3e also the primed ones, in three letters.
const char* PingWord(const Player& player, StatusLayout layout) {
  const bool q3e = layout == StatusLayout::Quake3e;
  switch (player.state) {
    case PlayerState::Connecting:
    case PlayerState::Downloading: return q3e ? "CON " : "CNCT ";
    case PlayerState::Zombie: return q3e ? "ZMB " : "ZMBI ";
    case PlayerState::Primed: return q3e ? "PRM " : nullptr;
    case PlayerState::Active: break;
  }
  return nullptr;
}

class Console {
 public:
  Console(ServerState& state, ConsoleOutput& out) : state_(state), out_(out) {}

  void Execute(std::string_view text) {
    args_ = Tokenize(kGame, text);
    if (args_.empty()) return;
    const std::string& cmd = args_[0];
    auto is = [&](const char* name) { return EqualsNoCase(cmd, name); };
    if (is("status")) return Status();
    if (is("serverinfo")) return ServerInfo();
    if (is("dumpuser")) return DumpUser();
    if (is("kick")) return Kick();
    if (is("clientkick")) return ClientKick();
    if (is("map") || is("devmap") || is("spmap") || is("spdevmap")) return MapCommand();
    if (is("map_restart")) return MapRestart();
    if (is("say")) return Say();
    if (is("tell")) return Tell();
    if (is("listbans")) return ListBans();
    if (is("banaddr")) return AddBan(false);
    if (is("exceptaddr")) return AddBan(true);
    if (is("bandel")) return DeleteBan(false);
    if (is("exceptdel")) return DeleteBan(true);
    if (is("flushbans")) return FlushBans();
    if (is("rehashbans")) return;  // the file holds what the list holds
    if (is("echo")) return out_.Printf("%s\n", Args(1).c_str());
    if (is("set") || is("sets") || is("seta") || is("setu")) return Set();
    if (is("reset")) return Reset();
    if (is("cvarlist")) return CvarList();
    if (CvarCommand()) return;
    // What the game module answers to anything it does not know.
    out_.Printf("unknown command: %s\n", cmd.c_str());
  }

 private:
  std::string Arg(std::size_t i) const { return i < args_.size() ? args_[i] : std::string(); }
  std::string Args(std::size_t from) const { return ArgsFrom(args_, from); }

  void Status() {
    out_.Printf("map: %s\n", state_.MapName().c_str());
    if (state_.layout == StatusLayout::Quake3e) return Quake3eStatus();
    if (state_.layout != StatusLayout::Original) {
      out_.Print("cl score ping name            address                                 rate \n");
      out_.Print("-- ----- ---- --------------- --------------------------------------- -----\n");
    } else {
      out_.Print("num score ping name            lastmsg address               qport rate\n");
      out_.Print("--- ----- ---- --------------- ------- --------------------- ----- -----\n");
    }
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      if (state_.layout != StatusLayout::Original) {
        StatusRow(player);
      } else {
        OriginalStatusRow(player);
      }
    }
    out_.Print("\n");
  }

  void PingColumn(const Player& player) {
    if (const char* word = PingWord(player, state_.layout)) {
      out_.Print(word);
    } else {
      out_.Printf("%4i ", std::min(player.ping, state_.layout == StatusLayout::Quake3e ? 999 : 9999));
    }
  }

  // Quake3e pads the name and address columns to the longest of them, the heading included.
  void Quake3eStatus() {
    std::size_t nameWidth = 4;
    std::size_t addressWidth = 7;
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      nameWidth = std::max(nameWidth, VisibleLength(player.name));
      addressWidth = std::max(addressWidth, player.address.size());
    }
    const auto pad = [&](std::size_t count) {
      for (std::size_t i = 0; i < count; ++i) out_.Print(" ");
    };
    out_.Print("cl score ping name");
    pad(nameWidth - 4);
    out_.Print(" address");
    pad(addressWidth - 7);
    out_.Print(" rate\n");
    out_.Print("-- ----- ---- " + std::string(nameWidth, '-') + " " + std::string(addressWidth, '-') + " -----\n");
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      out_.Printf("%2i ", player.slot);
      out_.Printf("%5i ", player.score);
      PingColumn(player);
      out_.Printf("%s", player.name.c_str());
      pad(nameWidth - VisibleLength(player.name));
      out_.Printf("^7 %s", player.address.c_str());
      pad(addressWidth - player.address.size());
      out_.Printf(" %5i\n", player.rate);
    }
    out_.Print("\n");
  }

  // Every padding space is a print call of its own, and at least one is printed.
  void StatusRow(const Player& player) {
    out_.Printf("%2i ", player.slot);
    out_.Printf("%5i ", player.score);
    PingColumn(player);
    out_.Printf("%s", player.name.c_str());
    const int nameGap = 16 - static_cast<int>(VisibleLength(player.name));
    int j = 0;
    do {
      out_.Print(" ");
    } while (++j < nameGap);
    out_.Printf("^7%s", player.address.c_str());
    const int addressGap = 39 - static_cast<int>(player.address.size());
    j = 0;
    do {
      out_.Print(" ");
    } while (++j < addressGap);
    out_.Printf(" %5i", player.rate);
    out_.Print("\n");
  }

  void OriginalStatusRow(const Player& player) {
    out_.Printf("%3i ", player.slot);
    out_.Printf("%5i ", player.score);
    PingColumn(player);
    out_.Printf("%s", player.name.c_str());
    out_.Print("^7");
    for (int j = static_cast<int>(player.name.size()); j < 16; ++j) out_.Print(" ");
    out_.Printf("%7i ", player.lastmsg);
    out_.Printf("%s", player.address.c_str());
    for (int j = static_cast<int>(player.address.size()); j < 22; ++j) out_.Print(" ");
    out_.Printf("%5i", player.qport);
    out_.Printf(" %5i", player.rate);
    out_.Print("\n");
  }

  void ServerInfo() {
    out_.Print("Server info settings:\n");
    InfoPrint(out_, true, state_.cvars.InfoString(kServerInfo));
  }

  void DumpUser() {
    if (args_.size() != 2) return out_.Print("Usage: dumpuser <userid>\n");
    const Player* player = PlayerByHandle();
    if (!player) return;
    out_.Print("userinfo\n");
    out_.Print("--------\n");
    InfoPrint(out_, true, state_.UserInfoString(*player));
  }

  // A client number when the argument is all digits and names a used slot, else a name, with or
  // without its colour codes, in any letter case.
  const Player* PlayerByHandle() {
    const std::string handle = Arg(1);
    if (AllDigits(handle)) {
      const int slot = std::atoi(handle.c_str());
      if (slot >= 0 && slot < state_.MaxClients())
        if (const Player* player = state_.FindPlayer(slot)) return player;
    }
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      if (EqualsNoCase(player.name, handle) || EqualsNoCase(CleanName(player.name), handle)) return &player;
    }
    out_.Printf("Player %s is not on the server\n", handle.c_str());
    return nullptr;
  }

  const Player* PlayerByNumber() {
    const std::string text = Arg(1);
    if (!AllDigits(text)) {
      out_.Printf("Bad slot number: %s\n", text.c_str());
      return nullptr;
    }
    const int slot = std::atoi(text.c_str());
    if (slot < 0 || slot >= state_.MaxClients()) {
      out_.Printf("Bad client slot: %i\n", slot);
      return nullptr;
    }
    const Player* player = state_.FindPlayer(slot);
    if (!player) out_.Printf("Client %i is not active\n", slot);
    return player;
  }

  void Kick() {
    if (args_.size() != 2) {
      return out_.Print("Usage: kick <player name>\nkick all = kick everyone\nkick allbots = kick all bots\n");
    }
    const Player* player = PlayerByHandle();
    if (!player) {
      const bool all = EqualsNoCase(Arg(1), "all");
      const bool bots = EqualsNoCase(Arg(1), "allbots");
      if (!all && !bots) return;
      std::vector<int> slots;
      for (const auto& [slot, p] : state_.Players())
        if (all ? p.address != "loopback" : p.address == "bot") slots.push_back(slot);
      for (int slot : slots) Drop(slot);
      return;
    }
    KickPlayer(*player);
  }

  void ClientKick() {
    if (args_.size() != 2) return out_.Print("Usage: clientkick <client number>\n");
    if (const Player* player = PlayerByNumber()) KickPlayer(*player);
  }

  void KickPlayer(const Player& player) {
    if (player.address == "loopback") return out_.Print("Cannot kick host player\n");
    Drop(player.slot);
  }

  // The broadcast is echoed to the console with its line feed written as backslash-n.
  void Drop(int slot) {
    const Player* player = state_.FindPlayer(slot);
    if (!player) return;
    out_.Printf("broadcast: print \"%s^7 was kicked\\n\"\n", player->name.c_str());
    out_.Printf("ClientDisconnect: %i\n", slot);
    state_.RemovePlayer(slot);
  }

  void MapCommand() {
    const std::string map = Arg(1);
    if (!state_.IsKnownMap(map)) return out_.Printf("Can't find map maps/%s.bsp\n", map.c_str());
    const bool cheats = EqualsNoCase(args_[0], "devmap") || EqualsNoCase(args_[0], "spdevmap");
    state_.cvars.ForceSet("sv_cheats", cheats ? "1" : "0");
    LoadMap(map);
  }

  void MapRestart() {
    if (!HasLatched("g_gametype") && !HasLatched(MaxClientsCvar(kGame))) {
      for (const auto& [slot, player] : state_.Players()) state_.FindPlayer(slot)->score = 0;
      return;
    }
    out_.Print("variable change -- restarting.\n");
    LoadMap(state_.MapName());
  }

  bool HasLatched(const char* name) const {
    const CvarEntry* cvar = state_.cvars.Find(name);
    return cvar && cvar->latched;
  }

  void LoadMap(const std::string& map) {
    out_.Print("==== ShutdownGame ====\n");
    out_.Print("------ Server Initialization ------\n");
    out_.Printf("Server: %s\n", map.c_str());
    state_.cvars.ApplyLatched();
    state_.SetMapName(map);
    std::vector<int> zombies;
    for (const auto& [slot, player] : state_.Players()) {
      state_.FindPlayer(slot)->score = 0;
      if (player.state == PlayerState::Zombie) zombies.push_back(slot);
    }
    for (int slot : zombies) state_.RemovePlayer(slot);
    out_.Print("------- Game Initialization -------\n");
    const CvarEntry* gamename = state_.cvars.Find("gamename");
    out_.Printf("gamename: %s\n", gamename ? gamename->value.c_str() : "baseq3");
    out_.Printf("InitGame: %s\n", state_.cvars.InfoString(kServerInfo).c_str());
    out_.Print("-----------------------------------\n");
  }

  void Say() {
    if (args_.size() < 2) return;
    std::string text = Args(1);
    if (!text.empty() && text.front() == '"') text = text.substr(1, text.size() - 2);
    out_.Printf("console: %s\n", text.c_str());
  }

  void Tell() {
    if (args_.size() < 3) return out_.Print("Usage: tell <client number> <text>\n");
    if (!PlayerByNumber()) return;
    std::string text = Args(2);
    if (!text.empty() && text.front() == '"') text = text.substr(1, text.size() - 2);
    out_.Printf("console_tell: %s\n", text.c_str());
  }

  // A dotted IPv4 address as a number; false when it is none.
  static bool Ipv4(const std::string& text, unsigned& value) {
    value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
      if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
      unsigned octet = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') octet = octet * 10 + unsigned(text[i++] - '0');
      if (octet > 255) return false;
      value = value << 8 | octet;
      if (++parts < 4 && (i >= text.size() || text[i++] != '.')) return false;
    }
    return i == text.size();
  }
  static bool Covers(const ServerState::Ban& ban, const std::string& address) {
    unsigned a = 0, b = 0;
    if (!Ipv4(ban.address, a) || !Ipv4(address, b)) return false;
    const unsigned mask = ban.bits == 0 ? 0u : ~0u << (32 - ban.bits);
    return (a & mask) == (b & mask);
  }
  static std::string Kind(bool exception) { return exception ? "exception" : "ban"; }

  void ListBans() {
    for (bool exception : {false, true}) {
      int n = 0;
      for (const ServerState::Ban& ban : state_.bans)
        if (ban.exception == exception)
          out_.Printf("%s #%i: %s/%i\n", exception ? "Except" : "Ban", ++n, ban.address.c_str(), ban.bits);
    }
  }

  void AddBan(bool exception) {
    if (args_.size() < 2 || args_.size() > 3) return out_.Printf("Usage: %s (ip[/subnet] | clientnum [subnet])\n", args_[0].c_str());
    std::string address = Arg(1);
    int bits = 32;
    if (address.find_first_of(".:") != std::string::npos) {
      const std::size_t slash = address.find('/');
      if (slash != std::string::npos) {
        bits = std::atoi(address.c_str() + slash + 1);
        address.resize(slash);
      }
      unsigned value = 0;
      if (!Ipv4(address, value)) return out_.Printf("Error: Invalid address %s\n", address.c_str());
    } else {
      if (!AllDigits(address)) {
        out_.Printf("Bad slot number: %s\n", address.c_str());
        return out_.Printf("Error: Playernum %s does not exist.\n", address.c_str());
      }
      const Player* player = state_.FindPlayer(std::atoi(address.c_str()));
      if (!player) return out_.Printf("Error: Playernum %s does not exist.\n", address.c_str());
      if (player->address == "bot" || player->address == "loopback")
        return out_.Print("Error: Can ban players connected via the internet only.\n");
      address = player->address.substr(0, player->address.find(':'));
      if (args_.size() == 3) bits = std::atoi(Arg(2).c_str());
    }
    bits = std::clamp(bits, 0, 32);
    for (const ServerState::Ban& ban : state_.bans) {
      if (ban.exception == exception && ban.bits <= bits && Covers(ban, address))
        return out_.Printf("Error: %s %s/%i supersedes %s %s/%i\n", exception ? "Exception" : "Ban", ban.address.c_str(),
                           ban.bits, Kind(exception).c_str(), address.c_str(), bits);
    }
    state_.bans.push_back({exception, address, bits});
    out_.Printf("Added %s: %s/%i\n", exception ? "ban exception" : "ban", address.c_str(), bits);
  }

  void DeleteBan(bool exception) {
    if (args_.size() != 2) return out_.Printf("Usage: %s (ip[/subnet] | num)\n", args_[0].c_str());
    const int number = std::atoi(Arg(1).c_str());
    int n = 0;
    for (auto it = state_.bans.begin(); it != state_.bans.end(); ++it) {
      if (it->exception != exception || ++n != number) continue;
      out_.Printf("Deleting %s %s/%i\n", Kind(exception).c_str(), it->address.c_str(), it->bits);
      state_.bans.erase(it);
      return;
    }
    out_.Print("Error: Invalid ban number given\n");
  }

  void FlushBans() {
    state_.bans.clear();
    out_.Print("All bans and exceptions have been deleted.\n");
  }

  void Set() {
    const std::string& cmd = args_[0];
    if (args_.size() < 2) return out_.Printf("usage: %s <variable> <value>\n", cmd.c_str());
    if (args_.size() == 2) {
      if (const CvarEntry* cvar = state_.cvars.Find(args_[1])) return CvarPrint(*cvar);
      return out_.Printf("Cvar %s does not exist.\n", args_[1].c_str());
    }
    CvarEntry* cvar = CvarSet(args_[1], Args(2));
    if (cvar && (cmd[3] == 's' || cmd[3] == 'S')) cvar->flags |= kServerInfo;
  }

  void Reset() {
    if (args_.size() != 2) return out_.Print("usage: reset <variable>\n");
    if (const CvarEntry* cvar = state_.cvars.Find(args_[1])) CvarSet(args_[1], cvar->reset);
  }

  // Newest first, as the server keeps them; every flag column is a piece of its own, so the
  // buffer may be sent between the flags and the name, never inside the name or the value.
  void CvarList() {
    const auto& entries = state_.cvars.Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      const unsigned f = it->flags;
      const bool columns[] = {(f & kServerInfo) != 0, false, false, (f & kReadOnly) != 0, (f & kWriteProtected) != 0,
                              false, (f & kLatch) != 0, (f & kCheat) != 0, false};
      const char letters[] = "SsURIALC?";
      for (std::size_t i = 0; i < std::size(columns); ++i) out_.Print(columns[i] ? std::string(1, letters[i]) : " ");
      out_.Printf(" %s \"%s\"\n", it->name.c_str(), it->value.c_str());
    }
    out_.Printf("\n%zu total cvars\n", entries.size());
    out_.Printf("%zu cvar indexes\n", entries.size());
  }

  bool CvarCommand() {
    CvarEntry* cvar = state_.cvars.Find(args_[0]);
    if (!cvar) return false;
    if (args_.size() == 1) {
      CvarPrint(*cvar);
    } else {
      const std::string name = cvar->name;
      CvarSet(name, Args(1));
    }
    return true;
  }

  void CvarPrint(const CvarEntry& cvar) {
    out_.Printf("\"%s\" is:\"%s^7\"", cvar.name.c_str(), cvar.value.c_str());
    if (!(cvar.flags & kReadOnly)) {
      if (EqualsNoCase(cvar.value, cvar.reset)) {
        out_.Print(", the default");
      } else {
        out_.Printf(" default:\"%s^7\"", cvar.reset.c_str());
      }
    }
    out_.Print("\n");
    if (cvar.latched) out_.Printf("latched: \"%s\"\n", cvar.latched->c_str());
  }

  // The refusals name the cvar as it was typed (set) or as it is registered (NAME VALUE).
  CvarEntry* CvarSet(std::string name, const std::string& value) {
    if (name.find_first_of("\\\";") != std::string::npos) {
      out_.Printf("invalid cvar name string: %s\n", name.c_str());
      name = "BADNAME";
    }
    CvarEntry* cvar = state_.cvars.Find(name);
    if (!cvar) return &state_.cvars.ForceSet(name, value);
    if ((cvar->flags & kLatch) && cvar->latched) {
      if (value == cvar->value) {
        cvar->latched.reset();
        return cvar;
      }
      if (value == *cvar->latched) return cvar;
    } else if (value == cvar->value) {
      return cvar;
    }
    if (cvar->flags & kReadOnly) {
      out_.Printf("%s is read only.\n", name.c_str());
    } else if (cvar->flags & kWriteProtected) {
      out_.Printf("%s is write protected.\n", name.c_str());
    } else if (cvar->flags & kLatch) {
      out_.Printf("%s will be changed upon restarting.\n", name.c_str());
      cvar->latched = value;
    } else if ((cvar->flags & kCheat) && state_.cvars.Integer("sv_cheats", 0) == 0) {
      out_.Printf("%s is cheat protected.\n", name.c_str());
    } else {
      cvar->value = value;
    }
    return cvar;
  }

  ServerState& state_;
  ConsoleOutput& out_;
  std::vector<std::string> args_;
};

std::string StatusResponse(const ServerState& state, const std::string& challenge) {
  std::string info = state.cvars.InfoString(kServerInfo);
  if (!challenge.empty()) info = "\\challenge\\" + challenge + info;
  std::string players;
  for (const auto& [slot, player] : state.Players()) {
    if (slot >= state.MaxClients() || player.state == PlayerState::Zombie) continue;
    const std::string line = Format("%i %i \"%s\"\n", player.score, player.ping, player.name.c_str());
    if (players.size() + line.size() >= kMaxStatus) break;
    players += line;
  }
  return std::string(kMarker) + "statusResponse\n" + info + "\n" + players;
}

// The command after "rcon" and the password, found by walking the line: skip four characters,
// spaces, the password, spaces. So the command keeps its own spacing and quotes.
std::string RemoteCommandText(const std::string& line) {
  std::size_t i = std::min<std::size_t>(4, line.size());
  while (i < line.size() && line[i] == ' ') ++i;
  while (i < line.size() && line[i] != ' ') ++i;
  while (i < line.size() && line[i] == ' ') ++i;
  return line.substr(i, kMaxCommand);
}

}  // namespace

PacketResult HandleQuake3Packet(ServerState& state, std::string_view datagram, const PacketContext& context) {
  PacketResult result;
  const std::string line = ReadPacketLine(kGame, datagram.substr(kMarker.size()));
  const std::vector<std::string> args = Tokenize(kGame, line);
  const std::string word = args.empty() ? std::string() : args[0];
  RateLimiter* limiter = context.limiter;

  if (EqualsNoCase(word, "getstatus")) {
    if (state.cvars.Integer("g_gametype", 0) == kSinglePlayer) return result;
    if (limiter && (limiter->LimitAddress(context.ip, context.nowMs) || limiter->LimitStatusQueries(context.nowMs))) {
      result.rateLimited = true;
      return result;
    }
    const std::string challenge = args.size() > 1 ? args[1] : std::string();
    if (challenge.size() > 128) return result;
    result.request = Request{Request::Kind::Query, word, {}, {}, false};
    result.replies.push_back(StatusResponse(state, challenge));
    return result;
  }
  if (!EqualsNoCase(word, "rcon")) return result;

  if (limiter && limiter->LimitAddress(context.ip, context.nowMs)) {
    result.rateLimited = true;
    return result;
  }
  const std::string password = args.size() > 1 ? args[1] : std::string();
  const std::string serverPassword = state.Password();
  const bool accepted = !serverPassword.empty() && password == serverPassword;
  if (!accepted && limiter && limiter->LimitBadPasswords(context.nowMs)) {
    result.rateLimited = true;
    return result;
  }
  const std::string command = RemoteCommandText(line);
  const std::vector<std::string> commandArgs = Tokenize(kGame, command);
  result.request = Request{Request::Kind::RemoteCommand, commandArgs.empty() ? std::string() : commandArgs[0],
                           command, password, accepted};
  ConsoleOutput out(state.chunk);
  if (serverPassword.empty()) {
    out.Print("No rconpassword set on the server.\n");
  } else if (!accepted) {
    out.Print("Bad rconpassword.\n");
  } else {
    Console(state, out).Execute(command);
  }
  result.replies = out.Finish();
  return result;
}

void InfoPrint(ConsoleOutput& out, bool spaceAfterKey, std::string_view info) {
  std::size_t i = 0;
  if (!info.empty() && info[0] == '\\') ++i;
  while (i < info.size()) {
    std::string key;
    while (i < info.size() && info[i] != '\\') key += info[i++];
    if (key.size() < 20) key.append(20 - key.size(), ' ');
    if (spaceAfterKey) key += ' ';
    out.Print(key);
    if (i >= info.size()) return out.Print("MISSING VALUE\n");
    ++i;
    std::string value;
    while (i < info.size() && info[i] != '\\') value += info[i++];
    if (i < info.size()) ++i;
    out.Print(value + "\n");
  }
}

}  // namespace test::gameserver
