#include "settings/description.h"

#include <algorithm>

#include "platform/ascii.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace settings {
namespace {

// N of a section named "Field" + N (N decimal, no leading zeros, any letter case); 0 otherwise.
int FieldNumber(const std::string& section) {
  static const std::string kPrefix = "field";
  if (section.size() <= kPrefix.size() || section.size() > kPrefix.size() + 9) return 0;
  if (!platform::StartsWithNoCase(section, kPrefix)) return 0;
  if (section[kPrefix.size()] == '0') return 0;
  int n = 0;
  for (size_t i = kPrefix.size(); i < section.size(); ++i) {
    if (section[i] < '0' || section[i] > '9') return 0;
    n = n * 10 + (section[i] - '0');
  }
  return n;
}

}  // namespace

Description ReadDescription(const platform::IniDocument& ini) {
  Description d;
  d.numFields = ini.ReadInteger("Common", "NumFields", 0);
  int last = 0;
  for (const std::string& section : ini.SectionNames()) last = std::max(last, FieldNumber(section));
  const int count = std::min(d.numFields, last);
  for (int n = 1; n <= count; ++n) {
    const std::string section = "Field" + std::to_string(n);
    FieldDescription f;
    f.type = ini.ReadString(section, "Type", "");
    f.name = ini.ReadString(section, "Name", "EMPTY");
    f.defaultValue = ini.ReadString(section, "Default", "");
    f.hint = ini.ReadString(section, "Hint", "");
    d.fields.push_back(std::move(f));
  }
  return d;
}

Description ReadDescriptionFile(const std::string& nativeFile) {
  return ReadDescription(platform::IniDocument::Load(nativeFile));
}

std::string DescriptionFileName(const protocol::GameTraits& game) {
  return platform::NativePath(platform::CurrentDirectory() + std::string(game.settingsFile));
}

}  // namespace settings
