#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/jpeg.h"
#include "support/test_env.h"

namespace {

// A small JPEG made with libjpeg's own encoder.
std::string MakeJpeg(int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3, 200);
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return bytes;
}

TEST(Jpeg, DecodesAJpegFoundByItsWindowsPath) {
  test::ScopedProgramDir dir;
  dir.Write("levels/Quake3/q3dm17.jpg", MakeJpeg(128, 96));
  QImage image;
  ASSERT_TRUE(platform::LoadPicture("levels\\Quake3\\q3dm17.jpg", image));
  EXPECT_EQ(image.size(), QSize(128, 96));
}

TEST(Jpeg, RefusesMissingDamagedAndForeignFilesWithoutAborting) {
  test::ScopedProgramDir dir;
  QImage image;
  EXPECT_FALSE(platform::LoadPicture("levels\\Quake3\\none.jpg", image));
  dir.Write("text.jpg", "this is not a picture");
  EXPECT_FALSE(platform::LoadPicture("text.jpg", image));
  std::string truncated = MakeJpeg(64, 64);
  truncated.resize(truncated.size() / 3);
  dir.Write("cut.jpg", truncated);
  platform::LoadPicture("cut.jpg", image);  // decodes what it can or refuses; never crashes
  EXPECT_FALSE(platform::DecodeJpeg(nullptr, 0, image));
  EXPECT_TRUE(image.isNull());
}

}  // namespace
