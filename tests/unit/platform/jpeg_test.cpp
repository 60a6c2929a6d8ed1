#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

#include "platform/jpeg.h"
#include "support/test_env.h"

namespace {

// A small JPEG made with libjpeg's own encoder: baseline colour; or, with `bands`, grey and
// progressive in a DC scan and two scans (a first and a refinement) for each of that many AC
// coefficients.
std::string MakeJpeg(int width, int height, int bands = 0) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = bands > 0 ? 1 : 3;
  info.in_color_space = bands > 0 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 0}};
  for (int k = 1; k <= bands; ++k) scans.insert(scans.end(), {{1, {0}, k, k, 0, 1}, {1, {0}, k, k, 1, 0}});
  if (bands > 0) {
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

// A picture claiming more than any level or player picture is refused from its header, at once
// and without the gigabytes it claims (65279 x 65028: 12.7 GB; 16384 x 16384: 1.2 s, 800 MB), as
// is one of endless scans; one that goes on after its last row (which leaked a row buffer over
// libjpeg's longjmp) is taken whole.
TEST(Jpeg, HostilePicturesAreRefusedAtOnceOrTakenWhole) {
  std::string noEnd = MakeJpeg(64, 64);
  noEnd.resize(noEnd.size() - 2);  // the end marker
  constexpr int kMax = platform::kMaxPictureSide;
  const struct {
    std::string bytes;
    QSize size;  // (0, 0): refused
  } cases[] = {
      {test::WithJpegSize(MakeJpeg(16, 16, 1), 65279, 65028), {0, 0}},
      {test::WithJpegSize(MakeJpeg(16, 16), 16384, 16384), {0, 0}},
      {test::WithJpegSize(MakeJpeg(64, 8), kMax + 1, 8), {0, 0}},
      {test::WithJpegSize(MakeJpeg(64, 8), kMax, 8), {kMax, 8}},
      {noEnd + "\xFF\xD8", {64, 64}},                 // a second start marker
      {noEnd + MakeJpeg(8, 8).substr(2), {64, 64}},  // a second frame
      {MakeJpeg(16, 16, 30), {16, 16}},               // 61 scans
      {MakeJpeg(16, 16, 63), {0, 0}},                 // 127 scans
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& c : cases) {
    QImage image;
    EXPECT_EQ(platform::DecodeJpeg(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), image),
              !c.size.isEmpty());
    EXPECT_EQ(image.size(), c.size);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Only plain files of a picture's size are read: a pipe blocked the window until somebody wrote
// into it, and a file of gigabytes was read whole.
TEST(Jpeg, OnlyPlainFilesOfAPicturesSizeAreRead) {
  test::ScopedProgramDir dir;
  const std::string big = dir.Write("big.jpg", MakeJpeg(16, 16));
  ASSERT_EQ(::mkfifo((dir.Path() + "/pipe.jpg").c_str(), 0600), 0);
  std::filesystem::resize_file(big, platform::kMaxPictureFileBytes + 1);  // sparse: takes no room
  QImage image;
  EXPECT_FALSE(platform::LoadPicture("pipe.jpg", image));
  EXPECT_FALSE(platform::LoadPicture("big.jpg", image));
  std::filesystem::resize_file(big, platform::kMaxPictureFileBytes);
  EXPECT_TRUE(platform::LoadPicture("big.jpg", image));
}

}  // namespace
