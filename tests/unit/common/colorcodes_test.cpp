#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/colorcodes.h"

namespace {

using common::ColorCodes;
using common::ColourRun;
using common::Rgb;

constexpr int D = common::kDefaultColour;

TEST(ColourRuns, CutsTheTextWhereTheColourChanges) {
  struct Case {
    std::string text;
    std::vector<ColourRun> runs;
    bool coded = true;  // holds a colour code
  };
  const std::vector<Case> cases = {
      {"", {}, false},
      {"Sarge", {{D, "Sarge"}}, false},
      {"^1Very^7LongName", {{1, "Very"}, {7, "LongName"}}},
      {"Pre^2fix", {{D, "Pre"}, {2, "fix"}}},
      {"^1^2^3", {}},                                  // codes only
      {"^1a^1b", {{1, "ab"}}},                         // the same colour again joins the run
      {"a^9b", {{D, "a"}, {1, "b"}}},                  // (('9' - '0') & 7) = 1
      {"^aX^AY^zZ", {{1, "XY"}, {2, "Z"}}},            // letters count: 'a' and 'A' are 1, 'z' is 2
      {"^^1X", {{D, "^"}, {1, "X"}}},                  // a caret before a code is shown
      {"x^", {{D, "x^"}}, false},                           // a caret at the end is shown
      {"a^ b^!c", {{D, "a^ b^!c"}}, false},                 // a caret before anything else is shown
      {"^0Black^7", {{0, "Black"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(common::ColourRuns(c.text, ColorCodes::IoQuake3), c.runs) << c.text;
    EXPECT_EQ(common::HasColourCodes(c.text, ColorCodes::IoQuake3), c.coded) << c.text;
  }
}

TEST(ColourRuns, AGameWithoutCodesShowsTheTextAsItIs) {
  EXPECT_EQ(common::ColourRuns("^1Red^7Name", ColorCodes::None), (std::vector<ColourRun>{{D, "^1Red^7Name"}}));
  EXPECT_FALSE(common::HasColourCodes("^1Red", ColorCodes::None));
}

TEST(ReadableColour, EveryColourStandsOutFromLightAndDarkBackgrounds) {
  const std::vector<Rgb> backgrounds = {{255, 255, 255}, {0x51, 0x51, 0x51}, {0, 0, 0}, {128, 128, 128}, {0, 0, 255}};
  for (const Rgb& background : backgrounds) {
    for (int index = 0; index < 8; ++index) {
      const Rgb shown = common::ReadableColour(index, background);
      EXPECT_GE(common::ContrastRatio(shown, background), common::kMinContrast - 0.05)
          << index << " on " << int(background.r) << "," << int(background.g) << "," << int(background.b);
    }
  }
}

TEST(ReadableColour, KeepsColoursThatStandOutAndChangesOthersNoMoreThanNeeded) {
  const Rgb white{255, 255, 255};
  const Rgb grey{0x51, 0x51, 0x51};
  EXPECT_EQ(common::ReadableColour(0, white), (Rgb{0, 0, 0}));        // black on white as the game has it
  EXPECT_EQ(common::ReadableColour(7, grey), (Rgb{255, 255, 255}));   // white on the console's grey
  EXPECT_EQ(common::ReadableColour(4, white), (Rgb{0, 0, 255}));      // blue on white
  // Yellow on white turns darker but stays a yellow: more red and green than blue.
  const Rgb yellow = common::ReadableColour(3, white);
  EXPECT_GT(yellow.r, yellow.b + 60);
  EXPECT_GT(yellow.g, yellow.b + 60);
  EXPECT_LT(yellow.r, 255);
  // Red on the console's grey turns lighter but stays red.
  const Rgb red = common::ReadableColour(1, grey);
  EXPECT_EQ(red.r, 255);
  EXPECT_LT(red.g, 200);
  EXPECT_EQ(red.g, red.b);
  EXPECT_EQ(common::GameColour(9), common::GameColour(1));
}

TEST(ContrastRatio, SpansOneToTwentyOne) {
  EXPECT_NEAR(common::ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(common::ContrastRatio({10, 20, 30}, {10, 20, 30}), 1.0, 1e-9);
}

}  // namespace
