#include "protocol/cvars.h"

#include <algorithm>

#include "platform/convert.h"
#include "protocol/packets.h"

namespace protocol {
namespace {

// The blanks of the games' tokenizers: they compare signed characters with ' ', so bytes
// above 127 count as blanks too.
bool IsTokenBlank(char c) { return static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x80; }

bool NeedsQuotes(std::string_view text) {
  if (text.empty()) return true;
  for (const char c : text)
    if (IsTokenBlank(c)) return true;
  return false;
}

// Removes characters up to the next double quote (none when there is no quote), then one more.
void SkipPastQuote(std::string& s) {
  const size_t quote = s.find('"');
  if (quote != std::string::npos) s.erase(0, quote);
  if (!s.empty()) s.erase(0, 1);
}

}  // namespace

std::string VariableQueryDatagram(std::string_view password, std::string_view name) {
  return RconDatagram(password, name);
}

std::string TextCommand(const GameTraits& game, std::string_view name, std::string_view text) {
  switch (game.valueForm) {
    case ValueForm::SetCommand:
      if (text.empty()) return "set " + std::string(name) + " \"\"";
      return "set " + std::string(name) + " " + std::string(text);
    case ValueForm::NameAndWord:
      if (NeedsQuotes(text)) return std::string(name) + " \"" + std::string(text) + "\"";
      break;
  }
  return std::string(name) + " " + std::string(text);
}

std::string SpinCommand(std::string_view name, int value) { return std::string(name) + " " + platform::IntToStr(value); }

std::string CheckCommand(std::string_view name, bool checked) { return std::string(name) + (checked ? " 1" : " 0"); }

bool ServerKeepsText(const GameTraits& game, std::string_view text) {
  if (game.valueForm == ValueForm::NameAndWord) {
    // One word, not a comment, not a macro, and no quote that could open a quoted word.
    return !NeedsQuotes(text) && text.substr(0, 2) != "//" && text.find_first_of("\"$") == std::string_view::npos;
  }
  // An empty value leaves "set NAME", which prints the variable instead of clearing it.
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  if (text.find("  ") != std::string_view::npos || text.find_first_of("\"%;") != std::string_view::npos) return false;
  if (text.find("//") != std::string_view::npos || text.find("/*") != std::string_view::npos) return false;
  for (const char c : text)
    if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

CvarReply ParseCvarReply(std::string_view datagram, const GameTraits& game) {
  std::string s(datagram.substr(std::min<size_t>(11, datagram.size())));
  CvarReply reply;
  const size_t nameEnd = s.find('"');
  reply.name = s.substr(0, nameEnd);
  s.erase(0, nameEnd == std::string::npos ? s.size() : nameEnd);
  SkipPastQuote(s);  // the closing quote of the name
  SkipPastQuote(s);  // the opening quote of the value
  reply.value = s.substr(0, s.find('"'));
  const std::string_view suffix = game.valueSuffix;
  if (!suffix.empty() && reply.value.size() >= suffix.size() &&
      reply.value.compare(reply.value.size() - suffix.size(), suffix.size(), suffix) == 0)
    reply.value.resize(reply.value.size() - suffix.size());
  return reply;
}

}  // namespace protocol
