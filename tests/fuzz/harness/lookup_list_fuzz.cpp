// The map-list reader: any bytes give a list of entries no longer than the reader promises,
// and the first entry is what a look-up of its own key finds, in any letter case.
#include <string>

#include "common/lookuplist.h"
#include "fuzz_support.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::Bytes(data, size);
  TLookupList list;
  list.Append("stale", "entry");  // released by the load
  LoadLookupListFromText(list, text);
  size_t entries = 0;
  size_t fields = 0;
  for (const TLookupEntry& entry : list) {
    FUZZ_CHECK(entry.Key.size() <= 255 && entry.Value.size() <= 255);
    FUZZ_CHECK(entry.Key.find('\t') == std::string::npos);
    ++entries;
    fields += entry.Key.size() + entry.Value.size();
  }
  FUZZ_CHECK(entries == list.Size());
  FUZZ_CHECK(fields <= text.size());
  if (const TLookupEntry* first = list.First()) {
    FUZZ_CHECK(FindLookupValue(list, first->Key) == first->Value);
    FUZZ_CHECK(FindLookupValue(list, Lower(first->Key)) == first->Value);
  }
  FreeLookupList(list);
  FUZZ_CHECK(list.Empty() && list.Size() == 0);
  return 0;
}
