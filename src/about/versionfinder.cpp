#include "about/versionfinder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/ascii.h"

namespace about {
namespace {

// ---- little helpers over a ByteSource ------------------------------------------------------

class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& fileName) : in_(fileName, std::ios::binary) {
    if (!in_) return;
    in_.seekg(0, std::ios::end);
    const std::streamoff end = in_.tellg();
    if (end > 0) size_ = static_cast<uint64_t>(end);
  }
  bool IsOpen() const { return static_cast<bool>(in_); }
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, size_t length, uint8_t* out) const override {
    if (offset > size_ || length > size_ - offset) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(length));
    return in_.gcount() == static_cast<std::streamsize>(length);
  }

 private:
  mutable std::ifstream in_;
  uint64_t size_ = 0;
};

// Reads unsigned integers of 2, 4 or 8 bytes in either byte order.
class Reader {
 public:
  Reader(const ByteSource& source, bool bigEndian) : source_(&source), big_(bigEndian) {}
  bool U16(uint64_t at, uint32_t& v) const { return Int(at, 2, v); }
  bool U32(uint64_t at, uint32_t& v) const { return Int(at, 4, v); }
  bool U64(uint64_t at, uint64_t& v) const { return Int(at, 8, v); }
 private:
  template <class T>
  bool Int(uint64_t at, size_t width, T& v) const {
    std::array<uint8_t, 8> b{};
    if (!source_->Read(at, width, b.data())) return false;
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
      const size_t index = big_ ? i : width - 1 - i;
      value = (value << 8) | b[index];
    }
    v = static_cast<T>(value);
    return true;
  }
  const ByteSource* source_;
  bool big_;
};

bool Fits(const ByteSource& source, uint64_t offset, uint64_t length) {
  return offset <= source.Size() && length <= source.Size() - offset;
}

// ---- ELF --------------------------------------------------------------------------------

struct ElfSection {
  uint32_t name = 0;
  uint32_t type = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  uint32_t link = 0;
};

constexpr uint32_t kShtNobits = 8;
constexpr uint32_t kShnXindex = 0xFFFF;
constexpr uint32_t kMaxSections = 1u << 16;

class ElfFile {
 public:
  explicit ElfFile(const ByteSource& source) : source_(source), reader_(source, false) {}

  bool Open() {
    std::array<uint8_t, 16> ident{};
    if (!source_.Read(0, ident.size(), ident.data())) return false;
    if (ident[0] != 0x7F || ident[1] != 'E' || ident[2] != 'L' || ident[3] != 'F') return false;
    if (ident[4] != 1 && ident[4] != 2) return false;
    if (ident[5] != 1 && ident[5] != 2) return false;
    wide_ = ident[4] == 2;
    reader_ = Reader(source_, ident[5] == 2);
    uint32_t shnum = 0;
    uint32_t shstrndx = 0;
    if (wide_) {
      if (!reader_.U64(0x28, shoff_) || !reader_.U16(0x3A, shentsize_) || !reader_.U16(0x3C, shnum) ||
          !reader_.U16(0x3E, shstrndx))
        return false;
      if (shentsize_ < 64) return false;
    } else {
      uint32_t off32 = 0;
      if (!reader_.U32(0x20, off32) || !reader_.U16(0x2E, shentsize_) || !reader_.U16(0x30, shnum) ||
          !reader_.U16(0x32, shstrndx))
        return false;
      shoff_ = off32;
      if (shentsize_ < 40) return false;
    }
    if (shoff_ == 0) return false;
    // Extended numbering: section 0 holds the true count and string-table index.
    ElfSection first;
    if (!Section(0, first)) return false;
    shnum_ = shnum != 0 ? shnum : static_cast<uint32_t>(std::min<uint64_t>(first.size, kMaxSections));
    if (shnum_ > kMaxSections) shnum_ = kMaxSections;
    shstrndx_ = shstrndx == kShnXindex ? first.link : shstrndx;
    return shstrndx_ < shnum_;
  }

