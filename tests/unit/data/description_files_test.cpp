// The settings description files build a whole settings grid: the dialog stops building at
// the first field whose name it cannot use, so every field must be sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "shipped_files.h"
#include "support/test_env.h"

namespace {

using data_test::IniFile;
using data_test::Upper;

struct Field {
  std::string type, name, defaultValue, hint;
};

std::vector<Field> CheckDescriptionFile(const std::string& file) {
  const std::string bytes = data_test::ReadFile(test::SourceDir() + "/data/" + file);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << file << ": LF without CR at byte " << i;
    }
  }
  const IniFile ini(bytes);

  const auto count = ini.Value("Common", "NumFields");
  EXPECT_TRUE(count && data_test::IsWholeNumber(*count)) << file << ": NumFields";
  const int numFields = count ? std::stoi(*count) : 0;
  int fieldSections = 0;
  for (const std::string& section : ini.Sections())
    if (Upper(section).rfind("FIELD", 0) == 0) ++fieldSections;
  EXPECT_EQ(fieldSections, numFields) << file << ": NumFields does not match the field sections";
  EXPECT_EQ(ini.Sections().size(), std::set<std::string>(ini.Sections().begin(), ini.Sections().end()).size())
      << file << ": a section appears twice";

  std::vector<Field> fields;
  std::set<std::string> names;
  for (int n = 1; n <= numFields; ++n) {
    const std::string section = "Field" + std::to_string(n);
    const auto get = [&](const char* key) { return ini.Value(section, key); };
    if (!get("Name")) {
      ADD_FAILURE() << file << ": " << section << " missing or without Name";
      continue;
    }
    Field f{get("Type").value_or(""), *get("Name"), get("Default").value_or(""), get("Hint").value_or("")};
    const std::string where = file + ": " + section + " (" + f.name + ")";
    EXPECT_TRUE(f.type == "STRING" || f.type == "INT" || f.type == "BOOL") << where << ": Type " << f.type;
    EXPECT_TRUE(data_test::IsIdentifier(f.name)) << where << ": not an identifier";
    EXPECT_NE(Upper(f.name), "EMPTY") << where;
    EXPECT_TRUE(names.insert(Upper(f.name)).second) << where << ": name used twice (case ignored)";
    if (f.type == "INT") {
      EXPECT_TRUE(data_test::IsWholeNumber(f.defaultValue)) << where << ": Default " << f.defaultValue;
    }
    if (f.type == "BOOL") {
      EXPECT_TRUE(f.defaultValue == "0" || f.defaultValue == "1") << where << ": Default " << f.defaultValue;
    }
    EXPECT_FALSE(f.hint.empty()) << where << ": no hint";
    EXPECT_EQ(f.hint.find_first_of("\r\n\t"), std::string::npos) << where;
    fields.push_back(f);
  }
  EXPECT_GE(fields.size(), 30u) << file;
  EXPECT_LE(fields.size(), 40u) << file;
  return fields;
}

bool Has(const std::vector<Field>& fields, const std::string& name, const std::string& type) {
  return std::any_of(fields.begin(), fields.end(), [&](const Field& f) { return f.name == name && f.type == type; });
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
  for (const Field& f : fields) {
    std::string lower = f.name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(f.name, lower) << f.name;
  }
  EXPECT_TRUE(Has(fields, "hostname", "STRING"));
  EXPECT_TRUE(Has(fields, "timelimit", "INT"));
  EXPECT_TRUE(Has(fields, "deathmatch", "BOOL"));
}

TEST(DescriptionFiles, RemotePasswordIsNeverAField) {
  // The dialog sends every field back, even one whose value never arrived: an empty remote
  // password would lock the administrator out of the server.
  for (const char* file : {"q3-default.ini", "q2-default.ini"}) {
    const IniFile ini(data_test::ReadFile(test::SourceDir() + "/data/" + file));
    for (int n = 1;; ++n) {
      const auto name = ini.Value("Field" + std::to_string(n), "Name");
      if (!name) break;
      EXPECT_NE(Upper(*name), "RCONPASSWORD") << file;
      EXPECT_NE(Upper(*name), "RCON_PASSWORD") << file;
    }
  }
}

TEST(DescriptionFiles, TheTestReaderFollowsProfileRules) {
  const IniFile ini("[common]\r\nnumfields = 2\r\nNumFields=9\r\n[Field1]\r\nName=a=b\r\n");
  EXPECT_EQ(ini.Value("COMMON", "NUMFIELDS"), "2");  // first occurrence wins, case ignored
  EXPECT_EQ(ini.Value("field1", "name"), "a=b");
  EXPECT_FALSE(ini.Value("Field2", "Name"));
}

}  // namespace
