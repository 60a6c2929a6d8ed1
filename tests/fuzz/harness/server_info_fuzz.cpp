// The server-info listing: one rule per line from the third on, and the hooks that follow
// the game type and the map, one of which fails now and then.
#include <string>
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = fuzz::Bytes(data, size);
  for (const protocol::GameTraits* game : fuzz::kGames) {
    std::vector<protocol::RuleRow> rules = {{"old", "rule"}};
    size_t calls = 0;
    const auto look = [&](const std::string& key, const std::string& value) {
      // A hook runs right after its own rule was added.
      FUZZ_CHECK(!rules.empty() && rules.back().key == key && rules.back().value == value);
      ++calls;
    };
    protocol::ServerInfoHooks hooks;
    hooks.onGameType = [&](const std::string& value) { look("g_gametype", value); };
    hooks.onMapName = [&](const std::string& value) {
      look("mapname", value);
      if (calls % 2 == 0) throw std::string("no such map");
    };
    protocol::ParseServerInfo(*game, reply, rules, hooks);
    FUZZ_CHECK(rules.size() == fuzz::LinesAfter(reply, 2));
    FUZZ_CHECK(calls <= rules.size());
    for (const protocol::RuleRow& rule : rules) {
      FUZZ_CHECK(rule.key.find(' ') == std::string::npos);
      FUZZ_CHECK(rule.value.empty() || (rule.value.front() != ' ' && rule.value.back() != ' '));
    }
  }
  return 0;
}
