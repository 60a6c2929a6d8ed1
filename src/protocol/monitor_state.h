#pragma once
#include <cstdint>

// The state of a monitor window (its field FState).
enum TMonitorState : std::uint8_t {
  msIdle = 0,
  msRefused = 1,
  msConnecting = 2,
  msPolling = 3,
  msAwaitingUserInfo = 4,
};
