#include "support/test_env.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/paths.h"

namespace test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have made files read-only; give them back before removing.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& bytes) const {
  const std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return full.string();
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(std::filesystem::path(path_) / relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

ScopedProgramDir::ScopedProgramDir() : previous_(platform::CurrentDirectory()) { platform::SetCurrentDirectory(Path()); }
ScopedProgramDir::~ScopedProgramDir() { platform::SetCurrentDirectory(previous_); }

std::string SourceDir() { return CORVANE_SOURCE_DIR; }

std::string ImageBytes(const char* format, int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

std::string WithJpegSize(std::string jpeg, int width, int height) {
  // The frame header: its marker (baseline or progressive), length, precision, height, width.
  size_t at = jpeg.find("\xFF\xC0");
  if (at == std::string::npos) at = jpeg.find("\xFF\xC2");
  if (at == std::string::npos || at + 9 > jpeg.size()) return jpeg;
  const char size[] = {char(height >> 8), char(height), char(width >> 8), char(width)};
  jpeg.replace(at + 5, 4, size, 4);
  return jpeg;
}

}  // namespace test
