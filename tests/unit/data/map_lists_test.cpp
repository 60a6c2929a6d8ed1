// The map lists shipped in data/levels load cleanly with the program's line rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "shipped_files.h"
#include "support/test_env.h"

namespace {

using data_test::LookupLines;
using data_test::SplitLookupLine;
using data_test::Upper;

struct MapList {
  std::string file;
  std::vector<data_test::LookupEntry> entries;
};

std::string LevelsDir() { return test::SourceDir() + "/data/levels/"; }

// Loads a list and checks the bytes and every line; failures name the file and line.
MapList Load(const std::string& relative) {
  MapList list{relative, {}};
  const std::string bytes = data_test::ReadFile(LevelsDir() + relative);
  EXPECT_FALSE(bytes.empty()) << relative;
  EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << relative << ": last line not ended by CR LF";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << relative << ": LF without CR at byte " << i;
    }
    if (bytes[i] == '\r') {
      EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << relative << ": CR without LF at byte " << i;
    }
    EXPECT_NE(bytes[i], '\x1a') << relative << ": Ctrl-Z would end the file early";
  }
  std::set<std::string> seen;
  int number = 0;
  for (const std::string& line : LookupLines(bytes)) {
    ++number;
    const auto entry = SplitLookupLine(line);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << relative << ":" << number << ": want name TAB description";
    EXPECT_FALSE(entry.key.empty()) << relative << ":" << number << ": empty map name";
    EXPECT_FALSE(entry.value.empty()) << relative << ":" << number << ": empty description";
    EXPECT_EQ(entry.key.find_first_of(" \\/\""), std::string::npos) << relative << ":" << number << ": '" << entry.key << "'";
    EXPECT_LE(entry.key.size(), 255u) << relative << ":" << number;
    EXPECT_LE(entry.value.size(), 255u) << relative << ":" << number;
    EXPECT_EQ(entry.value, std::string(entry.value.c_str())) << relative << ":" << number << ": NUL byte";
    // Look-ups ignore case, so names differing only in case would hide one another.
    EXPECT_TRUE(seen.insert(Upper(entry.key)).second) << relative << ":" << number << ": '" << entry.key << "' twice";
    list.entries.push_back(entry);
  }
  return list;
}

std::set<std::string> Names(const MapList& list) {
  std::set<std::string> names;
  for (const auto& e : list.entries) names.insert(Upper(e.key));
  return names;
}

const char* const kGameTypeLists[] = {"Quake3/q3-dm-maps.txt", "Quake3/q3-duel-maps.txt", "Quake3/q3-single-maps.txt",
                                      "Quake3/q3-team-maps.txt", "Quake3/q3-ctf-maps.txt"};

TEST(MapLists, EveryListLoadsCleanly) {
  for (const char* file : kGameTypeLists) EXPECT_GE(Load(file).entries.size(), 5u) << file;
  EXPECT_GE(Load("Quake3/q3-all-maps.txt").entries.size(), 30u);
  EXPECT_GE(Load("Quake2/q2-all-maps.txt").entries.size(), 8u);
}

TEST(MapLists, GameTypeListsAgreeWithTheAllMapsList) {
  const MapList all = Load("Quake3/q3-all-maps.txt");
  std::set<std::string> inSomeList;
  for (const char* file : kGameTypeLists) {
    const MapList list = Load(file);
    for (const auto& entry : list.entries) {
      const auto match = std::find_if(all.entries.begin(), all.entries.end(),
                                      [&](const auto& a) { return Upper(a.key) == Upper(entry.key); });
      ASSERT_NE(match, all.entries.end()) << file << ": " << entry.key << " is not in q3-all-maps.txt";
      EXPECT_EQ(match->value, entry.value) << file << ": " << entry.key << " is described differently";
      inSomeList.insert(Upper(entry.key));
    }
  }
  EXPECT_GE(inSomeList.size(), all.entries.size() * 3 / 4) << "most maps should belong to a game type";
}

TEST(MapLists, StockMapsAreInTheirLists) {
  // The maps a Quake 3 window offers before it knows the game type must all have descriptions.
  const std::set<std::string> all = Names(Load("Quake3/q3-all-maps.txt"));
  for (int i = 0; i <= 19; ++i) EXPECT_TRUE(all.count("Q3DM" + std::to_string(i))) << "q3dm" << i;
  for (int i = 1; i <= 6; ++i) EXPECT_TRUE(all.count("Q3TOURNEY" + std::to_string(i))) << "q3tourney" << i;
  for (const char* map : {"OA_DM1", "OASAGO2", "AGGRESSOR"}) EXPECT_TRUE(all.count(map)) << map;

  const std::set<std::string> ctf = Names(Load("Quake3/q3-ctf-maps.txt"));
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(ctf.count("Q3CTF" + std::to_string(i))) << "q3ctf" << i;
  EXPECT_FALSE(ctf.count("Q3DM17")) << "a map without flags in the capture-the-flag list";
  const std::set<std::string> duel = Names(Load("Quake3/q3-duel-maps.txt"));
  EXPECT_TRUE(duel.count("Q3TOURNEY2"));
  EXPECT_FALSE(duel.count("Q3CTF1"));

  const std::set<std::string> q2 = Names(Load("Quake2/q2-all-maps.txt"));
  for (int i = 1; i <= 8; ++i) EXPECT_TRUE(q2.count("Q2DM" + std::to_string(i))) << "q2dm" << i;
  for (const char* map : {"BASE1", "BOSS2"}) EXPECT_TRUE(q2.count(map)) << map;
}

TEST(MapLists, TheTestReaderSplitsLinesAsTheProgramDoes) {
  // A bare LF stays inside the line, CR and CR LF end it, Ctrl-Z ends the file.
  const auto lines = LookupLines("a\tb\nc\r\nd\te\tf\rg\r\n\r\nh\x1aignored\r\n");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "a\tb\nc");
  EXPECT_EQ(SplitLookupLine(lines[1]).key, "d");
  EXPECT_EQ(SplitLookupLine(lines[1]).value, "e\tf");
  EXPECT_EQ(SplitLookupLine(lines[2]).value, "");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "h");
}

}  // namespace
