#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/test_env.h"

namespace {

TEST(NativePath, MapsBackslashPathsBelowTheProgramDirectory) {
  test::ScopedProgramDir dir;
  EXPECT_EQ(platform::NativePath("levels\\Quake3\\q3dm17.jpg"), dir.Path() + "/levels/Quake3/q3dm17.jpg");
  EXPECT_EQ(platform::NativePath("players/Question.bmp"), dir.Path() + "/players/Question.bmp");
  EXPECT_EQ(platform::NativePath(dir.Path() + "\\q3-default.ini"), dir.Path() + "/q3-default.ini");
  EXPECT_EQ(platform::IniFileName(), dir.Path() + "/Corvane.ini");
}

TEST(NativePath, FindsFilesWhoseNamesDifferOnlyInLetterCase) {
  test::ScopedProgramDir dir;
  dir.Write("Levels/quake3/Q3DM17.JPG", "x");
  EXPECT_EQ(platform::NativePath("levels\\Quake3\\q3dm17.jpg"), dir.Path() + "/Levels/quake3/Q3DM17.JPG");
  // An exact match wins over a case-blind one.
  dir.Write("Levels/quake3/q3dm17.jpg", "y");
  EXPECT_EQ(platform::NativePath("Levels\\quake3\\q3dm17.jpg"), dir.Path() + "/Levels/quake3/q3dm17.jpg");
  // A name that matches nothing is kept as written, so new files get the given name.
  EXPECT_EQ(platform::NativePath("levels\\Quake3\\none.jpg"), dir.Path() + "/Levels/quake3/none.jpg");
}

TEST(CurrentDirectory, IsTakenOnceAndKeptUntilSetAgain) {
  test::TempDir a;
  platform::SetCurrentDirectory(a.Path() + "/");
  EXPECT_EQ(platform::CurrentDirectory(), a.Path());
}

}  // namespace
