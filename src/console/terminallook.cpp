#include "console/terminallook.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "platform/text.h"

namespace console {

QColor ToQColor(TColor color) {
  const auto value = static_cast<std::uint32_t>(color);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<TColor>(static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
                             static_cast<std::uint32_t>(rgb.blue()) << 16);
}

QString FixedPitchFamily() {
  static const QString family = [] {
    // The desktop's own fixed font first, then any family the font database calls fixed, and
    // only one that really comes out fixed-pitch once matched (an alias such as "monospace"
    // may lead to a face without the fixed spacing mark).
    QStringList candidates{QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
    for (const QString& name : QFontDatabase::families())
      if (QFontDatabase::isFixedPitch(name)) candidates.push_back(name);
    for (const QString& name : candidates) {
      QFont probe(name);
      probe.setStyleHint(QFont::TypeWriter);
      if (QFontInfo(probe).fixedPitch()) return name;
    }
    return QStringLiteral("monospace");
  }();
  return family;
}

QFont ToQFont(const TTerminalFont& font) {
  QFont result;
  const QString name = platform::ToUnicode(font.Name);
  // The named family is tried first; the fixed-pitch family only when it is not found.
  QStringList families;
  if (!name.isEmpty()) families.push_back(name);
  if (name.isEmpty() || !QFontDatabase::hasFamily(name)) families.push_back(FixedPitchFamily());
  result.setFamilies(families);
  result.setStyleHint(QFont::TypeWriter);
  if (font.Size > 0)
    result.setPointSize(font.Size);
  else if (font.Size < 0)
    result.setPixelSize(-font.Size);
  else
    result.setPointSize(kDefaultFontSize);
  result.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
  result.setItalic(font.Italic);
  result.setUnderline(font.Underline);
  result.setStrikeOut(font.StrikeOut);
  return result;
}

void AssignFont(TTerminalFont& target, const QFont& font, const QColor& color) {
  target.Name = platform::ToAnsi(font.family());
  if (font.pointSizeF() > 0)
    target.Size = std::max(1, static_cast<int>(std::lround(font.pointSizeF())));
  else if (font.pixelSize() > 0)
    target.Size = -font.pixelSize();
  target.Color = FromQColor(color);
  target.Weight = font.weight();
  target.Italic = font.italic();
  target.Underline = font.underline();
  target.StrikeOut = font.strikeOut();
}

QFont ShownFont(const QFont& logFont) {
  const QFontInfo shown(logFont);
  QFont font = logFont;
  font.setFamilies({shown.family()});
  font.setPointSizeF(shown.pointSizeF());
  // The dialog finds the style by name; by weight and slant alone it may take another of the
  // face's styles (an oblique one, say) for the regular.
  font.setStyleName(shown.styleName());
  return font;
}

void AssignChosenFont(TTerminalFont& target, const QFont& chosen, const QColor& color, const QFont& offered) {
  const TTerminalFont before = target;
  AssignFont(target, chosen, color);
  if (chosen.family().compare(offered.family(), Qt::CaseInsensitive) == 0) target.Name = before.Name;
  if (std::lround(chosen.pointSizeF() * 10) == std::lround(offered.pointSizeF() * 10)) target.Size = before.Size;
}

}  // namespace console
