#include "about/verinfo.h"

#include <QString>

#include <array>
#include <cstdio>

#include "about/versionfinder.h"
#include "platform/text.h"

namespace {

constexpr std::array<const char*, 10> kKeyNames = {
    "CompanyName", "FileDescription", "FileVersion",      "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments",
};

uint32_t Word32(const uint8_t* p, int index) {
  p += index * 4;
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

std::span<const uint8_t> Record(const std::vector<uint8_t>& data) { return {data.data(), data.size()}; }

}  // namespace

TVerInfoRes::TVerInfoRes(const std::string& FileName) : FFileName(FileName) {
  ReadRecord();
  ReadFixedInfo();
  CollectFileFlags();
}

void TVerInfoRes::ReadRecord() {
  FSize = static_cast<int32_t>(about::GetFileVersionInfoSize(FFileName, FHandle));
  if (FSize <= 0) throw ENoVerInfoError("No Version Info Available.");
  if (static_cast<uint64_t>(FSize) > about::kMaxRecordSize) throw EVerInfoError("Cannot obtain version info.");
  FData.assign(static_cast<size_t>(FSize), 0);
  if (!about::GetFileVersionInfo(FFileName, FHandle, static_cast<uint32_t>(FSize), FData.data()))
    throw EVerInfoError("Cannot obtain version info.");
  about::VerValue translation;
  // An entry is a language and a code page, four bytes; a shorter table has none.
  if (!about::VerQueryValue(Record(FData), "\\VarFileInfo\\Translation", translation) || translation.size < 4)
    throw EVerInfoError("No language info.");
  FTranslation = translation.data;
}

void TVerInfoRes::ReadFixedInfo() {
  about::VerValue fixed;
  if (!about::VerQueryValue(Record(FData), "\\", fixed) || fixed.size < about::record::kFixedInfoSize)
    throw eNoFixeVerInfo("No fixed file info");
  FFixedInfo = fixed.data;
}

void TVerInfoRes::CollectFileFlags() {
  const uint32_t flags = Word32(FFixedInfo, 6) & Word32(FFixedInfo, 7);
  static constexpr std::pair<uint32_t, const char*> kNames[] = {
      {0x02, "Pre-release"}, {0x08, "Private build"}, {0x20, "Special build"}, {0x01, "Debug"}};
  for (const auto& [bit, name] : kNames)
    if (flags & bit) FFileFlags.emplace_back(name);
}

uint16_t TVerInfoRes::Language() const { return static_cast<uint16_t>(FTranslation[0] | (FTranslation[1] << 8)); }
uint16_t TVerInfoRes::CodePage() const { return static_cast<uint16_t>(FTranslation[2] | (FTranslation[3] << 8)); }

about::record::FixedInfo TVerInfoRes::FixedInfo() const {
  about::record::FixedInfo f;
  uint32_t* fields[] = {&f.signature,        &f.structVersion, &f.fileVersionMS, &f.fileVersionLS, &f.productVersionMS,
                        &f.productVersionLS, &f.fileFlagsMask, &f.fileFlags,     &f.fileOS,        &f.fileType,
                        &f.fileSubtype,      &f.fileDateMS,    &f.fileDateLS};
  for (int i = 0; i < 13; ++i) *fields[i] = Word32(FFixedInfo, i);
  return f;
}

void TVerInfoRes::GetVersionString(TVerInfoKey Key, std::string& Value) const {
  Value.clear();
  const std::string name = about::VerInfoKeyName(Key);
  if (name.empty()) return;
  const std::string path = about::VersionStringPath(Language(), CodePage(), name);
  about::VerValue found;
  if (!about::VerQueryValue(Record(FData), path, found)) return;
  const std::u16string text = about::VerValueText(found);
  Value = platform::ToAnsi(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

std::string TVerInfoRes::GetVersionString(TVerInfoKey Key) const {
  std::string value;
  GetVersionString(Key, value);
  return value;
}

namespace about {

std::string VerInfoKeyName(TVerInfoKey key) {
  const int index = static_cast<int>(key);
  if (index < 0 || index >= static_cast<int>(kKeyNames.size())) return {};
  return kKeyNames[static_cast<size_t>(index)];
}

std::string VersionStringPath(uint16_t language, uint16_t codePage, const std::string& name) {
  char head[32];
  std::snprintf(head, sizeof head, "%.4X%.4X", language, codePage);
  return "\\StringFileInfo\\" + std::string(head) + "\\" + name;
}

std::string PlatformName(const platform::OSVersionInfo& info) {
  switch (info.platformId) {
    case platform::kPlatformWin32s: return "Windows 3.1x/32s";
    case platform::kPlatformWin32Windows: return "Windows 95";
    case platform::kPlatformWin32NT: return "Windows NT";
    default: return info.systemName;
  }
}

std::string OSVersionText(const platform::OSVersionInfo& info) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, " %d.%d (Build %d)", static_cast<int>(info.majorVersion),
                static_cast<int>(info.minorVersion), static_cast<int>(info.buildNumber & 0xFFFF));
  return PlatformName(info) + numbers;
}

bool IsWindowsNT(const platform::OSVersionInfo& info) { return info.platformId == platform::kPlatformWin32NT; }

}  // namespace about
