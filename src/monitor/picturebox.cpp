#include "monitor/picturebox.h"

#include <QPixmap>

#include "platform/jpeg.h"

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

bool PictureBox::Load(const std::string& path, bool transparent) {
  hide();
  QImage image;
  if (!LoadPictureFile(path, transparent, image)) return false;
  image_ = image;
  path_ = path;
  transparent_ = transparent;
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
}

}  // namespace monitor
