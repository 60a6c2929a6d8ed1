#include <gtest/gtest.h>

#include <random>
#include <type_traits>

#include "about/verinfo.h"
#include "about/versionfinder.h"
#include "support/test_env.h"
#include "unit/about/executable_images.h"

namespace {

using about::record::Layout;
using test::images::Bytes;
using test::images::ElfImage;
using test::images::PeImage;
using test::images::UsualLayout;

class VerInfo : public ::testing::Test {
 protected:
  test::TempDir dir;
  int count = 0;
  // Writes the record into an ELF file and returns its name.
  std::string Elf(const Layout& layout, const test::images::ElfOptions& options = {}) {
    return File(ElfImage(about::record::Build(layout), options));
  }
  std::string File(const Bytes& bytes) {
    return dir.Write("file" + std::to_string(++count), test::images::AsString(bytes));
  }
};

// Runs f and returns the message of the exception of type E it raises ("" when none).
template <class E, class F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "";
}

TEST_F(VerInfo, ReadsTheStringsOfTheFirstLanguage) {
  const TVerInfoRes info(Elf(UsualLayout()));
  EXPECT_EQ(info.GetVersionString(TVerInfoKey::FileVersion), "1.2.3.4");
  EXPECT_EQ(info.GetVersionString(TVerInfoKey::CompanyName), "Example Ltd");
  EXPECT_EQ(info.GetVersionString(TVerInfoKey::ProductVersion), "1.2");
  // Not in the record: empty, and the output argument is cleared.
  std::string value = "stale";
  info.GetVersionString(TVerInfoKey::Comments, value);
  EXPECT_EQ(value, "");
  EXPECT_EQ(info.GetVersionString(static_cast<TVerInfoKey>(42)), "");
  EXPECT_EQ(info.Language(), 0x0409);
  EXPECT_EQ(info.CodePage(), 0x04E4);
  EXPECT_EQ(info.FixedInfo().signature, about::record::kFixedSignature);
  EXPECT_EQ(info.FixedInfo().fileVersionMS, 0x00010002u);
  EXPECT_EQ(info.FixedInfo().fileVersionLS, 0x00030004u);
  // The pointers lie inside the record.
  const uint8_t* begin = info.Data().data();
  const uint8_t* end = begin + info.Data().size();
  EXPECT_EQ(info.Size(), static_cast<int32_t>(info.Data().size()));
  EXPECT_TRUE(info.FixedInfoData() >= begin && info.FixedInfoData() + 52 <= end);
  EXPECT_TRUE(info.Translation() >= begin && info.Translation() + 4 <= end);
  EXPECT_EQ(info.FileName(), dir.Path() + "/file1");
}

TEST_F(VerInfo, FileFlagsAreTheMaskedFlagsInTheirFixedOrder) {
  EXPECT_TRUE(TVerInfoRes(Elf(UsualLayout(0x3F, 0x00))).FileFlags().empty());
  EXPECT_EQ(TVerInfoRes(Elf(UsualLayout(0x3F, 0x2B))).FileFlags(),
            (std::vector<std::string>{"Pre-release", "Private build", "Special build", "Debug"}));
  EXPECT_TRUE(TVerInfoRes(Elf(UsualLayout(0x00, 0x02))).FileFlags().empty());
  // Patched (0x04) and info-inferred (0x10) have no names; mask 0x21 keeps Special build and Debug.
  EXPECT_TRUE(TVerInfoRes(Elf(UsualLayout(0x3F, 0x14))).FileFlags().empty());
  EXPECT_EQ(TVerInfoRes(Elf(UsualLayout(0x21, 0x3F))).FileFlags(), (std::vector<std::string>{"Special build", "Debug"}));
}

TEST_F(VerInfo, OnlyTheFirstTranslationEntryIsUsed) {
  Layout other = UsualLayout();
  other.tableKey = "040704B0";  // German, Unicode
  EXPECT_EQ(TVerInfoRes(Elf(other)).GetVersionString(TVerInfoKey::FileVersion), "");

  other.translations = {0x04B00407, about::record::kEnglishWestern};
  EXPECT_EQ(TVerInfoRes(Elf(other)).GetVersionString(TVerInfoKey::FileVersion), "1.2.3.4");

  Layout english = UsualLayout();
  english.translations = {0x04B00407, about::record::kEnglishWestern};
  EXPECT_EQ(TVerInfoRes(Elf(english)).GetVersionString(TVerInfoKey::FileVersion), "");
}

