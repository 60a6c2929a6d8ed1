#pragma once
// The version record of a file, read into memory and queried for its standard strings,
// its fixed file information and its file flags; and the one-line description of the
// running operating system. The About box shows both.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "about/versionwriter.h"
#include "platform/errors.h"
#include "platform/osversion.h"

// The file has no version record.
class ENoVerInfoError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The record cannot be read, or has no translation table.
class EVerInfoError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The record's fixed file information is missing or too short.
class eNoFixeVerInfo : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The standard string names, numbered as GetVersionString takes them.
enum class TVerInfoKey : int {
  CompanyName = 0,
  FileDescription = 1,
  FileVersion = 2,
  InternalName = 3,
  LegalCopyright = 4,
  LegalTrademarks = 5,
  OriginalFilename = 6,
  ProductName = 7,
  ProductVersion = 8,
  Comments = 9,
};

class TVerInfoRes {
 public:
  // Reads the record of FileName; raises ENoVerInfoError, EVerInfoError or eNoFixeVerInfo.
  explicit TVerInfoRes(const std::string& FileName);
  static std::unique_ptr<TVerInfoRes> Create(const std::string& FileName) {
    return std::make_unique<TVerInfoRes>(FileName);
  }
  ~TVerInfoRes() = default;
  TVerInfoRes(const TVerInfoRes&) = delete;
  TVerInfoRes& operator=(const TVerInfoRes&) = delete;

  // The string of that name in the record's first language; empty when there is none.
  void GetVersionString(TVerInfoKey Key, std::string& Value) const;
  std::string GetVersionString(TVerInfoKey Key) const;

  uint32_t Handle() const { return FHandle; }
  int32_t Size() const { return FSize; }
  const std::vector<uint8_t>& Data() const { return FData; }
  // The first translation entry (language, then code page) and the fixed block, both
  // pointing into Data().
  const uint8_t* Translation() const { return FTranslation; }
  const uint8_t* FixedInfoData() const { return FFixedInfo; }
  uint16_t Language() const;
  uint16_t CodePage() const;
  about::record::FixedInfo FixedInfo() const;
  // "Pre-release", "Private build", "Special build", "Debug": those set and not masked out.
  const std::vector<std::string>& FileFlags() const { return FFileFlags; }
  const std::string& FileName() const { return FFileName; }

 private:
  void ReadRecord();
  void ReadFixedInfo();
  void CollectFileFlags();

  uint32_t FHandle = 0;
  int32_t FSize = 0;
  std::vector<uint8_t> FData;
  const uint8_t* FTranslation = nullptr;
  const uint8_t* FFixedInfo = nullptr;
  std::vector<std::string> FFileFlags;
  std::string FFileName;
};

namespace about {

// "CompanyName" ... "Comments"; empty for a value outside the list.
std::string VerInfoKeyName(TVerInfoKey key);
// "\StringFileInfo\" + language and code page as four upper-case hexadecimal digits each
// + "\" + name: (0x0409, 0x04E4, "FileVersion") gives \StringFileInfo\040904E4\FileVersion.
std::string VersionStringPath(uint16_t language, uint16_t codePage, const std::string& name);

// "Windows 3.1x/32s", "Windows 95", "Windows NT" for the platforms 0, 1 and 2; for any
// other platform the system's own name, which is empty when the query gave none.
std::string PlatformName(const platform::OSVersionInfo& info);
// The platform name + " <major>.<minor> (Build <low 16 bits of the build number>)".
std::string OSVersionText(const platform::OSVersionInfo& info);
// True on Windows NT (platform 2) only.
bool IsWindowsNT(const platform::OSVersionInfo& info);

}  // namespace about
