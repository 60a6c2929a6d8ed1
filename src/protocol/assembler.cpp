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

// What the ping column says of a client that is not playing yet or any more: CNCT, ZMBI,
// Quake3e's CON, PRM, ZMB, Q2PRO's ASGN, DNLD, HTTP, PRIM.
bool IsClientStateWord(std::string_view t) {
  return (t.size() == 3 || t.size() == 4) && t.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string_view::npos;
}

// A line of a server-info or user-info listing. `partial` is the last line of a datagram,
// which may stop anywhere after its key.
bool IsListingLine(std::string_view line, bool partial) {
  const std::size_t space = line.find(' ');
  if (space == 0) return false;
  if (space == std::string_view::npos) return partial ? line.size() >= kKeyColumns : false;
  const std::size_t value = line.find_first_not_of(' ', space);
  return value == std::string_view::npos || value >= kKeyColumns;
}

// A row of a status table (num, score, ping or a client state, ...), or the empty line that
// ends it.
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
    if (!IsDigits(token) && !(column == 2 && IsClientStateWord(token))) return false;
    if (end == std::string_view::npos) return false;
    rest.remove_prefix(end);
  }
  return true;
}

// How many lines of `body` are in the form of a status table (rows) or of a listing, the first
// one unchecked when `skipFirst`; -1 when a line is not.
int InListingForm(std::string_view body, bool table, bool skipFirst) {
  LineReader lines(body);
  std::string_view line;
  std::size_t consumed = 0;
  int checked = 0;
  while (lines.Next(line)) {
    consumed += line.size() + 1;
    const bool partial = consumed > body.size();
    if (skipFirst) {
      skipFirst = false;
      continue;
    }
    if (!(table ? IsTableRow(line, partial) : IsListingLine(line, partial))) return -1;
    ++checked;
  }
  return checked;
}

// Whether printed output that is no reply of its own looks like a later chunk of a status
// table or a listing: some lines after its first (which may be the rest of a cut one), all in
// the form of one of them.
bool LooksLikeLaterChunk(std::string_view body) {
  return InListingForm(body, true, true) > 0 || InListingForm(body, false, true) > 0;
}

}  // namespace

void ReplyAssembler::NoteSent(TimePoint now) {
  ExpireSent(now);
  sent_.push_back(now);
}

ReplyAssembler::Kind ReplyAssembler::KindOf(std::string_view datagram) const {
  switch (KindOfReply(*traits_, datagram)) {
    case ReplyKind::StatusTable: return Kind::StatusTable;
    case ReplyKind::ServerInfo: return Kind::ServerInfo;
    case ReplyKind::UserInfo: return Kind::UserInfo;
    default: return Kind::None;
  }
}

bool ReplyAssembler::MayContinue(Kind kind, std::string_view whole, std::string_view lastChunk) const {
  if (kind == Kind::None || whole.size() >= kMaxReply) return false;
  if (kind == Kind::StatusTable && EndsWith(whole, "\n\n")) return false;
  const std::size_t max = traits_->MaxChunkText();
  const bool nearlyFull = lastChunk.size() + kPieceSlack >= max;
  const bool cutMidLine = !lastChunk.empty() && lastChunk.back() != '\n';
  return nearlyFull || cutMidLine;
}

bool ReplyAssembler::BeginsNewReply(std::string_view datagram) const {
  const ReplyKind kind = KindOfReply(*traits_, datagram);
  if (kind == ReplyKind::Other) return false;
  // A status table shows itself on two lines, and a name cannot hold a line feed: no chunk of
  // another reply looks like one.
  if (kind == ReplyKind::StatusTable) return true;
  // The other headings are one line, which a value printed at the start of a chunk (a
  // player's name in the user info, say) can look like when the held chunk was cut inside
  // its line. Then only another request still waiting for its answer makes it a new reply.
  const bool cutInsideLine = !held_->text.empty() && held_->text.back() != '\n';
  return !cutInsideLine || !sent_.empty();
}

bool ReplyAssembler::HasListingForm(std::string_view body) const {
  // The first line continues the held one when that was cut; it may hold anything.
  const bool skipFirst = !held_->text.empty() && held_->text.back() != '\n';
  return InListingForm(body, held_->kind == Kind::StatusTable, skipFirst) >= 0;
}

bool ReplyAssembler::IsContinuation(std::string_view datagram, TimePoint now) const {
  if (!held_ || now > held_->deadline) return false;
  if (!StartsWith(datagram, kPrintHeader)) return false;
  const std::string_view body = Body(datagram);
  if (BeginsNewReply(datagram) || held_->text.size() + body.size() > kMaxReply) return false;
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

void ReplyAssembler::ReleaseStrays(std::vector<std::string>& out, std::optional<TimePoint> now) {
  while (!strays_.empty() && (!now || *now >= strays_.front().deadline)) {
    out.push_back(std::move(strays_.front().text));
    strays_.pop_front();
  }
}

void ReplyAssembler::AdoptStrays(TimePoint now, std::vector<std::string>& out) {
  ReleaseStrays(out, now);
  while (held_ && !strays_.empty()) {
    const std::string_view body = Body(strays_.front().text);
    if (held_->text.size() + body.size() > kMaxReply || !HasListingForm(body)) break;
    held_->text.append(body);
    const bool mayContinue = MayContinue(held_->kind, held_->text, body);
    // It answered no request of its own: the one it was taken to answer is still waiting.
    sent_.push_front(strays_.front().deadline - kContinuationWindow);
    strays_.pop_front();  // `body` goes with it
    if (!mayContinue) Release(out);
  }
  ReleaseStrays(out, std::nullopt);
}

std::vector<std::string> ReplyAssembler::Feed(std::string_view datagram, TimePoint now) {
  std::vector<std::string> out;
  ExpireSent(now);
  ReleaseStrays(out, now);
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
    AdoptStrays(now, out);
    return out;
  }
  // Printed output that is no reply of its own may be a later chunk that overtook the first
  // one of its reply: it waits for that as long as a held reply waits for its continuation.
  if (kind == Kind::None && StartsWith(datagram, kPrintHeader) && LooksLikeLaterChunk(Body(datagram)) &&
      KindOfReply(*traits_, datagram) == ReplyKind::Other) {
    if (strays_.size() == kMaxStrays) ReleaseStrays(out, std::nullopt);
    strays_.push_back(Held{std::string(datagram), kind, now + kContinuationWindow});
    return out;
  }
  out.emplace_back(datagram);
  return out;
}

std::vector<std::string> ReplyAssembler::Poll(TimePoint now) {
  std::vector<std::string> out;
  ReleaseStrays(out, now);
  if (held_ && now >= held_->deadline) Release(out);
  return out;
}

std::vector<std::string> ReplyAssembler::Flush() {
  std::vector<std::string> out;
  ReleaseStrays(out, std::nullopt);
  Release(out);
  return out;
}

std::optional<TimePoint> ReplyAssembler::Deadline() const {
  std::optional<TimePoint> deadline;
  if (held_) deadline = held_->deadline;
  if (!strays_.empty() && (!deadline || strays_.front().deadline < *deadline)) deadline = strays_.front().deadline;
  return deadline;
}

}  // namespace protocol
