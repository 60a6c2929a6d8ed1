#include "about/richtextview.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <string>
#include <unordered_map>

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

// The fonts of the document by number (the first of a number counts, as Document::FindFont),
// so that a run finds its font at once however long the font table is.
using FontTable = std::unordered_map<int, const rtf::Font*>;

FontTable Fonts(const rtf::Document& doc) {
  FontTable fonts;
  for (const rtf::Font& font : doc.fonts) fonts.try_emplace(font.number, &font);
  return fonts;
}

QTextCharFormat CharFormat(const FontTable& fonts, const rtf::CharFormat& c, const QTextCharFormat& base) {
  QTextCharFormat f = base;
  const auto found = fonts.find(c.font);
  if (const rtf::Font* font = found == fonts.end() ? nullptr : found->second) {
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
  // One edit for the whole document: the layout and the views hear of it once, not after each
  // run (which made filling quadratic), and a read-only view keeps no undo history of it.
  const bool undo = target.isUndoRedoEnabled();
  target.setUndoRedoEnabled(false);
  QTextCursor cursor(&target);
  cursor.beginEditBlock();
  const QTextCharFormat base = cursor.charFormat();
  const FontTable fonts = Fonts(doc);
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    const rtf::Paragraph& p = doc.paragraphs[i];
    if (i == 0) {
      cursor.setBlockFormat(BlockFormat(p.format));
    } else {
      cursor.insertBlock(BlockFormat(p.format), base);
    }
    const size_t shown = std::min(p.runs.size(), kMaxRunsPerParagraph);
    for (size_t r = 0; r < shown; ++r) {
      std::u16string text = p.runs[r].text;
      if (r + 1 == shown)
        for (size_t rest = shown; rest < p.runs.size(); ++rest) text += p.runs[rest].text;
      cursor.insertText(QString::fromStdU16String(text), CharFormat(fonts, p.runs[r].format, base));
    }
  }
  cursor.endEditBlock();
  target.setUndoRedoEnabled(undo);
}

void LoadRichText(std::string_view bytes, QTextDocument& target) {
  FillTextDocument(rtf::LooksLikeRtf(bytes) ? rtf::Parse(bytes) : rtf::FromPlainText(bytes), target);
}

}  // namespace about
