#pragma once
// What each game answers to a connectionless packet.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/gameserver/game_server.h"
#include "support/gameserver/rate_limiter.h"
#include "support/gameserver/server_state.h"

namespace test::gameserver {

struct PacketContext {
  std::string ip;              // the client's address without port
  std::int64_t nowMs = 0;      // a monotonic clock, for the rate limit
  RateLimiter* limiter = nullptr;  // null: no rate limit
};

struct PacketResult {
  std::vector<std::string> replies;   // datagrams to send back, marker included
  std::optional<Request> request;     // absent: nothing the server answers
  bool rateLimited = false;
};

// `datagram` is the whole datagram as received, marker included.
PacketResult HandleQuake3Packet(ServerState& state, std::string_view datagram, const PacketContext& context);
PacketResult HandleQuake2Packet(ServerState& state, std::string_view datagram, const PacketContext& context);

// The shared printing helper of both games: each key padded with spaces to 20 columns (Quake 3
// and Q2PRO add one more space), then the value; key and value are printed as two pieces.
class ConsoleOutput;
void InfoPrint(ConsoleOutput& out, bool spaceAfterKey, std::string_view info);

}  // namespace test::gameserver
