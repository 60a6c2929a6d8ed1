#include "platform/jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "platform/ascii.h"
#include "platform/paths.h"

namespace platform {
namespace {

// What libjpeg may allocate for one picture besides its rows (the coefficients of a
// progressive picture): enough for the largest picture taken.
constexpr long kMaxDecoderMemory = 256L << 20;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}  // libjpeg's warnings are not shown to anybody

// A progressive picture of endless scans would keep the window busy for as long as it has them.
void OnProgress(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxPictureScans) OnError(info);
}

bool Fits(const jpeg_decompress_struct& info) {
  constexpr auto kMax = static_cast<JDIMENSION>(kMaxPictureSide);
  return info.image_width > 0 && info.image_height > 0 && info.image_width <= kMax && info.image_height <= kMax;
}

// A function of its own, so that the temporary picture is gone before libjpeg runs again.
bool Allocate(QImage& image, int width, int height) {
  image = QImage(width, height, QImage::Format_RGB888);
  return !image.isNull();
}

void ConvertRow(const JSAMPLE* row, uchar* out, int width, bool cmyk) {
  if (!cmyk) {
    std::copy(row, row + static_cast<ptrdiff_t>(width) * 3, out);
    return;
  }
  // Adobe writes CMYK inverted; this gives the colours every viewer shows.
  for (int x = 0; x < width; ++x) {
    const JSAMPLE* pixel = row + static_cast<ptrdiff_t>(x) * 4;
    for (int c = 0; c < 3; ++c) out[x * 3 + c] = static_cast<uchar>(pixel[c] * pixel[3] / 255);
  }
}

// The decoder proper. libjpeg reports an error by jumping back to the setjmp below, over every
// frame in between, so no object with a destructor lives here or below it: the row buffer is
// libjpeg's own (it goes with the decompressor) and the picture is the caller's.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, jpeg_progress_mgr& progress, const unsigned char* data,
            size_t size, QImage& image) {
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress;
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  // Refused on what the header claims, before anything is allocated for the picture.
  if (!Fits(info)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const auto width = static_cast<int>(info.output_width);
  if (!Allocate(image, width, static_cast<int>(info.output_height))) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.output_width * static_cast<JDIMENSION>(info.output_components), 1);
  while (info.output_scanline < info.output_height) {
    const auto y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, row, 1);
    ConvertRow(row[0], image.scanLine(y), width, cmyk);
  }
  // Every row is there; what the file holds after them (the end marker, or damage) is not
  // needed for the picture and is not read.
  jpeg_destroy_decompress(&info);
  return true;
}

// The bytes of a picture file; false for a file that is missing, not a plain file (a device or
// a pipe could block the window for ever), or larger than any picture taken.
bool ReadPictureFile(const std::string& nativePath, std::string& bytes) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
            static_cast<unsigned long long>(st.st_size) <= kMaxPictureFileBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) done += static_cast<size_t>(n);
    }
  }
  ::close(fd);
  return ok;
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
  jpeg_progress_mgr progress{};
  progress.progress_monitor = OnProgress;
  if (Decode(info, errors, progress, data, size, image)) return true;
  image = QImage();
  return false;
}

bool LoadJpeg(const std::string& nativePath, QImage& image) {
  image = QImage();
  std::string bytes;
  if (!ReadPictureFile(nativePath, bytes)) return false;
  return DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
}

bool LoadPicture(const std::string& windowsPath, QImage& image) {
  const std::string path = NativePath(windowsPath);
  if (EndsWithNoCase(path, ".jpg") || EndsWithNoCase(path, ".jpeg")) return LoadJpeg(path, image);
  image = QImage(QString::fromLocal8Bit(path.c_str()));
  return !image.isNull();
}

}  // namespace platform
