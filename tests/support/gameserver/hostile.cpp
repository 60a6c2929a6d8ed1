#include "support/gameserver/hostile.h"

#include <stdexcept>

#include "support/gameserver/sample_players.h"
#include "support/gameserver/text.h"

namespace test {

std::vector<std::string> MarkerNames() {
  return {"Bad rconpassword",
          "Bad rconpassword.",
          "Bad rcon_password.",
          "No rconpassword set on the server.",
          "statusResponse",
          "\\mapname\\",
          "map:",
          "map: q3dm17",
          "map              : q2dm1",
          "Current map: q2dm1",
          "Server info settings:",
          "userinfo",
          "--------",
          "x is read only.",
          "y is write protected.",
          "cl score ping name",
          "num score ping name",
          "No UDP clients.",
          "print"};
}

std::vector<Player> MarkerPlayers() {
  std::vector<Player> players;
  for (const std::string& name : MarkerNames()) {
    players.push_back(Player::Bot(name, "sarge", static_cast<int>(players.size()) % 5));
    players.back().slot = static_cast<int>(players.size()) - 1;
  }
  return players;
}

std::vector<CvarDef> MarkerCvars(Game game) {
  std::vector<CvarDef> cvars{{game == Game::Quake3 ? "sv_hostname" : "hostname", "Best map: q3dm17", {}, kServerInfo}};
  const char* values[] = {"Bad rconpassword.", "statusResponse", "Server info settings:", "userinfo",
                          "map              : q2dm1", "x is read only."};
  int n = 0;
  for (const char* value : values) cvars.push_back({gameserver::Format("note%d", ++n), value, {}, kServerInfo});
  return cvars;
}

namespace {

void Append(std::vector<Player>& players, std::vector<Player> more) {
  for (Player& player : more) {
    player.slot = -1;  // the next free slots
    players.push_back(std::move(player));
  }
}

}  // namespace

void ApplyHostileModes(GameServerConfig& config, std::string_view modes) {
  while (!modes.empty()) {
    const std::size_t comma = modes.find(',');
    const std::string_view mode = modes.substr(0, comma);
    modes = comma == std::string_view::npos ? std::string_view() : modes.substr(comma + 1);
    if (mode == "names") {
      Append(config.players, MarkerPlayers());
      for (CvarDef& cvar : MarkerCvars(config.game)) config.cvars.push_back(std::move(cvar));
    } else if (mode == "long") {
      Append(config.players, {Player::Bot(std::string(400, 'L')),
                              Player::Human("^1Long " + std::string(380, 'n') + " ^7Spaced", "203.0.113.9:27960", 60)});
    } else if (mode == "many") {
      std::vector<Player> many;
      for (int i = 0; i < 1000; ++i) many.push_back(Player::Bot(gameserver::Format("Crowd%04d", i)));
      Append(config.players, std::move(many));
    } else if (mode == "huge") {
      config.chunk = 65000;
    } else if (mode == "stray") {
      config.hostile.strayReplies = true;
    } else if (mode == "reorder") {
      config.hostile.reorder = true;
    } else if (mode == "noise") {
      config.hostile.noise = true;
    } else {
      throw std::invalid_argument("unknown hostile mode '" + std::string(mode) +
                                  "' (names, long, many, huge, stray, reorder, noise)");
    }
  }
}

}  // namespace test
