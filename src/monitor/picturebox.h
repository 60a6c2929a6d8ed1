#pragma once
// A picture control as the monitor windows use it: a fixed box that shows a picture file
// centred, scaled down (keeping its proportions) when it is larger than the box. A
// transparent picture is drawn without the colour of its bottom-left pixel, the way Windows
// draws transparent bitmaps.
#include <QImage>
#include <QLabel>

#include <cstdint>
#include <string>

namespace monitor {

// Loads the picture at the Windows-style path; when `transparent`, every pixel of the
// bottom-left pixel's colour becomes fully transparent. False when it cannot be loaded.
bool LoadPictureFile(const std::string& path, bool transparent, QImage& image);

class PictureBox : public QLabel {
 public:
  PictureBox(const char* name, int width, int height, QWidget* parent);

  // Hides the box, loads the file and shows it again. On failure the box keeps its
  // previous picture, stays hidden, and false is returned. Every refresh of a monitor window
  // shows its map's picture anew: a file unchanged since it was shown last is not decoded
  // again.
  bool Load(const std::string& path, bool transparent);
  void Clear();

  // What is shown, for tests: the path of the last picture loaded and whether it was drawn
  // transparent; empty while the box shows nothing.
  const std::string& PicturePath() const { return path_; }
  bool Transparent() const { return transparent_; }
  const QImage& Picture() const { return image_; }

 private:
  // What identifies the file as it was when it was loaded: its size and modification time.
  struct Stamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const Stamp&) const = default;
  };
  static bool StampOf(const std::string& path, Stamp& stamp);

  std::string path_;
  bool transparent_ = false;
  Stamp stamp_;
  QImage image_;
};

}  // namespace monitor
