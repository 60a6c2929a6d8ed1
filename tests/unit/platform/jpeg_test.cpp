#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/jpeg.h"
#include "support/test_env.h"

namespace {

// A small JPEG made with libjpeg's own encoder: colour and baseline, or grey and progressive
// with the given scans (libjpeg's usual ten when none are given).
std::string MakeJpeg(int width, int height, bool progressive = false, const std::vector<jpeg_scan_info>& scans = {}) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = progressive ? 1 : 3;
  info.in_color_space = progressive ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  if (progressive) jpeg_simple_progression(&info);
  if (!scans.empty()) {
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * static_cast<size_t>(info.input_components), 200);
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

// A grey progressive picture in `bands` scans of single AC coefficients, each refined once.
std::string ManyScans(int bands) {
  std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 0}};
  for (int k = 1; k <= bands; ++k) scans.push_back({1, {0}, k, k, 0, 1});
  for (int k = 1; k <= bands; ++k) scans.push_back({1, {0}, k, k, 1, 0});
  return MakeJpeg(16, 16, true, scans);
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

// Pictures that claim more than any level or player picture, or that go on after their last
// row, or come in endless scans. A refused picture is refused from its header, without the
// gigabytes it claims and at once; one whose rows are all there is taken whole.
TEST(Jpeg, HostilePicturesAreRefusedAtOnceOrTakenWhole) {
  std::string noEnd = MakeJpeg(64, 64);
  noEnd.resize(noEnd.size() - 2);  // the end marker
  const struct {
    const char* what;
    std::string bytes;
    QSize size;  // empty: refused
  } cases[] = {
      {"claims 65279 x 65028", test::WithJpegSize(MakeJpeg(16, 16, true), 65279, 65028), {}},
      {"claims 16384 x 16384", test::WithJpegSize(MakeJpeg(16, 16), 16384, 16384), {}},
      {"one pixel wider than allowed", test::WithJpegSize(MakeJpeg(64, 8), platform::kMaxPictureSide + 1, 8), {}},
      {"one pixel taller than allowed", test::WithJpegSize(MakeJpeg(8, 64), 8, platform::kMaxPictureSide + 1), {}},
      {"the widest allowed", test::WithJpegSize(MakeJpeg(64, 8), platform::kMaxPictureSide, 8), {platform::kMaxPictureSide, 8}},
      {"a second start marker after the scan", noEnd + "\xFF\xD8", {64, 64}},
      {"a second frame after the scan", noEnd + MakeJpeg(8, 8).substr(2), {64, 64}},
      {"junk after the scan", noEnd + std::string(100, '\x55'), {64, 64}},
      {"progressive in its usual scans", MakeJpeg(16, 16, true), {16, 16}},
      {"progressive in 41 scans", ManyScans(20), {16, 16}},
      {"progressive in 127 scans", ManyScans(63), {}},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QImage image;
    const bool ok = platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), image);
    EXPECT_EQ(ok, !c.size.isEmpty());
    EXPECT_EQ(image.size(), c.size.isEmpty() ? QSize(0, 0) : c.size);
    if (ok) {
      EXPECT_NEAR(qGreen(image.pixel(3, 3)), 200, 8);
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Only plain files of a picture's size are read: a pipe would block the window until somebody
// writes into it, and a file of gigabytes would be read whole.
TEST(Jpeg, OnlyPlainFilesOfAPicturesSizeAreRead) {
  test::ScopedProgramDir dir;
  const std::string good = MakeJpeg(16, 16);
  dir.Write("levels/pipe.txt", "");
  ASSERT_EQ(::mkfifo((dir.Path() + "/levels/pipe.jpg").c_str(), 0600), 0);
  std::filesystem::create_directories(dir.Path() + "/levels/folder.jpg");
  const std::string big = dir.Write("levels/big.jpg", good);
  std::filesystem::resize_file(big, platform::kMaxPictureFileBytes + 1);  // sparse: takes no room
  dir.Write("levels/fits.jpg", good);
  QImage image;
  for (const char* refused : {"levels\\pipe.jpg", "levels\\folder.jpg", "levels\\big.jpg"}) {
    EXPECT_FALSE(platform::LoadPicture(refused, image)) << refused;
    EXPECT_TRUE(image.isNull());
  }
  std::filesystem::resize_file(big, platform::kMaxPictureFileBytes);
  EXPECT_TRUE(platform::LoadPicture("levels\\big.jpg", image));
  EXPECT_TRUE(platform::LoadPicture("levels\\fits.jpg", image));
  EXPECT_EQ(image.size(), QSize(16, 16));
}

}  // namespace
