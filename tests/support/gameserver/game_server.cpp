#include "support/gameserver/game_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <stdexcept>
#include <thread>

#include "support/gameserver/console_output.h"
#include "support/gameserver/games.h"
#include "support/gameserver/rate_limiter.h"
#include "support/gameserver/server_state.h"
#include "support/gameserver/text.h"

namespace test {

using gameserver::EqualsNoCase;
using gameserver::Escape;
using gameserver::Format;

Player Player::Bot(std::string name, std::string model, int score) {
  Player player;
  player.name = std::move(name);
  player.model = std::move(model);
  player.score = score;
  player.address = "bot";
  player.rate = 16384;
  return player;
}

Player Player::Human(std::string name, std::string address, int ping, int score) {
  Player player;
  player.name = std::move(name);
  player.address = std::move(address);
  player.ping = ping;
  player.score = score;
  // A fixed qport per name, so tables stay the same from run to run.
  int sum = 0;
  for (unsigned char c : player.name) sum += c;
  player.qport = 1000 + sum * 37 % 60000;
  player.lastmsg = 50;
  return player;
}

Player Player::Host(std::string name) {
  Player player;
  player.name = std::move(name);
  player.address = "loopback";
  return player;
}

std::string QueryPacket(Game game) {
  return std::string(gameserver::kMarker) + (game == Game::Quake3 ? "  getstatus" : "  status");
}

std::string RconPacket(const std::string& password, const std::string& command) {
  return std::string(gameserver::kMarker) + "rcon " + password + " " + command;
}

namespace {

constexpr std::size_t kMaxDatagram = 65536;

struct DropRule {
  std::string word;
  int remaining;  // -1: always
};

struct ChunkDrop {
  std::string word;
  std::size_t index;
};

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    Reset();
    fd_ = other.fd_;
    other.fd_ = -1;
    return *this;
  }
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error("test game server: " + what + ": " + std::strerror(errno));
}

// A UDP socket bound to the address at a free port, or none when that fails.
Fd BoundSocket(const char* ip) {
  Fd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  ::inet_pton(AF_INET, ip, &address.sin_addr);
  if (sock.get() < 0 || ::bind(sock.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) return Fd();
  return sock;
}

// Replies a hostile server forges to make a client believe what it did not ask.
std::vector<std::string> ForgedReplies(Game game) {
  const std::string table =
      game == Game::Quake3
          ? "map: q3dm1\ncl score ping name            address                                 rate \n"
            "-- ----- ---- --------------- --------------------------------------- -----\n"
            " 0     0    0 Stray           ^7bot                                     16384\n\n"
          : "map              : q2dm1\nnum score ping name            lastmsg address               qport \n"
            "--- ----- ---- --------------- ------- --------------------- ------\n"
            "  0     0    0 Stray                 0 bot                       0\n\n";
  return {gameserver::PrintDatagram(game == Game::Quake3 ? "Bad rconpassword.\n" : "Bad rcon_password.\n"),
          gameserver::PrintDatagram(table),
          gameserver::PrintDatagram("Server info settings:\nStray                Stray\n"),
          std::string(gameserver::kMarker) + "statusResponse\n\\mapname\\q3dm1\n0 0 \"Stray\"\n",
          gameserver::PrintDatagram("\\mapname\\q2dm1\n0 0 \"Stray\"\n")};
}

}  // namespace

struct GameServer::Impl {
  explicit Impl(GameServerConfig c) : config(std::move(c)), state(config) {}

  GameServerConfig config;
  std::atomic<std::uint16_t> port{0};
  std::atomic<bool> running{false};
  Fd socket;
  Fd straySocket;  // another port of 127.0.0.1
  Fd strangerSocket;  // 127.0.0.2
  Fd wakeRead;
  Fd wakeWrite;
  std::thread thread;
  std::chrono::steady_clock::time_point epoch = std::chrono::steady_clock::now();

