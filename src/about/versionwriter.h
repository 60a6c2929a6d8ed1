#pragma once
// Writing version records (VS_VERSIONINFO) in the layout Windows executables carry them:
// nested nodes, each a 16-bit total length, a 16-bit value length, a 16-bit type (0 binary,
// 1 text), a zero-terminated UTF-16 key, padding to 32 bits, the value, padding to 32 bits,
// then the child nodes. Everything is little-endian. Every function here is constexpr, so
// the program's own record is built while compiling (ownversion.cpp), and tests build
// records of any shape with the same code.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace about::record {

// The fixed file information block (VS_FIXEDFILEINFO): thirteen 32-bit words.
inline constexpr uint32_t kFixedSignature = 0xFEEF04BD;
inline constexpr size_t kFixedInfoSize = 52;

struct FixedInfo {
  uint32_t signature = kFixedSignature;
  uint32_t structVersion = 0x00010000;
  uint32_t fileVersionMS = 0;
  uint32_t fileVersionLS = 0;
  uint32_t productVersionMS = 0;
  uint32_t productVersionLS = 0;
  uint32_t fileFlagsMask = 0x3F;
  uint32_t fileFlags = 0;
  uint32_t fileOS = 0x00040004;  // 32-bit Windows on NT
  uint32_t fileType = 1;         // application
  uint32_t fileSubtype = 0;
  uint32_t fileDateMS = 0;
  uint32_t fileDateLS = 0;
};

constexpr uint32_t MakeVersion(uint16_t high, uint16_t low) { return (uint32_t{high} << 16) | low; }

class Writer {
 public:
  std::vector<uint8_t> bytes;

  // Starts a node at the next 32-bit boundary; returns its offset for the calls below.
  constexpr size_t Begin(std::string_view key, uint16_t type) {
    Align();
    const size_t node = bytes.size();
    Put16(0);  // total length, set by End
    Put16(0);  // value length, set by the value
    Put16(type);
    for (char c : key) Put16(static_cast<uint8_t>(c));
    Put16(0);
    Align();
    return node;
  }

  // A binary value; its length counts bytes.
  constexpr void Binary(size_t node, const std::vector<uint8_t>& value) {
    Set16(node + 2, static_cast<uint16_t>(value.size()));
    for (uint8_t b : value) bytes.push_back(b);
  }

  // A text value with its terminating zero; its length counts UTF-16 units, the zero too.
  // Each byte of `text` becomes one unit (Latin-1), enough for the texts records carry.
  constexpr void Text(size_t node, std::string_view text) {
    for (char c : text) Put16(static_cast<uint8_t>(c));
    Put16(0);
    Set16(node + 2, static_cast<uint16_t>(text.size() + 1));
  }

  constexpr void Text16(size_t node, std::u16string_view text) {
    for (char16_t c : text) Put16(static_cast<uint16_t>(c));
    Put16(0);
    Set16(node + 2, static_cast<uint16_t>(text.size() + 1));
  }

  // Ends a node: its length covers everything from its start, children included.
  constexpr void End(size_t node) { Set16(node, static_cast<uint16_t>(bytes.size() - node)); }

  constexpr void Align() {
    while (bytes.size() % 4 != 0) bytes.push_back(0);
  }
  constexpr void Put16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  constexpr void Set16(size_t at, uint16_t v) {
    bytes[at] = static_cast<uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(v >> 8);
  }
};

constexpr std::vector<uint8_t> FixedInfoBytes(const FixedInfo& f) {
  std::vector<uint8_t> out;
  const uint32_t words[] = {f.signature,        f.structVersion,   f.fileVersionMS, f.fileVersionLS, f.productVersionMS,
                            f.productVersionLS, f.fileFlagsMask,   f.fileFlags,     f.fileOS,        f.fileType,
                            f.fileSubtype,      f.fileDateMS,      f.fileDateLS};
  for (uint32_t w : words)
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((w >> shift) & 0xFF));
  return out;
}

struct StringEntry {
  std::string_view name;
  std::string_view value;
};

// A whole record: the fixed block, one string table under `tableKey` ("040904E4") and,
// when translations are given, the translation table (language in the low 16 bits of each
// entry, code page in the high 16 bits, as the table stores them).
struct Layout {
  FixedInfo fixed;
  std::string_view tableKey = "040904E4";
  std::vector<StringEntry> strings;
  std::vector<uint32_t> translations;
};

constexpr std::vector<uint8_t> Build(const Layout& layout) {
  Writer w;
  const size_t root = w.Begin("VS_VERSION_INFO", 0);
  w.Binary(root, FixedInfoBytes(layout.fixed));
  w.Align();

  const size_t sfi = w.Begin("StringFileInfo", 1);
  const size_t table = w.Begin(layout.tableKey, 1);
  for (const StringEntry& s : layout.strings) {
    const size_t entry = w.Begin(s.name, 1);
    w.Text(entry, s.value);
    w.End(entry);
  }
  w.End(table);
  w.End(sfi);

  if (!layout.translations.empty()) {
    const size_t vfi = w.Begin("VarFileInfo", 1);
    const size_t var = w.Begin("Translation", 0);
    std::vector<uint8_t> value;
    for (uint32_t t : layout.translations)
      for (int shift = 0; shift < 32; shift += 8) value.push_back(static_cast<uint8_t>((t >> shift) & 0xFF));
    w.Binary(var, value);
    w.End(var);
    w.End(vfi);
  }
  w.End(root);
  return w.bytes;
}

// Language 0x0409 (U.S. English) with code page 1252, as a translation entry.
inline constexpr uint32_t kEnglishWestern = 0x04E40409;

}  // namespace about::record
