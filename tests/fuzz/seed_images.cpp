// Writes the seeds of the version-record harness into a folder: executable images of every
// kind the reader knows (ELF 32 and 64 bit in both byte orders, PE32 and PE32+), each with a
// version record, and the bare record itself. make_seeds.py runs it.
#include <cstdio>
#include <string>

#include "about/versionwriter.h"
#include "unit/about/executable_images.h"

namespace {

bool Write(const std::string& folder, const char* name, const test::images::Bytes& bytes) {
  const std::string path = folder + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  using namespace test::images;
  const std::string folder = argv[1];
  const Bytes record = about::record::Build(UsualLayout(0x3F, 0x0A));
  bool ok = Write(folder, "record", record);
  ok = Write(folder, "elf64_le", ElfImage(record)) && ok;
  ok = Write(folder, "elf64_be", ElfImage(record, {.wide = true, .bigEndian = true})) && ok;
  ok = Write(folder, "elf32_le", ElfImage(record, {.wide = false})) && ok;
  ok = Write(folder, "elf32_be", ElfImage(record, {.wide = false, .bigEndian = true})) && ok;
  ok = Write(folder, "pe32", PeImage(record)) && ok;
  ok = Write(folder, "pe32_plus", PeImage(record, {.plus = true})) && ok;
  ok = Write(folder, "pe32_version_first", PeImage(record, {.iconTypeFirst = false})) && ok;
  if (!ok) std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
