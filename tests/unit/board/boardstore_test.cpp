// The board's settings in Corvane.ini: sections of their own, every other line kept, one
// atomic write.
#include <gtest/gtest.h>

#include <string>

#include "board/boardstore.h"
#include "platform/errors.h"
#include "platform/ini.h"
#include "support/test_env.h"

namespace {

using board::AlertKind;
using board::BoardSettings;

class BoardStore : public ::testing::Test {
 protected:
  void TearDown() override { platform::testing::SetIniSaveHook(nullptr); }
  test::ScopedProgramDir dir;
};

TEST_F(BoardStore, DefaultsWithoutAFileAndWhatAHandEditedFileSays) {
  EXPECT_EQ(board::LoadBoardSettings(), BoardSettings());
  EXPECT_EQ(BoardSettings().intervalSeconds, 30);

  struct Case {
    std::string ini;
    int interval;
    std::vector<std::string> patterns;
    bool joinedOn;
  };
  const std::vector<Case> cases = {
      {"[Board]\r\nInterval=10\r\n", 10, {}, true},
      {"[board]\ninterval=2\nALERTJOINED=0\n", 5, {}, false},  // brought into range; any letter case
      {"[Board]\nInterval=100000\nAlertJoined=yes\n", 300, {}, true},  // not a number: the default
      {"[Board]\nInterval=soon\n", 30, {}, true},
      {"[WatchList]\nNumPatterns=3\nPattern0=Sarge\nPattern2=\" *bot* \"\n", 30, {"Sarge", " *bot* "}, true},
      {"[WatchList]\nNumPatterns=-1\nPattern0=Sarge\n", 30, {}, true},
      {"[WatchList]\nPattern0=Sarge\n", 30, {}, true},  // no count, no patterns
  };
  for (const Case& c : cases) {
    dir.Write("Corvane.ini", c.ini);
    const BoardSettings settings = board::LoadBoardSettings();
    EXPECT_EQ(settings.intervalSeconds, c.interval) << c.ini;
    EXPECT_EQ(settings.watchPatterns, c.patterns) << c.ini;
    EXPECT_EQ(settings.alerts.On(AlertKind::PlayerJoined), c.joinedOn) << c.ini;
  }
}

TEST_F(BoardStore, SavedSettingsReadBackAndLeaveTheOtherSectionsAsTheyWere) {
  const std::string servers =
      "; my servers\r\n[Common]\r\nNumServers=1\r\nTerminalColor=5329233\r\n[Server0]\r\nHostname=a\r\nPort=27960\r\n";
  dir.Write("Corvane.ini", servers);
  BoardSettings settings;
  settings.intervalSeconds = 45;
  settings.alerts.Set(AlertKind::MapChanged, false);
  settings.watchPatterns = {"Sarge", "*bot*", " spaced ", "\"quoted\"", "a=b;c"};
  board::SaveBoardSettings(settings);
  EXPECT_EQ(board::LoadBoardSettings(), settings);

  const std::string ini = dir.Read("Corvane.ini");
  EXPECT_EQ(ini.substr(0, servers.size()), servers);
  EXPECT_NE(ini.find("\r\n[Board]\r\nInterval=45\r\nAlertJoined=1\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("AlertMap=0\r\n"), std::string::npos);
  EXPECT_NE(ini.find("[WatchList]\r\nNumPatterns=5\r\nPattern0=Sarge\r\n"), std::string::npos) << ini;

  // A shorter list rewrites the section in place and drops the patterns beyond it.
  settings.watchPatterns = {"Grism"};
  board::SaveBoardSettings(settings);
  EXPECT_EQ(board::LoadBoardSettings(), settings);
  const std::string shorter = dir.Read("Corvane.ini");
  EXPECT_EQ(shorter.find("Pattern1"), std::string::npos) << shorter;
  EXPECT_EQ(shorter.substr(0, servers.size()), servers);
  EXPECT_LT(shorter.find("[Board]"), shorter.find("[WatchList]"));
}

TEST_F(BoardStore, AFailedWriteRaisesAndLeavesTheFileWhole) {
  const std::string before = "[Common]\r\nNumServers=0\r\n[WatchList]\r\nNumPatterns=1\r\nPattern0=Old\r\n";
  dir.Write("Corvane.ini", before);
  BoardSettings settings;
  settings.watchPatterns = {"New"};

  platform::testing::SetIniSaveHook([](const std::string&) { return platform::testing::IniSaveFault::FailWrite; });
  EXPECT_THROW(board::SaveBoardSettings(settings), platform::EIniFileException);
  platform::testing::SetIniSaveHook(nullptr);
  EXPECT_EQ(dir.Read("Corvane.ini"), before);

  // A pattern the file cannot carry changes nothing either.
  settings.watchPatterns = {"two\nlines"};
  EXPECT_THROW(board::SaveBoardSettings(settings), platform::EIniFileException);
  EXPECT_EQ(dir.Read("Corvane.ini"), before);
}

}  // namespace
