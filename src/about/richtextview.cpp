#include "about/richtextview.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace about {
namespace {

// Twips at the 96 dots per inch a screen is laid out for.
qreal Pixels(int twips) { return twips / 15.0; }

QColor ToQColor(const rtf::Color& c) { return QColor(c.red, c.green, c.blue); }

QTextBlockFormat BlockFormat(const rtf::ParagraphFormat& p) {
  QTextBlockFormat f;
  switch (p.alignment) {
    case rtf::Alignment::Left: f.setAlignment(Qt::AlignLeft); break;
    case rtf::Alignment::Center: f.setAlignment(Qt::AlignHCenter); break;
    case rtf::Alignment::Right: f.setAlignment(Qt::AlignRight); break;
    case rtf::Alignment::Justify: f.setAlignment(Qt::AlignJustify); break;
  }
  f.setLeftMargin(Pixels(p.leftIndent));
  f.setRightMargin(Pixels(p.rightIndent));
  f.setTextIndent(Pixels(p.firstLineIndent));
  f.setTopMargin(Pixels(p.spaceBefore));
  f.setBottomMargin(Pixels(p.spaceAfter));
  QList<QTextOption::Tab> tabs;
  for (int stop : p.tabStops) tabs << QTextOption::Tab(Pixels(stop), QTextOption::LeftTab);
  f.setTabPositions(tabs);
  return f;
}

QFont::StyleHint Hint(const rtf::Font& font) {
  if (font.fixedPitch) return QFont::TypeWriter;
  switch (font.family) {
    case rtf::FontFamily::Roman: return QFont::Serif;
    case rtf::FontFamily::Swiss: return QFont::SansSerif;
    case rtf::FontFamily::Script: return QFont::Cursive;
    case rtf::FontFamily::Decorative: return QFont::Decorative;
    default: return QFont::AnyStyle;
  }
}

QTextCharFormat CharFormat(const rtf::Document& doc, const rtf::CharFormat& c, const QTextCharFormat& base) {
  QTextCharFormat f = base;
  if (const rtf::Font* font = doc.FindFont(c.font)) {
    // The face named when this machine has it, else one of the same kind.
    QStringList families;
    if (!font->name.empty()) families << QString::fromStdU16String(font->name);
    if (font->fixedPitch) families << "monospace";
    if (!families.isEmpty()) f.setFontFamilies(families);
    f.setFontStyleHint(Hint(*font));
    f.setFontFixedPitch(font->fixedPitch);
  }
  f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(c.italic);
  f.setFontUnderline(c.underline);
  f.setFontStrikeOut(c.strikeOut);
  f.setFontPointSize(c.fontSize / 2.0);
  if (c.color) f.setForeground(ToQColor(*c.color));
  if (c.highlight) f.setBackground(ToQColor(*c.highlight));
  return f;
}

}  // namespace

void FillTextDocument(const rtf::Document& doc, QTextDocument& target) {
  target.clear();
  QTextOption option = target.defaultTextOption();
  option.setTabStopDistance(Pixels(doc.defaultTab));
  target.setDefaultTextOption(option);
  QTextCursor cursor(&target);
  const QTextCharFormat base = cursor.charFormat();
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    const rtf::Paragraph& p = doc.paragraphs[i];
    if (i == 0) {
      cursor.setBlockFormat(BlockFormat(p.format));
    } else {
      cursor.insertBlock(BlockFormat(p.format), base);
    }
    for (const rtf::Run& run : p.runs)
      cursor.insertText(QString::fromStdU16String(run.text), CharFormat(doc, run.format, base));
  }
}

void LoadRichText(std::string_view bytes, QTextDocument& target) {
  FillTextDocument(rtf::LooksLikeRtf(bytes) ? rtf::Parse(bytes) : rtf::FromPlainText(bytes), target);
}

}  // namespace about
