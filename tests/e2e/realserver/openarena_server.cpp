#include "openarena_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/text.h"

extern char** environ;

namespace e2e {

namespace {

const std::string kMarker = "\xFF\xFF\xFF\xFF";
constexpr const char* kSideAddress = "127.0.0.2";
// The side channel's pace: a little slower than the server's one request a second.
constexpr double kBurst = 9;
constexpr auto kPeriod = 1100ms;
// The server's console output, in its home folder.
constexpr const char* kLogName = "server.log";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::optional<std::string> QuotedAfter(const std::string& text, const std::string& key) {
  const auto at = text.find(key);
  if (at == std::string::npos) return std::nullopt;
  const auto begin = at + key.size();
  const auto end = text.find('"', begin);
  if (end == std::string::npos) return std::nullopt;
  return text.substr(begin, end - begin);
}

}  // namespace

bool OpenArenaServer::Installed() { return access(kBinary, X_OK) == 0; }

OpenArenaServer::OpenArenaServer(OpenArenaOptions options) : options_(std::move(options)) {}

OpenArenaServer::~OpenArenaServer() {
  Stop();
  if (socket_ >= 0) close(socket_);
}

int OpenArenaServer::FreePort() const {
  const int probe = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

void OpenArenaServer::Start() {
  const std::string logPath = home_.Path() + "/" + kLogName;

  const std::string lifetime = std::to_string(options_.lifetime.count());
  const std::string wantedPort = std::to_string(FreePort());
  const std::string maxClients = std::to_string(options_.maxClients);
  // A bit mask: 1 IPv4, 2 IPv6. The IPv4 socket stays for the side channel.
  const std::string netEnabled = options_.ipv6 ? "3" : "1";
  std::vector<std::string> args = {"/usr/bin/timeout", "-k", "5", lifetime, kBinary,
                                   "+set", "dedicated", "1", "+set", "net_enabled", netEnabled,
                                   "+set", "net_ip", "127.0.0.1", "+set", "net_port", wantedPort,
                                   "+set", "bot_enable", "1", "+set", "sv_maxclients", maxClients};
  if (options_.ipv6) args.insert(args.end(), {"+set", "net_ip6", "::1", "+set", "net_port6", wantedPort});
  if (options_.developer) args.insert(args.end(), {"+set", "developer", "1"});
  if (!options_.password.empty()) args.insert(args.end(), {"+set", "rconpassword", options_.password});
  args.insert(args.end(), {"+map", options_.map});

  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = {"HOME=" + home_.Path(), "PATH=/usr/bin:/bin:/usr/games"};
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + std::string(kBinary));
  }

  socket_ = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in side{};
  side.sin_family = AF_INET;
  inet_pton(AF_INET, kSideAddress, &side.sin_addr);
  if (bind(socket_, reinterpret_cast<sockaddr*>(&side), sizeof side) != 0)
    throw std::runtime_error("cannot bind the side channel to 127.0.0.2");

  // The server says which port it opened (it moves on to the next ones when one is taken),
  // then answers once its map has loaded.
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  // The IPv6 socket is opened first, so the IPv4 one is the last one to wait for.
  const auto openedPort = [](const std::string& log, const std::string& opening) {
    const auto at = log.find(opening);
    return at != std::string::npos && log.find('\n', at) != std::string::npos ? std::atoi(log.c_str() + at + opening.size())
                                                                              : 0;
  };
  while (port_ == 0) {
    if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
      pid_ = -1;
      throw std::runtime_error("the server did not open its socket:\n" + Log());
    }
    const std::string log = Log();
    port_ = openedPort(log, "Opening IP socket: 127.0.0.1:");
    if (options_.ipv6) port6_ = openedPort(log, "Opening IP6 socket: [::1]:");
    if (port_ == 0) std::this_thread::sleep_for(50ms);
  }
  if (options_.ipv6 && port6_ == 0) {
    Stop();
    throw std::runtime_error("the server did not open its IPv6 socket on ::1:\n" + Log());
  }
  while (Exchange(kMarker + "getinfo", 500ms).empty()) {
    if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
      Stop();
      throw std::runtime_error("the server does not answer:\n" + Log());
    }
  }
}

void OpenArenaServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) != 0) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(50ms);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string OpenArenaServer::Log() const { return home_.Read(kLogName); }

