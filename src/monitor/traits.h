#pragma once
// What differs between the Quake 3 Arena and the Quake 2 monitor windows, in one value per
// game: the wire differences (protocol::GameTraits) and the window's own (form and menu
// names, the layout of the top panel, the game type box, the Rate column, sorting, the map
// lists).
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "protocol/game.h"

namespace monitor {

// The 25 stock maps the Quake 3 map box offers until the first map list replaces them.
inline constexpr std::array<std::string_view, 25> kStockQuake3Maps{
    "q3dm1",  "q3dm10", "q3dm11", "q3dm12",     "q3dm13",     "q3dm14",     "q3dm15",
    "q3dm16", "q3dm17", "q3dm18", "q3dm19",     "q3dm2",      "q3dm3",      "q3dm4",
    "q3dm5",  "q3dm6",  "q3dm7",  "q3dm8",      "q3dm9",      "q3tourney1", "q3tourney2",
    "q3tourney3", "q3tourney4", "q3tourney5", "q3tourney6"};

// The Quake 3 game type box's items, the five game types of the stock game; the index is the
// server's g_gametype.
inline constexpr std::span<const std::string_view> kQuake3GameTypeNames = std::span(protocol::kQuake3GameTypes).first<5>();

// The map list of each Quake 3 game type.
inline constexpr std::array<std::string_view, 5> kQuake3GameTypeMapFiles{
    "levels\\Quake3\\q3-dm-maps.txt", "levels\\Quake3\\q3-duel-maps.txt", "levels\\Quake3\\q3-single-maps.txt",
    "levels\\Quake3\\q3-team-maps.txt", "levels\\Quake3\\q3-ctf-maps.txt"};

struct MonitorTraits {
  const protocol::GameTraits* wire;
  std::string_view formName;          // "F_Q3Server"
  std::string_view menuName;          // object name of the merged menu, "Q3AMenuItem"
  std::string_view menuCaption;       // "&Q3  Arena Server"
  // Top panel: its height, the tops of the labels Hostname, Port, Rcon Password, Refresh
  // Interval and Map, of the boxes E_Hostname, E_Port, E_Password and CB_Map, of the track
  // bar, and the height of the level picture's panel.
  int mainHeight;
  std::array<int, 5> labelTops;
  std::array<int, 4> boxTops;
  int trackBarTop;
  int levelHeight;
  // The game type box CB_GameType, its items indexed by the server's g_gametype, which drives
  // the map list; none when empty.
  std::span<const std::string_view> gameTypeNames;
  bool sortedPlayers;                 // player rows sorted by the Num text
  bool popupSeparator;                // separator N3 after "&Refresh" in the player menu
  // Read at creation. The map box offers the stock maps until the first game type's list, or
  // the names of this list at once when there are no stock maps.
  std::string_view allMapsFile;
  std::span<const std::string_view> stockMaps;
  // Map list per game type (indexed as gameTypeNames; a missing entry: no list).
  std::span<const std::string_view> gameTypeMapFiles;
};

inline constexpr MonitorTraits kQuake3Monitor{
    .wire = &protocol::kQuake3,
    .formName = "F_Q3Server",
    .menuName = "Q3AMenuItem",
    .menuCaption = "&Q3  Arena Server",
    .mainHeight = 164,
    .labelTops = {29, 49, 77, 103, 29},
    .boxTops = {25, 49, 73, 25},
    .trackBarTop = 102,
    .levelHeight = 134,
    .gameTypeNames = kQuake3GameTypeNames,
    .sortedPlayers = true,
    .popupSeparator = true,
    .allMapsFile = "levels\\Quake3\\q3-all-maps.txt",
    .stockMaps = kStockQuake3Maps,
    .gameTypeMapFiles = kQuake3GameTypeMapFiles,
};

inline constexpr MonitorTraits kQuake2Monitor{
    .wire = &protocol::kQuake2,
    .formName = "F_Q2Server",
    .menuName = "Q2MenuItem",
    .menuCaption = "&Q2 Server",
    .mainHeight = 163,
    .labelTops = {25, 49, 73, 99, 25},
    .boxTops = {21, 45, 69, 21},
    .trackBarTop = 98,
    .levelHeight = 133,
    .gameTypeNames = {},
    .sortedPlayers = false,
    .popupSeparator = false,
    .allMapsFile = "levels\\Quake2\\q2-all-maps.txt",
    .stockMaps = {},
    .gameTypeMapFiles = {},
};

// Texts of the window's messages.
inline constexpr std::string_view kKickHostWarning = "It isn't very nice to kick the host player...";

}  // namespace monitor
