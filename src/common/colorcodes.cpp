#include "common/colorcodes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace common {
namespace {

bool IsCodeCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

int IndexOf(char c) { return (static_cast<unsigned char>(c) - '0') & 7; }

// sRGB channel to linear light.
double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
  return 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
}

Rgb Mix(Rgb from, Rgb to, double t) {
  const auto channel = [t](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

}  // namespace

bool HasColourCodes(std::string_view text, ColorCodes codes) {
  if (codes == ColorCodes::None) return false;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '^' && IsCodeCharacter(text[i + 1])) return true;
  return false;
}

std::vector<ColourRun> ColourRuns(std::string_view text, ColorCodes codes) {
  std::vector<ColourRun> runs;
  ColourRun current;
  const auto finish = [&runs, &current](int next) {
    if (!current.text.empty()) runs.push_back(std::move(current));
    current = ColourRun{next, {}};
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (codes != ColorCodes::None && text[i] == '^' && i + 1 < text.size() && IsCodeCharacter(text[i + 1])) {
      const int colour = IndexOf(text[++i]);
      if (colour != current.colour) finish(colour);
      continue;
    }
    current.text.push_back(text[i]);
  }
  finish(kDefaultColour);
  return runs;
}

Rgb GameColour(int index) {
  static constexpr std::array<Rgb, 8> kColours{{{0, 0, 0},
                                                {255, 0, 0},
                                                {0, 255, 0},
                                                {255, 255, 0},
                                                {0, 0, 255},
                                                {0, 255, 255},
                                                {255, 0, 255},
                                                {255, 255, 255}}};
  return kColours[static_cast<std::size_t>(index & 7)];
}

double ContrastRatio(Rgb a, Rgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableColour(int index, Rgb background) {
  const Rgb colour = GameColour(index);
  if (ContrastRatio(colour, background) >= kMinContrast) return colour;
  // Towards whichever end of the scale stands out more from this background.
  const Rgb white{255, 255, 255};
  const Rgb black{0, 0, 0};
  const Rgb target = ContrastRatio(white, background) >= ContrastRatio(black, background) ? white : black;
  double low = 0.0;
  double high = 1.0;
  for (int step = 0; step < 20; ++step) {
    const double mid = (low + high) / 2;
    if (ContrastRatio(Mix(colour, target, mid), background) >= kMinContrast)
      high = mid;
    else
      low = mid;
  }
  return Mix(colour, target, high);
}

}  // namespace common
