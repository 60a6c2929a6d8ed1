// The map lists shipped in data/levels load cleanly with the program's lookup-list reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "common/lookuplist.h"
#include "protocol/packets.h"
#include "shipped_files.h"
#include "support/test_env.h"

namespace {

using platform::AsciiUpperCase;

struct Entry {
  std::string key;
  std::string value;
};

struct MapList {
  std::string file;
  std::vector<Entry> entries;
};

std::string LevelsDir() { return test::SourceDir() + "/data/levels/"; }

std::vector<Entry> Entries(const TLookupList& list) {
  std::vector<Entry> entries;
  for (const TLookupEntry& e : list) entries.push_back({e.Key, e.Value});
  return entries;
}

// Loads a list and checks the bytes and every entry; failures name the file and line.
MapList Load(const std::string& relative) {
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

  TLookupList list;
  LoadLookupList(list, LevelsDir() + relative);
  MapList result{relative, Entries(list)};
  // Written out again, the entries give the file byte for byte: nothing was cut at 255
  // characters, split at a stray tab or lost after a NUL.
  std::string rebuilt;
  for (const Entry& e : result.entries) rebuilt += e.key + "\t" + e.value + "\r\n";
  EXPECT_EQ(rebuilt, bytes) << relative << ": the reader does not give the file back";

  std::set<std::string> seen;
  int number = 0;
  for (const Entry& entry : result.entries) {
    ++number;
    EXPECT_EQ(entry.value.find('\t'), std::string::npos) << relative << ":" << number << ": want name TAB description";
    EXPECT_FALSE(entry.key.empty()) << relative << ":" << number << ": empty map name";
    EXPECT_FALSE(entry.value.empty()) << relative << ":" << number << ": empty description";
    EXPECT_EQ(entry.key.find_first_of(" \\/\""), std::string::npos) << relative << ":" << number << ": '" << entry.key << "'";
    EXPECT_LE(entry.key.size(), 255u) << relative << ":" << number;
    EXPECT_LE(entry.value.size(), 255u) << relative << ":" << number;
    EXPECT_EQ(entry.value, std::string(entry.value.c_str())) << relative << ":" << number << ": NUL byte";
    // Look-ups ignore case, so names differing only in case would hide one another.
    const bool first = seen.insert(AsciiUpperCase(entry.key)).second;
    EXPECT_TRUE(first) << relative << ":" << number << ": '" << entry.key << "' twice";
    if (first) {
      EXPECT_EQ(FindLookupValue(list, AsciiUpperCase(entry.key)), entry.value) << relative << ":" << number;
    }
  }
  return result;
}

std::set<std::string> Names(const MapList& list) {
  std::set<std::string> names;
  for (const auto& e : list.entries) names.insert(AsciiUpperCase(e.key));
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
                                      [&](const auto& a) { return AsciiUpperCase(a.key) == AsciiUpperCase(entry.key); });
      ASSERT_NE(match, all.entries.end()) << file << ": " << entry.key << " is not in q3-all-maps.txt";
      EXPECT_EQ(match->value, entry.value) << file << ": " << entry.key << " is described differently";
      inSomeList.insert(AsciiUpperCase(entry.key));
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

TEST(MapLists, TheReaderSplitsLinesAsTheFilesAssume) {
  // A bare LF stays inside the line, CR and CR LF end it, Ctrl-Z ends the file.
  TLookupList list;
  LoadLookupListFromText(list, "a\tb\nc\r\nd\te\tf\rg\r\n\r\nh\x1aignored\r\n");
  const auto entries = Entries(list);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].key, "a");
  EXPECT_EQ(entries[0].value, "b\nc");
  EXPECT_EQ(entries[1].key, "d");
  EXPECT_EQ(entries[1].value, "e\tf");
  EXPECT_EQ(entries[2].key, "g");
  EXPECT_EQ(entries[2].value, "");
  EXPECT_EQ(entries[3].key, "");
  EXPECT_EQ(entries[4].key, "h");
}

}  // namespace
