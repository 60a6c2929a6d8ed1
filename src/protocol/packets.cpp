#include "protocol/packets.h"

#include <string>

#include "common/text.h"
#include "platform/ascii.h"

namespace protocol {

std::string QueryDatagram(std::string_view queryText) {
  std::string d;
  d.reserve(kOutOfBand.size() + 1 + queryText.size());
  d.append(kOutOfBand).append(" ").append(queryText);
  return d;
}

std::string RconDatagram(std::string_view password, std::string_view command) {
  std::string d;
  d.reserve(kOutOfBand.size() + 6 + password.size() + command.size());
  d.append(kOutOfBand).append("rcon ").append(password).append(" ").append(command);
  return d;
}

std::string ConsoleOpeningDatagram(std::string_view password) {
  std::string d;
  d.append(kOutOfBand).append("rcon ").append(password).append(" status");
  return d;
}

std::string ConsoleCommandDatagram(std::string_view password, std::string_view line) {
  return RconDatagram(password, line);
}

std::string DumpUserCommand(std::string_view clientNumber) { return " dumpuser " + std::string(clientNumber); }
std::string KickCommand(std::string_view clientNumber) { return " kick " + std::string(clientNumber); }
std::string MapCommand(std::string_view mapText) { return " map " + std::string(mapText); }
std::string GameTypeCommand(int index) { return " g_gametype " + std::to_string(index); }

std::string ChangeSettingName(std::string_view rule) {
  std::string name = platform::AsciiUpperCase(rule);
  return name == "MAPNAME" ? std::string("MAP") : name;
}

std::string RuleChangeCommand(const GameTraits& traits, std::string_view rule, std::string_view value) {
  const std::string name = ChangeSettingName(rule);
  if (name == "MAP") return "MAP " + std::string(value);
  if (traits.ruleNamesCaseSensitive) return std::string(rule) + " " + std::string(value);
  return "set " + name + " " + std::string(value);
}

std::string PlayerPicturePath(const GameTraits& traits, std::string_view pictureValue) {
  std::string value(pictureValue);
  if (traits.stripDefaultSkin) {
    const std::size_t at = value.find("/default");
    if (at != std::string::npos) value.erase(at, 8);
  }
  return std::string(traits.pictureFolder) + SlashToBackslash(value) + ".jpg";
}

std::string LevelPicturePath(const GameTraits& traits, std::string_view mapName) {
  return std::string(traits.levelFolder) + std::string(mapName) + ".jpg";
}

}  // namespace protocol

namespace protocol {
namespace {

std::string MessageText(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return "\"" + line + "\"";
}

}  // namespace

std::string SayCommand(std::string_view text) { return " say " + MessageText(text); }

std::string TellCommand(const GameTraits& traits, std::string_view clientNumber, std::string_view text) {
  return " " + std::string(traits.tellCommand) + " " + std::string(clientNumber) + " " + MessageText(text);
}

std::optional<std::string> ChatEcho(std::string_view reply) {
  if (reply.substr(0, kPrintHeader.size()) != kPrintHeader) return std::nullopt;
  std::string_view line = reply.substr(kPrintHeader.size());
  line = line.substr(0, line.find('\n'));
  for (std::string_view echo : {std::string_view("console: "), std::string_view("console_tell: ")})
    if (line.substr(0, echo.size()) == echo) return std::string(line);
  return std::nullopt;
}

std::vector<std::string> ChatWarnings(const GameTraits& traits, std::string_view text) {
  std::vector<std::string> warnings;
  if (text.find_first_of("\r\n") != std::string_view::npos)
    warnings.emplace_back("Line breaks are sent as spaces: the server reads only one line.");
  if (text.find('"') != std::string_view::npos)
    warnings.emplace_back("The server drops double quotes, and the words around them may be spaced differently.");
  if (traits.dotsOddCharacters) {
    bool odd = false;
    for (const char c : text) odd = odd || c == '%' || static_cast<unsigned char>(c) > 127;
    if (odd) warnings.emplace_back("The server shows \"%\" and letters beyond plain ASCII (such as \"\xE9\") as \".\".");
  }
  return warnings;
}

}  // namespace protocol