  // The game and its behaviour switches.
  mutable std::mutex stateMutex;
  gameserver::ServerState state;
  gameserver::RateLimiter limiter;
  bool rateLimit = config.rateLimit;
  bool silent = config.silent;
  int dropNext = 0;
  std::vector<DropRule> dropRules;
  std::vector<ChunkDrop> chunkDrops;
  std::function<bool(const Request&)> filter;
  int dropped = 0;
  int rateLimited = 0;
  Hostility hostile = config.hostile;
  std::mt19937 noiseRandom{20261208};
  std::atomic<int> hostileDatagrams{0};

  // What went in and out.
  mutable std::mutex recordMutex;
  mutable std::condition_variable recorded;
  std::vector<Datagram> received;
  std::vector<Datagram> sent;
  std::vector<std::string> commands;

  void Trace(const std::string& line) {
    if (config.trace) config.trace(line);
  }

  void Run();
  void Receive();
  void Handle(const std::string& bytes, const sockaddr_storage& from, socklen_t fromLength);
  // Carries out a datagram's request and returns the replies to send (none when refused).
  std::vector<std::string> Answer(const std::string& bytes, const char* ip, std::chrono::steady_clock::time_point now);
  bool DropReply(const Request& request);
  // Takes out the datagram a chunk drop names; returns whether one was taken out.
  bool DropChunk(const Request& request, std::vector<std::string>& replies);
  void SendTo(int fd, const std::string& bytes, const sockaddr_storage& to, socklen_t toLength) {
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), toLength);
  }
  // The hostile modes around the answer to one request.
  void SendNoise(const sockaddr_storage& to, socklen_t toLength);
  void SendStray(const sockaddr_storage& to, socklen_t toLength);
  void Record(std::vector<Datagram>& list, Datagram datagram) {
    {
      std::lock_guard lock(recordMutex);
      list.push_back(std::move(datagram));
    }
    recorded.notify_all();
  }
};

void GameServer::Impl::Run() {
  const auto started = std::chrono::steady_clock::now();
  for (;;) {
    int timeout = -1;
    if (config.lifetime.count() > 0) {
      const auto left = config.lifetime - std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - started);
      if (left.count() <= 0) {
        Trace("lifetime over, stopping");
        break;
      }
      timeout = static_cast<int>(left.count());
    }
    pollfd fds[2] = {{socket.get(), POLLIN, 0}, {wakeRead.get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) break;
    if (fds[1].revents) break;
    if (fds[0].revents & POLLIN) Receive();
  }
  running = false;
  recorded.notify_all();
}

void GameServer::Impl::Receive() {
  std::string buffer(kMaxDatagram, '\0');
  for (;;) {
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    const ssize_t n = ::recvfrom(socket.get(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return;  // drained (or an error the next poll reports again)
    Handle(buffer.substr(0, static_cast<std::size_t>(n)), from, length);
  }
}

void GameServer::Impl::Handle(const std::string& bytes, const sockaddr_storage& from, socklen_t fromLength) {
  const auto now = std::chrono::steady_clock::now();
  std::uint16_t clientPort = 0;
  char ip[INET6_ADDRSTRLEN] = {};
  if (from.ss_family == AF_INET6) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, &from, sizeof v6);
    clientPort = ntohs(v6.sin6_port);
    ::inet_ntop(AF_INET6, &v6.sin6_addr, ip, sizeof ip);
  } else {
    sockaddr_in v4{};
    std::memcpy(&v4, &from, sizeof v4);
    clientPort = ntohs(v4.sin_port);
    ::inet_ntop(AF_INET, &v4.sin_addr, ip, sizeof ip);
  }
  Trace(Format("<- %s:%u %zu bytes: ", ip, clientPort, bytes.size()) + Escape(bytes));
  std::vector<std::string> replies = Answer(bytes, ip, now);
  Hostility modes;
  {
    std::lock_guard lock(stateMutex);
    modes = hostile;
  }
  if (modes.reorder) std::reverse(replies.begin(), replies.end());
  // Recorded once its command has been carried out and before any reply leaves: a test that saw
  // the datagram arrive also sees what it did, and one that got the reply sees the datagram.
  Record(received, {bytes, now, clientPort});
  if (!replies.empty() && modes.noise) SendNoise(from, fromLength);
  if (!replies.empty() && modes.strayReplies) SendStray(from, fromLength);
  for (const std::string& reply : replies) {
    SendTo(socket.get(), reply, from, fromLength);
    Trace(Format("-> %s:%u %zu bytes: ", ip, clientPort, reply.size()) + Escape(reply));
    Record(sent, {reply, std::chrono::steady_clock::now(), clientPort});
  }
}

