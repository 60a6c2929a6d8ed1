#include "settings/sequence.h"

namespace settings {

std::shared_ptr<SendSequence> SendSequence::Create(SendFunction send) {
  return std::shared_ptr<SendSequence>(new SendSequence(std::move(send)));
}

void SendSequence::Append(const std::vector<std::string>& texts) {
  if (cancelled_) return;
  texts_.insert(texts_.end(), texts.begin(), texts.end());
  if (texts.empty() && Done() && onDone) onDone();
  Pump();
}

void SendSequence::Cancel() {
  cancelled_ = true;
  onProgress = nullptr;
  onDone = nullptr;
}

void SendSequence::Pump() {
  if (pumping_) return;  // called from a synchronous onSent: the loop below goes on
  pumping_ = true;
  const std::shared_ptr<SendSequence> self = shared_from_this();
  while (!cancelled_ && !waiting_ && next_ < texts_.size()) {
    waiting_ = true;
    const std::string text = texts_[next_++];  // a copy: onSent may append and move texts_
    send_(text, [self] { self->HandleSent(); });
  }
  pumping_ = false;
}

void SendSequence::HandleSent() {
  if (cancelled_ || !waiting_) return;
  waiting_ = false;
  ++sent_;
  if (onProgress) onProgress();
  if (cancelled_) return;
  if (Done() && onDone) onDone();
  Pump();
}

std::string UpdateProgressText(int sent, int total) {
  if (sent <= 0) return "Updating server...";
  return "Updating server... " + std::to_string(sent) + " of " + std::to_string(total);
}

}  // namespace settings
