#pragma once
// The running operating system's version, in the shape of the Windows version query:
// major and minor version, build number and a platform identifier.
#include <cstdint>
#include <string>

namespace platform {

// Platform identifiers of the Windows version query, and the one this build reports.
enum : uint32_t {
  kPlatformWin32s = 0,
  kPlatformWin32Windows = 1,
  kPlatformWin32NT = 2,
  kPlatformPosix = 16,  // any system queried through uname()
};

struct OSVersionInfo {
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;
  std::string systemName;  // uname's system name ("Linux"); empty on the Windows platforms
};

// Cuts a kernel release such as "6.1.0-18-amd64" into its first three numbers: major 6,
// minor 1, build 0. Each number is the run of digits at the start of its dot-separated field;
// a missing or non-numeric field counts 0, a number too large for 32 bits is clamped.
void ParseOSRelease(const std::string& release, uint32_t& major, uint32_t& minor, uint32_t& build);

// This machine: system name and release from uname(), platform kPlatformPosix.
OSVersionInfo GetVersionEx();

}  // namespace platform
