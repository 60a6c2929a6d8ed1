#pragma once
// The OpenArena dedicated server (Debian's openarena-server, an ioquake3 server) run for one
// group of end-to-end tests: bound to 127.0.0.1 on a free port (and to ::1 when asked), in a
// scratch home folder, and
// wrapped in timeout(1) so that it stops by itself even when the test process dies.
//
// The test talks to it on the side through its own socket bound to 127.0.0.2: the server limits
// requests per client address (a burst of 10, then one a second), and the program under test
// sends from 127.0.0.1, so the side channel never eats into the program's allowance. The side
// channel keeps within the same limit itself, so none of its requests is dropped.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace e2e {

using namespace std::chrono_literals;

struct OpenArenaOptions {
  std::string password = "secret";  // empty: no rconpassword set
  std::string map = "oa_dm1";
  int maxClients = 20;
  std::chrono::seconds lifetime{300};
  bool developer = false;           // developer mode: the log tells of every dropped request
  bool ipv6 = false;                // also listen on [::1] (net_enabled 3), at Port6()
};

// One player as the server's own status query lists it.
struct ServerPlayer {
  std::string name;  // colour codes included
  int score = 0;
  int ping = 0;
};

class OpenArenaServer {
 public:
  static constexpr const char* kBinary = "/usr/games/openarena-server";
  static bool Installed();

  explicit OpenArenaServer(OpenArenaOptions options = {});
  ~OpenArenaServer();
  OpenArenaServer(const OpenArenaServer&) = delete;
  OpenArenaServer& operator=(const OpenArenaServer&) = delete;

  // Starts the server and waits until it answers; throws std::runtime_error with the server's
  // log when it does not come up.
  void Start();
  void Stop();
  bool Running() const { return pid_ > 0; }
  int Port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }
  // The port of the IPv6 socket on ::1, when the options asked for one.
  std::string Port6Text() const { return std::to_string(port6_); }
  std::string Log() const;

  // A remote command from the side address: the text the server printed, the datagrams'
  // markers and "print" lines removed and the chunks joined. Waits for the first datagram up to
  // `wait`, then for further chunks until the line has been quiet for a moment.
  std::string Rcon(const std::string& command, std::chrono::milliseconds wait = 1500ms);
  // The value of a cvar as the server reports it ("NAME" is:"VALUE^7"...), without the
  // trailing ^7; nothing when the reply has another form.
  std::optional<std::string> Cvar(const std::string& name);
  // The latched value of a cvar that changes at the next map, when there is one.
  std::optional<std::string> LatchedCvar(const std::string& name);
  // The status query's player list.
  std::vector<ServerPlayer> Players();
  // The server-info listing as (key, value) pairs in the server's order.
  std::vector<std::pair<std::string, std::string>> ServerInfo();

  // Adds bots: plain ones ("sarge", "kyonshi", ...) in one remote command, and each bot with
  // a name of its own ({model, name}) in a command of its own. Waits until the status query
  // lists `expectedTotal` players.
  bool AddBots(const std::vector<std::string>& plain, const std::vector<std::pair<std::string, std::string>>& named,
               std::size_t expectedTotal, std::chrono::milliseconds timeout = 30s);

  // Polls `condition` (which may talk to the server) until it holds or `timeout` passes.
  static bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                         std::chrono::milliseconds every = 1100ms);

 private:
  std::vector<std::string> Exchange(const std::string& payload, std::chrono::milliseconds wait);
  void Pace();
  int FreePort() const;

  OpenArenaOptions options_;
  test::TempDir home_;  // the server's HOME, which holds its log
  pid_t pid_ = -1;
  int port_ = 0;
  int port6_ = 0;
  int socket_ = -1;
  // The side channel's own token bucket, kept below the server's limit.
  double tokens_ = 9;
  std::chrono::steady_clock::time_point lastRefill_ = std::chrono::steady_clock::now();
};

}  // namespace e2e
