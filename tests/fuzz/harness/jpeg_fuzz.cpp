// The JPEG loader of level and player pictures: any bytes give a picture or a plain refusal.
#include <QImage>

#include "fuzz_support.h"
#include "platform/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QImage image;
  if (platform::DecodeJpeg(data, size, image)) {
    FUZZ_CHECK(!image.isNull() && image.width() > 0 && image.height() > 0);
    FUZZ_CHECK(image.format() == QImage::Format_RGB888);
  } else {
    FUZZ_CHECK(image.isNull());
  }
  return 0;
}
