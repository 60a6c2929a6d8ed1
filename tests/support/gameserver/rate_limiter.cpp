#include "support/gameserver/rate_limiter.h"

namespace test::gameserver {

bool LeakyBucket::Limit(std::int64_t nowMs, int burst, int period) {
  if (!used_) {
    used_ = true;
    burst_ = 0;
    lastTime_ = nowMs;
  }
  const std::int64_t interval = nowMs - lastTime_;
  const std::int64_t expired = interval / period;
  const std::int64_t remainder = interval % period;
  if (expired > burst_ || interval < 0) {
    burst_ = 0;
    lastTime_ = nowMs;
  } else {
    burst_ -= static_cast<int>(expired);
    lastTime_ = nowMs - remainder;
  }
  if (burst_ < burst) {
    ++burst_;
    return false;
  }
  return true;
}

bool RateLimiter::LimitAddress(const std::string& ip, std::int64_t nowMs) {
  return addresses_[ip].Limit(nowMs, 10, 1000);
}

bool RateLimiter::LimitStatusQueries(std::int64_t nowMs) { return statusQueries_.Limit(nowMs, 10, 100); }

bool RateLimiter::LimitBadPasswords(std::int64_t nowMs) { return badPasswords_.Limit(nowMs, 10, 1000); }

void RateLimiter::Reset() {
  addresses_.clear();
  statusQueries_ = {};
  badPasswords_ = {};
}

}  // namespace test::gameserver
