#pragma once
// Small executable files made by the tests: ELF files with a section of our choosing and
// Windows PE files with a resource directory, each carrying a version record.
#include <cstdint>
#include <string>
#include <vector>

#include "about/versionwriter.h"

namespace test::images {

using Bytes = std::vector<uint8_t>;

struct ElfOptions {
  bool wide = true;        // ELF64; false: ELF32
  bool bigEndian = false;
  std::string section = ".corvane_verinfo";
  bool nobits = false;     // the section occupies no file space
};

struct PeOptions {
  bool plus = false;               // PE32+; false: PE32
  uint32_t versionType = 16;       // the resource type the record is filed under
  bool iconTypeFirst = true;       // an empty icon directory before it, to be passed over
};

Bytes ElfImage(const Bytes& payload, const ElfOptions& options = {});
Bytes PeImage(const Bytes& record, const PeOptions& options = {});

// A record of the usual shape: fixed block with the flags given, file version 1.2.3.4,
// strings in table "040904E4", translation 0x0409/0x04E4.
about::record::Layout UsualLayout(uint32_t mask = 0x3F, uint32_t flags = 0);

std::string AsString(const Bytes& bytes);

}  // namespace test::images
