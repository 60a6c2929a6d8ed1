// The settings description files build a whole settings grid: the dialog stops building at
// the first field whose name it cannot use, so every field must be sound. Read with the
// program's own readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/ascii.h"
#include "platform/ini.h"
#include "protocol/packets.h"
#include "settings/description.h"
#include "settings/fields.h"
#include "settings/values.h"
#include "shipped_files.h"
#include "support/test_env.h"

namespace {

using platform::AsciiUpperCase;
using settings::FieldDescription;

std::vector<FieldDescription> CheckDescriptionFile(const std::string& file) {
  const std::string bytes = data_test::ReadFile(test::SourceDir() + "/data/" + file);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << file << ": LF without CR at byte " << i;
    }
  }
  const platform::IniDocument ini = platform::IniDocument::FromBytes(bytes);

  const auto count = ini.Value("Common", "NumFields");
  EXPECT_TRUE(count && settings::SpinShowsValue(*count)) << file << ": NumFields";
  const int numFields = ini.ReadInteger("Common", "NumFields", 0);
  const std::vector<std::string> sections = ini.SectionNames();
  int fieldSections = 0;
  for (const std::string& section : sections)
    if (AsciiUpperCase(section).rfind("FIELD", 0) == 0) ++fieldSections;
  EXPECT_EQ(fieldSections, numFields) << file << ": NumFields does not match the field sections";
  std::set<std::string> distinct;
  for (const std::string& section : sections) distinct.insert(AsciiUpperCase(section));
  EXPECT_EQ(sections.size(), distinct.size()) << file << ": a section appears twice";

  // The program's reader sees every field, and the dialog would build every one of them.
  const settings::Description description = settings::ReadDescription(ini);
  EXPECT_EQ(description.numFields, numFields);
  EXPECT_EQ(static_cast<int>(description.fields.size()), numFields) << file;
  const settings::BuildPlan plan = settings::PlanFields(description.fields);
  EXPECT_FALSE(plan.stopped) << file << ": building stops at " << (plan.fields.empty() ? "" : plan.fields.back().field.name);
  EXPECT_EQ(plan.fields.size(), description.fields.size()) << file;

  std::vector<FieldDescription> fields;
  std::set<std::string> names;
  for (int n = 1; n <= numFields; ++n) {
    const std::string section = "Field" + std::to_string(n);
    if (!ini.Value(section, "Name")) {
      ADD_FAILURE() << file << ": " << section << " missing or without Name";
      continue;
    }
    const FieldDescription& f = description.fields.at(static_cast<size_t>(n - 1));
    const std::string where = file + ": " + section + " (" + f.name + ")";
    EXPECT_TRUE(f.type == "STRING" || f.type == "INT" || f.type == "BOOL") << where << ": Type " << f.type;
    EXPECT_NE(settings::KindOf(f.type), settings::InputKind::None) << where;
    EXPECT_TRUE(settings::IsIdentifier(f.name)) << where << ": not an identifier";
    EXPECT_FALSE(settings::IsEmptyName(f.name)) << where;
    EXPECT_TRUE(names.insert(AsciiUpperCase(f.name)).second) << where << ": name used twice (case ignored)";
    if (f.type == "INT") {
      EXPECT_TRUE(settings::SpinShowsValue(f.defaultValue)) << where << ": Default " << f.defaultValue;
    }
    if (f.type == "BOOL") {
      EXPECT_TRUE(settings::CheckShowsValue(f.defaultValue)) << where << ": Default " << f.defaultValue;
    }
    EXPECT_FALSE(f.hint.empty()) << where << ": no hint";
    EXPECT_EQ(f.hint.find_first_of("\r\n\t"), std::string::npos) << where;
    fields.push_back(f);
  }
  EXPECT_GE(fields.size(), 30u) << file;
  EXPECT_LE(fields.size(), 40u) << file;
  return fields;
}

bool Has(const std::vector<FieldDescription>& fields, const std::string& name, const std::string& type) {
  return std::any_of(fields.begin(), fields.end(), [&](const FieldDescription& f) { return f.name == name && f.type == type; });
}

TEST(DescriptionFiles, Quake3FileParses) {
  const auto fields = CheckDescriptionFile("q3-default.ini");
  EXPECT_TRUE(Has(fields, "sv_hostname", "STRING"));
  EXPECT_TRUE(Has(fields, "g_gametype", "INT"));
  EXPECT_TRUE(Has(fields, "g_friendlyFire", "BOOL"));
}

TEST(DescriptionFiles, Quake2FileParsesWithTheServersSpelling) {
  const auto fields = CheckDescriptionFile("q2-default.ini");
  // The Quake 2 server matches variable names with their case; its own are all lower case.
  for (const FieldDescription& f : fields) {
    std::string lower = f.name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(f.name, lower) << f.name;
  }
  EXPECT_TRUE(Has(fields, "hostname", "STRING"));
  EXPECT_TRUE(Has(fields, "timelimit", "INT"));
  EXPECT_TRUE(Has(fields, "deathmatch", "BOOL"));
}

TEST(DescriptionFiles, RemotePasswordIsNeverAField) {
  // The administrator may change any field and send it: an emptied remote password would lock
  // the administrator out of the server.
  for (const char* file : {"q3-default.ini", "q2-default.ini"}) {
    const auto description = settings::ReadDescriptionFile(test::SourceDir() + "/data/" + file);
    for (const FieldDescription& f : description.fields) {
      EXPECT_NE(AsciiUpperCase(f.name), "RCONPASSWORD") << file;
      EXPECT_NE(AsciiUpperCase(f.name), "RCON_PASSWORD") << file;
    }
  }
}

TEST(DescriptionFiles, TheReaderFollowsProfileRules) {
  const auto ini = platform::IniDocument::FromBytes("[common]\r\nnumfields = 2\r\nNumFields=9\r\n[Field1]\r\nName=a=b\r\n");
  EXPECT_EQ(ini.Value("COMMON", "NUMFIELDS"), "2");  // first occurrence wins, case ignored
  EXPECT_EQ(ini.Value("field1", "name"), "a=b");
  EXPECT_FALSE(ini.Value("Field2", "Name"));
  const auto description = settings::ReadDescription(ini);
  EXPECT_EQ(description.numFields, 2);
  ASSERT_EQ(description.fields.size(), 1u);  // Field2 would be EMPTY: nothing to read
  EXPECT_EQ(description.fields[0].name, "a=b");
}

}  // namespace
