#include "platform/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "platform/ascii.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names match without regard to letter case: the index keeps them folded to lower case.
std::string Folded(std::string_view name) { return AsciiLowerCase(name); }

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// What one line of the file is, as the reader sees it.
struct Parsed {
  enum Kind { Other, Section, Key } kind = Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed, quotes still on
  size_t nameStart = 0;    // where the key name begins in the line
};

Parsed Parse(std::string_view text, bool firstLine) {
  // A byte-order mark left by an editor must not hide the first section.
  const std::string_view line = Trim(firstLine && text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text);
  Parsed p;
  if (line.empty() || line.front() == ';') return p;
  if (line.front() == '[') {
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return p;
    p.kind = Parsed::Section;
    p.name = Trim(line.substr(1, close - 1));
    return p;
  }
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return p;
  p.name = Trim(line.substr(0, eq));
  if (p.name.empty()) return p;
  p.kind = Parsed::Key;
  p.value = Trim(line.substr(eq + 1));
  p.nameStart = static_cast<size_t>(p.name.data() - text.data());
  return p;
}

// The reader drops one pair of matching quotes around a value.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// A value the reader would change (blanks at its ends, enclosing quotes) is written in quotes,
// so that it reads back as it was given.
std::string EncodeValue(std::string_view value) {
  const bool blankEnds = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  if (blankEnds || Unquote(value).size() != value.size()) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

bool ValidSectionName(std::string_view name) {
  return !name.empty() && !HasLineBreakOrNul(name) && name.find(']') == std::string_view::npos;
}

bool ValidKeyName(std::string_view name) {
  return !name.empty() && !HasLineBreakOrNul(name) && name.find('=') == std::string_view::npos && name.front() != ';' &&
         name.front() != '[';
}

testing::IniSaveHook& SaveHook() {
  static testing::IniSaveHook hook;
  return hook;
}

bool& SyncToDisk() {
  static bool sync = true;
  return sync;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Where the bytes of `file` really live: a symbolic link is followed, so that the rename
// replaces the file it points to and not the link.
std::string ResolveTarget(const std::string& file) {
  struct stat st{};
  if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return file;
  char* real = ::realpath(file.c_str(), nullptr);
  if (!real) return file;
  std::string target = real;
  std::free(real);
  return target;
}

bool SaveAtomically(const std::string& file, const std::string& bytes) {
  const std::string target = ResolveTarget(file);
  struct stat old{};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & S_IWUSR) == 0)) return false;

  const size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // mode 0600
  if (fd < 0) return false;

  const testing::IniSaveFault fault = SaveHook() ? SaveHook()(file) : testing::IniSaveFault::None;
  bool ok = fault != testing::IniSaveFault::FailWrite && WriteAll(fd, bytes);
  if (ok && exists) {
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Keeping the owner needs privileges; the file is still ours to write.
    }
  }
  ok = ok && (!SyncToDisk() || ::fsync(fd) == 0);
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  if (fault == testing::IniSaveFault::CrashBeforeRename) return false;  // the temporary file stays, as after a crash
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadFile(const std::string& file, std::string& bytes) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
  bytes.clear();
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return ReadStatus::Failed;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return ReadStatus::Ok;
}

}  // namespace

// ---- IniDocument ---------------------------------------------------------------------------

IniDocument IniDocument::FromBytes(std::string_view bytes) {
  IniDocument doc;
  doc.lines_.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      doc.lines_.push_back({std::string(bytes), ""});
      break;
    }
    std::string_view text = bytes.substr(0, lf);
    const bool crlf = !text.empty() && text.back() == '\r';
    if (crlf) text.remove_suffix(1);
    doc.lines_.push_back({std::string(text), crlf ? "\r\n" : "\n"});
    bytes.remove_prefix(lf + 1);
  }
  return doc;
}

std::string IniDocument::Bytes() const {
  std::string out;
  for (const Line& line : lines_) out += line.text + line.end;
  return out;
}

