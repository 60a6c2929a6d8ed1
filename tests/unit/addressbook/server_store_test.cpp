#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <string>

#include "addressbook/serverstore.h"
#include "common/password.h"
#include "platform/errors.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "support/test_env.h"

namespace {


class Store : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::testing::SetIniSaveHook(nullptr);
    platform::testing::SetIniSyncToDisk(true);
  }
  void WriteIni(const std::string& bytes) { dir.Write("Corvane.ini", bytes); }
  std::string Ini() const { return dir.Read("Corvane.ini"); }
  std::string Key(const std::string& section, const std::string& key) const {
    return platform::IniReadString(section, key, "<missing>", platform::IniFileName());
  }
  test::ScopedProgramDir dir;
};

ServerEntry Entry(const std::string& host, const std::string& port, const std::string& password, int game,
                  const std::string& description) {
  return ServerEntry{host, port, password, game, description};
}

TEST_F(Store, NumServersMissingZeroNegativeOrNotANumberGivesAnEmptyList) {
  EXPECT_TRUE(LoadServerList().empty());  // no file at all
  for (const std::string count : {"", "NumServers=0\r\n", "NumServers=-2\r\n", "NumServers=two\r\n"}) {
    WriteIni("[Common]\r\n" + count + "[Server0]\r\nHostname=a\r\n");
    EXPECT_TRUE(LoadServerList().empty()) << count;
  }
}

TEST_F(Store, ListReadsEveryHostKeySpellingAndDefaultsForAMissingSection) {
  WriteIni(
      "[Common]\nNumServers=0x4\n"
      "[Server0]\nHostName=zero\nPort=27960\nGameType=0x2\nDescription=first\nrconPassword=xx\n"
      "[Server2]\nHOSTNAME=two\nGameType=two\n"
      "[server3]\n  hostname = three \nGameType=$1\nPort=abc\n"
      "[Server4]\nHostname=beyond the count\n");
  const auto list = LoadServerList();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0], Entry("zero", "27960", "", 2, "first"));  // passwords stay in the file
  EXPECT_EQ(list[1], ServerEntry());
  EXPECT_EQ(list[2], Entry("two", "", "", 0, ""));
  EXPECT_EQ(list[3], Entry("three", "abc", "", 1, ""));
}

TEST_F(Store, WriteEntryWritesTheKeysInOrderAndReadEntryReadsThemBack) {
  WriteIni("[Common]\r\nTerminalColor=5329233\r\n");
  WriteEntry(0, Entry("q3.example", "27960", "secret", 0, "Friday night"), 1);
  EXPECT_EQ(Ini(),
            "[Common]\r\nTerminalColor=5329233\r\nNumServers=1\r\n\r\n"
            "[Server0]\r\nHostname=q3.example\r\nPort=27960\r\nGameType=0\r\nrconPassword=" +
                ScramblePassword("secret") + "\r\nDescription=Friday night\r\n");
  EXPECT_EQ(ReadEntry(0), Entry("q3.example", "27960", "secret", 0, "Friday night"));
  EXPECT_EQ(ReadEntryPassword(0), "secret");

  // Rewritten in place; an empty password is an empty value.
  WriteEntry(0, Entry("q2.example", "27910", "", 2, ""), 1);
  EXPECT_EQ(Key("Server0", "rconPassword"), "");
  EXPECT_EQ(ReadEntry(0), Entry("q2.example", "27910", "", 2, ""));
  EXPECT_EQ(Ini().find("q3.example"), std::string::npos);
}

TEST_F(Store, PasswordsOfAnyBytesAndLengthRoundTrip) {
  platform::testing::SetIniSyncToDisk(false);  // some four thousand writes
  auto roundTrip = [](const std::string& password) {
    WriteEntry(0, Entry("h", "1", password, 0, ""), 1);
    return ReadEntryPassword(0) == password && ReadEntry(0).Password == password;
  };
  for (size_t length = 0; length <= 300; ++length) {
    std::string password;
    for (size_t i = 0; i < length; ++i) password += static_cast<char>((i * 37 + length) & 0xFF);
    EXPECT_TRUE(roundTrip(password)) << "length " << length;
  }
  // Every byte value at every key position of the first 66 and at both ends, so every byte
  // also scrambles to a NUL, CR, LF, blank or quote somewhere.
  for (int b = 0; b < 256; ++b) EXPECT_TRUE(roundTrip(std::string(66, static_cast<char>(b)))) << "byte " << b;
  EXPECT_TRUE(roundTrip(std::string(2000, 'p')));
}

TEST_F(Store, OrdinaryPasswordsKeepTheStoredFormAndOldFilesReadTheSame) {
  WriteEntry(0, Entry("h", "1", "?needs hex", 0, ""), 1);  // '?' scrambles to NUL
  EXPECT_EQ(Key("Server0", "rconPassword"), "");
  EXPECT_NE(Key("Server0", addressbook::kPasswordHexKey), "<missing>");
  WriteEntry(0, Entry("h", "1", "plain", 0, ""), 1);
  EXPECT_EQ(Key("Server0", "rconPassword"), ScramblePassword("plain"));
  EXPECT_EQ(Key("Server0", addressbook::kPasswordHexKey), "<missing>");  // the stale form is gone

  // Files written before: the scrambled text as it stands, '=' and ';' in it included.
  const std::string odd = "a=b;c[d]";
  WriteIni("[Server0]\r\nrconPassword=" + ScramblePassword("pw") + "\r\n[Server1]\r\nrconPassword=" +
           ScramblePassword(odd) + "\r\n[Server2]\r\nrconPassword=\r\n[Server3]\r\nrconPasswordHex=zz\r\n"
           "rconPassword=" + ScramblePassword("fallback") + "\r\n");
  EXPECT_EQ(ReadEntryPassword(0), "pw");
  EXPECT_EQ(ReadEntryPassword(1), odd);
  EXPECT_EQ(ReadEntryPassword(2), "");
  EXPECT_EQ(ReadEntryPassword(3), "fallback");  // a damaged hexadecimal form is passed over
  EXPECT_EQ(ReadEntryPassword(9), "");
}

