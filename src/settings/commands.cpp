#include "settings/commands.h"

#include "platform/convert.h"
#include "protocol/packets.h"

namespace settings {
namespace {

// The blanks of the games' tokenizers: they compare signed characters with ' ', so bytes
// above 127 count as blanks too.
bool IsTokenBlank(char c) { return static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x80; }

bool NeedsQuake2Quotes(std::string_view text) {
  if (text.empty()) return true;
  for (const char c : text)
    if (IsTokenBlank(c)) return true;
  return false;
}

}  // namespace

std::string QueryDatagram(std::string_view password, std::string_view name) { return protocol::RconDatagram(password, name); }

std::string TextCommand(const protocol::GameTraits& game, std::string_view name, std::string_view text) {
  if (game.game == protocol::Game::Quake3) {
    // "set NAME " with nothing after it prints the variable instead of clearing it.
    if (text.empty()) return "set " + std::string(name) + " \"\"";
    return "set " + std::string(name) + " " + std::string(text);
  }
  if (NeedsQuake2Quotes(text)) return std::string(name) + " \"" + std::string(text) + "\"";
  return std::string(name) + " " + std::string(text);
}

std::string SpinCommand(std::string_view name, int value) { return std::string(name) + " " + platform::IntToStr(value); }

std::string CheckCommand(std::string_view name, bool checked) { return std::string(name) + (checked ? " 1" : " 0"); }

bool ServerKeepsText(const protocol::GameTraits& game, std::string_view text) {
  if (game.game == protocol::Game::Quake2) {
    // One word, not a comment, not a macro, and no quote that could open a quoted word.
    return !NeedsQuake2Quotes(text) && text.substr(0, 2) != "//" && text.find_first_of("\"$") == std::string_view::npos;
  }
  // Quake 3: an empty value leaves "set NAME", which prints the variable instead of clearing it.
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  if (text.find("  ") != std::string_view::npos || text.find_first_of("\"%;") != std::string_view::npos) return false;
  if (text.find("//") != std::string_view::npos || text.find("/*") != std::string_view::npos) return false;
  for (const char c : text)
    if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string UpdateProgressText(int sent, int total) {
  if (sent <= 0) return "Updating server...";
  return "Updating server... " + std::to_string(sent) + " of " + std::to_string(total);
}

}  // namespace settings
