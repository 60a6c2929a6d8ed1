// The settings dialog's queries and update commands.
#include <gtest/gtest.h>

#include <string>

#include "settings/commands.h"

namespace {

using protocol::kQuake2;
using protocol::kQuake3;

TEST(SettingsCommands, QueryAndUpdateForms) {
  EXPECT_EQ(settings::QueryDatagram("secret", "sv_hostname"), "\xFF\xFF\xFF\xFFrcon secret sv_hostname");
  EXPECT_EQ(settings::QueryDatagram("", "g_motd"), "\xFF\xFF\xFF\xFFrcon  g_motd");

  EXPECT_EQ(settings::TextCommand(kQuake3, "hostname", "My Server"), "set hostname My Server");
  EXPECT_EQ(settings::TextCommand(kQuake3, "g_motd", ""), "set g_motd \"\"");
  EXPECT_EQ(settings::TextCommand(kQuake2, "hostname", "My Server"), "hostname \"My Server\"");
  EXPECT_EQ(settings::TextCommand(kQuake2, "hostname", ""), "hostname \"\"");
  EXPECT_EQ(settings::TextCommand(kQuake2, "hostname", "Solo"), "hostname Solo");
  EXPECT_EQ(settings::TextCommand(kQuake2, "hostname", "tab\there"), "hostname \"tab\there\"");

  EXPECT_EQ(settings::SpinCommand("timelimit", 20), "timelimit 20");
  EXPECT_EQ(settings::SpinCommand("x", -7), "x -7");
  EXPECT_EQ(settings::CheckCommand("g_friendlyFire", true), "g_friendlyFire 1");
  EXPECT_EQ(settings::CheckCommand("g_friendlyFire", false), "g_friendlyFire 0");
}

TEST(SettingsCommands, WhatTheServerTakesBackUnchanged) {
  for (const char* kept : {"noname", "^1Test ^7Server", "Welcome to the arena!", "a^7b"}) {
    EXPECT_TRUE(settings::ServerKeepsText(kQuake3, kept)) << kept;
  }
  for (const char* lost : {"", " lead", "trail ", "two  blanks", "say \"hi\"", "100%", "a//b", "x/*y", "caf\xe9", "a;b"}) {
    EXPECT_FALSE(settings::ServerKeepsText(kQuake3, lost)) << lost;
  }
  EXPECT_TRUE(settings::ServerKeepsText(kQuake2, "noname"));
  for (const char* lost : {"", "My Server", "caf\xe9", "//x", "a\"b", "$x"}) {
    EXPECT_FALSE(settings::ServerKeepsText(kQuake2, lost)) << lost;
  }
}

}  // namespace
