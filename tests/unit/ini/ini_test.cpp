#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/ini.h"
#include "support/test_env.h"

namespace {

using platform::IniReadInteger;
using platform::IniReadString;
using platform::IniWriteString;

class Ini : public ::testing::Test {
 protected:
  void TearDown() override { platform::testing::SetIniSaveHook(nullptr); }
  std::string Write(const std::string& bytes) { return dir.Write("Corvane.ini", bytes); }
  std::string Path() const { return dir.Path() + "/Corvane.ini"; }
  std::string Bytes() const { return dir.Read("Corvane.ini"); }
  unsigned Mode() const {
    struct stat st{};
    return ::stat(Path().c_str(), &st) == 0 ? static_cast<unsigned>(st.st_mode & 07777) : 0u;
  }
  size_t FilesInFolder() const {
    size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++n;
    return n;
  }
  test::TempDir dir;
};

TEST_F(Ini, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(IniReadString("Common", "NumServers", "def", Path()), "def");
  EXPECT_EQ(IniReadInteger("Common", "NumServers", 7, Path()), 7);
  Write("[Common]\r\nOther=1\r\nNoEqualsSign\r\n");
  EXPECT_EQ(IniReadString("Server0", "HostName", "d", Path()), "d");
  EXPECT_EQ(IniReadString("Common", "NumServers", "d", Path()), "d");
  EXPECT_EQ(IniReadString("Common", "NoEqualsSign", "d", Path()), "d");
  // Keys before the first section belong to no section.
  Write("Loose=1\n[Common]\n");
  EXPECT_EQ(IniReadString("Common", "Loose", "d", Path()), "d");
}

TEST_F(Ini, NamesMatchWithoutCaseAndBlanksAroundNamesAndValuesAreIgnored) {
  Write("\xEF\xBB\xBF[ common ]\n  numservers =  3  \n[SERVER0]\nHOSTNAME=a.example\n");
  EXPECT_EQ(IniReadString("Common", "NumServers", "", Path()), "3");
  EXPECT_EQ(IniReadString("Server0", "HostName", "", Path()), "a.example");
  EXPECT_EQ(IniReadString("server0", "hostname", "", Path()), "a.example");
}

TEST_F(Ini, OnlyTheFirstOfDuplicateSectionsAndKeysCounts) {
  Write("[A]\nk=1\nk=2\n[B]\n[a]\nk=3\nj=4\n");
  EXPECT_EQ(IniReadString("A", "k", "", Path()), "1");
  EXPECT_EQ(IniReadString("A", "j", "none", Path()), "none");
}

TEST_F(Ini, MatchingQuotesAreRemovedOnce) {
  Write("[S]\nd=\"  padded  \"\ns='single'\nmixed=\"a'\nlone=\"\nempty=\"\"\ninner=a\"b\"c\ndouble=\"\"x\"\"\n");
  EXPECT_EQ(IniReadString("S", "d", "", Path()), "  padded  ");
  EXPECT_EQ(IniReadString("S", "s", "", Path()), "single");
  EXPECT_EQ(IniReadString("S", "mixed", "", Path()), "\"a'");
  EXPECT_EQ(IniReadString("S", "lone", "", Path()), "\"");
  EXPECT_EQ(IniReadString("S", "empty", "x", Path()), "");
  EXPECT_EQ(IniReadString("S", "inner", "", Path()), "a\"b\"c");
  EXPECT_EQ(IniReadString("S", "double", "", Path()), "\"x\"");
}

TEST_F(Ini, ValuesAreCutAt1023Characters) {
  const std::string longValue(2000, 'v');
  Write("[S]\nlong=" + longValue + "\nfit=" + std::string(1023, 'f') + "\n");
  EXPECT_EQ(IniReadString("S", "long", "", Path()), std::string(1023, 'v'));
  EXPECT_EQ(IniReadString("S", "fit", "", Path()), std::string(1023, 'f'));
  // The whole value is still there for callers that ask for it.
  EXPECT_EQ(platform::IniDocument::Load(Path()).Value("S", "long"), longValue);
}

TEST_F(Ini, IntegersFollowTheIniRules) {
  Write("[S]\nhex=0x1F\nHEX=0X10\ndollar=$10\nneg=-5\nplus=+7\nbare0x=0x\nword=two\ntrail=12abc\nempty=\n"
        "all=0xFFFFFFFF\nnegdollar=-$10\nzero=0\nbig=99999999999\n");
  EXPECT_EQ(IniReadInteger("S", "hex", -1, Path()), 31);
  EXPECT_EQ(IniReadInteger("S", "HEX", -1, Path()), 31);  // the same key, read case-blind
  EXPECT_EQ(IniReadInteger("S", "dollar", -1, Path()), 16);
  EXPECT_EQ(IniReadInteger("S", "neg", 0, Path()), -5);
  EXPECT_EQ(IniReadInteger("S", "plus", 0, Path()), 7);
  EXPECT_EQ(IniReadInteger("S", "bare0x", 9, Path()), 9);
  EXPECT_EQ(IniReadInteger("S", "word", 9, Path()), 9);
  EXPECT_EQ(IniReadInteger("S", "trail", 9, Path()), 9);
  EXPECT_EQ(IniReadInteger("S", "empty", 9, Path()), 9);
  EXPECT_EQ(IniReadInteger("S", "all", 9, Path()), -1);
  EXPECT_EQ(IniReadInteger("S", "negdollar", 9, Path()), -16);
  EXPECT_EQ(IniReadInteger("S", "zero", 9, Path()), 0);
  EXPECT_EQ(IniReadInteger("S", "big", 9, Path()), 9);
}

// The index a document keeps between reads is carried along or dropped by every change: after
// any sequence of changes, reads give what a fresh reading of the same bytes gives.
TEST_F(Ini, ReadsAfterAnyChangeAgreeWithAFreshReadingOfTheSameBytes) {
  const std::vector<std::string> names{"A", "a", " B ", "k", "K", " J ", "[x", ";k"};
  auto doc = platform::IniDocument::FromBytes("\xEF\xBB\xBF[A]\nk=1\nK=2\n;k=3\n[k]\nj=4\n[a]\nk=5\n[x\nk=7\n[B]\nk=9");
  std::mt19937 rng(16);
  auto pick = [&] { return names[rng() % names.size()]; };
  for (int step = 0; step < 400; ++step) {
    const int op = static_cast<int>(rng() % 8);
    if (op == 0) (void)doc.Write(pick(), pick(), pick());
    if (op == 1) doc.DeleteKey(pick(), pick());
    if (op == 2) doc.DeleteSection(pick());
    if (op > 2) doc.RenameSection(pick(), pick());
    const auto fresh = platform::IniDocument::FromBytes(doc.Bytes());
    for (const std::string& section : names) {
      ASSERT_EQ(doc.HasSection(section), fresh.HasSection(section)) << step;
      for (const std::string& key : names)
        ASSERT_EQ(doc.Value(section, key), fresh.Value(section, key)) << step << " [" << section << "] " << key << "\n" << doc.Bytes();
    }
  }
}

TEST_F(Ini, WritingKeepsEveryOtherByteAndWritesCrLf) {
  const std::string before =
      "; Corvane settings\n"
      "[Common]\n"
      "TerminalFontName = Fixedsys \n"
      "NumServers=2\n"
      "\n"
      "; the first server\n"
      "[Server0]\r\n"
      "  HostName=a.example\r\n"
      "Port=27960\r\n"
      "\r\n"
      "[Extra]\n"
      "weird line without equals\n"
      "k=v";
  Write(before);
  ASSERT_TRUE(IniWriteString("common", "numservers", "3", Path()));         // replaced in place, file's spelling kept
  ASSERT_TRUE(IniWriteString("Server0", "Hostname", "b.example", Path()));  // indentation kept
  ASSERT_TRUE(IniWriteString("Server0", "Description", "new", Path()));     // after the section's last key
  ASSERT_TRUE(IniWriteString("Extra", "added", "1", Path()));               // the last line gets its end
  ASSERT_TRUE(IniWriteString("Server1", "Hostname", "c", Path()));          // a new section at the end
  EXPECT_EQ(Bytes(),
            "; Corvane settings\n"
            "[Common]\n"
            "TerminalFontName = Fixedsys \n"
            "NumServers=3\r\n"
            "\n"
            "; the first server\n"
            "[Server0]\r\n"
            "  HostName=b.example\r\n"
            "Port=27960\r\n"
            "Description=new\r\n"
            "\r\n"
            "[Extra]\n"
            "weird line without equals\n"
            "k=v\r\n"
            "added=1\r\n"
            "\r\n"
            "[Server1]\r\n"
            "Hostname=c\r\n");
}

TEST_F(Ini, ANewFileIsCreatedWithCrLfLinesForItsOwnerOnly) {
  ASSERT_TRUE(IniWriteString("Common", "NumServers", "1", Path()));
  ASSERT_TRUE(IniWriteString("Server0", "Hostname", "h", Path()));
  EXPECT_EQ(Bytes(), "[Common]\r\nNumServers=1\r\n\r\n[Server0]\r\nHostname=h\r\n");
  EXPECT_EQ(Mode(), 0600u);
  // An existing file keeps the mode its owner gave it.
  ::chmod(Path().c_str(), 0640);
  ASSERT_TRUE(IniWriteString("Common", "NumServers", "2", Path()));
  EXPECT_EQ(Mode(), 0640u);
  EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left behind
}

TEST_F(Ini, ValuesReadBackAsWritten) {
  for (const std::string value : {"  blanks  ", "\tx", "\"quoted\"", "'q'", "\"", "a=b;c", "[x]", "", "\xFF\x80 high"}) {
    ASSERT_TRUE(IniWriteString("S", "k", value, Path())) << value;
    EXPECT_EQ(IniReadString("S", "k", "default", Path()), value);
  }
}

TEST_F(Ini, WhatAFileCannotCarryIsRefusedAndTheFileLeftAlone) {
  Write("[S]\nk=old\n");
  EXPECT_FALSE(IniWriteString("S", "k", "two\r\nlines", Path()));
  EXPECT_FALSE(IniWriteString("S", "k", std::string("nul\0byte", 8), Path()));
  EXPECT_FALSE(IniWriteString("S", "k", "lf\n", Path()));
  EXPECT_FALSE(IniWriteString("S", "a=b", "v", Path()));
  EXPECT_FALSE(IniWriteString("S", ";comment", "v", Path()));
  EXPECT_FALSE(IniWriteString("S", "  ", "v", Path()));
  EXPECT_FALSE(IniWriteString("Se]ct", "k", "v", Path()));
  EXPECT_FALSE(IniWriteString("", "k", "v", Path()));
  EXPECT_EQ(Bytes(), "[S]\nk=old\n");
}

TEST_F(Ini, AReadOnlyFileMakesTheWriteFailWithTheErrorText) {
  Write("[Common]\nNumServers=1\n");
  ::chmod(Path().c_str(), 0444);
  EXPECT_FALSE(IniWriteString("Common", "NumServers", "2", Path()));
  EXPECT_FALSE(platform::IniDeleteKey("Common", "NumServers", Path()));
  try {
    platform::IniWriteStringOrRaise("Common", "NumServers", "2", Path());
    FAIL() << "no exception";
  } catch (const platform::EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + Path());
  }
  EXPECT_EQ(Bytes(), "[Common]\nNumServers=1\n");
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(Ini, AMissingFolderOrAFolderInPlaceOfTheFileMakesTheWriteFail) {
  const std::string missing = dir.Path() + "/no/such/folder/Corvane.ini";
  EXPECT_FALSE(IniWriteString("Common", "NumServers", "1", missing));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/no"));
  std::filesystem::create_directory(Path());
  EXPECT_FALSE(IniWriteString("Common", "NumServers", "1", Path()));
  EXPECT_EQ(IniReadString("Common", "NumServers", "d", Path()), "d");
}

TEST_F(Ini, ACrashOrAFullDiskInTheMiddleLeavesTheOldFileWhole) {
  const std::string before = "[Common]\r\nNumServers=2\r\n[Server0]\r\nrconPassword=secret\r\n";
  Write(before);
  platform::testing::SetIniSaveHook([](const std::string&) { return platform::testing::IniSaveFault::FailWrite; });
  EXPECT_FALSE(IniWriteString("Common", "NumServers", "3", Path()));
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(FilesInFolder(), 1u);

  platform::testing::SetIniSaveHook([](const std::string&) { return platform::testing::IniSaveFault::CrashBeforeRename; });
  EXPECT_FALSE(IniWriteString("Common", "NumServers", "3", Path()));
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(FilesInFolder(), 2u);  // the dead write's temporary file, as a real crash leaves it

  // The program started again writes over the leftover without trouble.
  platform::testing::SetIniSaveHook(nullptr);
  EXPECT_TRUE(IniWriteString("Common", "NumServers", "3", Path()));
  EXPECT_EQ(IniReadInteger("Common", "NumServers", 0, Path()), 3);
  EXPECT_EQ(IniReadString("Server0", "rconPassword", "", Path()), "secret");
}

TEST_F(Ini, DeletingAndRenaming) {
  Write("[A]\nx=1\ny=2\n[B]\nz=3\n[b]\nw=4\n[C]\n");
  EXPECT_TRUE(platform::IniDeleteKey("a", "X", Path()));
  EXPECT_TRUE(platform::IniDeleteSection("B", Path()));  // every section of that name
  EXPECT_EQ(Bytes(), "[A]\ny=2\n[C]\n");
  // Deleting what is not there succeeds and leaves the file as it is (or absent).
  EXPECT_TRUE(platform::IniDeleteKey("A", "nope", Path()));
  EXPECT_TRUE(platform::IniDeleteSection("Nope", dir.Path() + "/absent.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/absent.ini"));

  auto doc = platform::IniDocument::Load(Path());
  EXPECT_TRUE(doc.RenameSection("a", "Moved"));
  EXPECT_EQ(doc.Bytes(), "[Moved]\r\ny=2\n[C]\n");
  EXPECT_FALSE(doc.RenameSection("Missing", "X"));
}

TEST_F(Ini, ASymbolicLinkKeepsPointingAtTheRewrittenFile) {
  const std::string real = dir.Write("real/Corvane.ini", "[Common]\nNumServers=1\n");
  std::filesystem::create_symlink(real, Path());
  ASSERT_TRUE(IniWriteString("Common", "NumServers", "2", Path()));
  EXPECT_TRUE(std::filesystem::is_symlink(Path()));
  EXPECT_EQ(dir.Read("real/Corvane.ini"), "[Common]\nNumServers=2\r\n");
}

}  // namespace
