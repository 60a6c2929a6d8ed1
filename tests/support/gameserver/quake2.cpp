// The Quake 2 side: the status query and the remote console of the Quake 2 dedicated server, as
// its published source prints them.
#include <algorithm>
#include <cstdlib>

#include "support/gameserver/console_output.h"
#include "support/gameserver/games.h"
#include "support/gameserver/text.h"

namespace test::gameserver {
namespace {

constexpr Game kGame = Game::Quake2;
constexpr std::size_t kMaxStatus = 1384 - 1;  // the status query's whole text

// Broadcasts are echoed to the dedicated server's console with the high bit of every byte cleared.
std::string SevenBit(std::string text) {
  for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) & 127);
  return text;
}

class Console {
 public:
  Console(ServerState& state, ConsoleOutput& out) : state_(state), out_(out) {}

  // The command never ended: nothing of its output is sent.
  bool Hung() const { return hung_; }

  void Execute(std::string_view text) {
    args_ = Tokenize(kGame, text);
    if (args_.empty()) return;
    const std::string& cmd = args_[0];
    auto is = [&](const char* name) { return EqualsNoCase(cmd, name); };
    if (is("status")) return Status();
    if (is("serverinfo")) return ServerInfo();
    if (is("dumpuser")) return DumpUser();
    if (is("kick")) return Kick();
    if (is("map")) return MapCommand();
    if (is("say")) return;  // goes to the players only
    if (is("sv")) return GameCommand();
    if (is("echo")) return Echo();
    if (is("set")) return Set();
    if (is("cvarlist")) return CvarList();
    if (CvarCommand()) return;
    out_.Printf("Unknown command \"%s\"\n", cmd.c_str());
  }

 private:
  std::string Arg(std::size_t i) const { return i < args_.size() ? args_[i] : std::string(); }

