#include "settings/description.h"

#include <algorithm>
#include <limits>

#include "platform/ascii.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace settings {
namespace {

// N of a section named "Field" + N (N decimal, no leading zeros, any letter case, at most the
// largest NumFields); 0 otherwise.
int FieldNumber(const std::string& section) {
  static const std::string kPrefix = "field";
  if (section.size() <= kPrefix.size() || section.size() > kPrefix.size() + 10) return 0;
  if (!platform::StartsWithNoCase(section, kPrefix)) return 0;
  if (section[kPrefix.size()] == '0') return 0;
  long long n = 0;
  for (size_t i = kPrefix.size(); i < section.size(); ++i) {
    if (section[i] < '0' || section[i] > '9') return 0;
    n = n * 10 + (section[i] - '0');
  }
  return n <= std::numeric_limits<int>::max() ? static_cast<int>(n) : 0;
}

}  // namespace

Description ReadDescription(const platform::IniDocument& ini) {
  Description d;
  d.numFields = ini.ReadInteger("Common", "NumFields", 0);
  int last = 0;
  for (const std::string& section : ini.SectionNames()) last = std::max(last, FieldNumber(section));
  d.described = std::max(0, std::min(d.numFields, last));
  const int count = std::min(d.described, kMaxFields);
  d.fields.reserve(static_cast<size_t>(count));
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

std::string TruncationNotice(const std::string& fileName, const Description& description) {
  return "The settings description file " + fileName + " asks for " + std::to_string(description.described) +
         " fields; only the first " + std::to_string(description.fields.size()) + " are shown.";
}

Description ReadDescriptionFile(const std::string& nativeFile) {
  return ReadDescription(platform::IniDocument::Load(nativeFile));
}

std::string DescriptionFileName(const protocol::GameTraits& game) {
  return platform::NativePath(platform::CurrentDirectory() + std::string(game.settingsFile));
}

}  // namespace settings
