#include "captures.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/test_env.h"

namespace test {

std::string Capture(const std::string& name) {
  const std::string path = SourceDir() + "/tests/data/captures/" + name + ".bin";
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr) << "missing capture " << path;
  if (!f) return bytes;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

std::string Joined(const std::string& first, const std::string& second) {
  return first + second.substr(10);
}

}  // namespace test