std::vector<std::string> GameServer::Impl::Answer(const std::string& bytes, const char* ip,
                                                  std::chrono::steady_clock::time_point now) {
  if (bytes.compare(0, gameserver::kMarker.size(), gameserver::kMarker) != 0) return {};

  // Decided under the state lock; the trace and the test's reply filter run outside it, so that
  // they may call back into the server.
  gameserver::PacketResult result;
  std::function<bool(const Request&)> filterNow;
  const char* refusal = nullptr;
  {
    std::lock_guard lock(stateMutex);
    if (silent) {
      refusal = "   silent: no answer";
    } else {
      gameserver::PacketContext context;
      context.ip = ip;
      context.nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - epoch).count();
      context.limiter = rateLimit ? &limiter : nullptr;
      result = state.game == Game::Quake3 ? gameserver::HandleQuake3Packet(state, bytes, context)
                                          : gameserver::HandleQuake2Packet(state, bytes, context);
      if (result.rateLimited) {
        ++rateLimited;
        refusal = "   rate limit: dropped";
      } else if (result.request && DropReply(*result.request)) {
        ++dropped;
        refusal = "   reply dropped on purpose";
      } else {
        filterNow = filter;
      }
    }
  }
  if (result.request && result.request->accepted) {
    std::lock_guard lock(recordMutex);
    commands.push_back(result.request->command);
  }
  if (!refusal && result.request && filterNow && filterNow(*result.request)) {
    std::lock_guard lock(stateMutex);
    ++dropped;
    refusal = "   reply dropped by the filter";
  }
  if (refusal) {
    Trace(refusal);
    return {};
  }
  if (!result.request) return {};
  bool chunkDropped = false;
  {
    std::lock_guard lock(stateMutex);
    chunkDropped = DropChunk(*result.request, result.replies);
  }
  if (chunkDropped) Trace("   one datagram of the reply dropped on purpose");
  return std::move(result.replies);
}

bool GameServer::Impl::DropChunk(const Request& request, std::vector<std::string>& replies) {
  for (auto it = chunkDrops.begin(); it != chunkDrops.end(); ++it) {
    if (!EqualsNoCase(it->word, request.word)) continue;
    const bool inReply = it->index < replies.size();
    if (inReply) replies.erase(replies.begin() + static_cast<std::ptrdiff_t>(it->index));
    chunkDrops.erase(it);
    if (inReply) ++dropped;
    return inReply;
  }
  return false;
}

void GameServer::Impl::SendNoise(const sockaddr_storage& to, socklen_t toLength) {
  std::vector<std::string> noise;
  {
    std::lock_guard lock(stateMutex);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> size(1, 1500);
    for (int i = 0; i < 3; ++i) {
      std::string bytes(size(noiseRandom), '\0');
      for (char& c : bytes) c = static_cast<char>(byte(noiseRandom));
      // The second carries the marker, the third is printed output, as if chunks of a reply.
      if (i == 1) bytes = std::string(gameserver::kMarker) + bytes;
      if (i == 2) bytes = gameserver::PrintDatagram(bytes);
      noise.push_back(std::move(bytes));
    }
    // Now and then the largest datagram there is.
    if (noiseRandom() % 4 == 0) noise.push_back(gameserver::PrintDatagram(std::string(65507 - 10, '\xFF')));
  }
  for (const std::string& bytes : noise) SendTo(socket.get(), bytes, to, toLength);
  hostileDatagrams += static_cast<int>(noise.size());
  Trace(Format("   noise: %zu datagrams", noise.size()));
}

