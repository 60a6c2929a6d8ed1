#include <gtest/gtest.h>

#include "about/verinfo.h"
#include "platform/osversion.h"

namespace {

platform::OSVersionInfo Version(uint32_t major, uint32_t minor, uint32_t build, uint32_t platformId) {
  platform::OSVersionInfo v;
  v.majorVersion = major;
  v.minorVersion = minor;
  v.buildNumber = build;
  v.platformId = platformId;
  return v;
}

TEST(OSVersion, DescribesTheWindowsPlatformsAndOthers) {
  EXPECT_EQ(about::OSVersionText(Version(4, 0, 1381, 2)), "Windows NT 4.0 (Build 1381)");
  EXPECT_TRUE(about::IsWindowsNT(Version(4, 0, 1381, 2)));
  // Windows 95 keeps its version in the high half of the build number.
  EXPECT_EQ(about::OSVersionText(Version(4, 0, 0x040003B6, 1)), "Windows 95 4.0 (Build 950)");
  EXPECT_FALSE(about::IsWindowsNT(Version(4, 0, 950, 1)));
  EXPECT_EQ(about::OSVersionText(Version(3, 10, 511, 0)), "Windows 3.1x/32s 3.10 (Build 511)");
  EXPECT_EQ(about::OSVersionText(Version(5, 1, 2600, 7)), " 5.1 (Build 2600)");
  EXPECT_FALSE(about::IsWindowsNT(Version(5, 1, 2600, 7)));

  platform::OSVersionInfo posix = Version(6, 1, 0, platform::kPlatformPosix);
  posix.systemName = "Linux";
  EXPECT_EQ(about::OSVersionText(posix), "Linux 6.1 (Build 0)");
  EXPECT_FALSE(about::IsWindowsNT(posix));
  posix.platformId = 2;  // a system name never renames the Windows platforms
  EXPECT_EQ(about::OSVersionText(posix), "Windows NT 6.1 (Build 0)");
}

TEST(OSVersion, ReleaseStringsGiveMajorMinorAndBuild) {
  auto parse = [](const std::string& release) {
    uint32_t major = 99, minor = 99, build = 99;
    platform::ParseOSRelease(release, major, minor, build);
    return std::vector<uint32_t>{major, minor, build};
  };
  EXPECT_EQ(parse("6.1.0-18-amd64"), (std::vector<uint32_t>{6, 1, 0}));
  EXPECT_EQ(parse("6.18.44-fc-v1300"), (std::vector<uint32_t>{6, 18, 44}));
  EXPECT_EQ(parse("5.15"), (std::vector<uint32_t>{5, 15, 0}));
  EXPECT_EQ(parse("6-rc1.2"), (std::vector<uint32_t>{6, 0, 0}));
  EXPECT_EQ(parse(""), (std::vector<uint32_t>{0, 0, 0}));
  EXPECT_EQ(parse("99999999999999.2.3"), (std::vector<uint32_t>{0xFFFFFFFFu, 2, 3}));
}

TEST(OSVersion, ThisMachineIsDescribedByItsSystemName) {
  const platform::OSVersionInfo here = platform::GetVersionEx();
  EXPECT_EQ(here.platformId, platform::kPlatformPosix);
  ASSERT_FALSE(here.systemName.empty());
  EXPECT_EQ(about::OSVersionText(here).rfind(here.systemName + " ", 0), 0u);
  EXPECT_FALSE(about::IsWindowsNT(here));
}

}  // namespace
