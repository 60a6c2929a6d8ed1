// The variable listing, fed the datagrams of one reply in turn.
//
// Input: one byte whose lowest bit picks the game, then datagrams, each a length (two bytes,
// the lower first) and its bytes.
#include <string>
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/cvarlist.h"
#include "protocol/packets.h"

namespace {

using protocol::CvarListReader;
using State = CvarListReader::State;

// Variables whose line is looked for in the text: enough to see the reader's promise kept
// without making a long input quadratic.
constexpr size_t kLinesLookedFor = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  CvarListReader reader(fuzz::GameOf(input.Byte()));
  std::string text;  // the printed text read before the listing ended
  size_t printed = 0;
  while (!input.Empty()) {
    const std::string_view datagram = input.Take(input.Word());
    const State before = reader.Status();
    const size_t variables = reader.Variables().size();
    const State after = reader.Feed(datagram);
    FUZZ_CHECK(after == reader.Status());
    if (before != State::Reading) {
      // An ended listing reads nothing more.
      FUZZ_CHECK(after == before && reader.Variables().size() == variables);
      continue;
    }
    const bool print = datagram.substr(0, protocol::kPrintHeader.size()) == protocol::kPrintHeader;
    if (!print) FUZZ_CHECK(after == State::Reading && reader.Variables().size() == variables);
    // Only the first datagram of the reply can be a refusal.
    if (after == State::Refused) FUZZ_CHECK(print && printed == 0 && variables == 0);
    if (print) {
      ++printed;
      if (text.size() <= CvarListReader::kMaxText) text.append(datagram.substr(protocol::kPrintHeader.size()));
    }
  }
  // Text over the bound ends the listing broken.
  if (text.size() > CvarListReader::kMaxText) FUZZ_CHECK(reader.Status() == State::Broken);

  size_t lineFeeds = 0;
  for (const char c : text) lineFeeds += c == '\n';
  const std::vector<protocol::CvarReply>& variables = reader.Variables();
  FUZZ_CHECK(variables.size() <= lineFeeds);
  for (size_t i = 0; i < variables.size(); ++i) {
    const protocol::CvarReply& v = variables[i];
    FUZZ_CHECK(!protocol::IsRemotePasswordName(v.name));
    FUZZ_CHECK(!v.name.empty() && v.name.find_first_of(" \"\n") == std::string::npos);
    FUZZ_CHECK(v.value.find('\n') == std::string::npos);
    // Each variable is a line of the text: its name, a blank, its value in quotes.
    if (i < kLinesLookedFor) FUZZ_CHECK(text.find(v.name + " \"" + v.value + "\"\n") != std::string::npos);
  }
  return 0;
}
