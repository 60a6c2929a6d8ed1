#include "net/requestpacer.h"

#include <QTimer>

#include <algorithm>
#include <utility>

#include "net/udpclient.h"

namespace net {

namespace {

// One leaks out per full period since the last leak; the part of a period already gone is
// kept. An empty bucket starts its clock with the next datagram.
template <class TimePoint, class Duration>
void LeakBucket(int& level, TimePoint& lastLeak, TimePoint now, Duration period) {
  if (level <= 0) {
    level = 0;
    lastLeak = now;
    return;
  }
  const auto expired = (now - lastLeak) / period;
  if (expired >= level) {
    level = 0;
    lastLeak = now;
  } else if (expired > 0) {
    level -= static_cast<int>(expired);
    lastLeak += expired * period;
  }
}

}  // namespace

RequestPacer& RequestPacer::Instance() {
  // Lives as long as the process: clients may be destroyed by static destructors after
  // the application object is gone, and they still unregister here.
  static RequestPacer* const instance = new RequestPacer;
  return *instance;
}

RequestPacer::RequestPacer() = default;
RequestPacer::~RequestPacer() = default;

void RequestPacer::Configure(int burst, int periodMs) {
  burst_ = std::max(1, burst);
  period_ = std::chrono::milliseconds(std::max(1, periodMs));
  std::deque<Endpoint> servers;
  for (const auto& [server, bucket] : buckets_) servers.push_back(server);
  for (const Endpoint& server : servers) Pump(server);
}

RequestPacer::Bucket& RequestPacer::Entry(const Endpoint& server) {
  auto& slot = buckets_[server];
  if (!slot) slot = std::make_unique<Bucket>();
  return *slot;
}

RequestPacer::Bucket* RequestPacer::Find(const Endpoint& server) const {
  const auto it = buckets_.find(server);
  return it == buckets_.end() ? nullptr : it->second.get();
}

void RequestPacer::Leak(Bucket& bucket, Clock::time_point now) const {
  LeakBucket(bucket.level, bucket.lastLeak, now, period_);
}

void RequestPacer::Send(PacedSender& sender, const Endpoint& server, std::string text, std::function<void()> onSent,
                        bool ahead) {
  auto& items = Entry(server).items;
  const auto at = ahead ? std::find_if(items.begin(), items.end(), [](const Item& item) { return !item.ahead; })
                        : items.end();
  items.insert(at, Item{&sender, std::move(text), std::move(onSent), ahead});
  Pump(server);
}

void RequestPacer::Send(TUDPClient& client, std::string text, std::function<void()> onSent, bool ahead) {
  Send(client, client.Peer(), std::move(text), std::move(onSent), ahead);
}

void RequestPacer::NoteSent(const Endpoint& server) {
  Bucket& bucket = Entry(server);
  Leak(bucket, Clock::now());
  // The server does not count what it drops, so its bucket never holds more than its burst.
  bucket.level = std::min(bucket.level + 1, burst_);
}

void RequestPacer::Remove(const PacedSender& sender) {
  for (auto& [server, bucket] : buckets_) {
    std::erase_if(bucket->items, [&](const Item& item) { return item.sender == &sender; });
    if (bucket->items.empty() && bucket->timer) bucket->timer->stop();
  }
}

int RequestPacer::PendingCount(const Endpoint& server) const {
  const Bucket* bucket = Find(server);
  return bucket ? static_cast<int>(bucket->items.size()) : 0;
}

int RequestPacer::PendingCount(const PacedSender& sender) const {
  int count = 0;
  for (const auto& [server, bucket] : buckets_) {
    count += static_cast<int>(
        std::count_if(bucket->items.begin(), bucket->items.end(), [&](const Item& item) { return item.sender == &sender; }));
  }
  return count;
}

int RequestPacer::InFlight(const Endpoint& server) const {
  const Bucket* bucket = Find(server);
  if (!bucket) return 0;
  int level = bucket->level;
  Clock::time_point lastLeak = bucket->lastLeak;
  LeakBucket(level, lastLeak, Clock::now(), period_);
  return level;
}

void RequestPacer::Reset() { buckets_.clear(); }

void RequestPacer::Pump(Endpoint server) {
  Bucket* bucket = Find(server);
  if (!bucket || bucket->pumping) return;  // a callback queued more: the running pump sends it
  bucket->pumping = true;
  // Clears the flag however the loop ends, also when a callback raises or resets the pacer.
  struct PumpGuard {
    RequestPacer& pacer;
    Endpoint server;
    ~PumpGuard() {
      if (Bucket* b = pacer.Find(server)) b->pumping = false;
    }
  } guard{*this, server};

  while (!bucket->items.empty()) {
    const bool empty = bucket->items.front().text.empty();
    if (!empty) {
      Leak(*bucket, Clock::now());
      if (bucket->level >= burst_) break;
    }
    Item item = std::move(bucket->items.front());
    bucket->items.pop_front();
    if (!empty) {
      ++bucket->level;
      item.sender->SendPaced(server, item.text);
    }
    if (item.onSent) item.onSent();
    // The callback may have closed clients, queued more or reset the pacer.
    bucket = Find(server);
    if (!bucket) return;
  }
  Schedule(server, *bucket);
}

void RequestPacer::Schedule(const Endpoint& server, Bucket& bucket) {
  if (bucket.items.empty()) {
    if (bucket.timer) bucket.timer->stop();
    return;
  }
  if (!bucket.timer) {
    bucket.timer = std::make_unique<QTimer>();
    bucket.timer->setSingleShot(true);
    bucket.timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(bucket.timer.get(), &QTimer::timeout, [this, server] { Pump(server); });
  }
  // The bucket is full: the next one leaks out a full period after the last leak.
  const auto due = bucket.lastLeak + period_;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
  bucket.timer->start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())));
}

}  // namespace net
