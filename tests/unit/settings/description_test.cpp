// The description file and the grid built from it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/ini.h"
#include "platform/paths.h"
#include "settings/description.h"
#include "settings/fields.h"
#include "support/test_env.h"

namespace {

using settings::FieldDescription;
using settings::InputKind;

settings::Description Read(const std::string& text) {
  return settings::ReadDescription(platform::IniDocument::FromBytes(text));
}

FieldDescription Field(std::string type, std::string name, std::string def = "", std::string hint = "") {
  return {std::move(type), std::move(name), std::move(def), std::move(hint)};
}

TEST(SettingsDescription, ReadsWithProfileRules) {
  const auto d = Read(
      "[common]\r\nnumfields=0x3\r\n"
      "[FIELD1]\r\ntype=Int\r\nNAME = fraglimit \r\nDefault=20\r\nHint=Fraglimit\r\n"
      "[Field3]\r\nName=\"g_motd\"\r\n");
  EXPECT_EQ(d.numFields, 3);
  ASSERT_EQ(d.fields.size(), 3u);
  EXPECT_EQ(d.fields[0].type, "Int");
  EXPECT_EQ(d.fields[0].name, "fraglimit");
  EXPECT_EQ(d.fields[0].defaultValue, "20");
  EXPECT_EQ(d.fields[0].hint, "Fraglimit");
  EXPECT_EQ(d.fields[1].name, "EMPTY");  // no section at all
  EXPECT_EQ(d.fields[2].name, "g_motd");
  EXPECT_EQ(d.fields[2].type, "");

  EXPECT_TRUE(Read("").fields.empty());
  EXPECT_TRUE(Read("[Common]\nNumFields=many\n[Field1]\nName=a\n").fields.empty());
  EXPECT_TRUE(Read("[Common]\nNumFields=-4\n[Field1]\nName=a\n").fields.empty());
}

TEST(SettingsDescription, AHugeCountStopsAtTheLastFieldSection) {
  // Sections past the last one would all read as EMPTY: nothing to show, nothing to wait for.
  const auto d = Read("[Common]\nNumFields=2000000000\n[Field2]\nName=b\n[Field07]\nName=x\n[fieldx]\n");
  EXPECT_EQ(d.numFields, 2000000000);
  ASSERT_EQ(d.fields.size(), 2u);
  EXPECT_EQ(d.fields[1].name, "b");
  // ... but never past NumFields.
  EXPECT_EQ(Read("[Common]\nNumFields=1\n[Field1]\nName=a\n[Field2]\nName=b\n").fields.size(), 1u);
}

// A file gets the field sections it has, at most kMaxFields, read in linear time: one section
// numbered 999 999 999 grew past 2 GB, 5 900 sections took 6 s.
TEST(SettingsDescription, HostileCountsAreBoundedAndReadInLinearTime) {
  std::string many = "[Common]\nNumFields=5900\n";
  for (int n = 1; n <= 5900; ++n) many += "[Field" + std::to_string(n) + "]\nType=INT\nName=v" + std::to_string(n) + "\n";
  const struct {
    std::string text;
    int described;
    size_t fields;
  } cases[] = {
      {"[Common]\nNumFields=999999999\n[Field999999999]\nName=x\n", 999999999, 2000},
      {"[Common]\nNumFields=0x7FFFFFFF\n[Field2147483647]\n[Field2147483648]\n", 2147483647, 2000},
      {many, 5900, 2000},
      {"[Common]\nNumFields=9\n[Field12345678901]\n", 0, 0},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& c : cases) {
    const settings::Description d = Read(c.text);
    EXPECT_EQ(d.described, c.described);
    EXPECT_EQ(d.fields.size(), c.fields);
    EXPECT_FALSE(settings::PlanFields(d.fields).stopped);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(SettingsDescription, FileNameFollowsTheProgramDirectory) {
  test::ScopedProgramDir dir;
  dir.Write("Q3-Default.INI", "[Common]\r\nNumFields=1\r\n[Field1]\r\nName=sv_hostname\r\nType=STRING\r\n");
  const std::string q3 = settings::DescriptionFileName(protocol::kQuake3);
  EXPECT_EQ(q3, dir.Path() + "/Q3-Default.INI");  // found without regard to case
  EXPECT_EQ(settings::ReadDescriptionFile(q3).fields.at(0).name, "sv_hostname");
  EXPECT_EQ(settings::DescriptionFileName(protocol::kQuake2), dir.Path() + "/q2-default.ini");
  EXPECT_TRUE(settings::ReadDescriptionFile(settings::DescriptionFileName(protocol::kQuake2)).fields.empty());
}

TEST(SettingsFields, TypeWordsAndNames) {
  EXPECT_EQ(settings::KindOf("int"), InputKind::Spin);
  EXPECT_EQ(settings::KindOf("Bool"), InputKind::Check);
  EXPECT_EQ(settings::KindOf("STRING"), InputKind::Text);
  EXPECT_EQ(settings::KindOf("FLOAT"), InputKind::None);
  EXPECT_EQ(settings::KindOf(""), InputKind::None);
  EXPECT_EQ(settings::KindOf(" INT"), InputKind::None);

  EXPECT_TRUE(settings::IsEmptyName("empty"));
  EXPECT_FALSE(settings::IsEmptyName("EMPTY2"));
  EXPECT_TRUE(settings::IsIdentifier("_g1"));
  EXPECT_TRUE(settings::IsIdentifier("sv_maxClients"));
  for (const char* bad : {"", "1abc", "a b", "a-b", "a.b", "sv_hostname x", "\xe9t\xe9"}) {
    EXPECT_FALSE(settings::IsIdentifier(bad)) << bad;
  }
}

TEST(SettingsFields, TooltipForms) {
  EXPECT_EQ(settings::TooltipText("20", "Fraglimit"), "Default value : 20\rDescription: Fraglimit");
  EXPECT_EQ(settings::TooltipText("20", ""), "Default value : 20");
  EXPECT_EQ(settings::TooltipText("", "Fraglimit"), "\rDescription: Fraglimit");
  EXPECT_EQ(settings::TooltipText("", ""), "");
}

TEST(SettingsFields, GridOfFourFields) {
  const auto plan = settings::PlanFields({Field("STRING", "a"), Field("INT", "b"), Field("BOOL", "c"), Field("BOOL", "d")});
  ASSERT_EQ(plan.fields.size(), 4u);
  EXPECT_FALSE(plan.stopped);
  const int fourth = plan.fields[3].slot;
  EXPECT_EQ(fourth, 3);
  const settings::Cell label = settings::LabelCell(fourth);
  EXPECT_EQ(label.left, 10);
  EXPECT_EQ(label.top, 39);
  EXPECT_EQ(label.width, 100);
  EXPECT_EQ(settings::InputCell(fourth, InputKind::Text).top, 35);
  EXPECT_EQ(settings::InputCell(fourth, InputKind::Spin).left, 115);
  EXPECT_EQ(settings::InputCell(fourth, InputKind::Check).top, 38);
  EXPECT_EQ(settings::InputCell(fourth, InputKind::Check).width, 15);
  EXPECT_EQ(settings::InputCell(5, InputKind::Text).left, 515);
  EXPECT_EQ(settings::LabelCell(5).left, 410);
}

TEST(SettingsFields, NamelessFieldLeavesAGapAndCaptionsAreQueriedOnly) {
  const auto plan = settings::PlanFields({Field("STRING", "a"), Field("STRING", "EMPTY"), Field("int", "c"),
                                          Field("FLOAT", "d"), Field("", "Empty")});
  ASSERT_EQ(plan.fields.size(), 3u);
  EXPECT_EQ(plan.fields[1].slot, 2);  // third column of the first row
  EXPECT_EQ(plan.fields[1].kind, InputKind::Spin);
  EXPECT_TRUE(plan.fields[1].input);
  EXPECT_EQ(plan.fields[2].kind, InputKind::None);  // FLOAT: caption only
  EXPECT_FALSE(plan.fields[2].input);
  EXPECT_TRUE(plan.fields[2].query);
  EXPECT_FALSE(plan.stopped);
}

TEST(SettingsFields, UnusableNameEndsTheBuild) {
  // Not an identifier: caption shown, no input, not queried, nothing after it.
  auto plan = settings::PlanFields({Field("STRING", "a"), Field("INT", "sv_hostname x"), Field("STRING", "c")});
  ASSERT_EQ(plan.fields.size(), 2u);
  EXPECT_TRUE(plan.stopped);
  EXPECT_FALSE(plan.fields[1].input);
  EXPECT_FALSE(plan.fields[1].query);

  // The same name as an earlier input, in another case: caption and query, no input.
  plan = settings::PlanFields({Field("STRING", "Timelimit"), Field("FLOAT", "FRAGLIMIT"), Field("BOOL", "timeLIMIT"),
                               Field("STRING", "after")});
  ASSERT_EQ(plan.fields.size(), 3u);
  EXPECT_TRUE(plan.stopped);
  EXPECT_FALSE(plan.fields[2].input);
  EXPECT_TRUE(plan.fields[2].query);

  // Caption-only fields are never checked and do not count as earlier names.
  plan = settings::PlanFields({Field("FLOAT", "x y"), Field("FLOAT", "g"), Field("INT", "G"), Field("", "1st")});
  EXPECT_FALSE(plan.stopped);
  ASSERT_EQ(plan.fields.size(), 4u);
  EXPECT_TRUE(plan.fields[2].input);
  EXPECT_FALSE(plan.fields[0].query);
  EXPECT_FALSE(plan.fields[3].query);
}

TEST(SettingsFields, EveryShippedFieldBuilds) {
  for (const char* file : {"q3-default.ini", "q2-default.ini"}) {
    const auto d = settings::ReadDescriptionFile(test::SourceDir() + "/data/" + file);
    const auto plan = settings::PlanFields(d.fields);
    EXPECT_FALSE(plan.stopped) << file;
    EXPECT_EQ(plan.fields.size(), d.fields.size()) << file;
    for (const auto& f : plan.fields) EXPECT_TRUE(f.input && f.query) << file << ": " << f.field.name;
  }
}

}  // namespace
