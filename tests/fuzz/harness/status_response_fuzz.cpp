// The answer to the status query: one player row per line from the third on, names only.
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = fuzz::Bytes(data, size);
  for (const protocol::GameTraits* game : fuzz::kGames) {
    std::vector<protocol::PlayerRow> players(3, protocol::PlayerRow{"1", "Old", "2", "3", "bot", "4"});
    protocol::ParseStatusResponse(*game, reply, players);
    FUZZ_CHECK(players.size() <= fuzz::LinesAfter(reply, 2));
    for (const protocol::PlayerRow& row : players) {
      FUZZ_CHECK(row.num.empty() && row.frags.empty() && row.ping.empty() && row.address.empty() && row.rate.empty());
      FUZZ_CHECK(row.name.empty() || (row.name.front() != ' ' && row.name.back() != ' '));
    }
  }
  return 0;
}
