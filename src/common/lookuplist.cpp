#include "common/lookuplist.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/ascii.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace {

constexpr std::size_t kMaxField = 255;
constexpr char kCtrlZ = 26;

std::string_view Cut(std::string_view text) { return text.substr(0, kMaxField); }

void AddLine(TLookupList& list, std::string_view line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos)
    list.Append(line, {});
  else
    list.Append(line.substr(0, tab), line.substr(tab + 1));
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TLookupList::~TLookupList() { Clear(); }

TLookupList::TLookupList(TLookupList&& other) noexcept : first_(other.first_), last_(other.last_) {
  other.first_ = other.last_ = nullptr;
}

TLookupList& TLookupList::operator=(TLookupList&& other) noexcept {
  if (this != &other) {
    Clear();
    first_ = other.first_;
    last_ = other.last_;
    other.first_ = other.last_ = nullptr;
  }
  return *this;
}

std::size_t TLookupList::Size() const {
  std::size_t n = 0;
  for (const TLookupEntry* e = first_; e; e = e->Next) ++n;
  return n;
}

void TLookupList::Append(std::string_view key, std::string_view value) {
  auto* entry = new TLookupEntry{std::string(Cut(key)), std::string(Cut(value)), nullptr};
  if (last_)
    last_->Next = entry;
  else
    first_ = entry;
  last_ = entry;
}

void TLookupList::Clear() {
  // Iterative, so a list of any length is released without deep recursion.
  TLookupEntry* e = first_;
  while (e) {
    TLookupEntry* next = e->Next;
    delete e;
    e = next;
  }
  first_ = last_ = nullptr;
}

void LoadLookupListFromText(TLookupList& list, std::string_view text) {
  list.Clear();
  const std::size_t eof = text.find(kCtrlZ);
  if (eof != std::string_view::npos) text = text.substr(0, eof);
  while (!text.empty()) {
    const std::size_t cr = text.find('\r');
    if (cr == std::string_view::npos) {
      AddLine(list, text);
      break;
    }
    AddLine(list, text.substr(0, cr));
    text.remove_prefix(cr + 1);
    if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
  }
}

void LoadLookupList(TLookupList& list, const std::string& fileName) {
  list.Clear();
  const std::string path = platform::NativePath(fileName);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return;
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    bytes.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  if (std::ferror(file.get())) {
    // A folder opens but cannot be read: that is a file that cannot be opened.
    if (errno == EISDIR) return;
    throw platform::Exception("I/O error reading " + path + ": " + std::strerror(errno));
  }
  LoadLookupListFromText(list, bytes);
}

void FreeLookupList(TLookupList& list) { list.Clear(); }

std::string FindLookupValue(const TLookupList& list, std::string_view key) {
  for (const TLookupEntry& e : list)
    if (platform::SameTextNoCase(e.Key, key)) return e.Value;
  return {};
}