TEST_F(VerInfo, LookupPathsUseUpperCaseHexAndKeysMatchInAnyCase) {
  EXPECT_EQ(about::VersionStringPath(0x0409, 0x04E4, "FileVersion"), "\\StringFileInfo\\040904E4\\FileVersion");
  EXPECT_EQ(about::VersionStringPath(0xABC, 0xDEF0, "Comments"), "\\StringFileInfo\\0ABCDEF0\\Comments");
  EXPECT_EQ(about::VerInfoKeyName(TVerInfoKey::CompanyName), "CompanyName");
  EXPECT_EQ(about::VerInfoKeyName(TVerInfoKey::OriginalFilename), "OriginalFilename");
  EXPECT_EQ(about::VerInfoKeyName(TVerInfoKey::Comments), "Comments");

  const Bytes record = about::record::Build(UsualLayout());
  about::VerValue value;
  ASSERT_TRUE(about::VerQueryValue(record, "\\stringfileinfo\\040904e4\\FILEVERSION", value));
  EXPECT_EQ(about::VerValueText(value), u"1.2.3.4");
  EXPECT_FALSE(about::VerQueryValue(record, "\\StringFileInfo\\040904E4\\FileVersionX", value));
  EXPECT_FALSE(about::VerQueryValue(record, "\\StringFileInfo\\040904E4\\FileVersion\\deeper", value));
  ASSERT_TRUE(about::VerQueryValue(record, "\\", value));
  EXPECT_EQ(value.size, 52u);
  EXPECT_FALSE(value.text);
}

TEST_F(VerInfo, StringsAreConvertedToWindows1252) {
  about::record::Writer w;
  const size_t root = w.Begin("VS_VERSION_INFO", 0);
  w.Binary(root, about::record::FixedInfoBytes({}));
  const size_t sfi = w.Begin("StringFileInfo", 1);
  const size_t table = w.Begin("040904E4", 1);
  const size_t s = w.Begin("LegalCopyright", 1);
  w.Text16(s, u"\u00A9 2024 Gro\u00DF \u20AC \u4E2D");
  w.End(s);
  w.End(table);
  w.End(sfi);
  const size_t vfi = w.Begin("VarFileInfo", 1);
  const size_t var = w.Begin("Translation", 0);
  w.Binary(var, {0x09, 0x04, 0xE4, 0x04});
  w.End(var);
  w.End(vfi);
  w.End(root);
  EXPECT_EQ(TVerInfoRes(File(ElfImage(w.bytes))).GetVersionString(TVerInfoKey::LegalCopyright), "\xA9 2024 Gro\xDF \x80 ?");
}

TEST_F(VerInfo, FailuresRaiseTheirOwnClassesWithTheirMessages) {
  static_assert(std::is_base_of_v<platform::Exception, ENoVerInfoError>);
  static_assert(std::is_base_of_v<platform::Exception, EVerInfoError>);
  static_assert(std::is_base_of_v<platform::Exception, eNoFixeVerInfo>);
  static_assert(!std::is_base_of_v<EVerInfoError, ENoVerInfoError> && !std::is_base_of_v<ENoVerInfoError, EVerInfoError>);
  static_assert(!std::is_base_of_v<EVerInfoError, eNoFixeVerInfo> && !std::is_base_of_v<eNoFixeVerInfo, EVerInfoError>);

  Layout noTranslation = UsualLayout();
  noTranslation.translations.clear();
  EXPECT_EQ(MessageOf<EVerInfoError>([&] { TVerInfoRes r(Elf(noTranslation)); }), "No language info.");

  // A fixed block of 40 bytes.
  about::record::Writer w;
  const size_t root = w.Begin("VS_VERSION_INFO", 0);
  Bytes shortFixed = about::record::FixedInfoBytes({});
  shortFixed.resize(40);
  w.Binary(root, shortFixed);
  const size_t vfi = w.Begin("VarFileInfo", 1);
  const size_t var = w.Begin("Translation", 0);
  w.Binary(var, {0x09, 0x04, 0xE4, 0x04});
  w.End(var);
  w.End(vfi);
  w.End(root);
  EXPECT_EQ(MessageOf<eNoFixeVerInfo>([&] { TVerInfoRes r(File(ElfImage(w.bytes))); }), "No fixed file info");

  // The translation table is looked up first: a record without both names it.
  w.bytes.clear();
  const size_t bare = w.Begin("VS_VERSION_INFO", 0);
  w.End(bare);
  EXPECT_EQ(MessageOf<EVerInfoError>([&] { TVerInfoRes r(File(ElfImage(w.bytes))); }), "No language info.");
}

