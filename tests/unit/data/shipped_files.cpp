#include "shipped_files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace data_test {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> LookupLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\x1a') break;
    if (c == '\r') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    line += c;
    open = true;
  }
  if (open) lines.push_back(line);
  return lines;
}

LookupEntry SplitLookupLine(const std::string& line) {
  const size_t tab = line.find('\t');
  if (tab == std::string::npos) return {line, ""};
  return {line.substr(0, tab), line.substr(tab + 1)};
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

IniFile::IniFile(const std::string& bytes) {
  std::string current;
  bool inSection = false;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      current = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      sections_.push_back(current);
      inSection = true;
      continue;
    }
    const size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    auto& section = values_[Upper(current)];
    section.emplace(Upper(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)).substr(0, 1023));
  }
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
  const auto s = values_.find(Upper(section));
  if (s == values_.end()) return std::nullopt;
  const auto k = s->second.find(Upper(key));
  if (k == s->second.end()) return std::nullopt;
  return k->second;
}

bool IsIdentifier(const std::string& name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

bool IsWholeNumber(const std::string& text) {
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

}  // namespace data_test
