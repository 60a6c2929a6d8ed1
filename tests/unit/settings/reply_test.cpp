// Reading the server's answer to a variable query.
#include <gtest/gtest.h>

#include <string>

#include "settings/reply.h"

namespace {

using protocol::kQuake2;
using protocol::kQuake3;

const std::string kPrint = "\xFF\xFF\xFF\xFFprint\n\"";

std::string Q3(const std::string& name, const std::string& value) {
  return kPrint + name + "\" is:\"" + value + "^7\" default:\"noname^7\"\n";
}

std::string ValueOf(const std::string& printed) { return settings::ParseCvarReply(Q3("x", printed), kQuake3).value; }

TEST(SettingsReply, Quake3AndQuake2Shapes) {
  auto r = settings::ParseCvarReply(kPrint + "sv_hostname\" is:\"^1Test ^7Server^7\" default:\"noname^7\"\n", kQuake3);
  EXPECT_EQ(r.name, "sv_hostname");
  // The server prints "^7" after every value: the stored value comes back as it is.
  EXPECT_EQ(r.value, "^1Test ^7Server");

  r = settings::ParseCvarReply(kPrint + "timelimit\" is \"20\"\n", kQuake2);
  EXPECT_EQ(r.name, "timelimit");
  EXPECT_EQ(r.value, "20");

  r = settings::ParseCvarReply(kPrint + "g_motd\" is:\"^7\", the default\n", kQuake3);
  EXPECT_EQ(r.value, "");
  r = settings::ParseCvarReply(kPrint + "g_motd\" is:\"open", kQuake3);  // no closing quote
  EXPECT_EQ(r.value, "open");
}

TEST(SettingsReply, ColourResetAtTheEnd) {
  // The values as the server prints them, the value itself followed by its "^7".
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is:\"^7\"", kQuake3).value, "");
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is:\"abc^7\"", kQuake3).value, "abc");
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is:\"a^7b^7\"", kQuake3).value, "a^7b");
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is:\"q\"", kQuake3).value, "q");
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is:\"7\"", kQuake3).value, "7");
  // Round trip: what is stored reads back unchanged, whatever colour codes it holds.
  for (const char* stored : {"", "abc", "a^7b", "abc^7", "^1Red^7White", "^7"}) EXPECT_EQ(ValueOf(stored), stored);
  // Quake 2 prints the value alone.
  EXPECT_EQ(settings::ParseCvarReply(kPrint + "x\" is \"abc^7\"", kQuake2).value, "abc^7");
}

TEST(SettingsReply, OddShapesGiveNamesThatMatchNothing) {
  EXPECT_EQ(settings::ParseCvarReply("", kQuake3).name, "");
  EXPECT_EQ(settings::ParseCvarReply("\xFF\xFF\xFF\xFFprint\n", kQuake3).name, "");
  const auto bad = settings::ParseCvarReply("\xFF\xFF\xFF\xFFprint\nBad rconpassword.\n", kQuake3);
  EXPECT_EQ(bad.name, "ad rconpassword.\n");
  EXPECT_EQ(bad.value, "");
  const auto unknown = settings::ParseCvarReply("\xFF\xFF\xFF\xFFprint\nUnknown command \"xyz^7\"\n", kQuake3);
  EXPECT_EQ(unknown.name, "nknown command ");
}

TEST(SettingsReply, SpinAndCheckValues) {
  EXPECT_EQ(settings::SpinValue("20"), 20);
  EXPECT_EQ(settings::SpinValue("-3"), -3);
  EXPECT_EQ(settings::SpinValue("$10"), 16);
  EXPECT_FALSE(settings::SpinValue("0.5"));
  EXPECT_FALSE(settings::SpinValue(""));
  EXPECT_FALSE(settings::SpinValue("99999999999"));

  EXPECT_TRUE(settings::CheckValue("1"));
  for (const char* v : {"0", "", "yes", "01", "1 "}) EXPECT_FALSE(settings::CheckValue(v)) << v;

  // Only what the input shows faithfully may go back unchanged.
  EXPECT_TRUE(settings::SpinShowsValue("20"));
  EXPECT_TRUE(settings::SpinShowsValue("-2147483648"));
  for (const char* v : {"", "-", "0.5", "0x10", "$10", " 5", "2147483648", "12345678901"}) {
    EXPECT_FALSE(settings::SpinShowsValue(v)) << v;
  }
  EXPECT_TRUE(settings::CheckShowsValue("0"));
  EXPECT_TRUE(settings::CheckShowsValue("1"));
  for (const char* v : {"", "2", "yes"}) EXPECT_FALSE(settings::CheckShowsValue(v)) << v;
}

}  // namespace