void GameServer::Impl::SendStray(const sockaddr_storage& to, socklen_t toLength) {
  for (const std::string& forged : ForgedReplies(config.game)) {
    for (const Fd* from : {&straySocket, &strangerSocket}) {
      if (from->get() < 0) continue;
      SendTo(from->get(), forged, to, toLength);
      ++hostileDatagrams;
    }
  }
  Trace("   stray: forged replies from other ports");
}

bool GameServer::Impl::DropReply(const Request& request) {
  if (dropNext > 0) {
    --dropNext;
    return true;
  }
  for (auto it = dropRules.begin(); it != dropRules.end(); ++it) {
    if (!EqualsNoCase(it->word, request.word)) continue;
    if (it->remaining > 0 && --it->remaining == 0) dropRules.erase(it);
    return true;
  }
  return false;
}

GameServer::GameServer(GameServerConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}

GameServer::~GameServer() { Stop(); }

void GameServer::Start() {
  if (impl_->thread.joinable()) throw std::runtime_error("test game server: already started");
  const bool ipv6 = impl_->config.ipv6;
  Fd sock(::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (sock.get() < 0) throw SystemError("socket");
  sockaddr_storage address{};
  socklen_t length = 0;
  if (ipv6) {
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(impl_->config.port);
    v6.sin6_addr = in6addr_loopback;
    std::memcpy(&address, &v6, sizeof v6);
    length = sizeof v6;
  } else {
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(impl_->config.port);
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::memcpy(&address, &v4, sizeof v4);
    length = sizeof v4;
  }
  if (::bind(sock.get(), reinterpret_cast<sockaddr*>(&address), length) < 0)
    throw SystemError(Format(ipv6 ? "bind [::1]:%u" : "bind 127.0.0.1:%u", impl_->config.port));
  if (::getsockname(sock.get(), reinterpret_cast<sockaddr*>(&address), &length) < 0) throw SystemError("getsockname");
  // Room for a burst of requests while the thread is busy answering.
  const int bufferSize = 1 << 20;
  ::setsockopt(sock.get(), SOL_SOCKET, SO_RCVBUF, &bufferSize, sizeof bufferSize);
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) < 0) throw SystemError("pipe");
  impl_->wakeRead = Fd(wake[0]);
  impl_->wakeWrite = Fd(wake[1]);
  impl_->socket = std::move(sock);
  sockaddr_in bound{};  // the port stands at the same place in both families' addresses
  std::memcpy(&bound, &address, sizeof bound);
  impl_->straySocket = BoundSocket("127.0.0.1");
  impl_->strangerSocket = BoundSocket("127.0.0.2");
  impl_->port = ntohs(bound.sin_port);
  impl_->running = true;
  impl_->thread = std::thread([impl = impl_.get()] { impl->Run(); });
}

void GameServer::Stop() {
  if (!impl_->thread.joinable()) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(impl_->wakeWrite.get(), &byte, 1);
  impl_->thread.join();
  impl_->socket.Reset();
  impl_->straySocket.Reset();
  impl_->strangerSocket.Reset();
  impl_->wakeRead.Reset();
  impl_->wakeWrite.Reset();
  impl_->running = false;
}

bool GameServer::Running() const { return impl_->running; }
std::uint16_t GameServer::Port() const { return impl_->port; }

std::vector<Datagram> GameServer::Received() const {
  std::lock_guard lock(impl_->recordMutex);
  return impl_->received;
}

std::size_t GameServer::ReceivedCount() const {
  std::lock_guard lock(impl_->recordMutex);
  return impl_->received.size();
}

bool GameServer::WaitForDatagrams(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->recordMutex);
  return impl_->recorded.wait_for(lock, timeout, [&] { return impl_->received.size() >= count; });
}

std::optional<Datagram> GameServer::WaitForDatagram(std::size_t index, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->recordMutex);
  if (!impl_->recorded.wait_for(lock, timeout, [&] { return impl_->received.size() > index; })) return std::nullopt;
  return impl_->received[index];
}