IniDocument IniDocument::Load(const std::string& file) {
  std::string bytes;
  return ReadFile(file, bytes) == ReadStatus::Ok ? FromBytes(bytes) : IniDocument();
}

std::optional<IniDocument> IniDocument::LoadForUpdate(const std::string& file) {
  std::string bytes;
  switch (ReadFile(file, bytes)) {
    case ReadStatus::Ok: return FromBytes(bytes);
    case ReadStatus::Missing: return IniDocument();
    case ReadStatus::Failed: break;
  }
  return std::nullopt;
}

bool IniDocument::Save(const std::string& file) const { return SaveAtomically(file, Bytes()); }

IniDocument::Index& IniDocument::Indexed() const {
  if (index_) return *index_;
  Index& index = index_.emplace();
  SectionIndex* first = nullptr;  // the section being read, when it is the first of its name
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Parsed p = Parse(lines_[i].text, i == 0);
    if (p.kind == Parsed::Section) {
      index.headers.push_back(i);
      SectionIndex& section = index.sections[Folded(p.name)];
      section.headers.push_back(i);
      first = section.headers.size() == 1 ? &section : nullptr;
    } else if (p.kind == Parsed::Key && first) {
      first->keys.try_emplace(Folded(p.name), i);
    }
  }
  return index;
}

void IniDocument::IndexKeys(const Index& index, SectionIndex& section) const {
  section.keys.clear();
  if (section.headers.empty()) return;
  const size_t header = section.headers.front();
  for (size_t i = header + 1; i < SectionEnd(index, header); ++i) {
    const Parsed p = Parse(lines_[i].text, false);
    if (p.kind == Parsed::Key) section.keys.try_emplace(Folded(p.name), i);
  }
}

size_t IniDocument::SectionEnd(const Index& index, size_t header) const {
  const auto next = std::upper_bound(index.headers.begin(), index.headers.end(), header);
  return next == index.headers.end() ? lines_.size() : *next;
}

std::vector<IniDocument::Range> IniDocument::Sections(std::string_view name) const {
  const Index& index = Indexed();
  std::vector<Range> found;
  const auto it = index.sections.find(Folded(name));
  if (it == index.sections.end()) return found;
  for (const size_t header : it->second.headers) found.push_back({header, SectionEnd(index, header)});
  return found;
}

std::optional<size_t> IniDocument::FindKey(std::string_view section, std::string_view key) const {
  // As on Windows, only the first section of a name counts.
  const Index& index = Indexed();
  const auto it = index.sections.find(Folded(section));
  if (it == index.sections.end()) return std::nullopt;
  const auto at = it->second.keys.find(Folded(key));
  if (at == it->second.keys.end()) return std::nullopt;
  return at->second;
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
  const auto at = FindKey(Trim(section), Trim(key));
  if (!at) return std::nullopt;
  return std::string(Unquote(Parse(lines_[*at].text, false).value));
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
  std::string value = Value(section, key).value_or(fallback);
  if (value.size() > kIniMaxValueLength) value.resize(kIniMaxValueLength);
  return value;
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  auto text = Value(section, key);
  if (!text) return fallback;
  if (text->size() > kIniMaxValueLength) text->resize(kIniMaxValueLength);
  int value = 0;
  return IniTextToInt(*text, value) ? value : fallback;
}

bool IniDocument::HasSection(std::string_view section) const { return Indexed().sections.count(Folded(Trim(section))) > 0; }

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Parsed p = Parse(lines_[i].text, i == 0);
    if (p.kind == Parsed::Section) names.emplace_back(p.name);
  }
  return names;
}

void IniDocument::EnsureLastLineEnds() {
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = "\r\n";
}

