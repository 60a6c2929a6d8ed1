#include "platform/osversion.h"

#include <sys/utsname.h>

#include <limits>

namespace platform {

void ParseOSRelease(const std::string& release, uint32_t& major, uint32_t& minor, uint32_t& build) {
  uint32_t* fields[] = {&major, &minor, &build};
  size_t pos = 0;
  for (uint32_t* field : fields) {
    uint64_t value = 0;
    while (pos < release.size() && release[pos] >= '0' && release[pos] <= '9') {
      value = value * 10 + static_cast<uint64_t>(release[pos] - '0');
      if (value > std::numeric_limits<uint32_t>::max()) value = std::numeric_limits<uint32_t>::max();
      ++pos;
    }
    *field = static_cast<uint32_t>(value);
    // The next field starts after the next dot, provided only digits came before it;
    // "6.1.0-18" ends at the dash, "6-rc1.2" has no minor version.
    if (pos < release.size() && release[pos] == '.') {
      ++pos;
    } else {
      pos = release.size();
    }
  }
}

OSVersionInfo GetVersionEx() {
  OSVersionInfo info;
  info.platformId = kPlatformPosix;
  struct utsname names{};
  if (::uname(&names) == 0) {
    info.systemName = names.sysname;
    ParseOSRelease(names.release, info.majorVersion, info.minorVersion, info.buildNumber);
  }
  return info;
}

}  // namespace platform
