#pragma once
// A scripted Quake 3 / Quake 2 game server for wire and end-to-end tests.
//
// It runs on its own thread, bound to 127.0.0.1 (or ::1), and answers the connectionless packets the
// real dedicated servers answer (the status query and remote commands), in their formats byte for
// byte: remote-command output is printed piece by piece into a buffer of the real size and sent as
// one "print" datagram whenever the next piece would not fit, so chunk boundaries fall where the
// real servers put them. Every datagram it receives is recorded for the test to inspect.
//
//   test::GameServerConfig config;
//   config.password = "secret";
//   config.players = test::BotPlayers(14);
//   test::GameServer server(config);
//   server.Start();
//   ... point a client at 127.0.0.1:server.Port() ...
//   ASSERT_TRUE(server.WaitForDatagrams(1, std::chrono::seconds(2)));
//   EXPECT_EQ(server.Received()[0].bytes, "\xff\xff\xff\xffrcon secret  status");
//
// Every method may be called from any thread while the server runs.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test {

enum class Game { Quake3, Quake2 };

// The status tables of the engines. Quake 3: today's ioquake3 one (cl score ping name address
// rate, names padded by their visible length, ^7 before the address), the original one (num
// score ping name lastmsg address qport rate, names padded by byte length, ^7 right after the
// name) and Quake3e's (the columns as ioquake3, padded to the longest name and address, "^7 "
// before the address, CON, PRM or ZMB for a client not playing, pings capped at 999). Quake 2:
// id's (Ioquake3 and Original stand for it), Yamagi's (two-digit slots, addresses in brackets,
// and a padding that never ends for a name longer than 16 or an address longer than 22
// characters: then the remote status is never answered) and Q2PRO's ("Current map:", names
// cut to 15, lastmsg address rate pr fps, "No UDP clients." on an empty server).
enum class StatusLayout { Ioquake3, Original, Quake3e, Yamagi, Q2pro };

// The Quake 2 engine whose own forms the server prints where the engines differ: the id
// engine (and Yamagi Quake 2), or Q2PRO, whose cvarlist has no flag columns, ends with
// "N of M cvars", and whose print buffer is filled to the last byte, cutting pieces anywhere.
enum class Quake2Engine { Id, Q2pro };

// A client slot that is still connecting shows CNCT in the ping column, a dropped one that the
// server keeps for a while shows ZMBI (and is left out of the status query). Quake3e and Q2PRO
// tell more states apart: one that has loaded the map but not yet entered (PRM, PRIM) and one
// downloading (CNCT on most servers, DNLD on Q2PRO).
enum class PlayerState { Active, Connecting, Zombie, Primed, Downloading };

struct Player {
  std::string name;              // as the server holds it, colour codes included
  int score = 0;
  int ping = 0;
  PlayerState state = PlayerState::Active;
  std::string address = "bot";   // "bot", "loopback" or "203.0.113.7:27960"
  int rate = 25000;
  int qport = 0;
  int lastmsg = 0;               // milliseconds since the last packet (original and Quake 2 tables)
  std::string model = "sarge";   // Quake 3 model, Quake 2 skin
  // The user info dumpuser prints, in order. Empty: built from the fields above.
  std::vector<std::pair<std::string, std::string>> userinfo;
  int slot = -1;                 // client number; -1 takes the lowest free one

  static Player Bot(std::string name, std::string model = "sarge", int score = 0);
  static Player Human(std::string name, std::string address, int ping, int score = 0);
  // The player of a listen server, the one the real servers refuse to kick.
  static Player Host(std::string name);
};

// Cvar flags. A read-only cvar answers "NAME is read only." (Quake 3), a write-protected one
// "NAME is write protected.", a latched one takes its new value at the next map.
enum CvarFlag : unsigned {
  kServerInfo = 1u << 0,      // listed by serverinfo and in the status query's info string
  kReadOnly = 1u << 1,        // Quake 3 only; Quake 2 has just write protection
  kWriteProtected = 1u << 2,
  kLatch = 1u << 3,
  kCheat = 1u << 4,           // Quake 3: refused while sv_cheats is 0
};

struct CvarDef {
  std::string name;
  std::string value;
  std::optional<std::string> resetValue;  // the default the cvar query reports; absent: value
  unsigned flags = 0;
};

// What the server does as a hostile one, besides its players and cvars (see hostile.h).
struct Hostility {
  // Forged replies (a refusal, a status table and server info of a player and a rule named
  // "Stray") come with every answer from another port of 127.0.0.1 and from 127.0.0.2.
  bool strayReplies = false;
  // A reply of several datagrams is sent last datagram first.
  bool reorder = false;
  // Binary noise (with and without the four 0xFF bytes, one datagram of 64 KB) comes from the
  // server's own port before every answer.
  bool noise = false;
};