bool IniDocument::Write(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (!ValidSectionName(section) || !ValidKeyName(key) || HasLineBreakOrNul(value)) return false;
  const std::string encoded = EncodeValue(value);
  if (const auto at = FindKey(section, key)) {
    // Replaced on its own line; the name keeps the spelling the file gives it, so the index
    // stays as it is.
    Line& line = lines_[*at];
    const Parsed p = Parse(line.text, false);
    line.text = line.text.substr(0, p.nameStart) + std::string(p.name) + "=" + encoded;
    line.end = "\r\n";
    return true;
  }
  const auto ranges = Sections(section);
  LinesChanged();
  if (ranges.empty()) {
    EnsureLastLineEnds();
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({"", "\r\n"});
    lines_.push_back({"[" + std::string(section) + "]", "\r\n"});
    lines_.push_back({std::string(key) + "=" + encoded, "\r\n"});
    return true;
  }
  const Range& range = ranges.front();
  size_t after = range.header;
  for (size_t i = range.header + 1; i < range.end; ++i)
    if (Parse(lines_[i].text, false).kind == Parsed::Key) after = i;
  if (lines_[after].end.empty()) lines_[after].end = "\r\n";
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), Line{std::string(key) + "=" + encoded, "\r\n"});
  return true;
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key) {
  const auto at = FindKey(Trim(section), Trim(key));
  if (!at) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
  LinesChanged();
  return true;
}

bool IniDocument::DeleteSection(std::string_view section) {
  const auto ranges = Sections(Trim(section));
  for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->header), lines_.begin() + static_cast<std::ptrdiff_t>(it->end));
  if (ranges.empty()) return false;
  LinesChanged();
  return true;
}

bool IniDocument::RenameSection(std::string_view from, std::string_view to) {
  to = Trim(to);
  if (!ValidSectionName(to)) return false;
  // Only section lines change, so the index is brought along instead of built anew: renaming
  // every section of a long file one by one stays linear.
  Index& index = Indexed();
  const auto found = index.sections.find(Folded(Trim(from)));
  if (found == index.sections.end()) return false;
  const std::vector<size_t> moved = std::move(found->second.headers);
  index.sections.erase(found);
  for (const size_t header : moved) lines_[header] = {"[" + std::string(to) + "]", "\r\n"};
  SectionIndex& target = index.sections[Folded(to)];
  std::vector<size_t> headers;
  headers.reserve(target.headers.size() + moved.size());
  std::merge(target.headers.begin(), target.headers.end(), moved.begin(), moved.end(), std::back_inserter(headers));
  target.headers = std::move(headers);
  IndexKeys(index, target);
  return true;
}

// ---- One call, one file access -------------------------------------------------------------

bool IniTextToInt(const std::string& text, int& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return TryStrToInt("$" + text.substr(2), value);
  return TryStrToInt(text, value);
}

std::string IniReadString(const std::string& section, const std::string& key, const std::string& fallback,
                          const std::string& file) {
  return IniDocument::Load(file).ReadString(section, key, fallback);
}

int IniReadInteger(const std::string& section, const std::string& key, int fallback, const std::string& file) {
  return IniDocument::Load(file).ReadInteger(section, key, fallback);
}

bool IniWriteString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
  auto doc = IniDocument::LoadForUpdate(file);
  return doc && doc->Write(section, key, value) && doc->Save(file);
}

bool IniDeleteKey(const std::string& section, const std::string& key, const std::string& file) {
  auto doc = IniDocument::LoadForUpdate(file);
  if (!doc) return false;
  return !doc->DeleteKey(section, key) || doc->Save(file);
}

bool IniDeleteSection(const std::string& section, const std::string& file) {
  auto doc = IniDocument::LoadForUpdate(file);
  if (!doc) return false;
  return !doc->DeleteSection(section) || doc->Save(file);
}

void RaiseIniWriteError(const std::string& file) {
  throw EIniFileException(FormatMessage("Unable to write to %s", PathToAnsi(file)));
}

void IniWriteStringOrRaise(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file) {
  if (!IniWriteString(section, key, value, file)) RaiseIniWriteError(file);
}

namespace testing {
void SetIniSaveHook(IniSaveHook hook) { SaveHook() = std::move(hook); }
void SetIniSyncToDisk(bool sync) { SyncToDisk() = sync; }
}  // namespace testing

}  // namespace platform