std::vector<Datagram> GameServer::Sent() const {
  std::lock_guard lock(impl_->recordMutex);
  return impl_->sent;
}

bool GameServer::WaitForReplies(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->recordMutex);
  return impl_->recorded.wait_for(lock, timeout, [&] { return impl_->sent.size() >= count; });
}

std::vector<std::string> GameServer::Commands() const {
  std::lock_guard lock(impl_->recordMutex);
  return impl_->commands;
}

void GameServer::ClearRecords() {
  std::lock_guard lock(impl_->recordMutex);
  impl_->received.clear();
  impl_->sent.clear();
  impl_->commands.clear();
}

void GameServer::SetPlayers(std::vector<Player> players) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.SetPlayers(std::move(players));
}

void GameServer::AddPlayer(Player player) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.PutPlayer(std::move(player));
}

bool GameServer::RemovePlayer(int slot) {
  std::lock_guard lock(impl_->stateMutex);
  return impl_->state.RemovePlayer(slot);
}

std::vector<Player> GameServer::Players() const {
  std::lock_guard lock(impl_->stateMutex);
  std::vector<Player> players;
  for (const auto& [slot, player] : impl_->state.Players()) players.push_back(player);
  return players;
}

void GameServer::SetCvar(const std::string& name, const std::string& value) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.cvars.ForceSet(name, value);
}

void GameServer::DefineCvar(CvarDef cvar) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.cvars.Define(cvar);
}

std::optional<std::string> GameServer::Cvar(const std::string& name) const {
  std::lock_guard lock(impl_->stateMutex);
  const auto* cvar = impl_->state.cvars.Find(name);
  return cvar ? std::optional<std::string>(cvar->value) : std::nullopt;
}

std::optional<std::string> GameServer::LatchedCvar(const std::string& name) const {
  std::lock_guard lock(impl_->stateMutex);
  const auto* cvar = impl_->state.cvars.Find(name);
  return cvar ? cvar->latched : std::nullopt;
}

void GameServer::SetMap(const std::string& name) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.SetMapName(name);
}

std::string GameServer::Map() const {
  std::lock_guard lock(impl_->stateMutex);
  return impl_->state.MapName();
}

void GameServer::SetMaps(std::vector<std::string> maps) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.maps = std::move(maps);
}

void GameServer::SetPassword(const std::string& password) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.cvars.ForceSet(gameserver::PasswordCvar(impl_->state.game), password);
}

void GameServer::SetLayout(StatusLayout layout) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->state.layout = layout;
}

void GameServer::SetRateLimit(bool on) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->rateLimit = on;
  impl_->limiter.Reset();
}

void GameServer::SetSilent(bool on) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->silent = on;
}

void GameServer::SetHostility(Hostility hostile) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->hostile = hostile;
}

int GameServer::HostileDatagrams() const { return impl_->hostileDatagrams; }

void GameServer::DropNextReplies(int count) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->dropNext = count;
}

void GameServer::DropRepliesTo(const std::string& word, int count) {
  if (count == 0) return;
  std::lock_guard lock(impl_->stateMutex);
  impl_->dropRules.push_back({word, count < 0 ? -1 : count});
}

void GameServer::DropChunk(const std::string& word, std::size_t index) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->chunkDrops.push_back({word, index});
}

void GameServer::SetReplyFilter(std::function<bool(const Request&)> filter) {
  std::lock_guard lock(impl_->stateMutex);
  impl_->filter = std::move(filter);
}

void GameServer::ClearDrops() {
  std::lock_guard lock(impl_->stateMutex);
  impl_->dropNext = 0;
  impl_->dropRules.clear();
  impl_->chunkDrops.clear();
  impl_->filter = nullptr;
}

int GameServer::DroppedReplies() const {
  std::lock_guard lock(impl_->stateMutex);
  return impl_->dropped;
}

int GameServer::RateLimitedRequests() const {
  std::lock_guard lock(impl_->stateMutex);
  return impl_->rateLimited;
}

}  // namespace test
