// The pictures compiled into the program and the question mark shipped beside it load, and
// have the sizes and formats the windows are laid out for.
#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QXmlStreamReader>

#include <cstdlib>
#include <string>

#include "shipped_files.h"
#include "support/test_env.h"

namespace {

// Bits per pixel from a BMP file's info header.
int BmpBitCount(const QByteArray& bytes) {
  if (bytes.size() < 30 || !bytes.startsWith("BM")) return -1;
  return static_cast<unsigned char>(bytes[28]) | (static_cast<unsigned char>(bytes[29]) << 8);
}

QByteArray Resource(const char* path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll();
}

// Share of the picture that differs from the colour c: an empty picture is a broken one.
double DrawnShare(const QImage& image, QRgb c) {
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xffffff) != (c & 0xffffff) && qAlpha(image.pixel(x, y)) > 0) ++drawn;
  return static_cast<double>(drawn) / (image.width() * image.height());
}

TEST(Artwork, FrameAndAboutPictures) {
  struct Expect {
    const char* path;
    int width, height, bits;
  };
  for (const Expect& e : {Expect{":/images/emblem.bmp", 140, 170, 8}, Expect{":/images/about_logo.bmp", 140, 170, 8},
                          Expect{":/images/banner.bmp", 600, 46, 24}}) {
    const QByteArray bytes = Resource(e.path);
    EXPECT_EQ(BmpBitCount(bytes), e.bits) << e.path;
    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes, "BMP")) << e.path;
    EXPECT_EQ(image.size(), QSize(e.width, e.height)) << e.path;
    EXPECT_GT(DrawnShare(image, qRgb(0, 0, 0)), 0.1) << e.path;
  }
  // Emblem and banner lie on the frame's black background: their borders must be black too.
  for (const char* path : {":/images/emblem.bmp", ":/images/banner.bmp"}) {
    const QImage image(path);
    for (const QPoint p : {QPoint(0, 0), QPoint(image.width() - 1, 0), QPoint(0, image.height() - 1),
                           QPoint(image.width() - 1, image.height() - 1)})
      EXPECT_EQ(image.pixel(p) & 0xffffff, 0u) << path;
  }
}

TEST(Artwork, IconsHaveTheirSizesAndClearCorners) {
  struct Expect {
    const char* path;
    int size;
  };
  for (const Expect& e : {Expect{":/images/toolbar/connect.png", 20}, Expect{":/images/toolbar/quickconnect.png", 20},
                          Expect{":/images/toolbar/remote.png", 20}, Expect{":/images/toolbar/board.png", 20},
                          Expect{":/images/toolbar/close.png", 20},
                          Expect{":/images/games/q3a.png", 16}, Expect{":/images/games/qw.png", 16},
                          Expect{":/images/games/q2.png", 16}}) {
    const QImage image(e.path);
    ASSERT_FALSE(image.isNull()) << e.path;
    EXPECT_EQ(image.size(), QSize(e.size, e.size)) << e.path;
    EXPECT_TRUE(image.hasAlphaChannel()) << e.path;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << e.path;
    EXPECT_GT(DrawnShare(image, 0), 0.2) << e.path;
  }
  const QImage icon(":/images/corvane.png");
  EXPECT_GE(icon.width(), 64);
  EXPECT_EQ(icon.width(), icon.height());
  EXPECT_TRUE(icon.hasAlphaChannel());
  // The two game emblems are told apart by colour: red for Quake 3 Arena, teal for Quake 2.
  const auto count = [](const char* path, auto test) {
    const QImage image(path);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qAlpha(image.pixel(x, y)) == 255 && test(QColor(image.pixel(x, y)))) ++n;
    return n;
  };
  const auto red = [](const QColor& c) { return c.red() > c.green() + 80 && c.red() > c.blue() + 80; };
  const auto teal = [](const QColor& c) { return c.green() > c.red() + 60 && c.blue() > c.red() + 60; };
  EXPECT_GE(count(":/images/games/q3a.png", red), 20);
  EXPECT_EQ(count(":/images/games/q3a.png", teal), 0);
  EXPECT_GE(count(":/images/games/q2.png", teal), 20);
  EXPECT_EQ(count(":/images/games/q2.png", red), 0);
}

// The application icon at the sizes of the desktop's icon theme (the 64-pixel one is the
// program's own), and as a scalable picture.
TEST(Artwork, DesktopIconsAtTheThemeSizesAndAScalableOne) {
  const std::string icons = test::SourceDir() + "/packaging/icons/hicolor/";
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string path = size == 64 ? test::SourceDir() + "/resources/images/corvane.png"
                                        : icons + std::to_string(size) + "x" + std::to_string(size) + "/apps/corvane.png";
    SCOPED_TRACE(path);
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_TRUE(image.hasAlphaChannel());
    for (const QPoint p : {QPoint(0, 0), QPoint(size - 1, 0)}) EXPECT_EQ(qAlpha(image.pixel(p)), 0);
    EXPECT_GT(DrawnShare(image, 0), 0.4) << "the crest fills its square";
    int red = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QColor c(image.pixel(x, y));
        if (qAlpha(image.pixel(x, y)) == 255 && c.red() > c.green() + 60 && c.red() > c.blue() + 60) ++red;
      }
    EXPECT_GT(red, size * size / 10) << "the red field";
  }

  QFile svg(QString::fromStdString(icons + "scalable/apps/corvane.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&svg);
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), QStringLiteral("svg"));
  EXPECT_EQ(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
  const QStringList box = xml.attributes().value("viewBox").toString().split(' ');
  ASSERT_EQ(box.size(), 4);
  EXPECT_EQ(box[2], box[3]) << "square";
  int shapes = 0;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && (xml.name() == QStringLiteral("path") || xml.name() == QStringLiteral("circle")))
      ++shapes;
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(shapes, 6) << "rim, field, raven, beak line, eye and its light";
}

TEST(Artwork, QuestionMarkHasAPlainKeyColour) {
  const std::string path = test::SourceDir() + "/data/players/Question.bmp";
  const QByteArray bytes = QByteArray::fromStdString(data_test::ReadFile(path));
  EXPECT_EQ(BmpBitCount(bytes), 24);
  QImage image;
  ASSERT_TRUE(image.loadFromData(bytes, "BMP"));
  ASSERT_EQ(image.size(), QSize(64, 64));
  // Shown with the bottom-left pixel's colour as the transparent key: the corners carry that
  // colour exactly, and the drawing itself never blends into it.
  const QRgb key = image.pixel(0, 63);
  for (const QPoint p : {QPoint(0, 0), QPoint(63, 0), QPoint(63, 63)}) EXPECT_EQ(image.pixel(p), key);
  EXPECT_NE(image.pixel(32, 32), key);
  const double drawn = DrawnShare(image, key);
  EXPECT_GT(drawn, 0.5);
  EXPECT_LT(drawn, 0.95);
  // Only the edge matters: a pixel next to the key that is almost the key's colour shows as a
  // halo around the drawing once the key is made transparent.
  const auto distance = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
  };
  int nearKey = 0;
  for (int y = 1; y < 63; ++y)
    for (int x = 1; x < 63; ++x) {
      const QRgb c = image.pixel(x, y);
      const bool touchesKey = image.pixel(x - 1, y) == key || image.pixel(x + 1, y) == key ||
                              image.pixel(x, y - 1) == key || image.pixel(x, y + 1) == key;
      if (c != key && touchesKey && distance(c, key) < 90) ++nearKey;
    }
  EXPECT_EQ(nearKey, 0) << "pixels blended into the key colour leave a fringe";
}

}  // namespace
