// corvane-testserver: the scripted test game server as a program, to try Corvane by hand.
//
//   corvane-testserver --game q3 --port 27960 --password secret --players 14
//
// It binds 127.0.0.1 (or ::1) only and stops by itself when its lifetime is over (an hour unless told).
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/gameserver/game_server.h"
#include "support/gameserver/hostile.h"
#include "support/gameserver/sample_players.h"

namespace {

constexpr long kDefaultLifetime = 3600;
constexpr long kMaxLifetime = 24 * 3600;

const char kUsage[] =
    "usage: corvane-testserver [options]\n"
    "  --game q3|q2          the game to answer as (q3)\n"
    "  --port N              UDP port on 127.0.0.1 (27960 for q3, 27910 for q2; 0 picks a free one)\n"
    "  --ipv6                listen on ::1 instead of 127.0.0.1\n"
    "  --password P          remote-administration password (none when absent)\n"
    "  --players N           N bots named like the stock ones\n"
    "  --players mixed       host, bots, coloured, spaced and long names, CNCT and ZMBI players\n"
    "  --players FILE        one player a line: score ping address model name\n"
    "  --map NAME            the current map (q3dm17 / q2dm1)\n"
    "  --set NAME=VALUE      set a cvar (repeatable)\n"
    "  --layout L            status table of an engine: ioq3 (the default), original or\n"
    "                        quake3e for Quake 3; yamagi or q2pro for Quake 2 (id's otherwise)\n"
    "  --hostile MODES       play a hostile server, a comma-separated list of: names (players\n"
    "                        and rules named like the replies' markers), long (rows too long),\n"
    "                        many (1000 more players), huge (datagrams of up to 64 KB), stray\n"
    "                        (forged replies from other ports and addresses), reorder (the\n"
    "                        datagrams of a reply last first), noise (binary noise)\n"
    "  --engine id|q2pro     Quake 2 engine whose cvarlist form it prints (id; q2pro with --layout q2pro)\n"
    "  --chunk BYTES         print buffer size including terminator (1008 / 1384)\n"
    "  --rate-limit          drop requests past 10 at once, then 1 a second, per address\n"
    "  --silent              answer nothing\n"
    "  --lifetime SECONDS    stop after this long (3600, at most 86400)\n"
    "  --verbose             print every datagram in and out\n";

long Number(const std::string& option, const std::string& text, long low, long high) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || value < low || value > high)
    throw std::invalid_argument(option + " wants a number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not '" + text + "'");
  return value;
}

std::vector<test::Player> LoadPlayers(const std::string& choice) {
  if (choice == "mixed") return test::MixedPlayers();
  if (!choice.empty() && choice.find_first_not_of("0123456789") == std::string::npos)
    return test::BotPlayers(static_cast<int>(Number("--players", choice, 0, 64)));
  std::ifstream in(choice, std::ios::binary);
  if (!in) throw std::invalid_argument("cannot read players file '" + choice + "'");
  std::ostringstream text;
  text << in.rdbuf();
  return test::ParsePlayers(text.str());
}

