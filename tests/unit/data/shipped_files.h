#pragma once
// Small readers for the files shipped in data/, written the way the program reads them: the
// lookup-list lines (a line ends at CR, optionally followed by LF; LF alone does not end a
// line; Ctrl-Z ends the file) and the private-profile INI rules (section and key names match
// without regard to case; the first occurrence of a key in a section counts).
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace data_test {

std::string ReadFile(const std::string& path);

// The lines of a lookup-list file, split as the program splits them.
std::vector<std::string> LookupLines(const std::string& bytes);

struct LookupEntry {
  std::string key;
  std::string value;
};
// Key before the first tab, value after it (empty when the line has no tab).
LookupEntry SplitLookupLine(const std::string& line);

class IniFile {
 public:
  explicit IniFile(const std::string& bytes);
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // Section names as written, in file order.
  const std::vector<std::string>& Sections() const { return sections_; }

 private:
  std::vector<std::string> sections_;
  std::map<std::string, std::map<std::string, std::string>> values_;  // upper-case names
};

std::string Upper(std::string text);
bool IsIdentifier(const std::string& name);
bool IsWholeNumber(const std::string& text);

}  // namespace data_test
