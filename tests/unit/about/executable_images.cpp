#include "unit/about/executable_images.h"

namespace test::images {
namespace {

class Out {
 public:
  explicit Out(bool big = false) : big_(big) {}
  Bytes bytes;
  void Int(uint64_t v, int width) {
    for (int i = 0; i < width; ++i) {
      const int shift = big_ ? (width - 1 - i) * 8 : i * 8;
      bytes.push_back(static_cast<uint8_t>((v >> shift) & 0xFF));
    }
  }
  void U16(uint64_t v) { Int(v, 2); }
  void U32(uint64_t v) { Int(v, 4); }
  void U64(uint64_t v) { Int(v, 8); }
  void Text(const std::string& s) {
    for (char c : s) bytes.push_back(static_cast<uint8_t>(c));
  }
  void Raw(const Bytes& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
  void PadTo(size_t size) {
    if (bytes.size() < size) bytes.resize(size, 0);
  }
  void Align(size_t n) { PadTo((bytes.size() + n - 1) / n * n); }
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>((v >> (i * 8)) & 0xFF);
  }

 private:
  bool big_;
};

}  // namespace

Bytes ElfImage(const Bytes& payload, const ElfOptions& o) {
  Out out(o.bigEndian);
  const size_t ehsize = o.wide ? 64 : 52;
  const size_t shentsize = o.wide ? 64 : 40;
  const std::string strtab = std::string("\0.text\0.shstrtab\0", 17) + o.section + std::string(1, '\0');
  const uint32_t nameText = 1, nameStrtab = 7, nameSection = 17;

  out.PadTo(ehsize);
  const size_t strtabOffset = out.bytes.size();
  out.Text(strtab);
  out.Align(4);
  const size_t payloadOffset = out.bytes.size();
  if (!o.nobits) out.Raw(payload);
  out.Align(8);
  const size_t shoff = out.bytes.size();

  auto section = [&](uint32_t name, uint32_t type, uint64_t offset, uint64_t size) {
    out.U32(name);
    out.U32(type);
    if (o.wide) {
      out.U64(2);  // flags: allocated
      out.U64(0);  // address
      out.U64(offset);
      out.U64(size);
      out.U32(0);
      out.U32(0);
      out.U64(4);
      out.U64(0);
    } else {
      out.U32(2);
      out.U32(0);
      out.U32(offset);
      out.U32(size);
      out.U32(0);
      out.U32(0);
      out.U32(4);
      out.U32(0);
    }
  };
  section(0, 0, 0, 0);
  section(nameText, 1, ehsize, 0);
  section(nameStrtab, 3, strtabOffset, strtab.size());
  section(nameSection, o.nobits ? 8 : 1, payloadOffset, payload.size());

  // The header, now that the offsets are known.
  Out h(o.bigEndian);
  h.Text("\x7F" "ELF");
  h.bytes.push_back(o.wide ? 2 : 1);
  h.bytes.push_back(o.bigEndian ? 2 : 1);
  h.bytes.push_back(1);
  h.PadTo(16);
  h.U16(2);                     // executable
  h.U16(o.wide ? 62 : 3);       // x86-64 / i386
  h.U32(1);
  if (o.wide) {
    h.U64(0);
    h.U64(0);
    h.U64(shoff);
  } else {
    h.U32(0);
    h.U32(0);
    h.U32(shoff);
  }
  h.U32(0);
  h.U16(ehsize);
  h.U16(0);
  h.U16(0);
  h.U16(shentsize);
  h.U16(4);  // sections
  h.U16(2);  // .shstrtab
  std::copy(h.bytes.begin(), h.bytes.end(), out.bytes.begin());
  return out.bytes;
}

Bytes PeImage(const Bytes& record, const PeOptions& o) {
  constexpr uint32_t kFileAlign = 0x200;
  constexpr uint32_t kRsrcRva = 0x2000;
  constexpr uint32_t kRsrcRaw = 0x400;

  // The resource section: root, icon directory, name directory, language directory,
  // data entry, then the record.
  Out r;
  auto directory = [&](std::vector<std::pair<uint32_t, uint32_t>> entries) {
    r.U32(0);
    r.U32(0);
    r.U16(4);
    r.U16(0);
    r.U16(0);
    r.U16(entries.size());
    for (auto [name, data] : entries) {
      r.U32(name);
      r.U32(data);
    }
  };
  const uint32_t sub = 0x80000000u;
  const uint32_t rootSize = 16 + (o.iconTypeFirst ? 16 : 8);
  const uint32_t iconDir = rootSize;
  const uint32_t nameDir = iconDir + (o.iconTypeFirst ? 16 : 0);
  const uint32_t langDir = nameDir + 24;
  const uint32_t dataEntry = langDir + 24;
  const uint32_t recordAt = dataEntry + 16;
  if (o.iconTypeFirst) {
    directory({{3, sub | iconDir}, {o.versionType, sub | nameDir}});
    directory({});
  } else {
    directory({{o.versionType, sub | nameDir}});
  }
  directory({{1, sub | langDir}});
  directory({{0x0409, dataEntry}});
  r.U32(kRsrcRva + recordAt);
  r.U32(record.size());
  r.U32(0);
  r.U32(0);
  r.Raw(record);
  const uint32_t rsrcSize = static_cast<uint32_t>(r.bytes.size());
  r.Align(kFileAlign);

  Out out;
  out.Text("MZ");
  out.PadTo(0x3C);
  out.U32(0x80);
  out.PadTo(0x80);
  out.Text(std::string("PE\0\0", 4));
  const uint16_t optionalSize = o.plus ? 240 : 224;
  out.U16(o.plus ? 0x8664 : 0x14C);
  out.U16(2);  // sections
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U16(optionalSize);
  out.U16(0x0102);
  const size_t optional = out.bytes.size();
  out.U16(o.plus ? 0x20B : 0x10B);
  out.PadTo(optional + (o.plus ? 108 : 92));
  out.U32(16);  // data directories
  for (int i = 0; i < 16; ++i) {
    out.U32(i == 2 ? kRsrcRva : 0);
    out.U32(i == 2 ? rsrcSize : 0);
  }
  out.PadTo(optional + optionalSize);
  auto section = [&](const char* name, uint32_t va, uint32_t vsize, uint32_t raw, uint32_t rawSize) {
    std::string n(name);
    n.resize(8, '\0');
    out.Text(n);
    out.U32(vsize);
    out.U32(va);
    out.U32(rawSize);
    out.U32(raw);
    out.U32(0);
    out.U32(0);
    out.U16(0);
    out.U16(0);
    out.U32(0x40000040);
  };
  section(".text", 0x1000, 0x10, 0x200, kFileAlign);
  section(".rsrc", kRsrcRva, rsrcSize, kRsrcRaw, static_cast<uint32_t>(r.bytes.size()));
  out.PadTo(0x200);
  out.Text(std::string(16, '\xC3'));
  out.PadTo(kRsrcRaw);
  out.Raw(r.bytes);
  return out.bytes;
}

about::record::Layout UsualLayout(uint32_t mask, uint32_t flags) {
  about::record::Layout layout;
  layout.fixed.fileVersionMS = about::record::MakeVersion(1, 2);
  layout.fixed.fileVersionLS = about::record::MakeVersion(3, 4);
  layout.fixed.fileFlagsMask = mask;
  layout.fixed.fileFlags = flags;
  layout.strings = {{"CompanyName", "Example Ltd"}, {"FileVersion", "1.2.3.4"}, {"ProductVersion", "1.2"}};
  layout.translations = {about::record::kEnglishWestern};
  return layout;
}

std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace test::images
