#pragma once
// Joins remote-command output that a server sends in several datagrams.
//
// A server prints a command's output into a buffer and sends the buffer as one datagram
// ("print", a line feed, the text) whenever the next printed piece would not fit, and once
// more at the end. Only the first datagram carries the reply's heading (a status table's map
// line and column heading, "Server info settings:", "userinfo"); the later ones may start
// anywhere, in the middle of a line too, even with a player's name that reads like a heading.
// Quake 3 sends at most 1007 text bytes per datagram, Quake 2 at most 1383.
//
// Rule. A reply whose heading is a status table, server info or user info is held back when
// its last datagram may have a continuation:
//   - the reply is not complete: a status table is complete when it ends with the empty line
//     that closes it; the other listings have no end mark;
//   - and the datagram was cut by a full buffer: its text is nearly full (at most 64 bytes
//     short of the largest chunk, the longest piece those listings print apart from a long
//     value), or it ends in the middle of a line (the server cuts a line only when the
//     buffer is full).
// The next datagram is taken as its continuation only when all of these hold:
//   - it arrives within kContinuationWindow of the held datagram (a server sends the chunks
//     of one reply back to back);
//   - it is printed output ("print" and a line feed after the marker);
//   - it is not a reply of its own by its marks in their places (see classify.h): a status
//     table's two heading lines never continue anything; a one-line heading (server info,
//     user info, a status response, a refusal, a notice) does when the held datagram was cut
//     inside a line and no other request is waiting for an answer, since then it can only be
//     a value printed at the start of the next chunk;
//   - either no other request is waiting for an answer, or every line of the datagram has the
//     held reply's own form (a status-table row: number, score, ping or a client state; a
//     listing line: a key padded to 20 columns, then the value), its first line excepted
//     when the held datagram ended inside a line. A server answers requests in order, so all chunks
//     of one reply come before the answer to any later request; while another answer is
//     due, the datagram after a full-looking last chunk may be that answer ("Player 42 is
//     not on the server"), and the form tells the two apart. Requests whose answer has not
//     come within kAnswerTimeout count as lost.
// A datagram of printed output that is no reply of its own (see classify.h) and continues no
// held reply, but whose lines after the first have the form of a table's rows or a listing's
// lines, may be a later chunk that overtook the first one of its reply on the way: it is held
// as long as a continuation is awaited, and a first chunk arriving meanwhile takes it as its
// continuation when its lines have that reply's own form (as above); else it comes out on
// its own when its window has passed.
// Anything else is passed on at once, and ends a held reply first.
//
// The window feeds every datagram it reads and reports every datagram it sends; a held reply
// comes out when its continuation completes it, when another datagram arrives, or from Poll
// once Deadline() has passed; a held stray chunk from Poll.
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/game.h"

namespace protocol {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

class ReplyAssembler {
 public:
  static constexpr std::chrono::milliseconds kContinuationWindow{250};
  static constexpr std::chrono::milliseconds kAnswerTimeout{1500};
  static constexpr std::size_t kPieceSlack = 64;
  // A held reply never grows past this; a longer one is passed on as it stands.
  static constexpr std::size_t kMaxReply = 64 * 1024;
  // Chunks held while their first one may still come.
  static constexpr std::size_t kMaxStrays = 4;

  explicit ReplyAssembler(const GameTraits& traits) : traits_(&traits) {}

  // A datagram was sent to the server through the same client.
  void NoteSent(TimePoint now);
  // A datagram arrived. Returns the replies that are now whole, in arrival order.
  std::vector<std::string> Feed(std::string_view datagram, TimePoint now);
  // Returns a held reply (or stray chunk) once its window has passed.
  std::vector<std::string> Poll(TimePoint now);
  // Returns whatever is held, at once (for instance when the window closes).
  std::vector<std::string> Flush();
  // When Poll has to be called, while a reply is held.
  std::optional<TimePoint> Deadline() const;
  bool Holding() const { return held_.has_value() || !strays_.empty(); }

 private:
  enum class Kind { None, StatusTable, ServerInfo, UserInfo };
  struct Held {
    std::string text;
    Kind kind;
    TimePoint deadline;
  };

  Kind KindOf(std::string_view datagram) const;
  bool MayContinue(Kind kind, std::string_view whole, std::string_view lastChunk) const;
  bool IsContinuation(std::string_view datagram, TimePoint now) const;
  bool BeginsNewReply(std::string_view datagram) const;
  bool HasListingForm(std::string_view body) const;
  void ExpireSent(TimePoint now);
  void Release(std::vector<std::string>& out);
  // Passes on the stray chunks whose window has passed at `now` (all without `now`).
  void ReleaseStrays(std::vector<std::string>& out, std::optional<TimePoint> now);
  // The first chunk just held takes the stray chunks in its form as its continuation.
  void AdoptStrays(TimePoint now, std::vector<std::string>& out);

  const GameTraits* traits_;
  std::optional<Held> held_;
  std::deque<Held> strays_;  // in arrival order
  std::deque<TimePoint> sent_;  // requests whose answer has not begun to arrive, oldest first
};

}  // namespace protocol
