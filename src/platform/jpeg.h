#pragma once
// Pictures from files: JPEG through libjpeg, everything else (the BMP fallback) through Qt.
#include <QImage>

#include <string>

namespace platform {

// Decodes a JPEG file with libjpeg. False (and a null image) when the file is missing, not
// a JPEG, or damaged; never raises and never aborts on bad data.
bool LoadJpeg(const std::string& nativePath, QImage& image);

// Decodes a JPEG held in memory; same rules.
bool DecodeJpeg(const unsigned char* data, size_t size, QImage& image);

// Loads a picture file by its Windows-style path below the program's directory: JPEG by
// libjpeg when the name ends in ".jpg" or ".jpeg", any other format by Qt.
bool LoadPicture(const std::string& windowsPath, QImage& image);

}  // namespace platform
