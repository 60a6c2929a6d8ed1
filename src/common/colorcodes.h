#pragma once
// Quake colour codes as the game shows them: a name such as "^1Very^7LongName" is "Very" in
// red and "LongName" in white. Cuts a text into runs of one colour and picks, for each of the
// game's eight colours, a shade that stays readable on a given background. Plain C++.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// Which texts count as colour codes.
enum class ColorCodes : std::uint8_t {
  None,      // no colour codes at all (Quake 2)
  IoQuake3,  // "^" and a letter or digit; colour index (c - '0') & 7
};

// The colour of text before the first code: whatever the widget shows text in.
inline constexpr int kDefaultColour = -1;

struct ColourRun {
  int colour = kDefaultColour;  // 0..7, or kDefaultColour
  std::string text;
  bool operator==(const ColourRun&) const = default;
};

// Whether `text` holds at least one colour code.
bool HasColourCodes(std::string_view text, ColorCodes codes);

// The text without its codes, cut where the colour changes. A "^" that is not followed by a
// letter or digit is shown, and the character after it is looked at on its own, so "^^1X"
// shows "^" and then a red X. No run is empty; an empty text gives none.
std::vector<ColourRun> ColourRuns(std::string_view text, ColorCodes codes);

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The game's eight colours: black, red, green, yellow, blue, cyan, magenta, white.
Rgb GameColour(int index);

// The contrast ratio of two colours (1 to 21), from their relative luminance.
double ContrastRatio(Rgb a, Rgb b);

// The least a coloured text must stand out from its background: the usual threshold for
// ordinary text.
inline constexpr double kMinContrast = 4.5;

// The game's colour `index` as it is drawn on `background`: unchanged when it stands out
// enough, otherwise mixed towards white (on a dark background) or black (on a light one) just
// far enough to reach kMinContrast, so that black names stay legible on the console's dark
// grey and yellow or white names on a white list.
Rgb ReadableColour(int index, Rgb background);

}  // namespace common