int Run(int argc, char* argv[]) {
  test::GameServerConfig config;
  std::optional<long> port;
  std::string players;
  std::string hostile;
  std::vector<std::pair<std::string, std::string>> sets;
  long lifetime = kDefaultLifetime;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(option + " wants a value");
      return argv[++i];
    };
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (option == "--game") {
      const std::string game = value();
      if (game != "q3" && game != "q2") throw std::invalid_argument("--game is q3 or q2, not '" + game + "'");
      config.game = game == "q3" ? test::Game::Quake3 : test::Game::Quake2;
    } else if (option == "--port") {
      port = Number(option, value(), 0, 65535);
    } else if (option == "--ipv6") {
      config.ipv6 = true;
    } else if (option == "--password") {
      config.password = value();
    } else if (option == "--players") {
      players = value();
    } else if (option == "--map") {
      config.map = value();
    } else if (option == "--set") {
      const std::string assignment = value();
      const auto equals = assignment.find('=');
      if (equals == std::string::npos || equals == 0) throw std::invalid_argument("--set wants NAME=VALUE");
      sets.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
    } else if (option == "--layout") {
      const std::string layout = value();
      const std::pair<const char*, test::StatusLayout> layouts[] = {
          {"ioq3", test::StatusLayout::Ioquake3}, {"original", test::StatusLayout::Original},
          {"quake3e", test::StatusLayout::Quake3e}, {"yamagi", test::StatusLayout::Yamagi},
          {"q2pro", test::StatusLayout::Q2pro}};
      const auto* found = std::find_if(std::begin(layouts), std::end(layouts), [&](const auto& l) { return layout == l.first; });
      if (found == std::end(layouts))
        throw std::invalid_argument("--layout is ioq3, original, quake3e, yamagi or q2pro, not '" + layout + "'");
      config.layout = found->second;
      // A Q2PRO server prints its variables in its own form too.
      if (config.layout == test::StatusLayout::Q2pro) config.quake2Engine = test::Quake2Engine::Q2pro;
    } else if (option == "--hostile") {
      hostile = value();
    } else if (option == "--engine") {
      const std::string engine = value();
      if (engine != "id" && engine != "q2pro") throw std::invalid_argument("--engine is id or q2pro, not '" + engine + "'");
      config.quake2Engine = engine == "id" ? test::Quake2Engine::Id : test::Quake2Engine::Q2pro;
    } else if (option == "--chunk") {
      config.chunk = static_cast<std::size_t>(Number(option, value(), 64, 65000));
    } else if (option == "--rate-limit") {
      config.rateLimit = true;
    } else if (option == "--silent") {
      config.silent = true;
    } else if (option == "--lifetime") {
      lifetime = Number(option, value(), 1, kMaxLifetime);
    } else if (option == "--verbose") {
      verbose = true;
    } else {
      throw std::invalid_argument("unknown option '" + option + "'\n" + kUsage);
    }
  }
  const bool q3 = config.game == test::Game::Quake3;
  const bool ipv6 = config.ipv6;
  config.port = static_cast<std::uint16_t>(port.value_or(q3 ? 27960 : 27910));
  if (!players.empty()) config.players = LoadPlayers(players);
  const bool quake2Layout = config.layout == test::StatusLayout::Yamagi || config.layout == test::StatusLayout::Q2pro;
  if (quake2Layout != (config.game == test::Game::Quake2) && config.layout != test::StatusLayout::Ioquake3)
    throw std::invalid_argument("--layout names a table of the other game: use --game q2 for yamagi and q2pro, "
                                "q3 for original and quake3e");
  test::ApplyHostileModes(config, hostile);
  config.lifetime = std::chrono::seconds(lifetime);
  if (verbose) {
    config.trace = [](const std::string& line) {
      std::time_t now = std::time(nullptr);
      char stamp[16];
      std::strftime(stamp, sizeof stamp, "%H:%M:%S", std::localtime(&now));
      std::fprintf(stderr, "%s %s\n", stamp, line.c_str());
    };
  }

  // The signals are taken by sigtimedwait below, not by handlers; the server thread inherits
  // the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  test::GameServer server(std::move(config));
  for (const auto& [name, cvarValue] : sets) server.SetCvar(name, cvarValue);
  server.Start();
  const bool hasPassword = !server.Cvar(q3 ? "rconpassword" : "rcon_password").value_or("").empty();
  std::printf("corvane-testserver: %s server on %s:%u, %zu players, %s, stops in %ld s\n",
              q3 ? "Quake 3" : "Quake 2", ipv6 ? "[::1]" : "127.0.0.1", server.Port(), server.Players().size(),
              hasPassword ? "password set" : "no password", lifetime);
  std::fflush(stdout);

  timespec tick{0, 200 * 1000 * 1000};
  while (server.Running()) {
    const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
    if (signal > 0) break;
  }
  server.Stop();
  std::printf("corvane-testserver: stopped\n");
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvane-testserver: %s\n", e.what());
    return 2;
  }
}
