// The shared console look and its keys in Corvane.ini.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "console/globalparam.h"
#include "platform/errors.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "support/test_env.h"

namespace {

class TerminalSettings : public ::testing::Test {
 protected:
  void SetUp() override { LoadTerminalSettings(); }
  void TearDown() override {
    platform::testing::SetIniSaveHook(nullptr);
    TerminalFont = TTerminalFont{};
    TerminalBackColor = console::kDefaultBackColor;
  }
  void Load(const std::string& bytes) {
    dir.Write("Corvane.ini", bytes);
    LoadTerminalSettings();
  }
  std::string Ini() const { return dir.Read("Corvane.ini"); }

  test::ScopedProgramDir dir;
};

TEST_F(TerminalSettings, WithoutAFileEverythingIsDefaultAndNothingIsWritten) {
  EXPECT_EQ(TerminalFont.Name, "Fixedsys");
  EXPECT_EQ(TerminalFont.Size, 9);
  EXPECT_EQ(TerminalFont.Color, 16777215);
  EXPECT_EQ(TerminalBackColor, 5329233);
  EXPECT_EQ(TerminalFont.Weight, 400);
  struct stat st{};
  EXPECT_NE(::stat(platform::IniFileName().c_str(), &st), 0);
}

TEST_F(TerminalSettings, IntegersReadWithTheIniRules) {
  Load("[common]\r\nterminalfontname=Courier New\r\nTerminalFontSize=$C\r\nTerminalFontColor=-1\r\n"
       "TerminalColor=0x0000FF\r\n");
  EXPECT_EQ(TerminalFont.Name, "Courier New");
  EXPECT_EQ(TerminalFont.Size, 12);
  EXPECT_EQ(TerminalFont.Color, -1);
  EXPECT_EQ(TerminalBackColor, 0xFF);  // red: red is the low byte

  Load("[Common]\r\nTerminalFontSize=big\r\nTerminalFontColor=12abc\r\nTerminalColor=blue\r\n");
  EXPECT_EQ(TerminalFont.Name, "Fixedsys");
  EXPECT_EQ(TerminalFont.Size, 9);
  EXPECT_EQ(TerminalFont.Color, 16777215);
  EXPECT_EQ(TerminalBackColor, 5329233);

  // Keys in another section are not the console's.
  Load("[Other]\r\nTerminalColor=1\r\n");
  EXPECT_EQ(TerminalBackColor, 5329233);
}

TEST_F(TerminalSettings, TheStyleLastsForTheRunOnly) {
  TerminalFont = TTerminalFont{"DejaVu Sans", 14, 0x00FFFF, 700, true, true, false};
  TerminalBackColor = 0x800000;
  SaveTerminalSettings();
  EXPECT_EQ(Ini(),
            "[Common]\r\nTerminalFontName=DejaVu Sans\r\nTerminalFontSize=14\r\nTerminalFontColor=65535\r\n"
            "TerminalColor=8388608\r\n");
  LoadTerminalSettings();
  EXPECT_EQ(TerminalFont, (TTerminalFont{"DejaVu Sans", 14, 0x00FFFF}));
  EXPECT_EQ(TerminalBackColor, 0x800000);
}

TEST_F(TerminalSettings, SavingKeepsEveryOtherLineByteForByte) {
  const std::string head = "; servers\r\n[Common]\r\nNumServers=1\r\nTerminalColor=0x0000FF\n";
  const std::string tail = "[Server0]\r\nHostName=q3.example\r\nPassword=\x01\x7F\xE9\r\n";
  dir.Write("Corvane.ini", head + tail);
  LoadTerminalSettings();
  TerminalBackColor = 255;
  SaveTerminalSettings();
  EXPECT_EQ(Ini(), "; servers\r\n[Common]\r\nNumServers=1\r\nTerminalColor=255\r\nTerminalFontName=Fixedsys\r\n"
                   "TerminalFontSize=9\r\nTerminalFontColor=16777215\r\n" + tail);
}

TEST_F(TerminalSettings, AKeyThatCannotBeWrittenStopsTheSave) {
  const std::string before = "[Common]\r\nNumServers=0\r\n";
  dir.Write("Corvane.ini", before);
  ::chmod(platform::IniFileName().c_str(), 0444);
  try {
    SaveTerminalSettings();
    FAIL() << "no error";
  } catch (const platform::EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + platform::IniFileName());
  }
  EXPECT_EQ(Ini(), before);

  // The second key fails: the first one is written, the later ones are not.
  ::chmod(platform::IniFileName().c_str(), 0644);
  int writes = 0;
  platform::testing::SetIniSaveHook([&](const std::string&) {
    return ++writes == 2 ? platform::testing::IniSaveFault::FailWrite : platform::testing::IniSaveFault::None;
  });
  TerminalFont.Name = "Noto Mono";
  EXPECT_THROW(SaveTerminalSettings(), platform::EIniFileException);
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(Ini(), before + "TerminalFontName=Noto Mono\r\n");
}

TEST_F(TerminalSettings, ANameTheFileCannotCarryIsAWriteError) {
  TerminalFont.Name = "two\nlines";
  EXPECT_THROW(SaveTerminalSettings(), platform::EIniFileException);
}

}  // namespace
