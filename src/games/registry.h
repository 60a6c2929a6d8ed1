#pragma once
// The games Corvane knows, one descriptor each, in the order of the game lists. Every way in
// which the games differ is a field of the descriptor or of the traits it points to:
//   - here: the game's index (the GameType stored in the address book), its name in the game
//     lists, its default port, its icon, the caption prefix of a quick-connected window, and
//     its window kind (a monitor window, or remote consoles only);
//   - protocol::GameTraits (protocol/game.h): what goes on the wire and how replies are read:
//     query, markers, status-table layouts, refusal texts, command and value forms, pacing,
//     print buffer, picture folders, the settings description file;
//   - monitor::MonitorTraits (monitor/traits.h): the monitor window's own differences.
// Nothing else in the program asks which game it deals with.
#include <span>
#include <string_view>

class TF_ServerMonitor;

namespace monitor {
struct MonitorTraits;
}
namespace protocol {
struct GameTraits;
}

namespace games {

struct Game {
  int index;                    // GameType in the address book; the row in every game list
  std::string_view name;        // "Quake 3 Arena"
  int defaultPort;              // what choosing the game puts into a port field
  std::string_view icon;        // its small picture in the server list (a resource path)
  // A quick-connected monitor window's caption: this prefix and a number.
  std::string_view quickCaptionPrefix;
  // Its monitor window, made from these traits as the class that stands for the game; both
  // null for a game Corvane opens only remote consoles to.
  const monitor::MonitorTraits* monitor;
  TF_ServerMonitor* (*newWindow)();
  // What "&Connect" answers for a stored server of a game without a monitor window.
  std::string_view noWindowText;

  bool HasWindow() const { return newWindow != nullptr; }
  // The wire traits of a game with a monitor window.
  const protocol::GameTraits& Wire() const;
};

// Every game, index 0 first.
std::span<const Game> All();
// The game of an index, or nullptr for an index no game has (a file edited by hand).
const Game* Find(int index);

}  // namespace games
