#pragma once
// Finding and reading the version record of a file, and looking values up in it: the three
// calls Windows offers for this (size query, read, value query), over the two executable
// formats a record can live in here:
// - ELF (32 and 64 bit, either byte order): the contents of the section ".corvane_verinfo",
//   which is where Corvane's own executable carries its record;
// - Windows PE executables and libraries (PE32 and PE32+): the first version resource
//   (resource type 16) of the resource directory.
// Files are read piece by piece with every offset checked against the file's size, so a
// truncated or hostile file only ever yields "no record".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace about {

inline constexpr const char* kVersionSectionName = ".corvane_verinfo";
// Records are small (a 16-bit length); anything beyond this is not read.
inline constexpr uint64_t kMaxRecordSize = 1u << 20;

// Random access to the bytes of a file or of a buffer.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads `length` bytes at `offset`; false (and nothing promised about `out`) when the range
  // is not wholly inside the source or the read fails.
  virtual bool Read(uint64_t offset, size_t length, uint8_t* out) const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, size_t length, uint8_t* out) const override;

 private:
  std::span<const uint8_t> bytes_;
};

// Where a record lies in a file.
struct RecordLocation {
  uint64_t offset = 0;
  uint64_t size = 0;
};

std::optional<RecordLocation> FindElfRecord(const ByteSource& source);
std::optional<RecordLocation> FindPeRecord(const ByteSource& source);
// Either of the two, by the file's signature.
std::optional<RecordLocation> FindVersionRecord(const ByteSource& source);

// The size of the file's version record in bytes, 0 when it has none or cannot be opened.
// `handle` is set to 0; it exists for the read below, as on Windows.
uint32_t GetFileVersionInfoSize(const std::string& fileName, uint32_t& handle);
// Reads the record into `data` (`size` bytes, as the size query gave it). False when the file
// changed in between, the record is larger than kMaxRecordSize or is not a version record
// (its root node must be "VS_VERSION_INFO" and fit inside `size`).
bool GetFileVersionInfo(const std::string& fileName, uint32_t handle, uint32_t size, uint8_t* data);

// A value found by VerQueryValue: where it starts inside the record, and how many bytes of
// it can be read. For a binary value that is its length (as far as its node holds it); for a
// text value of a string (a node without children) it is the rest of its node, which holds
// the text and its terminating zero.
struct VerValue {
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool text = false;
};

// Looks a path up in a record: "\" is the root's value (the fixed file information),
// "\VarFileInfo\Translation" the translation table, "\StringFileInfo\040904E4\FileVersion" a
// string. Keys match without regard to letter case, as on Windows.
bool VerQueryValue(std::span<const uint8_t> record, std::string_view path, VerValue& value);

// A text value's UTF-16 units up to its terminating zero (or the end of what it holds).
std::u16string VerValueText(const VerValue& value);

}  // namespace about
