#pragma once
// The board without any window: every stored server polled with the game's status query, one
// row of what each answered, and the alerts.
//
// Polling. Each server is asked once per interval (5 to 300 seconds), the servers spread apart
// a little so that their answers do not all come at once. A query goes out through the
// transport, which keeps a rate-limited server within its limit together with every other
// window of the program; a query still waiting there, or still unanswered, is not followed by
// another. An answer is matched to its server by the address it came from and must be the
// game's status response; the round trip is counted from the moment the query left. A query
// unanswered after kAnswerWait, or refused by the network, is a missed poll.
//
// Alerts. The first answer of a server (after the board began watching it, or after the watch
// list changed) only sets what is known; from then on the board tells when a watched player
// joins or leaves it, when its map changes, when it has missed kMissesForDown polls in a row
// (once) and when it answers again after that. A kind switched off is not told.
//
// Plain C++: the window supplies the transport and listens.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/alerts.h"
#include "board/watchlist.h"
#include "net/requestpacer.h"
#include "protocol/game.h"
#include "protocol/serverstatus.h"

namespace board {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

enum class Lamp : std::uint8_t {
  Waiting,       // not asked yet, or the first answer is still to come
  Answering,     // the last query was answered
  NotAnswering,  // the last query went unanswered
  Refused,       // the network refused the last query, or the host cannot be found
  NotPolled,     // a game without a status query the board knows
};

// One stored server, as the address book holds it.
struct BoardServer {
  std::string host;
  std::string port;
  std::string description;
  int gameType = 0;
  std::string gameName;                        // "Quake 3 Arena"
  const protocol::GameTraits* wire = nullptr;  // none: the board does not poll it
  bool operator==(const BoardServer&) const = default;
};

// What the board shows of one server.
struct ServerRow {
  BoardServer server;
  Lamp lamp = Lamp::Waiting;
  std::string lampText;  // the lamp in words, for its tooltip
  std::string name;      // the server's own name, colour codes included; empty until it answers
  std::string map;
  std::string gameType;
  int humans = -1;  // -1: not known
  int bots = -1;
  int maxPlayers = -1;
  int roundTripMs = -1;
  std::optional<TimePoint> lastAnswer;
  std::vector<std::string> watched;  // watched players on it at the last answer, sorted

  std::string Address() const { return server.host + ":" + server.port; }
  // How alerts name it: its description, else its own name, else its address.
  std::string Label() const;
};

// The network and the clock the session uses.
class BoardTransport {
 public:
  virtual ~BoardTransport() = default;
  // Finds the server's address and calls `done` with it, or with nothing and a reason for the
  // lamp. `done` may run inside this call (an address text) or later (a host name looked up in
  // the background); the session ignores answers for servers it no longer has.
  using Resolved = std::function<void(std::optional<net::Endpoint> server, const std::string& reason)>;
  virtual void Resolve(const std::string& host, const std::string& port, Resolved done) = 0;
  // Sends one datagram (through the pacer when `paced`); onSent runs once it has left, at once
  // or later.
  virtual void Send(const net::Endpoint& server, const std::string& datagram, bool paced,
                    std::function<void()> onSent) = 0;
  virtual TimePoint Now() = 0;
  // Calls BoardSession::TimerFired once at `when` (replaces an earlier one).
  virtual void ArmTimer(TimePoint when) = 0;
};

class BoardListener {
 public:
  virtual ~BoardListener() = default;
  virtual void RowsReset() = 0;  // the rows were replaced
  virtual void RowChanged(std::size_t row) = 0;
  virtual void ShowAlert(const Alert& alert) = 0;
};

class BoardSession {
 public:
  static constexpr int kMissesForDown = 3;
  static constexpr std::chrono::milliseconds kAnswerWait{3000};
  // Between the first queries of two servers, and of a poll of all at once.
  static constexpr std::chrono::milliseconds kSpacing{20};
  // A host name that cannot be found is looked up again no sooner than this.
  static constexpr std::chrono::seconds kResolveRetry{60};

  BoardSession(BoardTransport& transport, BoardListener& listener);
  ~BoardSession();
  BoardSession(const BoardSession&) = delete;
  BoardSession& operator=(const BoardSession&) = delete;

  // The stored servers, in the address book's order. A server that was there before (same
  // host, port and game) keeps what is known of it; a new one is asked soon.
  void SetServers(const std::vector<BoardServer>& servers);
  // Seconds, brought into 5..300. A server asks again within the new interval at the latest.
  void SetInterval(int seconds);
  int IntervalSeconds() const { return static_cast<int>(interval_.count()); }
  // The players now on a server that the new list matches are taken as known: no alerts.
  void SetWatchList(WatchList list);
  const WatchList& Watched() const { return watch_; }
  void SetAlertKinds(const AlertKinds& kinds) { kinds_ = kinds; }
  const AlertKinds& Kinds() const { return kinds_; }

  // Asks every server now (those with a query on its way excepted).
  void PollAll();
  // A datagram arrived from `from`.
  void DatagramArrived(const net::Endpoint& from, std::string_view datagram);
  // The network refused the datagram sent to `to` (a Windows Sockets code).
  void Refused(const net::Endpoint& to, int code);
  // The timer armed through the transport has fired.
  void TimerFired();

  const std::vector<ServerRow>& Rows() const { return rows_; }

 private:
  struct Poll {
    std::uint64_t id = 0;
    std::optional<net::Endpoint> endpoint;
    TimePoint nextPoll{};
    TimePoint nextResolve{};
    bool resolving = false;                // its host name is being looked up
    bool queued = false;                   // handed to the transport, not yet left
    std::optional<TimePoint> sentAt;       // left, unanswered so far
    std::optional<TimePoint> lastSentAt;   // the last query that left
    int missed = 0;                        // polls missed in a row
    bool answered = false;                 // has answered since the board began watching it
    bool down = false;                     // "stopped answering" has been told
    std::vector<std::string> players;      // everyone on it at the last answer, cleaned names
  };

  void Ask(std::size_t index, TimePoint now);
  void Left(std::uint64_t id);
  void Resolved(std::uint64_t id, std::optional<net::Endpoint> server, const std::string& reason);
  void Answered(std::size_t index, const protocol::ServerStatus& status, TimePoint now);
  void Missed(std::size_t index, Lamp lamp, const std::string& why);
  void CompareWatched(std::size_t index, std::vector<std::string> watched);
  std::vector<std::string> WatchedAmong(const std::vector<std::string>& players) const;
  void Raise(AlertKind kind, const ServerRow& row, std::string event);
  void ScheduleTimer();

  BoardTransport& transport_;
  BoardListener& listener_;
  std::vector<ServerRow> rows_;
  std::vector<Poll> polls_;  // one per row
  std::chrono::seconds interval_{kDefaultIntervalSeconds};
  WatchList watch_;
  AlertKinds kinds_;
  std::uint64_t nextId_ = 1;
  std::shared_ptr<bool> alive_;  // guards the transport's callbacks
};

// How long ago, in words: "12 s", "4 min", "2 h 5 min", "3 d".
std::string AgeText(std::chrono::seconds age);

// The lamp's words for a refusal of the network (a Windows Sockets code).
std::string RefusalText(int code);

}  // namespace board
