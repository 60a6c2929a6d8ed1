#pragma once
// Access to the files shipped in data/. The checks read them with the program's own readers
// (the INI layer, the settings description reader, the lookup list); only the raw bytes are
// read here.
#include <string>

namespace data_test {

std::string ReadFile(const std::string& path);

}  // namespace data_test
