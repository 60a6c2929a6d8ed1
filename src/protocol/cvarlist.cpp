#include "protocol/cvarlist.h"

#include <optional>
#include <utility>

#include "platform/ascii.h"
#include "protocol/packets.h"

namespace protocol {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

// Overwrites the first `count` characters before they are let go, so that the password line
// of a listing does not linger in freed memory.
void WipeFront(std::string& text, std::size_t count) {
  volatile char* bytes = text.data();
  for (std::size_t i = 0; i < count && i < text.size(); ++i) bytes[i] = '\0';
  text.erase(0, count);
}

bool IsRefusal(const GameTraits& game, std::string_view body) {
  for (const std::string_view refusal : game.wrongPasswordTexts)
    if (StartsWith(body, refusal)) return true;
  return StartsWith(body, kNoPasswordText);
}

// A whole number of at most nine digits at the start of `text`, taken off it.
std::optional<std::size_t> TakeCount(std::string_view& text) {
  std::size_t digits = 0;
  std::size_t count = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    count = count * 10 + static_cast<std::size_t>(text[digits] - '0');
    if (++digits > 9) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return count;
}

// The number of variables the closing line announces: "N total cvars", "N cvars", or
// "N of M cvars" (N of them listed); nothing for any other line.
std::optional<std::size_t> ClosingCount(std::string_view line) {
  const std::optional<std::size_t> listed = TakeCount(line);
  if (!listed) return std::nullopt;
  if (line == " total cvars" || line == " cvars") return listed;
  if (line.substr(0, 4) != " of ") return std::nullopt;
  line.remove_prefix(4);
  if (!TakeCount(line) || line != " cvars") return std::nullopt;
  return listed;
}

// "N cvar indexes", which follows the closing line of a Quake 3 listing.
bool IsIndexCount(std::string_view line) { return TakeCount(line) && line == " cvar indexes"; }

// Name and value of a variable line: the word before the first double quote (after the flag
// columns, if any), and the text between that quote and the quote that ends the line.
std::optional<std::pair<std::string_view, std::string_view>> SplitVariable(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos || open < 2 || line[open - 1] != ' ') return std::nullopt;
  if (line.size() < open + 2 || line.back() != '"') return std::nullopt;
  const std::string_view head = line.substr(0, open - 1);
  const std::size_t blank = head.rfind(' ');
  const std::string_view name = blank == std::string_view::npos ? head : head.substr(blank + 1);
  if (name.empty()) return std::nullopt;
  return std::pair{name, line.substr(open + 1, line.size() - open - 2)};
}

}  // namespace

std::string CvarListDatagram(std::string_view password) { return RconDatagram(password, kCvarListCommand); }

bool IsRemotePasswordName(std::string_view name) {
  return platform::SameTextNoCase(name, "rconpassword") || platform::SameTextNoCase(name, "rcon_password");
}

void WipeText(std::string& text) { WipeFront(text, text.size()); }

CvarListReader::~CvarListReader() { WipeFront(partial_, partial_.size()); }

CvarListReader::State CvarListReader::Feed(std::string_view datagram) {
  if (state_ != State::Reading || datagram.substr(0, kPrintHeader.size()) != kPrintHeader) return state_;
  const std::string_view body = datagram.substr(kPrintHeader.size());
  if (!started_ && IsRefusal(*game_, body)) {
    state_ = State::Refused;
    return state_;
  }
  started_ = true;
  text_ += body.size();
  if (text_ > kMaxText) {
    state_ = State::Broken;
    WipeFront(partial_, partial_.size());
    return state_;
  }
  // The text held before holds no line feed: only the new text is searched, so a long line
  // arriving in many pieces costs no more than a short one.
  std::size_t end = partial_.size();
  partial_.append(body);
  std::size_t start = 0;
  while (state_ == State::Reading && (end = partial_.find('\n', end)) != std::string::npos) {
    ReadLine(std::string_view(partial_).substr(start, end - start));
    start = ++end;
  }
  WipeFront(partial_, state_ == State::Reading ? start : partial_.size());
  return state_;
}

void CvarListReader::ReadLine(std::string_view line) {
  if (line.empty() || IsIndexCount(line)) return;
  if (const std::optional<std::size_t> announced = ClosingCount(line)) return Close(*announced);
  ++lines_;
  const auto variable = SplitVariable(line);
  if (!variable) {
    // Not a variable: the server prints something else, or lost datagrams joined two lines.
    state_ = State::Broken;
    return;
  }
  if (IsRemotePasswordName(variable->first)) return;
  variables_.push_back(CvarReply{std::string(variable->first), std::string(variable->second)});
}

void CvarListReader::Close(std::size_t announced) {
  state_ = announced == lines_ ? State::Complete : State::Broken;
}

}  // namespace protocol
