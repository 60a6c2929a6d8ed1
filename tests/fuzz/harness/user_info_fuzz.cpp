// The user-info listing: rows appended from the fourth line on, the picture hook failing now
// and then.
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = fuzz::Bytes(data, size);
  for (const protocol::GameTraits* game : fuzz::kGames) {
    std::vector<protocol::UserInfoRow> rows = {{"kept", "row"}};
    size_t pictures = 0;
    const auto onPicture = [&](const std::string&) {
      if (++pictures % 2 == 0) throw std::runtime_error("no picture");
    };
    protocol::ParseUserInfo(*game, reply, rows, onPicture);
    FUZZ_CHECK(rows.size() == 1 + fuzz::LinesAfter(reply, 3));
    FUZZ_CHECK(rows.front().key == "kept" && rows.front().value == "row");
    FUZZ_CHECK(pictures < rows.size());
    for (const protocol::UserInfoRow& row : rows) FUZZ_CHECK(row.key.find(' ') == std::string::npos);
  }
  return 0;
}
