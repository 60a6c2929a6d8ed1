#include "platform/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

#include "platform/paths.h"

namespace platform {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}  // libjpeg's warnings are not shown to anybody

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

// Runs the decoder. Kept apart from anything with a destructor, since an error jumps out of it.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, const unsigned char* data, size_t size, QImage& image) {
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    image = QImage();
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  image = QImage(width, height, QImage::Format_RGB888);
  if (image.isNull()) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * static_cast<size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, rows, 1);
    uchar* out = image.scanLine(y);
    if (cmyk) {
      // Adobe writes CMYK inverted; this gives the colours every viewer shows.
      for (int x = 0; x < width; ++x) {
        const int k = row[static_cast<size_t>(x) * 4 + 3];
        for (int c = 0; c < 3; ++c) out[x * 3 + c] = static_cast<uchar>(row[static_cast<size_t>(x) * 4 + static_cast<size_t>(c)] * k / 255);
      }
    } else {
      std::copy(row.begin(), row.end(), out);
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

bool DecodeJpeg(const unsigned char* data, size_t size, QImage& image) {
  image = QImage();
  if (data == nullptr || size == 0) return false;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.output_message = OnMessage;
  return Decode(info, errors, data, size, image);
}

bool LoadJpeg(const std::string& nativePath, QImage& image) {
  image = QImage();
  std::ifstream file(nativePath, std::ios::binary);
  if (!file) return false;
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return DecodeJpeg(bytes.data(), bytes.size(), image);
}

bool LoadPicture(const std::string& windowsPath, QImage& image) {
  const std::string path = NativePath(windowsPath);
  if (EndsWithNoCase(path, ".jpg") || EndsWithNoCase(path, ".jpeg")) return LoadJpeg(path, image);
  image = QImage(QString::fromLocal8Bit(path.c_str()));
  return !image.isNull();
}

}  // namespace platform
