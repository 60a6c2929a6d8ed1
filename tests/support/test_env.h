#pragma once
// Scratch folders for tests.
#include <string>

class QColor;

namespace test {

// A fresh folder that is removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  // Writes a file below the folder (creating folders on the way) and returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
};

// A TempDir that is the program's directory (platform::CurrentDirectory) for its lifetime.
class ScopedProgramDir : public TempDir {
 public:
  ScopedProgramDir();
  ~ScopedProgramDir();

 private:
  std::string previous_;
};

// The source tree, for test data that is checked in (tests/data, data/).
std::string SourceDir();

// The bytes of a picture file of one colour, in the format Qt names ("JPG", "BMP", "PNG").
std::string ImageBytes(const char* format, int width, int height, QColor colour);

// A JPEG whose frame header claims another size than its picture data holds, as a damaged or
// hostile file does.
std::string WithJpegSize(std::string jpeg, int width, int height);

}  // namespace test
