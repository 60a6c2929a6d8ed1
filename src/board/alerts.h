#pragma once
// What the board tells the administrator about: a watched player joining or leaving a server, a
// server that stops answering or answers again, a map change. Each kind can be switched off.
//
// Plain C++.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace board {

// How often the board asks every server, in seconds.
inline constexpr int kMinIntervalSeconds = 5;
inline constexpr int kMaxIntervalSeconds = 300;
inline constexpr int kDefaultIntervalSeconds = 30;

enum class AlertKind : std::size_t { PlayerJoined, PlayerLeft, ServerDown, ServerUp, MapChanged };
inline constexpr std::size_t kAlertKindCount = 5;

// The kinds in order, with their captions in the settings and their keys in the INI file.
struct AlertKindInfo {
  AlertKind kind;
  std::string_view caption;
  std::string_view key;
};
inline constexpr std::array<AlertKindInfo, kAlertKindCount> kAlertKindInfo{{
    {AlertKind::PlayerJoined, "A watched player &joins a server", "AlertJoined"},
    {AlertKind::PlayerLeft, "A watched player &leaves a server", "AlertLeft"},
    {AlertKind::ServerDown, "A server &stops answering", "AlertDown"},
    {AlertKind::ServerUp, "A server &answers again", "AlertUp"},
    {AlertKind::MapChanged, "A server changes its &map", "AlertMap"},
}};

// Which kinds are shown; all are, unless switched off.
class AlertKinds {
 public:
  bool On(AlertKind kind) const { return on_[static_cast<std::size_t>(kind)]; }
  void Set(AlertKind kind, bool on) { on_[static_cast<std::size_t>(kind)] = on; }
  bool operator==(const AlertKinds&) const = default;

 private:
  std::array<bool, kAlertKindCount> on_{true, true, true, true, true};
};

struct Alert {
  AlertKind kind;
  std::string server;  // the server as the administrator named it (its description), or its address
  std::string event;   // "Sarge joined", "stopped answering", "map changed from q3dm6 to q3dm17"
  bool operator==(const Alert&) const = default;
};

// One line for the status bar and the desktop: "server: event".
std::string AlertLine(const Alert& alert);

}  // namespace board
