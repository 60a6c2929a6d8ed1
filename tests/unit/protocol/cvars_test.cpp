// Variable queries and the commands that set a variable, in each game's form; the answer to a query.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/cvars.h"

namespace {

using protocol::kQuake2;
using protocol::kQuake3;

TEST(VariableCommands, QueryAndUpdateForms) {
  EXPECT_EQ(protocol::VariableQueryDatagram("secret", "sv_hostname"), "\xFF\xFF\xFF\xFFrcon secret sv_hostname");
  EXPECT_EQ(protocol::VariableQueryDatagram("", "g_motd"), "\xFF\xFF\xFF\xFFrcon  g_motd");

  EXPECT_EQ(protocol::TextCommand(kQuake3, "hostname", "My Server"), "set hostname My Server");
  EXPECT_EQ(protocol::TextCommand(kQuake3, "g_motd", ""), "set g_motd \"\"");
  EXPECT_EQ(protocol::TextCommand(kQuake2, "hostname", "My Server"), "hostname \"My Server\"");
  EXPECT_EQ(protocol::TextCommand(kQuake2, "hostname", ""), "hostname \"\"");
  EXPECT_EQ(protocol::TextCommand(kQuake2, "hostname", "Solo"), "hostname Solo");
  EXPECT_EQ(protocol::TextCommand(kQuake2, "hostname", "tab\there"), "hostname \"tab\there\"");

  EXPECT_EQ(protocol::SpinCommand("timelimit", 20), "timelimit 20");
  EXPECT_EQ(protocol::SpinCommand("x", -7), "x -7");
  EXPECT_EQ(protocol::CheckCommand("g_friendlyFire", true), "g_friendlyFire 1");
  EXPECT_EQ(protocol::CheckCommand("g_friendlyFire", false), "g_friendlyFire 0");
}

TEST(VariableCommands, WhatTheServerTakesBackUnchanged) {
  for (const char* kept : {"noname", "^1Test ^7Server", "Welcome to the arena!", "a^7b"}) {
    EXPECT_TRUE(protocol::ServerKeepsText(kQuake3, kept)) << kept;
  }
  for (const char* lost : {"", " lead", "trail ", "two  blanks", "say \"hi\"", "100%", "a//b", "x/*y", "caf\xe9", "a;b"}) {
    EXPECT_FALSE(protocol::ServerKeepsText(kQuake3, lost)) << lost;
  }
  EXPECT_TRUE(protocol::ServerKeepsText(kQuake2, "noname"));
  for (const char* lost : {"", "My Server", "caf\xe9", "//x", "a\"b", "$x"}) {
    EXPECT_FALSE(protocol::ServerKeepsText(kQuake2, lost)) << lost;
  }
}

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n\"";

std::string Q3(const std::string& name, const std::string& value) {
  return kPrint + name + "\" is:\"" + value + "^7\" default:\"noname^7\"\n";
}

std::string ValueOf(const std::string& printed) { return protocol::ParseCvarReply(Q3("x", printed), kQuake3).value; }

TEST(CvarReply, Quake3AndQuake2Shapes) {
  auto r = protocol::ParseCvarReply(kPrint + "sv_hostname\" is:\"^1Test ^7Server^7\" default:\"noname^7\"\n", kQuake3);
  EXPECT_EQ(r.name, "sv_hostname");
  // The server prints "^7" after every value: the stored value comes back as it is.
  EXPECT_EQ(r.value, "^1Test ^7Server");

  r = protocol::ParseCvarReply(kPrint + "timelimit\" is \"20\"\n", kQuake2);
  EXPECT_EQ(r.name, "timelimit");
  EXPECT_EQ(r.value, "20");

  r = protocol::ParseCvarReply(kPrint + "g_motd\" is:\"^7\", the default\n", kQuake3);
  EXPECT_EQ(r.value, "");
  r = protocol::ParseCvarReply(kPrint + "g_motd\" is:\"open", kQuake3);  // no closing quote
  EXPECT_EQ(r.value, "open");
}

TEST(CvarReply, ColourResetAtTheEnd) {
  // The values as the server prints them, the value itself followed by its "^7".
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is:\"^7\"", kQuake3).value, "");
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is:\"abc^7\"", kQuake3).value, "abc");
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is:\"a^7b^7\"", kQuake3).value, "a^7b");
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is:\"q\"", kQuake3).value, "q");
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is:\"7\"", kQuake3).value, "7");
  // Round trip: what is stored reads back unchanged, whatever colour codes it holds.
  for (const char* stored : {"", "abc", "a^7b", "abc^7", "^1Red^7White", "^7"}) EXPECT_EQ(ValueOf(stored), stored);
  // Quake 2 prints the value alone.
  EXPECT_EQ(protocol::ParseCvarReply(kPrint + "x\" is \"abc^7\"", kQuake2).value, "abc^7");
}

TEST(CvarReply, AnythingButAVariablesAnswerGivesNoName) {
  const std::string print = "\xFF\xFF\xFF\xFFprint\n";
  for (const std::string& reply : std::vector<std::string>{
           std::string(), print, print + "Bad rconpassword.\n", print + "Bad rcon_password.\n",
        print + "No rconpassword set on the server.\n", print + "Unknown command \"xyz^7\"\n",
        print + "sv_hostname is read only.\n", print + "map: q3dm1\ncl score ping name\n 0 0 0 \"x\" is:\"y\"\n",
        print + "Server info settings:\n\"sv_hostname\" is:\"y\"\n", print + "\"sv_hostname\" was:\"x\"\n",
        print + "\"unclosed is:\"x\"\n", std::string("\xFF\xFF\xFF\xFF") + "statusResponse\n\"x\" is:\"y\"\n",
        "\"sv_hostname\" is:\"no marker\"\n"}) {
    SCOPED_TRACE(reply);
    const auto parsed = protocol::ParseCvarReply(reply, kQuake3);
    EXPECT_EQ(parsed.name, "");
    EXPECT_EQ(parsed.value, "");
  }
  // The value ends with its line when its quote is missing.
  EXPECT_EQ(protocol::ParseCvarReply(print + "\"x\" is \"open\nnext\"\n", kQuake2).value, "open");
}

}  // namespace
