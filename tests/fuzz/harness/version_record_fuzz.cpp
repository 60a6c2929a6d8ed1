// The version-record reader, two ways at once: the input as a whole file (an ELF or PE image,
// written to a scratch file and read as the About box reads the program), and the input as a
// record itself, walked with every path the program asks for.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <span>
#include <string>

#include "about/verinfo.h"
#include "about/versionfinder.h"
#include "fuzz_support.h"

namespace {

std::string g_file;  // the scratch file, made once

void WriteScratch(const uint8_t* data, size_t size) {
  const int fd = ::open(g_file.c_str(), O_WRONLY | O_TRUNC);
  FUZZ_CHECK(fd >= 0);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    FUZZ_CHECK(n > 0);
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

void ReadAsProgram() {
  try {
    const TVerInfoRes info(g_file);
    FUZZ_CHECK(info.Size() > 0 && static_cast<size_t>(info.Size()) == info.Data().size());
    for (int key = 0; key < 10; ++key) (void)info.GetVersionString(static_cast<TVerInfoKey>(key));
    (void)info.FixedInfo();
    FUZZ_CHECK(info.FileFlags().size() <= 4);
  } catch (const platform::Exception&) {
    // No record, or not one the About box can show: it says so.
  }
}

void WalkRecord(std::span<const uint8_t> record) {
  static const char* const kPaths[] = {
      "\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion",
      "\\StringFileInfo\\040904E4\\CompanyName", "\\StringFileInfo\\040904E4", "\\StringFileInfo",
      "\\\\VarFileInfo\\\\", "\\StringFileInfo\\040904b0\\ProductName",
  };
  for (const char* path : kPaths) {
    about::VerValue value;
    if (!about::VerQueryValue(record, path, value)) continue;
    // What a query returns lies inside the record.
    FUZZ_CHECK(value.data >= record.data() && value.data + value.size <= record.data() + record.size());
    (void)about::VerValueText(value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("TMPDIR");
  std::string name = std::string(dir && *dir ? dir : "/tmp") + "/corvane-fuzz-version-XXXXXX";
  const int fd = ::mkstemp(name.data());
  FUZZ_CHECK(fd >= 0);
  ::close(fd);
  g_file = name;
  std::atexit([] { ::unlink(g_file.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const about::MemorySource source(bytes);
  // An ELF section may claim more than the file holds: the size query then reports it and
  // the read of the record fails, as the About box shows.
  const std::optional<about::RecordLocation> where = about::FindVersionRecord(source);
  if (where && where->offset <= size && where->size <= size - where->offset)
    WalkRecord(bytes.subspan(static_cast<size_t>(where->offset), static_cast<size_t>(where->size)));
  WalkRecord(bytes);
  WriteScratch(data, size);
  ReadAsProgram();
  return 0;
}