  std::optional<RecordLocation> Find(std::string_view wanted) const {
    ElfSection strings;
    if (!Section(shstrndx_, strings) || strings.type == kShtNobits) return std::nullopt;
    for (uint32_t i = 1; i < shnum_; ++i) {
      ElfSection s;
      if (!Section(i, s)) return std::nullopt;
      if (!NameIs(strings, s.name, wanted)) continue;
      if (s.type == kShtNobits || s.size == 0) return std::nullopt;
      return RecordLocation{s.offset, s.size};
    }
    return std::nullopt;
  }

 private:
  bool Section(uint32_t index, ElfSection& s) const {
    const uint64_t at = shoff_ + uint64_t{index} * shentsize_;
    if (at < shoff_ || !Fits(source_, at, shentsize_)) return false;
    if (wide_) {
      return reader_.U32(at, s.name) && reader_.U32(at + 4, s.type) && reader_.U64(at + 24, s.offset) &&
             reader_.U64(at + 32, s.size) && reader_.U32(at + 40, s.link);
    }
    uint32_t offset = 0;
    uint32_t size = 0;
    if (!reader_.U32(at, s.name) || !reader_.U32(at + 4, s.type) || !reader_.U32(at + 16, offset) ||
        !reader_.U32(at + 20, size) || !reader_.U32(at + 24, s.link))
      return false;
    s.offset = offset;
    s.size = size;
    return true;
  }

  bool NameIs(const ElfSection& strings, uint32_t name, std::string_view wanted) const {
    if (name >= strings.size || wanted.size() + 1 > strings.size - name) return false;
    std::vector<uint8_t> bytes(wanted.size() + 1);
    if (!source_.Read(strings.offset + name, bytes.size(), bytes.data())) return false;
    return bytes.back() == 0 && std::equal(wanted.begin(), wanted.end(), bytes.begin());
  }

  const ByteSource& source_;
  Reader reader_;
  bool wide_ = false;
  uint64_t shoff_ = 0;
  uint32_t shentsize_ = 0;
  uint32_t shnum_ = 0;
  uint32_t shstrndx_ = 0;
};

// ---- PE ---------------------------------------------------------------------------------

constexpr uint32_t kResourceTypeVersion = 16;
constexpr uint32_t kMaxPeSections = 96;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;

struct PeSection {
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
};

class PeFile {
 public:
  explicit PeFile(const ByteSource& source) : source_(source), reader_(source, false) {}

  std::optional<RecordLocation> Find() {
    uint32_t mz = 0;
    uint32_t lfanew = 0;
    if (!reader_.U16(0, mz) || mz != 0x5A4D || !reader_.U32(0x3C, lfanew)) return std::nullopt;
    uint32_t signature = 0;
    if (!reader_.U32(lfanew, signature) || signature != 0x00004550) return std::nullopt;
    const uint64_t coff = uint64_t{lfanew} + 4;
    uint32_t sectionCount = 0;
    uint32_t optionalSize = 0;
    if (!reader_.U16(coff + 2, sectionCount) || !reader_.U16(coff + 16, optionalSize)) return std::nullopt;
    const uint64_t optional = coff + 20;
    uint32_t magic = 0;
    if (!reader_.U16(optional, magic)) return std::nullopt;
    uint64_t directories = 0;
    uint64_t countAt = 0;
    if (magic == 0x10B) {
      countAt = optional + 92;
      directories = optional + 96;
    } else if (magic == 0x20B) {
      countAt = optional + 108;
      directories = optional + 112;
    } else {
      return std::nullopt;
    }
    uint32_t directoryCount = 0;
    if (!reader_.U32(countAt, directoryCount) || directoryCount <= 2) return std::nullopt;
    const uint64_t resourceEntry = directories + 2 * 8;
    if (resourceEntry + 8 > optional + optionalSize) return std::nullopt;
    uint32_t resourceRva = 0;
    if (!reader_.U32(resourceEntry, resourceRva) || resourceRva == 0) return std::nullopt;

    sectionTable_ = optional + optionalSize;
    sectionCount_ = std::min(sectionCount, kMaxPeSections);
    const std::optional<uint64_t> root = RvaToOffset(resourceRva, 16);
    if (!root) return std::nullopt;
    root_ = *root;

    // Type 16, then the first name, then the first language.
    std::optional<uint32_t> level = Entry(0, kResourceTypeVersion, true);
    if (!level || !(*level & kSubdirectoryBit)) return std::nullopt;
    level = Entry(*level & ~kSubdirectoryBit, 0, false);
    if (!level || !(*level & kSubdirectoryBit)) return std::nullopt;
    level = Entry(*level & ~kSubdirectoryBit, 0, false);
    if (!level || (*level & kSubdirectoryBit)) return std::nullopt;

    uint32_t dataRva = 0;
    uint32_t dataSize = 0;
    if (!reader_.U32(root_ + *level, dataRva) || !reader_.U32(root_ + *level + 4, dataSize) || dataSize == 0)
      return std::nullopt;
    const std::optional<uint64_t> data = RvaToOffset(dataRva, dataSize);
    if (!data) return std::nullopt;
    return RecordLocation{*data, dataSize};
  }

