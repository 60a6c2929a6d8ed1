// The settings description file: any file describes the fields Field1 to FieldN, where N is
// NumFields but no more than the last such section the file has, and gives the first of them,
// at most kMaxFields.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "platform/ini.h"
#include "settings/description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const platform::IniDocument ini = platform::IniDocument::FromBytes(fuzz::Bytes(data, size));
  const settings::Description d = settings::ReadDescription(ini);
  FUZZ_CHECK(d.described >= 0 && d.described <= std::max(d.numFields, 0));
  FUZZ_CHECK(d.fields.size() == static_cast<size_t>(std::min(d.described, settings::kMaxFields)));
  // Cut short of NumFields only where no later field section exists.
  if (d.described < d.numFields && d.described > 0) FUZZ_CHECK(ini.HasSection("Field" + std::to_string(d.described)));
  for (const settings::FieldDescription& field : d.fields) {
    FUZZ_CHECK(field.name.size() <= platform::kIniMaxValueLength && field.type.size() <= platform::kIniMaxValueLength);
    FUZZ_CHECK(field.defaultValue.size() <= platform::kIniMaxValueLength && field.hint.size() <= platform::kIniMaxValueLength);
  }
  return 0;
}
