#pragma once
// The games the address book knows, in game-type order: the index is the stored GameType.
#include <optional>
#include <string>
#include <vector>

namespace addressbook {

struct Game {
  std::string name;
  int defaultPort;
};

// "Quake 3 Arena" 27960, "Quake World" 27500, "Quake 2" 27910.
const std::vector<Game>& Games();

// The port that choosing the game puts into a port field; nothing for an index outside the list.
std::optional<int> DefaultPort(int gameType);

// The port field's value when the program starts.
inline constexpr int kInitialPort = 27960;

}  // namespace addressbook
