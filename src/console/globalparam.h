#pragma once
// The look shared by every remote console: the log's font and its background colour. One
// value each for the whole run, read from Corvane.ini at start and written back whenever an
// administrator changes one of them from a console's Settings menu.
//
// Corvane.ini, section "Common":
//   TerminalFontName   font name                       default "Fixedsys"
//   TerminalFontSize   size in points (whole number)   default 9
//   TerminalFontColor  font colour                     default 16777215 (white)
//   TerminalColor      background colour               default 5329233 (0x515151, dark grey)
// Colours are 32-bit values with red in the low byte, then green, then blue. The font's style
// is not stored: after a restart the font is regular.
//
// Plain C++; the conversion to Qt's font and colour types is in terminallook.h.
#include <cstdint>
#include <string>

namespace console {

// A colour value: 0x00BBGGRR.
using TColor = std::int32_t;

inline constexpr const char* kDefaultFontName = "Fixedsys";
inline constexpr int kDefaultFontSize = 9;
inline constexpr TColor kDefaultFontColor = 16777215;  // 0xFFFFFF, white
inline constexpr TColor kDefaultBackColor = 5329233;   // 0x515151, dark grey

}  // namespace console

// The console font: what a console's log font is made of.
struct TTerminalFont {
  std::string Name = console::kDefaultFontName;  // 8-bit text, as the INI file holds it
  // In points. Zero or less is not a point size: a negative value is the character height in
  // pixels, zero the default size.
  int Size = console::kDefaultFontSize;
  console::TColor Color = console::kDefaultFontColor;
  // The style; kept for the run, not stored.
  int Weight = 400;  // 400 regular, 700 bold
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  bool operator==(const TTerminalFont&) const = default;
};

// The shared values. Changes are copied into them; they are never replaced by other objects.
extern TTerminalFont TerminalFont;
extern console::TColor TerminalBackColor;

// Fills both values from Corvane.ini (the program's directory); a missing file, section or
// key, or a number that does not read, gives the default. Writes nothing.
void LoadTerminalSettings();

// Writes the four keys in the order above into section "Common" of Corvane.ini, keeping every
// other key and section. Raises platform::EIniFileException "Unable to write to <file>" at the
// first key that cannot be written; the keys after it are not written.
void SaveTerminalSettings();