  void Status() {
    if (state_.layout == StatusLayout::Q2pro) return Q2proStatus();
    const bool yamagi = state_.layout == StatusLayout::Yamagi;
    out_.Printf("map              : %s\n", state_.MapName().c_str());
    out_.Print("num score ping name            lastmsg address               qport \n");
    out_.Print("--- ----- ---- --------------- ------- --------------------- ------\n");
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      out_.Printf(yamagi ? "%2i " : "%3i ", slot);
      out_.Printf("%5i ", player.score);
      PingColumn(player);
      out_.Printf("%s", player.name.c_str());
      const std::string address = yamagi ? Bracketed(player.address) : player.address;
      // Yamagi's padding counts down an unsigned width: past the column it runs on for ever.
      if (yamagi && (player.name.size() > 16 || address.size() > 22)) {
        hung_ = true;
        return;
      }
      for (int j = static_cast<int>(player.name.size()); j < 16; ++j) out_.Print(" ");
      out_.Printf("%7i ", player.lastmsg);
      out_.Printf("%s", address.c_str());
      for (int j = static_cast<int>(address.size()); j < 22; ++j) out_.Print(" ");
      out_.Printf("%5i", player.qport);
      out_.Print("\n");
    }
    out_.Print("\n");
  }

  void Q2proStatus() {
    out_.Printf("Current map: %s\n\n", state_.MapName().c_str());
    bool any = false;
    for (const auto& [slot, player] : state_.Players()) any = any || slot < state_.MaxClients();
    if (!any) {
      out_.Print("No UDP clients.\n");
    } else {
      out_.Print("num score ping name            lastmsg address                rate pr fps\n");
      out_.Print("--- ----- ---- --------------- ------- --------------------- ----- -- ---\n");
    }
    for (const auto& [slot, player] : state_.Players()) {
      if (slot >= state_.MaxClients()) continue;
      out_.Printf("%3i %5i ", slot, player.score);
      PingColumn(player);
      out_.Printf("%-15.15s ", player.name.c_str());
      out_.Printf("%7u ", static_cast<unsigned>(player.lastmsg));
      out_.Printf("%-21s ", player.address.c_str());
      out_.Printf("%5i ", player.rate);
      out_.Printf("%2i ", 36);
      out_.Printf("%3i ", 60);
      out_.Print("\n");
    }
    out_.Print("\n");
  }

  // The ping column of a client not playing: Q2PRO tells more states apart.
  void PingColumn(const Player& player) {
    const bool q2pro = state_.layout == StatusLayout::Q2pro;
    switch (player.state) {
      case PlayerState::Connecting: return out_.Print("CNCT ");
      case PlayerState::Downloading: return out_.Print(q2pro ? "DNLD " : "CNCT ");
      case PlayerState::Zombie: return out_.Print("ZMBI ");
      case PlayerState::Primed:
        if (q2pro) return out_.Print("PRIM ");
        break;
      case PlayerState::Active: break;
    }
    out_.Printf("%4i ", std::min(player.ping, 9999));
  }

  // Yamagi prints every address as "[ip]:port".
  static std::string Bracketed(const std::string& address) {
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos || address.front() == '[') return address;
    return "[" + address.substr(0, colon) + "]" + address.substr(colon);
  }

  void ServerInfo() {
    out_.Print("Server info settings:\n");
    InfoPrint(out_, SpaceAfterKey(), state_.cvars.InfoString(kServerInfo));
  }

  // Q2PRO prints a listing's keys as "%-20s %s", id's Quake 2 pads them to 20 alone.
  bool SpaceAfterKey() const { return state_.layout == StatusLayout::Q2pro; }

  void DumpUser() {
    if (args_.size() != 2) return out_.Print("Usage: info <userid>\n");
    const Player* player = SetPlayer();
    if (!player) return;
    out_.Print("userinfo\n");
    out_.Print("--------\n");
    InfoPrint(out_, SpaceAfterKey(), state_.UserInfoString(*player));
  }

  // An argument starting with a digit is a client number; anything else must be the exact name.
  const Player* SetPlayer() {
    if (args_.size() < 2) return nullptr;
    const std::string handle = args_[1];
    if (!handle.empty() && handle[0] >= '0' && handle[0] <= '9') {
      const int slot = std::atoi(handle.c_str());
      if (slot < 0 || slot >= state_.MaxClients()) {
        out_.Printf("Bad client slot: %i\n", slot);
        return nullptr;
      }
      const Player* player = state_.FindPlayer(slot);
      if (!player) out_.Printf("Client %i is not active\n", slot);
      return player;
    }
    for (const auto& [slot, player] : state_.Players())
      if (slot < state_.MaxClients() && player.name == handle) return &player;
    out_.Printf("Userid %s is not on the server\n", handle.c_str());
    return nullptr;
  }

  void Kick() {
    if (args_.size() != 2) return out_.Print("Usage: kick <userid>\n");
    const Player* player = SetPlayer();
    if (!player) return;
    const int slot = player->slot;
    out_.Print(SevenBit(player->name + " was kicked\n"));
    out_.Print(SevenBit(player->name + " disconnected\n"));
    state_.RemovePlayer(slot);
  }

  void MapCommand() {
    const std::string map = Arg(1);
    if (map.find('.') == std::string::npos && !state_.IsKnownMap(map)) {
      return out_.Printf("Can't find maps/%s.bsp\n", map.c_str());
    }
    out_.Print("------- Server Initialization -------\n");
    state_.cvars.ApplyLatched();
    state_.SetMapName(map);
    std::vector<int> zombies;
    for (const auto& [slot, player] : state_.Players()) {
      state_.FindPlayer(slot)->score = 0;
      if (player.state == PlayerState::Zombie) zombies.push_back(slot);
    }
    for (int slot : zombies) state_.RemovePlayer(slot);
    out_.Print("12 entities inhibited\n");
    out_.Print("0 teams with 0 entities\n");
    out_.Print("-------------------------------------\n");
  }

  // The game module's server commands: its IP filter.
  void GameCommand() {
    const std::string cmd = Arg(1);
    auto is = [&](const char* name) { return EqualsNoCase(cmd, name); };
    if (is("addip")) return AddIp();
    if (is("removeip")) return RemoveIp();
    if (is("listip")) return ListIp();
    if (is("writeip")) return out_.Print("Writing baseq2/listip.cfg.\n");
    out_.Printf("Unknown server command \"%s\"\n", cmd.c_str());
  }

  // Up to four numbers with dots; an octet that is 0 matches any value.
  bool ReadFilter(const std::string& text, ServerState::IpFilter& filter) {
    std::size_t i = 0;
    for (std::size_t octet = 0; octet < 4; ++octet) {
      if (i >= text.size() || text[i] < '0' || text[i] > '9') {
        out_.Printf("Bad filter address: %s\n", text.substr(i).c_str());
        return false;
      }
      int value = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
      filter.octets[octet] = value & 255;
      filter.counts[octet] = (value & 255) != 0;
      if (i >= text.size()) break;
      ++i;
    }
    return true;
  }

  void AddIp() {
    if (args_.size() < 3) return out_.Print("Usage:  addip <ip-mask>\n");
    ServerState::IpFilter filter;
    if (ReadFilter(Arg(2), filter)) state_.ipFilters.push_back(filter);
  }

  void RemoveIp() {
    if (args_.size() < 3) return out_.Print("Usage:  sv removeip <ip-mask>\n");
    ServerState::IpFilter filter;
    if (!ReadFilter(Arg(2), filter)) return;
    for (auto it = state_.ipFilters.begin(); it != state_.ipFilters.end(); ++it) {
      if (*it == filter) {
        state_.ipFilters.erase(it);
        return out_.Print("Removed.\n");
      }
    }
    out_.Printf("Didn't find %s.\n", Arg(2).c_str());
  }

  void ListIp() {
    out_.Print("Filter list:\n");
    for (const ServerState::IpFilter& filter : state_.ipFilters)
      out_.Printf("%3i.%3i.%3i.%3i\n", filter.octets[0], filter.octets[1], filter.octets[2], filter.octets[3]);
  }

  void Echo() {
    for (std::size_t i = 1; i < args_.size(); ++i) out_.Printf("%s ", args_[i].c_str());
    out_.Print("\n");
  }

  void Set() {
    if (args_.size() != 3 && args_.size() != 4) return out_.Print("usage: set <variable> <value> [u / s]\n");
    if (args_.size() == 3) return CvarSet(args_[1], args_[2]);
    unsigned flags = 0;
    if (args_[3] == "s") {
      flags = kServerInfo;
    } else if (args_[3] != "u") {
      return out_.Print("flags can only be 'u' or 's'\n");
    }
    CvarEntry& cvar = state_.cvars.ForceSet(args_[1], args_[2]);
    cvar.flags = flags;
  }

  // Newest first, as the server keeps them. The id engine prints four flag columns (archive,
  // user info, server info, then "-" for a protected cvar or "L" for a latched one), Q2PRO
  // none, and each closes with its own count.
  void CvarList() {
    const auto& entries = state_.cvars.Entries();
    const bool q2pro = state_.quake2Engine == Quake2Engine::Q2pro;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      if (q2pro) {
        out_.Printf("%s \"%s\"\n", it->name.c_str(), it->value.c_str());
        continue;
      }
      out_.Print(" ");
      out_.Print(" ");
      out_.Print(it->flags & kServerInfo ? "S" : " ");
      out_.Print(it->flags & (kWriteProtected | kReadOnly) ? "-" : it->flags & kLatch ? "L" : " ");
      out_.Printf(" %s \"%s\"\n", it->name.c_str(), it->value.c_str());
    }
    if (q2pro) return out_.Printf("%zu of %zu cvars\n", entries.size(), entries.size());
    out_.Printf("%zu cvars\n", entries.size());
  }

  bool CvarCommand() {
    const CvarEntry* cvar = state_.cvars.Find(args_[0]);
    if (!cvar) return false;
    if (args_.size() == 1) {
      out_.Printf("\"%s\" is \"%s\"\n", cvar->name.c_str(), cvar->value.c_str());
    } else {
      CvarSet(cvar->name, args_[1]);
    }
    return true;
  }

  void CvarSet(const std::string& name, const std::string& value) {
    CvarEntry* cvar = state_.cvars.Find(name);
    if (!cvar) {
      state_.cvars.ForceSet(name, value);
      return;
    }
    if ((cvar->flags & kServerInfo) && value.find_first_of("\\\";") != std::string::npos) {
      return out_.Print("invalid info cvar value\n");
    }
    if (cvar->flags & (kWriteProtected | kReadOnly)) return out_.Printf("%s is write protected.\n", name.c_str());
    if (cvar->flags & kLatch) {
      if (value == cvar->latched.value_or(cvar->value)) return;
      out_.Printf("%s will be changed for next game.\n", name.c_str());
      cvar->latched = value;
      return;
    }
    cvar->value = value;
  }

  ServerState& state_;
  ConsoleOutput& out_;
  std::vector<std::string> args_;
  bool hung_ = false;
};

