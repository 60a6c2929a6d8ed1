#include "support/gameserver/sample_players.h"

#include <sstream>
#include <stdexcept>

#include "support/gameserver/text.h"

namespace test {
namespace {

struct StockBot {
  const char* name;
  const char* model;
};

// Ten plain names, then the one of row 10 in a real 14-bot table, then the rest.
constexpr StockBot kBots[] = {
    {"Sarge", "sarge"},     {"^1Very^7LongName", "angelyss"}, {"Grism", "sarge/classic"},
    {"Kyonshi", "kyonshi"}, {"Major", "major"},               {"Merman", "merman"},
    {"Penguin", "penguin"}, {"Sergei", "sergei"},             {"Skelebot", "skelebot"},
    {"Gargoyle", "gargoyle"}, {"Beret", "beret"},             {"Liz", "liz"},
    {"Jenna", "jenna"},     {"Tanisha", "tanisha"},           {"Angelyss", "angelyss"},
    {"Ayumi", "ayumi"},     {"Doom", "doom"},          {"Grunt", "grunt"},
};

}  // namespace

std::vector<Player> BotPlayers(int count) {
  std::vector<Player> players;
  constexpr int kStock = static_cast<int>(std::size(kBots));
  for (int i = 0; i < count; ++i) {
    const StockBot& bot = kBots[i % kStock];
    std::string name = bot.name;
    if (i >= kStock) name += std::to_string(i / kStock + 1);
    Player player = Player::Bot(name, bot.model, i % 7);
    player.slot = i;
    players.push_back(std::move(player));
  }
  return players;
}

std::vector<Player> MixedPlayers() {
  std::vector<Player> players;
  players.push_back(Player::Host("^3Host"));
  players.push_back(Player::Bot("Sarge", "sarge", 12));
  players.push_back(Player::Bot("^1Very^7LongName", "angelyss", 3));
  players.push_back(Player::Human("Name With Spaces", "127.0.0.1:27961", 48, 7));
  players.push_back(Player::Human("ABCDEFGHIJKLMNOPQRST", "203.0.113.7:27960", 112, -2));
  Player blue = Player::Human("^4Blue^7Man", "198.51.100.23:50123", 75, 5);
  blue.model = "sarge/blue";
  players.push_back(blue);
  Player connecting = Player::Human("Newcomer", "203.0.113.50:27960", 999, 0);
  connecting.state = PlayerState::Connecting;
  players.push_back(connecting);
  Player zombie = Player::Human("Ghost", "203.0.113.51:27960", 0, 1);
  zombie.state = PlayerState::Zombie;
  players.push_back(zombie);
  for (std::size_t i = 0; i < players.size(); ++i) players[i].slot = static_cast<int>(i);
  return players;
}

std::vector<Player> ParsePlayers(const std::string& text) {
  std::vector<Player> players;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream fields(line);
    std::string score, ping, address, model, name;
    fields >> score >> ping >> address >> model;
    std::getline(fields >> std::ws, name);
    auto fail = [&](const char* why) {
      return std::runtime_error(gameserver::Format("players line %d: %s: %s", number, why, line.c_str()));
    };
    if (name.empty()) throw fail("expected score ping address model name");
    Player player;
    try {
      std::size_t used = 0;
      player.score = std::stoi(score, &used);
      if (used != score.size()) throw fail("score is not a number");
      if (ping == "CNCT") {
        player.state = PlayerState::Connecting;
      } else if (ping == "ZMBI") {
        player.state = PlayerState::Zombie;
      } else {
        player.ping = std::stoi(ping, &used);
        if (used != ping.size()) throw fail("ping is not a number, CNCT or ZMBI");
      }
    } catch (const std::logic_error&) {
      throw fail("score and ping must be numbers");
    }
    player.address = address;
    player.model = model;
    player.name = name;
    if (address == "bot") player.rate = 16384;
    players.push_back(std::move(player));
  }
  return players;
}

}  // namespace test
