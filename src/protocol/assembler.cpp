#include "protocol/assembler.h"

#include <utility>

#include "protocol/classify.h"
#include "protocol/lines.h"
#include "protocol/packets.h"

namespace protocol {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The text after the marker, "print" and its line feed.
std::string_view Body(std::string_view datagram) { return datagram.substr(kPrintHeader.size()); }

// Listings print each key padded to 20 columns, so a value starts at column 20 or later.
constexpr std::size_t kKeyColumns = 20;

bool IsDigits(std::string_view t) { return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos; }

// A line of a server-info or user-info listing. `partial` is the last line of a datagram,
// which may stop anywhere after its key.
bool IsListingLine(std::string_view line, bool partial) {
  const std::size_t space = line.find(' ');
  if (space == 0) return false;
  if (space == std::string_view::npos) return partial ? line.size() >= kKeyColumns : false;
  const std::size_t value = line.find_first_not_of(' ', space);
  return value == std::string_view::npos || value >= kKeyColumns;
}

// A row of a status table (num, score, ping, ...), or the empty line that ends it.
bool IsTableRow(std::string_view line, bool partial) {
  if (line.empty()) return !partial;
  std::string_view rest = line;
  for (int column = 0; column < 3; ++column) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) return partial && column > 0;
    rest.remove_prefix(start);
    const std::size_t end = rest.find(' ');
    std::string_view token = rest.substr(0, end);
    if (end == std::string_view::npos && partial) return true;  // cut inside the column
    if (column == 1 && token.size() > 1 && token.front() == '-') token.remove_prefix(1);
    if (!IsDigits(token) && !(column == 2 && (token == "CNCT" || token == "ZMBI"))) return false;
    if (end == std::string_view::npos) return false;
    rest.remove_prefix(end);
  }
  return true;
}

}  // namespace

void ReplyAssembler::NoteSent(TimePoint now) {
  ExpireSent(now);
  sent_.push_back(now);
}

ReplyAssembler::Kind ReplyAssembler::KindOf(std::string_view datagram) const {
  if (!StartsWith(datagram, kPrintHeader)) return Kind::None;
  // The same precedence as the classifier: a refusal or a status response is never a listing.
  if (IsWrongPassword(*traits_, datagram) || Contains(datagram, kNoPasswordText)) return Kind::None;
  if (Contains(datagram, traits_->statusResponseMarker)) return Kind::None;
  if (Contains(datagram, traits_->statusTableMarker)) return Kind::StatusTable;
  if (Contains(datagram, kServerInfoMarker)) return Kind::ServerInfo;
  if (Contains(datagram, kUserInfoMarker)) return Kind::UserInfo;
  return Kind::None;
}

bool ReplyAssembler::MayContinue(Kind kind, std::string_view whole, std::string_view lastChunk) const {
  if (kind == Kind::None || whole.size() >= kMaxReply) return false;
  if (kind == Kind::StatusTable && EndsWith(whole, "\n\n")) return false;
  const std::size_t max = traits_->MaxChunkText();
  const bool nearlyFull = lastChunk.size() + kPieceSlack >= max;
  const bool cutMidLine = !lastChunk.empty() && lastChunk.back() != '\n';
  return nearlyFull || cutMidLine;
}

bool ReplyAssembler::BeginsWithHeading(std::string_view text) const {
  return StartsWith(text, traits_->statusTableMarker) || StartsWith(text, traits_->statusResponseMarker) ||
         StartsWith(text, kServerInfoMarker) || StartsWith(text, kUserInfoMarker) || StartsWith(text, "\\");
}

bool ReplyAssembler::HasListingForm(std::string_view body) const {
  const bool table = held_->kind == Kind::StatusTable;
  LineReader lines(body);
  std::string_view line;
  // The first line continues the held one when that was cut; it may hold anything.
  bool skip = !held_->text.empty() && held_->text.back() != '\n';
  std::size_t consumed = 0;
  while (lines.Next(line)) {
    consumed += line.size() + 1;
    const bool partial = consumed > body.size();
    if (skip) {
      skip = false;
      continue;
    }
    if (!(table ? IsTableRow(line, partial) : IsListingLine(line, partial))) return false;
  }
  return true;
}

bool ReplyAssembler::IsContinuation(std::string_view datagram, TimePoint now) const {
  if (!held_ || now > held_->deadline) return false;
  if (!StartsWith(datagram, kPrintHeader)) return false;
  const std::string_view body = Body(datagram);
  if (BeginsWithHeading(body) || held_->text.size() + body.size() > kMaxReply) return false;
  // While another answer is due, only text in the held listing's own form continues it.
  return sent_.empty() || HasListingForm(body);
}

void ReplyAssembler::ExpireSent(TimePoint now) {
  while (!sent_.empty() && now - sent_.front() > kAnswerTimeout) sent_.pop_front();
}

void ReplyAssembler::Release(std::vector<std::string>& out) {
  if (!held_) return;
  out.push_back(std::move(held_->text));
  held_.reset();
}

std::vector<std::string> ReplyAssembler::Feed(std::string_view datagram, TimePoint now) {
  std::vector<std::string> out;
  ExpireSent(now);
  if (held_) {
    if (IsContinuation(datagram, now)) {
      const std::string_view body = Body(datagram);
      held_->text.append(body);
      held_->deadline = now + kContinuationWindow;
      if (!MayContinue(held_->kind, held_->text, body)) Release(out);
      return out;
    }
    Release(out);
  }
  // A new reply: it answers the oldest request still waiting.
  if (!sent_.empty()) sent_.pop_front();
  const Kind kind = KindOf(datagram);
  if (MayContinue(kind, datagram, kind == Kind::None ? std::string_view() : Body(datagram))) {
    held_ = Held{std::string(datagram), kind, now + kContinuationWindow};
    return out;
  }
  out.emplace_back(datagram);
  return out;
}

std::vector<std::string> ReplyAssembler::Poll(TimePoint now) {
  std::vector<std::string> out;
  if (held_ && now >= held_->deadline) Release(out);
  return out;
}

std::vector<std::string> ReplyAssembler::Flush() {
  std::vector<std::string> out;
  Release(out);
  return out;
}

std::optional<TimePoint> ReplyAssembler::Deadline() const {
  if (!held_) return std::nullopt;
  return held_->deadline;
}

}  // namespace protocol
