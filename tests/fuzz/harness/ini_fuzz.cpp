// The INI layer over any file: it reads back byte for byte, finds every section it lists, and
// a key it agreed to write reads back as written, next to everything else unchanged.
//
// Input: the file, then (after the last NUL byte, when there is one) a value to write.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/ini.h"

namespace {

// Reads keys the program reads from its own files, from the first few sections.
void ReadAround(const platform::IniDocument& doc, const std::vector<std::string>& sections) {
  for (size_t i = 0; i < sections.size() && i < 4; ++i) {
    FUZZ_CHECK(doc.HasSection(sections[i]));
    for (const char* key : {"NumFields", "Name"}) {
      const std::string value = doc.ReadString(sections[i], key, "fallback");
      FUZZ_CHECK(value.size() <= platform::kIniMaxValueLength);
      int number = 0;
      if (platform::IniTextToInt(value, number)) FUZZ_CHECK(doc.ReadInteger(sections[i], key, -1) == number);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all = fuzz::Bytes(data, size);
  const size_t nul = all.rfind('\0');
  const std::string_view file = nul == std::string_view::npos ? all : all.substr(0, nul);
  const std::string value(nul == std::string_view::npos ? std::string_view() : all.substr(nul + 1));

  platform::IniDocument doc = platform::IniDocument::FromBytes(file);
  FUZZ_CHECK(doc.Bytes() == file);
  const std::vector<std::string> sections = doc.SectionNames();
  ReadAround(doc, sections);

  // Writing one key: into the first section the file has, else into a new one.
  const std::string section = sections.empty() ? "Common" : sections.front();
  const std::optional<std::string> other = doc.Value("Common", "NumServers");
  if (doc.Write(section, "Fuzz", value)) {
    FUZZ_CHECK(doc.Value(section, "Fuzz") == value);
    FUZZ_CHECK(platform::IniDocument::FromBytes(doc.Bytes()).Value(section, "Fuzz") == value);
    if (!(section == "Common" || section == "common")) FUZZ_CHECK(doc.Value("Common", "NumServers") == other);
    FUZZ_CHECK(doc.DeleteKey(section, "Fuzz"));
    FUZZ_CHECK(!doc.Value(section, "Fuzz").has_value());
  }
  if (!sections.empty()) {
    FUZZ_CHECK(doc.RenameSection(sections.front(), "Renamed"));
    FUZZ_CHECK(doc.HasSection("Renamed"));
    doc.DeleteSection("Renamed");
    FUZZ_CHECK(!doc.HasSection("Renamed"));
  }
  return 0;
}
