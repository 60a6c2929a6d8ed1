// The answer to a variable query, for both games, and what each kind of input makes of it.
#include <cstdlib>
#include <string>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/cvars.h"
#include "settings/values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view datagram = fuzz::Bytes(data, size);
  for (const protocol::GameTraits* game : fuzz::kGames) {
    const protocol::CvarReply reply = protocol::ParseCvarReply(datagram, *game);
    FUZZ_CHECK(reply.name.find('"') == std::string::npos && reply.value.find('"') == std::string::npos);
    FUZZ_CHECK(datagram.find(reply.name) != std::string_view::npos);
    FUZZ_CHECK(datagram.find(reply.value) != std::string_view::npos);

    // A spin field that shows the value as it is holds the very number the server has.
    const std::optional<int> spin = settings::SpinValue(reply.value);
    if (settings::SpinShowsValue(reply.value))
      FUZZ_CHECK(spin.has_value() && std::strtoll(reply.value.c_str(), nullptr, 10) == *spin);
    (void)protocol::ServerKeepsText(*game, reply.value);
    if (settings::CheckShowsValue(reply.value)) FUZZ_CHECK(settings::CheckValue(reply.value) == (reply.value == "1"));
  }
  // The readers of values see every text the server may print, not only well-formed replies.
  const std::string whole(datagram);
  const std::optional<int> spin = settings::SpinValue(whole);
  if (settings::SpinShowsValue(whole)) FUZZ_CHECK(spin.has_value());
  return 0;
}