 private:
  // The file offset of `length` bytes at `rva`, when one section holds them all in the file.
  std::optional<uint64_t> RvaToOffset(uint32_t rva, uint32_t length) const {
    for (uint32_t i = 0; i < sectionCount_; ++i) {
      const uint64_t at = sectionTable_ + uint64_t{i} * 40;
      PeSection s;
      if (!reader_.U32(at + 8, s.virtualSize) || !reader_.U32(at + 12, s.virtualAddress) ||
          !reader_.U32(at + 16, s.rawSize) || !reader_.U32(at + 20, s.rawOffset))
        return std::nullopt;
      const uint64_t extent = std::max(s.virtualSize, s.rawSize);
      if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
      const uint64_t inSection = rva - s.virtualAddress;
      if (inSection + length > s.rawSize) return std::nullopt;
      const uint64_t offset = uint64_t{s.rawOffset} + inSection;
      if (!Fits(source_, offset, length)) return std::nullopt;
      return offset;
    }
    return std::nullopt;
  }

  // In the resource directory at `directory` (relative to the resource root): the entry
  // with numeric id `id`, or with `byId` false the first entry. Returns its data field.
  std::optional<uint32_t> Entry(uint32_t directory, uint32_t id, bool byId) const {
    uint32_t named = 0;
    uint32_t numbered = 0;
    if (!reader_.U16(root_ + directory + 12, named) || !reader_.U16(root_ + directory + 14, numbered))
      return std::nullopt;
    const uint32_t count = named + numbered;
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t at = root_ + directory + 16 + uint64_t{i} * 8;
      uint32_t name = 0;
      uint32_t data = 0;
      if (!reader_.U32(at, name) || !reader_.U32(at + 4, data)) return std::nullopt;
      if (!byId || (!(name & kSubdirectoryBit) && name == id)) return data;
    }
    return std::nullopt;
  }

  const ByteSource& source_;
  Reader reader_;
  uint64_t sectionTable_ = 0;
  uint32_t sectionCount_ = 0;
  uint64_t root_ = 0;
};

// ---- records ----------------------------------------------------------------------------

uint16_t Get16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

size_t Align4(size_t v) { return (v + 3) & ~size_t{3}; }

// One node of a record, as far as it lies inside its parent.
struct Node {
  size_t start = 0;
  size_t end = 0;          // start + total length
  size_t valueStart = 0;   // 32-bit aligned after the key
  size_t valueSize = 0;    // bytes of the value inside the node
  size_t childrenStart = 0;
  bool text = false;
  std::u16string key;
};

std::optional<Node> ReadNode(std::span<const uint8_t> b, size_t start, size_t limit) {
  if (start > limit || limit - start < 6) return std::nullopt;
  Node n;
  n.start = start;
  const size_t length = Get16(b, start);
  if (length < 6 || length > limit - start) return std::nullopt;
  n.end = start + length;
  const size_t valueLength = Get16(b, start + 2);
  n.text = Get16(b, start + 4) == 1;
  size_t at = start + 6;
  bool terminated = false;
  while (at + 2 <= n.end) {
    const uint16_t c = Get16(b, at);
    at += 2;
    if (c == 0) {
      terminated = true;
      break;
    }
    n.key.push_back(static_cast<char16_t>(c));
  }
  if (!terminated) return std::nullopt;
  n.valueStart = std::min(Align4(at), n.end);
  const size_t room = n.end - n.valueStart;
  n.valueSize = std::min(n.text ? valueLength * 2 : valueLength, room);
  n.childrenStart = std::min(Align4(n.valueStart + n.valueSize), n.end);
  return n;
}

