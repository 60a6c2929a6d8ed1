#include "console/globalparam.h"

#include "platform/convert.h"
#include "platform/ini.h"
#include "platform/paths.h"

TTerminalFont TerminalFont;
console::TColor TerminalBackColor = console::kDefaultBackColor;

namespace {

constexpr const char* kSection = "Common";

}  // namespace

void LoadTerminalSettings() {
  const platform::IniDocument ini = platform::IniDocument::Load(platform::IniFileName());
  TerminalFont = TTerminalFont{};
  TerminalFont.Name = ini.ReadString(kSection, "TerminalFontName", console::kDefaultFontName);
  TerminalFont.Size = ini.ReadInteger(kSection, "TerminalFontSize", console::kDefaultFontSize);
  TerminalFont.Color = ini.ReadInteger(kSection, "TerminalFontColor", console::kDefaultFontColor);
  TerminalBackColor = ini.ReadInteger(kSection, "TerminalColor", console::kDefaultBackColor);
}

void SaveTerminalSettings() {
  const std::string file = platform::IniFileName();
  platform::IniWriteStringOrRaise(kSection, "TerminalFontName", TerminalFont.Name, file);
  platform::IniWriteStringOrRaise(kSection, "TerminalFontSize", platform::IntToStr(TerminalFont.Size), file);
  platform::IniWriteStringOrRaise(kSection, "TerminalFontColor", platform::IntToStr(TerminalFont.Color), file);
  platform::IniWriteStringOrRaise(kSection, "TerminalColor", platform::IntToStr(TerminalBackColor), file);
}
