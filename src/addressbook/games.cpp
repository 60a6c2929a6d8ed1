#include "addressbook/games.h"

namespace addressbook {

const std::vector<Game>& Games() {
  static const std::vector<Game> games = {{"Quake 3 Arena", 27960}, {"Quake World", 27500}, {"Quake 2", 27910}};
  return games;
}

std::optional<int> DefaultPort(int gameType) {
  if (gameType < 0 || gameType >= static_cast<int>(Games().size())) return std::nullopt;
  return Games()[static_cast<size_t>(gameType)].defaultPort;
}

}  // namespace addressbook