bool KeyMatches(const std::u16string& key, std::string_view wanted) {
  if (key.size() != wanted.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    // Keys are ASCII; a UTF-16 unit beyond it matches only itself.
    const char16_t unit = key[i];
    const char c = wanted[i];
    if (unit > 0x7F ? unit != static_cast<unsigned char>(c)
                    : platform::AsciiLower(static_cast<char>(unit)) != platform::AsciiLower(c))
      return false;
  }
  return true;
}

std::optional<Node> FindChild(std::span<const uint8_t> b, const Node& parent, std::string_view key) {
  size_t at = parent.childrenStart;
  while (at < parent.end) {
    const std::optional<Node> child = ReadNode(b, at, parent.end);
    if (!child) return std::nullopt;
    if (KeyMatches(child->key, key)) return child;
    at = Align4(child->end);
  }
  return std::nullopt;
}

}  // namespace

bool MemorySource::Read(uint64_t offset, size_t length, uint8_t* out) const {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
  if (length > 0) std::memcpy(out, bytes_.data() + offset, length);
  return true;
}

std::optional<RecordLocation> FindElfRecord(const ByteSource& source) {
  ElfFile elf(source);
  if (!elf.Open()) return std::nullopt;
  return elf.Find(kVersionSectionName);
}

std::optional<RecordLocation> FindPeRecord(const ByteSource& source) { return PeFile(source).Find(); }

std::optional<RecordLocation> FindVersionRecord(const ByteSource& source) {
  if (std::optional<RecordLocation> elf = FindElfRecord(source)) return elf;
  return FindPeRecord(source);
}

uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t& handle) {
  handle = 0;
  FileSource file(fileName);
  if (!file.IsOpen()) return 0;
  const std::optional<RecordLocation> where = FindVersionRecord(file);
  if (!where) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(where->size, 0x7FFFFFFF));
}

bool GetFileVersionInfo(const std::string& fileName, uint32_t /*handle*/, uint32_t size, uint8_t* data) {
  if (size == 0 || size > kMaxRecordSize || data == nullptr) return false;
  FileSource file(fileName);
  if (!file.IsOpen()) return false;
  const std::optional<RecordLocation> where = FindVersionRecord(file);
  if (!where || where->size < size) return false;
  if (!file.Read(where->offset, size, data)) return false;
  const std::span<const uint8_t> record(data, size);
  const std::optional<Node> root = ReadNode(record, 0, record.size());
  return root && KeyMatches(root->key, "VS_VERSION_INFO");
}

bool VerQueryValue(std::span<const uint8_t> record, std::string_view path, VerValue& value) {
  std::optional<Node> node = ReadNode(record, 0, record.size());
  if (!node) return false;
  size_t pos = 0;
  while (pos < path.size()) {
    const size_t next = std::min(path.find('\\', pos), path.size());
    const std::string_view key = path.substr(pos, next - pos);
    pos = next + 1;
    if (key.empty()) continue;
    node = FindChild(record, *node, key);
    if (!node) return false;
  }
  value.data = record.data() + node->valueStart;
  value.text = node->text;
  // Writers disagree whether a text's length counts characters or bytes, so a text may
  // take the rest of its node, unless the node has children (a table, not a string).
  const bool hasChildren = node->childrenStart < node->end && ReadNode(record, node->childrenStart, node->end);
  value.size = node->text && !hasChildren ? node->end - node->valueStart : node->valueSize;
  return true;
}

std::u16string VerValueText(const VerValue& value) {
  std::u16string text;
  if (value.data == nullptr) return text;
  const std::span<const uint8_t> bytes(value.data, value.size);
  for (size_t at = 0; at + 2 <= bytes.size(); at += 2) {
    const uint16_t c = Get16(bytes, at);
    if (c == 0) break;
    text.push_back(static_cast<char16_t>(c));
  }
  return text;
}

}  // namespace about
