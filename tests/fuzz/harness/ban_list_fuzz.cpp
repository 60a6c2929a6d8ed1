// The answers of the ban commands: the list reader of both games, the error lines, the echo
// of a message, and the check of a typed address.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "protocol/bans.h"
#include "protocol/packets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::Bytes(data, size);
  for (const protocol::BanCommands* commands : {&protocol::kQuake3Bans, &protocol::kQuake2Bans}) {
    const std::vector<protocol::BanEntry> entries = protocol::ParseBanList(*commands, text);
    FUZZ_CHECK(entries.size() <= fuzz::LineCount(text));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const protocol::BanEntry& entry = entries[i];
      FUZZ_CHECK(!entry.mask.empty());
      FUZZ_CHECK(!protocol::BanEntryText(entry).empty());
      // The Quake 2 list is numbered by position; its entries are four octets of 0 to 255.
      if (commands->form == protocol::BanListForm::FilterList) {
        FUZZ_CHECK(entry.number == static_cast<int>(i) + 1);
        FUZZ_CHECK(entry.address.size() <= 15 && entry.mask.size() <= 15);
      }
    }
    const std::string errors = protocol::BanErrors(*commands, text);
    FUZZ_CHECK(errors.size() <= text.size());
    const protocol::BanAddress checked = protocol::CheckBanAddress(*commands, text);
    FUZZ_CHECK(checked.ok == checked.error.empty());
    if (checked.ok) {
      FUZZ_CHECK(!checked.argument.empty());
      FUZZ_CHECK(checked.argument.find_first_of(" \t\r\n\"") == std::string::npos);
    }
  }
  if (const auto echo = protocol::ChatEcho(text)) FUZZ_CHECK(echo->find('\n') == std::string::npos);
  return 0;
}
