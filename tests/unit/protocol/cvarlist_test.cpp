// The variable listing: joined from its datagrams however they are cut, read in each game's
// form, told apart when a datagram was lost, and never keeping the remote password.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "captures.h"
#include "protocol/cvarlist.h"
#include "protocol/packets.h"

namespace {

using protocol::CvarListReader;
using protocol::kQuake2;
using protocol::kQuake3;
using State = CvarListReader::State;
using Strings = std::vector<std::string>;

// The ten datagrams of the real server's listing, in arrival order.
Strings CapturedListing() {
  Strings datagrams;
  for (int i = 1; i <= 10; ++i) datagrams.push_back(test::Capture("q3_cvarlist_" + std::to_string(i)));
  return datagrams;
}

std::string Text(const Strings& datagrams) {
  std::string text;
  for (const std::string& d : datagrams) text += d.substr(protocol::kPrintHeader.size());
  return text;
}

// The text cut into datagrams of at most `size` characters each.
Strings Chunks(const std::string& text, std::size_t size) {
  Strings datagrams;
  for (std::size_t at = 0; at < text.size(); at += size)
    datagrams.push_back(std::string(protocol::kPrintHeader) + text.substr(at, size));
  return datagrams;
}

struct Read {
  State state;
  std::map<std::string, std::string> values;
  Strings names;
};

Read ReadAll(const Strings& datagrams, const protocol::GameTraits& game = kQuake3) {
  CvarListReader reader(game);
  Read read{State::Reading, {}, {}};
  for (const std::string& d : datagrams) read.state = reader.Feed(d);
  EXPECT_EQ(read.state, reader.Status());
  for (const auto& v : reader.Variables()) {
    read.values[v.name] = v.value;
    read.names.push_back(v.name);
  }
  return read;
}

TEST(CvarList, RealServerListingReadsEveryVariableExactly) {
  const Strings datagrams = CapturedListing();
  const Read read = ReadAll(datagrams);
  ASSERT_EQ(read.state, State::Complete);
  // 285 listed, the remote password left out.
  EXPECT_EQ(read.names.size(), 284u);
  EXPECT_EQ(read.names.front(), "zz_spaces");
  EXPECT_EQ(read.names.back(), "sv_cheats");
  const std::map<std::string, std::string> expected = {
      {"sv_hostname", "^1Test ^7Server"}, {"zz_end", "abc^7"}, {"zz_empty", ""},
      {"zz_spaces", "  two  spaces "},    {"g_motd", "a;b ^7"}, {"timelimit", "0"},
      {"g_doWarmup", "0"},                {"com_busyWait", "0"},  // cut between its flag columns
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(read.values.at(name), value) << name;
  // What the listing shows is what a query of the one variable reads.
  EXPECT_EQ(protocol::ParseCvarReply(test::Capture("q3_cvar_g_motd"), kQuake3).value, read.values.at("g_motd"));

  // However the same text is cut, it reads the same.
  const std::string text = Text(datagrams);
  for (const std::size_t size : {1u, 2u, 7u, 64u, 1007u, 1383u, 65536u}) {
    const Read again = ReadAll(Chunks(text, size));
    EXPECT_EQ(again.state, State::Complete) << size;
    EXPECT_EQ(again.values, read.values) << size;
  }
}

TEST(CvarList, TheRemotePasswordIsNeverKept) {
  for (const auto& [game, text] : std::vector<std::pair<const protocol::GameTraits*, std::string>>{
           {&kQuake3, Text(CapturedListing())},
           {&kQuake2, "     rcon_password \"secret\"\n    RCON_Password \"secret\"\n*    hostname \"x\"\n3 cvars\n"},
           {&kQuake2, "rcon_password \"secret\"\nhostname \"x\"\n2 of 9 cvars\n"}}) {
    for (const std::size_t size : {3u, 1007u}) {
      const Read read = ReadAll(Chunks(text, size), *game);
      EXPECT_EQ(read.state, State::Complete);
      for (const auto& [name, value] : read.values) {
        EXPECT_FALSE(protocol::IsRemotePasswordName(name)) << name;
        EXPECT_EQ(value.find("secret"), std::string::npos) << name;
      }
    }
  }
}

TEST(CvarList, FormsAndEndings) {
  struct Case {
    const char* what;
    const protocol::GameTraits* game;
    std::string text;
    State state;
    std::map<std::string, std::string> values;
  };
  const std::vector<Case> cases = {
      {"Quake 3 1.32: seven flag columns", &kQuake3,
       "S    A  sv_hostname \"Red\"\n       g_motd \"\"\n\n2 total cvars\n2 cvar indexes\n", State::Complete,
       {{"sv_hostname", "Red"}, {"g_motd", ""}}},
      {"ioquake3 closes before its index count arrives", &kQuake3, "S    A    timelimit \"20\"\n\n1 total cvars\n",
       State::Complete, {{"timelimit", "20"}}},
      {"Quake 2 (id, Yamagi): four flag characters", &kQuake2,
       "*  S hostname \"My Server\"\n  S- version \"3.21 x86\"\n     timelimit \"20\"\n3 cvars\n", State::Complete,
       {{"hostname", "My Server"}, {"version", "3.21 x86"}, {"timelimit", "20"}}},
      {"Q2PRO: no flags", &kQuake2, "hostname \"noname\"\nfraglimit \"0\"\n2 of 212 cvars\n", State::Complete,
       {{"hostname", "noname"}, {"fraglimit", "0"}}},
      {"a quote inside a value runs to the line's last quote", &kQuake3,
       "          x \"say \"hi\" all\"\n          y \"\"\"\n\n2 total cvars\n", State::Complete,
       {{"x", "say \"hi\" all"}, {"y", "\""}}},
      {"a refusal text inside a value is a value", &kQuake3,
       "          g_motd \"Bad rconpassword.\"\n\n1 total cvars\n", State::Complete,
       {{"g_motd", "Bad rconpassword."}}},
      {"no closing line yet", &kQuake3, "          a \"1\"\n          b \"2\"\n", State::Reading,
       {{"a", "1"}, {"b", "2"}}},
      {"the closing line cut before its line feed", &kQuake3, "          a \"1\"\n\n1 total cvars", State::Reading,
       {{"a", "1"}}},
      {"fewer lines than announced", &kQuake3, "          a \"1\"\n\n2 total cvars\n", State::Broken, {{"a", "1"}}},
      {"more lines than announced", &kQuake2, "a \"1\"\nb \"2\"\n1 of 5 cvars\n", State::Broken,
       {{"a", "1"}, {"b", "2"}}},
      {"a server that does not know the command", &kQuake3, "unknown command: cvarlist\n", State::Broken, {}},
      {"a line without its closing quote", &kQuake3, "          a \"1\n\n1 total cvars\n", State::Broken, {}},
      {"a line without a name", &kQuake2, " \"1\"\n1 cvars\n", State::Broken, {}},
      {"lines after the closing line are not read", &kQuake2, "a \"1\"\n1 cvars\nb \"2\"\n", State::Complete,
       {{"a", "1"}}},
      {"Quake 3 refusal", &kQuake3, "Bad rconpassword.\n", State::Refused, {}},
      {"no password set", &kQuake3, "No rconpassword set on the server.\n", State::Refused, {}},
      {"Quake 2 refusal", &kQuake2, "Bad rcon_password.\n", State::Refused, {}},
  };
  for (const Case& c : cases) {
    const Read read = ReadAll({std::string(protocol::kPrintHeader) + c.text}, *c.game);
    EXPECT_EQ(read.state, c.state) << c.what;
    EXPECT_EQ(read.values, c.values) << c.what;
  }
}

TEST(CvarList, LostDatagramsLeaveTheListingIncomplete) {
  const Strings all = CapturedListing();
  for (std::size_t lost = 0; lost < all.size(); ++lost) {
    Strings arrived = all;
    arrived.erase(arrived.begin() + static_cast<std::ptrdiff_t>(lost));
    const State state = ReadAll(arrived).state;
    // Without the last datagram the closing line never comes; without any other the count
    // falls short (or the first line read is a cut one).
    EXPECT_EQ(state, lost + 1 == all.size() ? State::Reading : State::Broken) << "lost datagram " << lost + 1;
  }
}

TEST(CvarList, WhatIsNotPartOfTheListing) {
  CvarListReader reader(kQuake3);
  // Not printed output: ignored.
  EXPECT_EQ(reader.Feed("\xFF\xFF\xFF\xFFstatusResponse\n\\sv_hostname\\x\n"), State::Reading);
  EXPECT_EQ(reader.Feed("\xFF\xFF\xFF\xFFprint"), State::Reading);
  // A refusal counts only as the first datagram of the reply.
  EXPECT_EQ(reader.Feed(std::string(protocol::kPrintHeader) + "          a \"1\"\n"), State::Reading);
  EXPECT_EQ(reader.Feed(std::string(protocol::kPrintHeader) + "Bad rconpassword.\n"), State::Broken);
  // Once ended, nothing more is read.
  EXPECT_EQ(reader.Feed(std::string(protocol::kPrintHeader) + "\n1 total cvars\n"), State::Broken);
  EXPECT_EQ(reader.Variables().size(), 1u);

  // A listing that never ends is cut off at its bound.
  CvarListReader endless(kQuake2);
  const std::string line(1000, 'x');
  State state = State::Reading;
  for (std::size_t sent = 0; sent <= CvarListReader::kMaxText && state == State::Reading; sent += line.size())
    state = endless.Feed(std::string(protocol::kPrintHeader) + line);
  EXPECT_EQ(state, State::Broken);

  EXPECT_EQ(protocol::CvarListDatagram("secret"), "\xFF\xFF\xFF\xFFrcon secret cvarlist");
}

}  // namespace
