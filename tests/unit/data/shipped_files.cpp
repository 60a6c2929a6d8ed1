#include "shipped_files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace data_test {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace data_test
