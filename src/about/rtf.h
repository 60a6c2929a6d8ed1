#pragma once
// A reader for rich text (RTF) documents as word processors write them, turning them into a
// small model: paragraphs of runs of equally formatted text. It keeps what the to-do viewer
// shows (bold, italic, underline, strike-out, font size, text and highlight colours,
// fonts, alignment, indents, spacing, tab stops, tabs and line breaks, special and Unicode
// characters) and skips hidden text and the parts of a document that are not text (style tables,
// document information, pictures, objects, headers, footers, footnotes, and every group
// marked ignorable with "\*"). Text is Unicode (UTF-16), as RTF can carry any character.
//
// Any input is read to its end without failing: unbalanced braces, truncation, binary noise,
// overlong control words and bogus "\binN" counts give whatever text could be recognised.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace about::rtf {

struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Color&) const = default;
};

struct CharFormat {
  int font = -1;  // number in the font table (\fN); -1: none chosen
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool hidden = false;              // \v: hidden text, read but not shown
  int fontSize = 24;                // half-points (\fsN): 24 is 12 points
  std::optional<Color> color;       // none: the automatic colour
  std::optional<Color> highlight;   // none: no background
  bool operator==(const CharFormat&) const = default;
};

enum class FontFamily { Any, Roman, Swiss, Modern, Script, Decorative };

struct Font {
  int number = 0;
  std::u16string name;
  FontFamily family = FontFamily::Any;
  bool fixedPitch = false;  // \fmodern or \fprq1
};

enum class Alignment { Left, Center, Right, Justify };

// Lengths in twips (1/1440 inch).
struct ParagraphFormat {
  Alignment alignment = Alignment::Left;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;
  int spaceBefore = 0;
  int spaceAfter = 0;
  std::vector<int> tabStops;
  bool operator==(const ParagraphFormat&) const = default;
};

struct Run {
  std::u16string text;  // '\t' for a tab, U+2028 for a line break inside the paragraph
  CharFormat format;
};

struct Paragraph {
  ParagraphFormat format;
  std::vector<Run> runs;
  std::u16string Text() const;
};

struct Document {
  std::vector<Paragraph> paragraphs;
  std::vector<Font> fonts;
  int defaultTab = 720;  // twips between default tab stops (\deftabN)
  // The font of that number, or null.
  const Font* FindFont(int number) const;
  // All text, paragraphs separated by '\n'.
  std::u16string PlainText() const;
};

// True when the bytes start (after blanks) with "{\rtf".
bool LooksLikeRtf(std::string_view bytes);

Document Parse(std::string_view rtf);

// A document of plain Windows-1252 text: one paragraph per line (CR LF, LF or CR).
Document FromPlainText(std::string_view text);

// The Unicode character of a Windows-1252 byte.
char16_t FromWindows1252(uint8_t byte);

}  // namespace about::rtf
