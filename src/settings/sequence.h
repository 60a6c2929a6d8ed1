#pragma once
// Sends a list of texts one after the other: the next is handed over only when the previous
// has left (the send function's onSent). Over a paced client this lets the requests of other
// windows to the same server take turns with ours instead of waiting behind all of them, and
// no request is sent before the server's rate limit has room for it.
//
// The send function may call onSent at once (an unpaced client) or later from the event loop;
// either way the texts go out in order without deep recursion. It may also never call it (the
// client closed): the sequence then stays where it is. A pending onSent holds the sequence, so
// a sequence nobody else keeps lives exactly as long as its sends are under way.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace settings {

// "Updating server..." while nothing has gone out, then "Updating server... n of m".
std::string UpdateProgressText(int sent, int total);

class SendSequence : public std::enable_shared_from_this<SendSequence> {
 public:
  using SendFunction = std::function<void(const std::string& text, std::function<void()> onSent)>;

  static std::shared_ptr<SendSequence> Create(SendFunction send);

  // Adds texts to the end and starts sending when idle.
  void Append(const std::vector<std::string>& texts);
  // Stops for good: nothing more is sent and no callback runs, even for a send under way.
  void Cancel();

  int Sent() const { return sent_; }
  int Total() const { return static_cast<int>(texts_.size()); }
  bool Done() const { return sent_ == Total(); }

  std::function<void()> onProgress;  // after each text has left
  std::function<void()> onDone;      // after the last text has left

 private:
  explicit SendSequence(SendFunction send) : send_(std::move(send)) {}
  void Pump();
  void HandleSent();

  SendFunction send_;
  std::vector<std::string> texts_;
  size_t next_ = 0;
  int sent_ = 0;
  bool waiting_ = false;
  bool pumping_ = false;
  bool cancelled_ = false;
};

}  // namespace settings