TEST_F(VerInfo, ATranslationTableTooShortForOneEntryHasNoLanguage) {
  about::record::Writer w;
  const size_t root = w.Begin("VS_VERSION_INFO", 0);
  w.Binary(root, about::record::FixedInfoBytes({}));
  const size_t vfi = w.Begin("VarFileInfo", 1);
  const size_t var = w.Begin("Translation", 0);
  w.Binary(var, {0x09, 0x04});
  w.End(var);
  w.End(vfi);
  w.End(root);
  EXPECT_EQ(MessageOf<EVerInfoError>([&] { TVerInfoRes r(File(ElfImage(w.bytes))); }), "No language info.");
}

TEST_F(VerInfo, FilesWithoutARecordHaveNoVersionInfo) {
  const std::string none = "No Version Info Available.";
  auto message = [](const std::string& file) { return MessageOf<ENoVerInfoError>([&] { TVerInfoRes r(file); }); };
  EXPECT_EQ(message(dir.Write("text.txt", "just some text\n")), none);
  EXPECT_EQ(message(dir.Write("empty", "")), none);
  EXPECT_EQ(message(dir.Path() + "/missing"), none);
  EXPECT_EQ(message(dir.Path()), none);
  const Bytes record = about::record::Build(UsualLayout());
  EXPECT_EQ(message(File(ElfImage(record, {.section = ".corvane_verinfX"}))), none);
  EXPECT_EQ(message(File(ElfImage(record, {.nobits = true}))), none);
  EXPECT_EQ(message(File(ElfImage({}))), none);
  EXPECT_EQ(message(File(PeImage(record, {.versionType = 14}))), none);
}

TEST_F(VerInfo, ARecordThatCannotBeReadIsReportedAsSuch) {
  const std::string cannot = "Cannot obtain version info.";
  auto message = [](const std::string& file) { return MessageOf<EVerInfoError>([&] { TVerInfoRes r(file); }); };
  // Not a version record.
  EXPECT_EQ(message(File(ElfImage({1, 2, 3, 4, 5, 6, 7, 8}))), cannot);
  Bytes wrongRoot = about::record::Build(UsualLayout());
  wrongRoot[6] = 'W';  // first character of the root key
  EXPECT_EQ(message(File(ElfImage(wrongRoot))), cannot);
  // The section runs past the end of the file: its size grows by 0x4000.
  Bytes truncated = ElfImage(about::record::Build(UsualLayout()));
  const size_t shoff = truncated[0x28] | (truncated[0x29] << 8);
  truncated[shoff + 3 * 64 + 32 + 1] |= 0x40;
  EXPECT_EQ(message(File(truncated)), cannot);
}

TEST_F(VerInfo, ElfFilesOfBothWidthsAndByteOrdersAreRead) {
  for (bool wide : {true, false}) {
    for (bool big : {false, true}) {
      SCOPED_TRACE(std::string(wide ? "ELF64 " : "ELF32 ") + (big ? "big-endian" : "little-endian"));
      const TVerInfoRes info(Elf(UsualLayout(0x3F, 0x08), {.wide = wide, .bigEndian = big}));
      EXPECT_EQ(info.GetVersionString(TVerInfoKey::FileVersion), "1.2.3.4");
      EXPECT_EQ(info.FileFlags(), (std::vector<std::string>{"Private build"}));
    }
  }
}

TEST_F(VerInfo, WindowsExecutablesAreReadFromTheirVersionResource) {
  for (bool plus : {false, true}) {
    for (bool icon : {true, false}) {
      SCOPED_TRACE(std::string(plus ? "PE32+" : "PE32") + (icon ? " with icons" : ""));
      const TVerInfoRes info(File(PeImage(about::record::Build(UsualLayout(0x3F, 0x21)), {.plus = plus, .iconTypeFirst = icon})));
      EXPECT_EQ(info.GetVersionString(TVerInfoKey::FileVersion), "1.2.3.4");
      EXPECT_EQ(info.GetVersionString(TVerInfoKey::CompanyName), "Example Ltd");
      EXPECT_EQ(info.FileFlags(), (std::vector<std::string>{"Special build", "Debug"}));
    }
  }
}

