#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lookuplist.h"
#include "platform/paths.h"
#include "support/test_env.h"

namespace {

std::vector<std::pair<std::string, std::string>> Entries(const TLookupList& list) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const TLookupEntry& e : list) out.emplace_back(e.Key, e.Value);
  return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(LoadLookupList, CarriageReturnEndsALineAndCtrlZEndsTheFile) {
  TLookupList list;
  LoadLookupListFromText(list, "q3dm17\tThe Longest Yard\r\nnotab\r\n\r\nx\ty\tz\rlast");
  EXPECT_EQ(Entries(list), (Pairs{{"q3dm17", "The Longest Yard"}, {"notab", ""}, {"", ""}, {"x", "y\tz"}, {"last", ""}}));

  // A line feed alone does not end a line; one right after a carriage return is skipped.
  LoadLookupListFromText(list, "a\tb\nc\td\r\n\ne");
  EXPECT_EQ(Entries(list), (Pairs{{"a", "b\nc\td"}, {"\ne", ""}}));

  LoadLookupListFromText(list, std::string("one\r\ntwo\r\n\x1Athree\r\n", 18));
  EXPECT_EQ(Entries(list), (Pairs{{"one", ""}, {"two", ""}}));

  LoadLookupListFromText(list, "");
  EXPECT_TRUE(list.Empty());
  LoadLookupListFromText(list, "\r\n");
  EXPECT_EQ(Entries(list), (Pairs{{"", ""}}));
}

TEST(LoadLookupList, CutsKeyAndValueTo255Characters) {
  TLookupList list;
  LoadLookupListFromText(list, std::string(300, 'k') + "\t" + std::string(300, 'v') + "\r\n");
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.First()->Key, std::string(255, 'k'));
  EXPECT_EQ(list.First()->Value, std::string(255, 'v'));
  // The key may lose its end; the tab still splits where it stood.
  LoadLookupListFromText(list, std::string(256, 'k') + "\tv");
  EXPECT_EQ(list.First()->Value, "v");
}

TEST(LoadLookupList, ReadsWindowsPathsBelowTheProgramDirectoryCaseBlind) {
  test::ScopedProgramDir dir;
  dir.Write("Levels/Quake3/Q3-All-Maps.txt", "q3dm1\tArena Gate\r\nq3dm17\tThe Longest Yard\r\n");
  TLookupList list;
  LoadLookupList(list, "levels\\Quake3\\q3-all-maps.txt");
  EXPECT_EQ(list.Size(), 2u);
  EXPECT_EQ(FindLookupValue(list, "Q3DM17"), "The Longest Yard");

  // A missing file, or a folder, gives an empty list and releases the old one.
  LoadLookupList(list, "levels\\Quake3\\missing.txt");
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(FindLookupValue(list, "q3dm17"), "");
  LoadLookupList(list, "levels");
  EXPECT_TRUE(list.Empty());
}

TEST(FindLookupValue, UpperCasesOnlyAToZAndTheFirstMatchWins) {
  TLookupList list;
  LoadLookupListFromText(list, "q3dm17\tfirst\r\nQ3DM17\tsecond\r\n\xe9t\xe9\taccents\r\n\tempty key\r\n");
  EXPECT_EQ(FindLookupValue(list, "Q3DM17"), "first");
  EXPECT_EQ(FindLookupValue(list, "q3Dm17"), "first");
  EXPECT_EQ(FindLookupValue(list, "\xe9T\xe9"), "accents");
  EXPECT_EQ(FindLookupValue(list, "\xc9T\xc9"), "");  // accented letters are not case-folded
  EXPECT_EQ(FindLookupValue(list, ""), "empty key");
  EXPECT_EQ(FindLookupValue(list, "q3dm1"), "");
}

TEST(FreeLookupList, EmptiesTheListAndLongListsAreReleased) {
  TLookupList list;
  std::string text;
  for (int i = 0; i < 200000; ++i) text.append("m").append(std::to_string(i)).append("\td\r");
  LoadLookupListFromText(list, text);
  EXPECT_EQ(list.Size(), 200000u);
  TLookupList moved = std::move(list);
  EXPECT_TRUE(list.Empty());  // NOLINT(bugprone-use-after-move): moved-from is empty by contract
  EXPECT_EQ(FindLookupValue(moved, "M199999"), "d");
  FreeLookupList(moved);
  EXPECT_TRUE(moved.Empty());
  EXPECT_EQ(moved.First(), nullptr);
}

}  // namespace
