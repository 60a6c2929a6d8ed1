#include "protocol/cvars.h"

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
  CvarReply reply;
  if (datagram.substr(0, kPrintHeader.size()) != kPrintHeader) return reply;
  std::string_view line = datagram.substr(kPrintHeader.size());
  line = line.substr(0, line.find('\n'));
  // "NAME" is:"VALUE..." or "NAME" is "VALUE": a refusal, a table or a notice has no such line.
  if (line.empty() || line.front() != '"') return reply;
  const size_t nameEnd = line.find('"', 1);
  if (nameEnd == std::string_view::npos) return reply;
  std::string_view rest = line.substr(nameEnd + 1);
  const size_t valueStart = rest.find('"');
  if (rest.substr(0, 3) != " is" || valueStart == std::string_view::npos) return reply;
  reply.name = line.substr(1, nameEnd - 1);
  rest.remove_prefix(valueStart + 1);
  reply.value = rest.substr(0, rest.find('"'));
  const std::string_view suffix = game.valueSuffix;
  if (!suffix.empty() && reply.value.size() >= suffix.size() &&
      reply.value.compare(reply.value.size() - suffix.size(), suffix.size(), suffix) == 0)
    reply.value.resize(reply.value.size() - suffix.size());
  return reply;
}

}  // namespace protocol
