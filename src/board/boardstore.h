#pragma once
// The board's settings, kept in Corvane.ini beside the server list, each in a section of its
// own:
//
//   [Board]                      [WatchList]
//   Interval=30                  NumPatterns=2
//   AlertJoined=1                Pattern0=Sarge
//   AlertLeft=1                  Pattern1=*bot*
//   AlertDown=1
//   AlertUp=1
//   AlertMap=0
//
// Every save is one atomic write of the file through the INI layer; the other sections and
// their lines stay as they are. A missing file or section gives the defaults; an interval out
// of range is brought into it.
//
// Plain C++.
#include <array>
#include <string>
#include <vector>

#include "board/alerts.h"

namespace board {

inline constexpr const char* kBoardSection = "Board";
inline constexpr const char* kWatchListSection = "WatchList";

struct BoardSettings {
  int intervalSeconds = kDefaultIntervalSeconds;
  AlertKinds alerts;
  std::vector<std::string> watchPatterns;
  bool operator==(const BoardSettings&) const = default;
};

// The settings in the file at platform::IniFileName().
BoardSettings LoadBoardSettings();
// Writes both sections. Raises EIniFileException "Unable to write to <file>" when the file
// cannot be written or a pattern cannot be stored (it holds a line break); the file is then
// unchanged.
void SaveBoardSettings(const BoardSettings& settings);

}  // namespace board
