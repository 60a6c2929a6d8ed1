#pragma once
// Keeps the program's requests to each game server within the server's rate limit.
//
// Quake 3 servers answer each client address from a leaky bucket: every accepted request
// adds one, one leaks out per 1000 ms, a request that finds 10 in the bucket is dropped
// without a word, and the status query and the remote commands share the bucket. All windows
// of this program reach a server from the same address, so they share that bucket too.
//
// The pacer keeps one queue per server address, shared by every paced TUDPClient of the
// program. The whole address is the key: family, address and port (a server reached over
// both IPv4 and IPv6 sees two client addresses of ours and keeps two buckets). It counts its own model of the bucket with a safety margin
// (by default at most 8 in the bucket and one leaking out per 1100 ms, so that network
// jitter and the server's own clock cannot push a request over the server's limit) and
// sends a datagram only while the model has room. Datagrams leave in the order they were
// queued, whichever client queued them, except those queued ahead (a one-off request that a
// person waits for), which go before every other waiting one; none is ever dropped. While the bucket is full a
// single-shot timer sends the next one when one has leaked out. Datagrams of unpaced
// clients go out at once but are counted in the bucket of their server, as the server
// counts them (up to a full bucket: the server does not count what it drops).
//
// A client of one server (TUDPClient) and a socket that talks to many servers
// (UdpMultiClient) queue alike: each is a PacedSender that hands a datagram to its socket
// when its turn comes.
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "net/address.h"

class QTimer;
class TUDPClient;

namespace net {

// What the pacer hands a queued datagram to when its turn comes.
class PacedSender {
 public:
  virtual ~PacedSender() = default;
  // Sends the text to the server now.
  virtual void SendPaced(const Endpoint& server, const std::string& text) = 0;
};

class RequestPacer {
 public:
  static constexpr int DefaultBurst = 8;
  static constexpr int DefaultPeriodMs = 1100;

  // The one pacer of the program (GUI thread only).
  static RequestPacer& Instance();

  // At most burst datagrams in the bucket, one leaking out per periodMs (both at least 1).
  void Configure(int burst, int periodMs);
  int Burst() const { return burst_; }
  int PeriodMs() const { return static_cast<int>(period_.count()); }

  // Queues the text for the server and sends what the bucket allows at once (inside this
  // call); onSent runs right after the datagram was handed to the sender. An empty text sends
  // nothing and uses no room, but keeps its place for onSent. `ahead` queues it before every
  // waiting datagram not queued ahead itself.
  void Send(PacedSender& sender, const Endpoint& server, std::string text, std::function<void()> onSent,
            bool ahead = false);
  // The same for the open client's own server.
  void Send(TUDPClient& client, std::string text, std::function<void()> onSent, bool ahead = false);
  // Counts a datagram sent past the queue (by an unpaced client) in the server's bucket.
  void NoteSent(const Endpoint& server);
  // Forgets the sender's queued datagrams (when it closes or is destroyed); their onSent
  // callbacks are not called.
  void Remove(const PacedSender& sender);

  // Datagrams waiting for the server, or queued by the sender.
  int PendingCount(const Endpoint& server) const;
  int PendingCount(const PacedSender& sender) const;
  // The server's bucket level in the pacer's model, now.
  int InFlight(const Endpoint& server) const;
  // Forgets every queue and every bucket level (for tests; keeps the configuration).
  void Reset();

 private:
  using Clock = std::chrono::steady_clock;
  struct Item {
    PacedSender* sender;
    std::string text;
    std::function<void()> onSent;
    bool ahead = false;
  };
  struct Bucket {
    std::deque<Item> items;
    int level = 0;
    Clock::time_point lastLeak{};
    bool pumping = false;
    std::unique_ptr<QTimer> timer;
  };

  RequestPacer();
  ~RequestPacer();
  Bucket& Entry(const Endpoint& server);
  Bucket* Find(const Endpoint& server) const;
  void Leak(Bucket& bucket, Clock::time_point now) const;
  void Pump(Endpoint server);  // by value: a callback may destroy the timer slot holding it
  void Schedule(const Endpoint& server, Bucket& bucket);

  int burst_ = DefaultBurst;
  std::chrono::milliseconds period_{DefaultPeriodMs};
  std::map<Endpoint, std::unique_ptr<Bucket>> buckets_;
};

}  // namespace net
