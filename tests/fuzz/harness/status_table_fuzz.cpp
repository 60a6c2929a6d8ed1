// The printed status table, merged into a player list that already holds rows: only a table
// of the game's own shapes changes it, a row keeps its name, and only named lines add rows.
#include <optional>
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = fuzz::Bytes(data, size);
  const std::vector<protocol::PlayerRow> before = {
      {"1", "Sarge", "2", "3", "bot", "4"}, {"", "", "", "", "", ""}, {"7", "Has Space", "0", "50", "1.2.3.4:5", "25000"}};
  for (const protocol::GameTraits* game : fuzz::kGames) {
    // A game reads only tables of its own layouts, and nothing else changes the list.
    const std::optional<protocol::TableForm> form = protocol::ReadTableForm(*game, reply);
    if (form) {
      const bool quake2 = form->layout == protocol::TableLayout::Quake2 || form->layout == protocol::TableLayout::Q2pro;
      FUZZ_CHECK((game == &protocol::kQuake2) == quake2);
    }

    std::vector<protocol::PlayerRow> players = before;
    protocol::ParseStatusTable(*game, reply, players);
    if (!form) FUZZ_CHECK(players == before);
    FUZZ_CHECK(players.size() >= before.size());
    FUZZ_CHECK(players.size() <= before.size() + fuzz::LinesAfter(reply, 4));
    for (size_t i = 0; i < before.size(); ++i) FUZZ_CHECK(players[i].name == before[i].name);
    for (size_t i = before.size(); i < players.size(); ++i) FUZZ_CHECK(!players[i].name.empty());
    if (!game->hasRateColumn) {
      for (size_t i = 0; i < before.size(); ++i) FUZZ_CHECK(players[i].rate == before[i].rate);
    }
  }
  return 0;
}
