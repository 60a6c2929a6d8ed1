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

bool ReplyAssembler::IsContinuation(std::string_view datagram, TimePoint now) const {
  if (!held_ || now > held_->deadline || !sent_.empty()) return false;
  if (!StartsWith(datagram, kPrintHeader)) return false;
  const std::string_view body = Body(datagram);
  if (BeginsWithHeading(body)) return false;
  return held_->text.size() + body.size() <= kMaxReply;
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