void OpenArenaServer::Pace() {
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    tokens_ = std::min(kBurst, tokens_ + std::chrono::duration<double>(now - lastRefill_) / kPeriod);
    lastRefill_ = now;
    if (tokens_ >= 1) break;
    std::this_thread::sleep_for(std::chrono::duration<double>((1 - tokens_) * kPeriod) + 5ms);
  }
  tokens_ -= 1;
}

std::vector<std::string> OpenArenaServer::Exchange(const std::string& payload, std::chrono::milliseconds wait) {
  // Forget what an earlier exchange left behind.
  char buffer[65536];
  while (recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
  }
  Pace();
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(static_cast<uint16_t>(port_));
  inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
  sendto(socket_, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&server), sizeof server);

  std::vector<std::string> datagrams;
  auto until = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd ready{socket_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t size = recv(socket_, buffer, sizeof buffer, 0);
    if (size <= 0) continue;
    datagrams.emplace_back(buffer, static_cast<size_t>(size));
    // Later chunks of a long listing follow within a few milliseconds.
    until = std::chrono::steady_clock::now() + 300ms;
  }
  return datagrams;
}

std::string OpenArenaServer::Rcon(const std::string& command, std::chrono::milliseconds wait) {
  std::string text;
  for (std::string datagram : Exchange(kMarker + "rcon " + options_.password + " " + command, wait)) {
    if (datagram.rfind(kMarker, 0) == 0) datagram.erase(0, kMarker.size());
    if (datagram.rfind("print\n", 0) == 0) datagram.erase(0, 6);
    text += datagram;
  }
  return text;
}

std::optional<std::string> OpenArenaServer::Cvar(const std::string& name) {
  std::optional<std::string> value = QuotedAfter(Rcon(name), "\"" + name + "\" is:\"");
  if (value && value->size() >= 2 && value->compare(value->size() - 2, 2, "^7") == 0) value->resize(value->size() - 2);
  return value;
}

std::optional<std::string> OpenArenaServer::LatchedCvar(const std::string& name) {
  return QuotedAfter(Rcon(name), "latched: \"");
}

std::vector<ServerPlayer> OpenArenaServer::Players() {
  std::vector<ServerPlayer> players;
  const std::vector<std::string> datagrams = Exchange(kMarker + "getstatus", 1500ms);
  if (datagrams.empty()) return players;
  const std::vector<std::string> lines = Lines(datagrams.front());
  for (size_t i = 2; i < lines.size(); ++i) {
    const auto quote = lines[i].find('"');
    if (quote == std::string::npos) continue;
    ServerPlayer player;
    std::istringstream numbers(lines[i].substr(0, quote));
    numbers >> player.score >> player.ping;
    const auto close = lines[i].rfind('"');
    player.name = lines[i].substr(quote + 1, close > quote ? close - quote - 1 : std::string::npos);
    players.push_back(player);
  }
  return players;
}

std::vector<std::pair<std::string, std::string>> OpenArenaServer::ServerInfo() {
  std::vector<std::pair<std::string, std::string>> rules;
  const std::vector<std::string> lines = Lines(Rcon("serverinfo"));
  for (size_t i = 1; i < lines.size(); ++i) {  // after "Server info settings:"
    const auto space = lines[i].find(' ');
    rules.emplace_back(lines[i].substr(0, space), space == std::string::npos ? "" : TrimSpaces(lines[i].substr(space)));
  }
  return rules;
}

bool OpenArenaServer::AddBots(const std::vector<std::string>& plain,
                              const std::vector<std::pair<std::string, std::string>>& named, std::size_t expectedTotal,
                              std::chrono::milliseconds timeout) {
  if (!plain.empty()) {
    // One variable holding every addbot, run with vstr, which splits it at the semicolons.
    std::string list;
    for (const std::string& bot : plain) list += (list.empty() ? "" : " ; ") + ("addbot " + bot + " 3");
    Rcon("set e2ebots \"" + list + "\"", 500ms);
    Rcon("vstr e2ebots", 500ms);
  }
  for (const auto& [model, name] : named) Rcon("addbot " + model + " 3 free 0 \"" + name + "\"", 500ms);
  return Eventually([&] { return Players().size() >= expectedTotal; }, timeout);
}

bool OpenArenaServer::Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                                 std::chrono::milliseconds every) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(every);
  }
}

}  // namespace e2e