std::string StatusResponse(const ServerState& state) {
  std::string status = state.cvars.InfoString(kServerInfo) + "\n";
  for (const auto& [slot, player] : state.Players()) {
    if (slot >= state.MaxClients() || player.state == PlayerState::Zombie) continue;
    const std::string line = Format("%i %i \"%s\"\n", player.score, player.ping, player.name.c_str());
    if (status.size() + line.size() >= kMaxStatus + 1) break;
    status += line;
  }
  return std::string(kMarker) + "print\n" + status;
}

}  // namespace

PacketResult HandleQuake2Packet(ServerState& state, std::string_view datagram, const PacketContext& context) {
  PacketResult result;
  const std::string line = ReadPacketLine(kGame, datagram.substr(kMarker.size()));
  const std::vector<std::string> args = Tokenize(kGame, line);
  const std::string word = args.empty() ? std::string() : args[0];
  if (word != "status" && word != "rcon") return result;
  if (context.limiter && context.limiter->LimitAddress(context.ip, context.nowMs)) {
    result.rateLimited = true;
    return result;
  }
  if (word == "status") {
    result.request = Request{Request::Kind::Query, word, {}, {}, false};
    result.replies.push_back(StatusResponse(state));
    return result;
  }
  // The command is put together again from the arguments after the password, each followed by
  // a space: quotes are gone, and runs of spaces are one.
  std::string command;
  for (std::size_t i = 2; i < args.size(); ++i) command += args[i] + " ";
  const std::string password = args.size() > 1 ? args[1] : std::string();
  const std::string serverPassword = state.Password();
  const bool accepted = !serverPassword.empty() && password == serverPassword;
  result.request = Request{Request::Kind::RemoteCommand, args.size() > 2 ? args[2] : std::string(), command,
                           password, accepted};
  ConsoleOutput out(state.chunk, state.quake2Engine == Quake2Engine::Q2pro);
  if (!accepted) {
    out.Print("Bad rcon_password.\n");
  } else {
    Console console(state, out);
    console.Execute(command);
    if (console.Hung()) return result;
  }
  result.replies = out.Finish();
  return result;
}

}  // namespace test::gameserver
