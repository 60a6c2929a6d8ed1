// Colour runs of a name: nothing lost but the codes, no empty run, every colour one of the
// game's eight.
#include <string>
#include <vector>

#include "common/colorcodes.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::Bytes(data, size);
  std::string joined;
  const std::vector<common::ColourRun> runs = common::ColourRuns(text, common::ColorCodes::IoQuake3);
  for (const common::ColourRun& run : runs) {
    FUZZ_CHECK(!run.text.empty());
    FUZZ_CHECK(run.colour == common::kDefaultColour || (run.colour >= 0 && run.colour <= 7));
    joined += run.text;
  }
  FUZZ_CHECK(joined.size() <= text.size());
  FUZZ_CHECK((joined.size() == text.size()) == !common::HasColourCodes(text, common::ColorCodes::IoQuake3));
  const std::vector<common::ColourRun> plain = common::ColourRuns(text, common::ColorCodes::None);
  FUZZ_CHECK(text.empty() ? plain.empty() : plain.size() == 1 && plain[0].text == text);
  return 0;
}
