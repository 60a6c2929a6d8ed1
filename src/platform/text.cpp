#include "platform/text.h"

#include <array>

namespace platform {
namespace {

// Unicode code points of the bytes 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ByteToUnicode(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
  return b;
}

}  // namespace

QString ToUnicode(std::string_view ansi) {
  QString result;
  result.reserve(static_cast<qsizetype>(ansi.size()));
  for (char c : ansi) result.append(QChar(ByteToUnicode(static_cast<unsigned char>(c))));
  return result;
}

std::string ToAnsi(const QString& text) {
  std::string result;
  result.reserve(static_cast<size_t>(text.size()));
  for (QChar qc : text) {
    const char16_t u = qc.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      result.push_back(static_cast<char>(u));
      continue;
    }
    char mapped = '?';
    for (size_t i = 0; i < kHighControls.size(); ++i) {
      if (kHighControls[i] == u) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    result.push_back(mapped);
  }
  return result;
}

QString ToDisplay(std::string_view ansi) {
  QString text = ToUnicode(ansi);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QChar('\r') && (i + 1 >= text.size() || text[i + 1] != QChar('\n'))) text[i] = QChar('\n');
  }
  return text;
}

std::string PathToAnsi(const std::string& nativePath) {
  return ToAnsi(QString::fromLocal8Bit(nativePath.data(), static_cast<qsizetype>(nativePath.size())));
}

}  // namespace platform