struct GameServerConfig {
  Game game = Game::Quake3;
  bool ipv6 = false;             // listen on ::1 instead of 127.0.0.1
  std::uint16_t port = 0;        // 0: any free port (see GameServer::Port)
  std::string password;          // empty: no remote-administration password set
  std::vector<Player> players;
  StatusLayout layout = StatusLayout::Ioquake3;
  Quake2Engine quake2Engine = Quake2Engine::Id;
  std::string map;               // empty: q3dm17 / q2dm1
  std::vector<std::string> maps; // maps "map NAME" accepts; empty: the game's stock maps
  std::vector<CvarDef> cvars;    // added to the game's stock cvars, replacing those of the same name
  // False: only the cvars above, in their order, plus those the server cannot do without (map
  // name, client limit, password, ...) from the stock set, after them.
  bool stockCvars = true;
  std::size_t chunk = 0;         // print buffer size including its terminator; 0: 1008 / 1384
  bool rateLimit = false;        // the real Quake 3 server's per-address leaky bucket
  bool silent = false;           // answer nothing at all
  Hostility hostile;
  std::chrono::milliseconds lifetime{0};  // stop by itself after this long; 0: until Stop()
  // Called on the server thread with one line for every datagram in and out (verbose mode).
  std::function<void(const std::string&)> trace;
};

// One datagram the server received or sent.
struct Datagram {
  std::string bytes;
  std::chrono::steady_clock::time_point time;
  std::uint16_t port = 0;        // the client's port: source of a received, target of a sent one
};

// What a reply filter sees of a request that is about to be answered.
struct Request {
  enum class Kind { Query, RemoteCommand } kind = Kind::Query;
  std::string word;      // the query word, or the first word of the remote command
  std::string command;   // the remote command as executed (empty for a query)
  std::string password;  // as the client sent it
  bool accepted = false; // the password was right (always false for a query)
};

class GameServer {
 public:
  explicit GameServer(GameServerConfig config = {});
  ~GameServer();
  GameServer(const GameServer&) = delete;
  GameServer& operator=(const GameServer&) = delete;

  // Binds 127.0.0.1 (::1 for ipv6) and starts answering. Throws std::runtime_error when the
  // port is taken or the address is missing.
  void Start();
  // Stops the thread and closes the socket; also done by the destructor. Idempotent.
  void Stop();
  // False before Start, after Stop and once the lifetime has run out.
  bool Running() const;
  // The bound port (the chosen one, or the free one picked for port 0).
  std::uint16_t Port() const;

  // Recording. A received datagram is recorded once the server has handled it: its command
  // has been carried out and its replies sent.
  std::vector<Datagram> Received() const;
  std::size_t ReceivedCount() const;
  // Waits until at least `count` datagrams have arrived in all; false on time-out.
  bool WaitForDatagrams(std::size_t count, std::chrono::milliseconds timeout) const;
  // The datagram with this index (0 = first), waiting for it up to `timeout`.
  std::optional<Datagram> WaitForDatagram(std::size_t index, std::chrono::milliseconds timeout) const;
  std::vector<Datagram> Sent() const;
  bool WaitForReplies(std::size_t count, std::chrono::milliseconds timeout) const;
  // Remote commands run with the right password, as executed.
  std::vector<std::string> Commands() const;
  void ClearRecords();

  // Game state.
  void SetPlayers(std::vector<Player> players);
  void AddPlayer(Player player);
  bool RemovePlayer(int slot);
  std::vector<Player> Players() const;  // in slot order, slots filled in
  // Sets a cvar as the server itself would (no protection applies); creates a plain one if missing.
  void SetCvar(const std::string& name, const std::string& value);
  void DefineCvar(CvarDef cvar);
  std::optional<std::string> Cvar(const std::string& name) const;
  std::optional<std::string> LatchedCvar(const std::string& name) const;
  void SetMap(const std::string& name);
  std::string Map() const;
  void SetMaps(std::vector<std::string> maps);
  void SetPassword(const std::string& password);
  void SetLayout(StatusLayout layout);

  // Behaviour.
  void SetRateLimit(bool on);
  void SetSilent(bool on);
  void SetHostility(Hostility hostile);
  // How many datagrams of noise and forged replies the hostile modes have sent.
  int HostileDatagrams() const;
  // The next `count` requests are handled but their replies are not sent.
  void DropNextReplies(int count);
  // Replies to requests whose word (query word or first word of the remote command; letter case
  // ignored) is `word` are not sent, `count` times or, with -1, always.
  void DropRepliesTo(const std::string& word, int count = -1);
  // Of the next reply to a request whose word is `word` (letter case ignored), the datagram with
  // this index (0 = first) is not sent; the others are.
  void DropChunk(const std::string& word, std::size_t index);
  // Replies for which the filter returns true are not sent. It runs on the server thread (it may
  // call this object). An empty function removes it.
  void SetReplyFilter(std::function<bool(const Request&)> filter);
  void ClearDrops();
  // How many replies (or datagrams of one) were held back by the drop hooks (not counting rate
  // limit or silence).
  int DroppedReplies() const;
  int RateLimitedRequests() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The status query and remote command packets a client sends.
std::string QueryPacket(Game game);
std::string RconPacket(const std::string& password, const std::string& command);

}  // namespace test
