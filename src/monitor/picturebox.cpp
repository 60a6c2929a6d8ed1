#include "monitor/picturebox.h"

#include <QPixmap>

#include <filesystem>

#include "platform/jpeg.h"
#include "platform/paths.h"

namespace monitor {

bool LoadPictureFile(const std::string& path, bool transparent, QImage& image) {
  QImage loaded;
  if (!platform::LoadPicture(path, loaded) || loaded.isNull()) return false;
  if (transparent) {
    loaded = loaded.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = loaded.pixel(0, loaded.height() - 1);
    for (int y = 0; y < loaded.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(loaded.scanLine(y));
      for (int x = 0; x < loaded.width(); ++x)
        if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  image = std::move(loaded);
  return true;
}

PictureBox::PictureBox(const char* name, int width, int height, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
  setFixedSize(width, height);
  setAlignment(Qt::AlignCenter);
}

bool PictureBox::StampOf(const std::string& path, Stamp& stamp) {
  std::error_code error;
  const std::filesystem::path file = platform::NativePath(path);
  stamp.size = std::filesystem::file_size(file, error);
  if (error) return false;
  stamp.modified = std::filesystem::last_write_time(file, error).time_since_epoch().count();
  return !error;
}

bool PictureBox::Load(const std::string& path, bool transparent) {
  hide();
  Stamp stamp;
  const bool stamped = StampOf(path, stamp);
  if (stamped && !path_.empty() && path == path_ && transparent == transparent_ && stamp == stamp_) {
    show();
    return true;
  }
  QImage image;
  if (!LoadPictureFile(path, transparent, image)) return false;
  image_ = image;
  path_ = path;
  transparent_ = transparent;
  stamp_ = stamped ? stamp : Stamp{};
  if (image.width() > width() || image.height() > height())
    image = image.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  setPixmap(QPixmap::fromImage(image));
  show();
  return true;
}

void PictureBox::Clear() {
  clear();
  image_ = QImage();
  path_.clear();
  transparent_ = false;
  stamp_ = Stamp{};
}

}  // namespace monitor
