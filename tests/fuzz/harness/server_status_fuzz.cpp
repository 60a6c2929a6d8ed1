// The answer to the status query read as a whole (the server board's reader): the info string,
// every player line, and what the board shows of them, both games.
#include <climits>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/serverstatus.h"

namespace {

bool Clean(const std::string& text) { return text.find('\\') == std::string::npos && text.find('\n') == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = fuzz::Bytes(data, size);
  const protocol::ServerStatus status = protocol::ParseServerStatus(reply);
  FUZZ_CHECK(status.players.size() <= fuzz::LinesAfter(reply, 2));
  size_t named = 0;
  for (const protocol::StatusPlayer& player : status.players) {
    FUZZ_CHECK(player.name.find('\n') == std::string::npos);
    named += player.name.size();
  }
  FUZZ_CHECK(named <= reply.size());
  size_t info = 0;
  for (const protocol::InfoRow& row : status.info) {
    FUZZ_CHECK(Clean(row.key) && Clean(row.value));
    info += row.key.size() + row.value.size();
  }
  FUZZ_CHECK(info <= reply.size());

  // The whole input as an info string: no pair holds a backslash, and nothing is made up.
  size_t pairs = 0;
  for (const protocol::InfoRow& row : protocol::ParseInfoString(reply)) {
    FUZZ_CHECK(row.key.find('\\') == std::string::npos && row.value.find('\\') == std::string::npos);
    pairs += row.key.size() + row.value.size();
  }
  FUZZ_CHECK(pairs <= reply.size());

  for (const protocol::GameTraits* game : fuzz::kGames) {
    const bool answer = protocol::IsStatusResponse(*game, reply);
    FUZZ_CHECK(!answer || reply.substr(0, 4) == "\xFF\xFF\xFF\xFF");
    FUZZ_CHECK(protocol::ServerName(*game, status.info).size() <= reply.size());
    const auto slots = protocol::MaxPlayers(*game, status.info);
    FUZZ_CHECK(!slots || (*slots >= INT_MIN && *slots <= INT_MAX));
    FUZZ_CHECK(protocol::GameTypeName(*game, status.info).size() <= reply.size() + 32);
  }
  return 0;
}
