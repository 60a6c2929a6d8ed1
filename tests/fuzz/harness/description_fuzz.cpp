// The settings description file: any file gives one field per section Field1 to FieldN, where
// N is NumFields but no more than the last such section the file has.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "platform/ini.h"
#include "settings/description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const platform::IniDocument ini = platform::IniDocument::FromBytes(fuzz::Bytes(data, size));
  const settings::Description d = settings::ReadDescription(ini);
  FUZZ_CHECK(d.fields.size() <= static_cast<size_t>(std::max(d.numFields, 0)));
  // Cut short of NumFields only where no later field section exists.
  if (static_cast<int>(d.fields.size()) < d.numFields && !d.fields.empty())
    FUZZ_CHECK(ini.HasSection("Field" + std::to_string(d.fields.size())));
  for (const settings::FieldDescription& field : d.fields) {
    FUZZ_CHECK(field.name.size() <= platform::kIniMaxValueLength && field.type.size() <= platform::kIniMaxValueLength);
    FUZZ_CHECK(field.defaultValue.size() <= platform::kIniMaxValueLength && field.hint.size() <= platform::kIniMaxValueLength);
  }
  return 0;
}
