#pragma once
// Pictures from files: JPEG through libjpeg, everything else (the BMP fallback) through Qt.
#include <QImage>

#include <cstddef>
#include <string>

namespace platform {

// What a picture may ask for. Level and player pictures are 64 to 512 pixels a side; a header
// claiming more than this is refused before anything is allocated for it (a file of a hundred
// bytes can claim 65 000 x 65 000 pixels).
inline constexpr int kMaxPictureSide = 4096;
// Larger files are not read at all.
inline constexpr size_t kMaxPictureFileBytes = 32u << 20;
// Progressive pictures come in scans, real ones in about ten; more is refused.
inline constexpr int kMaxPictureScans = 100;

// Decodes a JPEG file with libjpeg. False (and a null image) when the file is missing, not a
// plain file, not a JPEG, damaged before its last row, or larger than the bounds above; never
// raises and never aborts on bad data. A picture whose rows are all there is taken even when
// what follows them is damaged.
bool LoadJpeg(const std::string& nativePath, QImage& image);

// Decodes a JPEG held in memory; same rules.
bool DecodeJpeg(const unsigned char* data, size_t size, QImage& image);

// Loads a picture file by its Windows-style path below the program's directory: JPEG by
// libjpeg when the name ends in ".jpg" or ".jpeg", any other format by Qt.
bool LoadPicture(const std::string& windowsPath, QImage& image);

}  // namespace platform