// Every prefix of a file and many corrupted copies: never a crash or a read outside the
// file (the sanitizer build checks the latter), only "no record" or a record inside it.
TEST_F(VerInfo, TruncatedAndCorruptedExecutablesNeverReadOutOfBounds) {
  const Bytes record = about::record::Build(UsualLayout());
  const std::vector<Bytes> files = {PeImage(record), PeImage(record, {.plus = true}), ElfImage(record),
                                    ElfImage(record, {.wide = false, .bigEndian = true})};
  auto probe = [](const Bytes& bytes) {
    about::MemorySource source(bytes);
    const std::optional<about::RecordLocation> where = about::FindVersionRecord(source);
    // An ELF section may claim more than the file holds; reading it fails later.
    if (!where || where->offset > bytes.size() || where->size > bytes.size() - where->offset) return;
    const std::span<const uint8_t> found(bytes.data() + where->offset, where->size);
    about::VerValue value;
    for (const char* path : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion"})
      if (about::VerQueryValue(found, path, value)) {
        ASSERT_GE(value.data, found.data());
        ASSERT_LE(value.data + value.size, found.data() + found.size());
        about::VerValueText(value);
      }
  };
  for (const Bytes& file : files) {
    for (size_t length = 0; length <= file.size(); ++length) probe(Bytes(file.begin(), file.begin() + static_cast<long>(length)));
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
      Bytes broken = file;
      for (int flips = 0; flips < 4; ++flips) broken[random() % broken.size()] = static_cast<uint8_t>(random());
      probe(broken);
    }
  }
  // The same through files, for a few lengths.
  const Bytes pe = PeImage(record);
  for (size_t length : {size_t{0}, size_t{0x40}, size_t{0x100}, size_t{0x3FF}, size_t{0x400 + 112 + 10}, size_t{0x400 + 112 + record.size() - 1}}) {
    const std::string name = File(Bytes(pe.begin(), pe.begin() + static_cast<long>(length)));
    EXPECT_THROW(TVerInfoRes r(name), platform::Exception) << length;
  }
}

TEST_F(VerInfo, HostileRecordsAreReadWithinTheirBounds) {
  const Bytes record = about::record::Build(UsualLayout());
  std::mt19937 random(99);
  for (int round = 0; round < 5000; ++round) {
    Bytes broken = record;
    for (int flips = 0; flips < 3; ++flips) broken[random() % broken.size()] = static_cast<uint8_t>(random());
    broken.resize(random() % 2 ? broken.size() : random() % broken.size());
    about::VerValue value;
    for (const char* path : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion",
                             "\\StringFileInfo\\040904E4\\CompanyName"})
      if (about::VerQueryValue(broken, path, value)) {
        ASSERT_LE(value.data + value.size, broken.data() + broken.size());
        about::VerValueText(value);
      }
  }
}

TEST(OwnRecord, TheExecutableCarriesCorvanesRecord) {
  const TVerInfoRes info("/proc/self/exe");
  EXPECT_EQ(info.GetVersionString(TVerInfoKey::FileVersion), "1.0.0.28");
  EXPECT_EQ(info.GetVersionString(TVerInfoKey::ProductVersion), "1.0.0.0");
  for (TVerInfoKey key : {TVerInfoKey::CompanyName, TVerInfoKey::FileDescription, TVerInfoKey::InternalName,
                          TVerInfoKey::LegalCopyright, TVerInfoKey::LegalTrademarks, TVerInfoKey::OriginalFilename,
                          TVerInfoKey::ProductName, TVerInfoKey::Comments})
    EXPECT_EQ(info.GetVersionString(key), "") << about::VerInfoKeyName(key);
  const about::record::FixedInfo fixed = info.FixedInfo();
  EXPECT_EQ(fixed.signature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.fileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed.fileVersionLS, 0x0000001Cu);
  EXPECT_EQ(fixed.productVersionMS, 0x00010000u);
  EXPECT_EQ(fixed.productVersionLS, 0u);
  EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.fileFlags, 0u);
  EXPECT_TRUE(info.FileFlags().empty());
  EXPECT_EQ(info.Language(), 0x0409);
  EXPECT_EQ(info.CodePage(), 0x04E4);
  EXPECT_EQ(info.Handle(), 0u);
}

}  // namespace