TEST_F(Store, DeletingInTheMiddleRenumbersTheSectionsAfterIt) {
  WriteIni("[Common]\r\nTerminalFontName=Fixedsys\r\n");
  WriteEntry(0, Entry("a", "1", "pa", 0, "A"), 1);
  WriteEntry(1, Entry("b", "2", "pb", 2, "B"), 2);
  WriteEntry(2, Entry("c", "3", "?c", 1, "C"), 3);  // held in the hexadecimal form
  WriteEntry(3, Entry("d", "4", "pd", 0, "D"), 4);
  DeleteEntry(1, 4);
  const auto list = LoadServerList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(ReadEntry(0), Entry("a", "1", "pa", 0, "A"));
  EXPECT_EQ(ReadEntry(1), Entry("c", "3", "?c", 1, "C"));
  EXPECT_EQ(ReadEntry(2), Entry("d", "4", "pd", 0, "D"));
  EXPECT_FALSE(platform::IniDocument::Load(platform::IniFileName()).HasSection("Server3"));
  EXPECT_EQ(Key("Common", "NumServers"), "3");
  EXPECT_EQ(Key("Common", "TerminalFontName"), "Fixedsys");

  DeleteEntry(2, 3);  // the last one
  DeleteEntry(5, 2);  // out of range: nothing
  EXPECT_EQ(LoadServerList().size(), 2u);
  EXPECT_FALSE(platform::IniDocument::Load(platform::IniFileName()).HasSection("Server2"));
  DeleteEntry(0, 2);
  EXPECT_EQ(ReadEntry(0), Entry("c", "3", "?c", 1, "C"));
  EXPECT_EQ(Key("Common", "NumServers"), "1");
}

// Every key read and every section renamed used to read the whole file again: 12 s to start
// with 10 000 servers. Linear, this takes well under a second; the bound allows a slow machine.
TEST_F(Store, TheLongestListLoadsAndRenumbersInLinearTime) {
  const int count = addressbook::kMaxServers;
  std::string bytes = "[Common]\r\nNumServers=" + std::to_string(count) + "\r\n";
  for (int n = 0; n < count; ++n)
    bytes += "[Server" + std::to_string(n) + "]\r\nHostname=h" + std::to_string(n) + "\r\nPort=1\r\nGameType=2\r\n";
  WriteIni(bytes);
  const auto start = std::chrono::steady_clock::now();
  const auto list = LoadServerList();
  DeleteEntry(0, count);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(list.size(), static_cast<size_t>(count));
  EXPECT_EQ(ReadEntry(count - 2), Entry("h9999", "1", "", 2, ""));
}

TEST_F(Store, ACrashWhileSavingLeavesTheWholeOldListAndTheFileIsTheOwnersAlone) {
  WriteEntry(0, Entry("a", "1", "pa", 0, "A"), 1);
  WriteEntry(1, Entry("b", "2", "pb", 2, "B"), 2);
  WriteEntry(2, Entry("c", "3", "pc", 1, "C"), 3);
  struct stat st {};
  ASSERT_EQ(::stat(platform::IniFileName().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  // The renumbering of a deletion is one save: a crash before its rename loses nothing.
  const std::string before = Ini();
  platform::testing::SetIniSaveHook([](const std::string&) { return platform::testing::IniSaveFault::CrashBeforeRename; });
  EXPECT_THROW(DeleteEntry(0, 3), platform::EIniFileException);
  EXPECT_THROW(WriteEntry(1, Entry("x", "9", "px", 0, "X"), 3), platform::EIniFileException);
  platform::testing::SetIniSaveHook(nullptr);
  EXPECT_EQ(Ini(), before);
  EXPECT_EQ(LoadServerList().size(), 3u);
  EXPECT_EQ(ReadEntry(1), Entry("b", "2", "pb", 2, "B"));
}

TEST_F(Store, AFailedKeyStopsTheEntryAndLeavesNumServersAlone) {
  WriteEntry(0, Entry("old", "1", "oldpw", 0, "old"), 1);
  int saves = 0;
  platform::testing::SetIniSaveHook([&](const std::string&) {
    return ++saves == 4 ? platform::testing::IniSaveFault::FailWrite : platform::testing::IniSaveFault::None;
  });
  try {
    WriteEntry(0, Entry("new", "2", "newpw", 2, "new"), 5);
    FAIL() << "no exception";
  } catch (const platform::EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + platform::IniFileName());
  }
  platform::testing::SetIniSaveHook(nullptr);
  EXPECT_EQ(ReadEntry(0), Entry("new", "2", "oldpw", 2, "old"));  // Hostname, Port, GameType written; the rest not
  EXPECT_EQ(Key("Common", "NumServers"), "1");

  // A read-only file fails on the first key; a failed delete changes nothing.
  const std::string before = Ini();
  ::chmod(platform::IniFileName().c_str(), 0400);
  EXPECT_THROW(WriteEntry(1, Entry("x", "3", "", 0, ""), 2), platform::EIniFileException);
  EXPECT_THROW(DeleteEntry(0, 1), platform::EIniFileException);
  EXPECT_EQ(Ini(), before);
}

}  // namespace
