// Corvane's own version record, built while compiling and placed in an ELF section of its
// own, ".corvane_verinfo", where TVerInfoRes finds it in the executable file.
#include <algorithm>
#include <array>

#include "about/versionwriter.h"

namespace {

using namespace about::record;

constexpr std::vector<uint8_t> CorvaneRecord() {
  Layout layout;
  layout.fixed.fileVersionMS = MakeVersion(CORVANE_VERSION_MAJOR, CORVANE_VERSION_MINOR);
  layout.fixed.fileVersionLS = MakeVersion(CORVANE_VERSION_PATCH, CORVANE_VERSION_TWEAK);
  layout.fixed.productVersionMS = MakeVersion(1, 0);
  layout.fixed.productVersionLS = MakeVersion(0, 0);
  layout.fixed.fileFlagsMask = 0x3F;
  layout.fixed.fileFlags = 0;
  layout.strings = {
      {"CompanyName", ""},      {"FileDescription", ""},  {"FileVersion", CORVANE_VERSION_TEXT},
      {"InternalName", ""},     {"LegalCopyright", ""},   {"LegalTrademarks", ""},
      {"OriginalFilename", ""}, {"ProductName", ""},      {"ProductVersion", "1.0.0.0"},
      {"Comments", ""},
  };
  layout.translations = {kEnglishWestern};
  return Build(layout);
}

constexpr size_t kRecordSize = CorvaneRecord().size();

constexpr std::array<uint8_t, kRecordSize> RecordArray() {
  const std::vector<uint8_t> bytes = CorvaneRecord();
  std::array<uint8_t, kRecordSize> out{};
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return out;
}

}  // namespace

// `used` keeps the compiler from dropping the unreferenced table; the object library that
// holds this file is linked as objects, so the linker keeps it too.
__attribute__((section(".corvane_verinfo"), used)) alignas(4) constinit const std::array<uint8_t, kRecordSize>
    corvane_version_record = RecordArray();
