#pragma once
// The request limits of the Quake 3 server: leaky buckets that let `burst` requests through at
// once and then one per `period` milliseconds.
#include <cstdint>
#include <string>
#include <unordered_map>

namespace test::gameserver {

class LeakyBucket {
 public:
  // True when the request at `nowMs` must be dropped.
  bool Limit(std::int64_t nowMs, int burst, int period);

 private:
  bool used_ = false;
  int burst_ = 0;
  std::int64_t lastTime_ = 0;
};

class RateLimiter {
 public:
  // Shared by the status query and remote commands: 10 at once, then one a second, per address
  // (the port does not count).
  bool LimitAddress(const std::string& ip, std::int64_t nowMs);
  // Status queries from everyone together: 10 at once, then one per 100 ms.
  bool LimitStatusQueries(std::int64_t nowMs);
  // Remote commands with a wrong password from everyone together: 10 at once, then one a second.
  bool LimitBadPasswords(std::int64_t nowMs);
  void Reset();

 private:
  std::unordered_map<std::string, LeakyBucket> addresses_;
  LeakyBucket statusQueries_;
  LeakyBucket badPasswords_;
};

}  // namespace test::gameserver
