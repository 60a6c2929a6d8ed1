// The joining of chunked replies, fed a sequence of events with time steps between them.
//
// Input: one byte whose lowest bit picks the game, then events. An event is one byte: its
// two low bits say what happens (0 a datagram arrives, 1 a request is sent, 2 the window
// polls, 3 the window closes and takes what is held), the six bits above how long before it,
// in steps of 25 ms (0 to 1575 ms, across both the continuation window and the answer
// time-out). An arriving datagram is a length (two bytes, the lower first) and its bytes.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "fuzz_games.h"
#include "fuzz_support.h"
#include "protocol/assembler.h"
#include "protocol/packets.h"

namespace {

using protocol::ReplyAssembler;

struct Tally {
  size_t datagrams = 0;  // fed
  size_t fedBytes = 0;
  size_t largestFed = 0;
  size_t replies = 0;    // come out
  size_t outBytes = 0;

  void Out(const std::vector<std::string>& released) {
    for (const std::string& reply : released) {
      FUZZ_CHECK(reply.size() <= std::max(ReplyAssembler::kMaxReply, largestFed));
      ++replies;
      outBytes += reply.size();
    }
  }
};

void CheckHeld(const ReplyAssembler& assembler) {
  FUZZ_CHECK(assembler.Holding() == assembler.Deadline().has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  ReplyAssembler assembler(fuzz::GameOf(input.Byte()));
  protocol::TimePoint now{};
  Tally tally;
  while (!input.Empty()) {
    const uint8_t event = input.Byte();
    now += std::chrono::milliseconds(25 * (event >> 2));
    switch (event & 3) {
      case 0: {
        const std::string_view datagram = input.Take(input.Word());
        ++tally.datagrams;
        tally.fedBytes += datagram.size();
        tally.largestFed = std::max(tally.largestFed, datagram.size());
        tally.Out(assembler.Feed(datagram, now));
        break;
      }
      case 1: assembler.NoteSent(now); break;
      case 2: {
        // What is due comes out (a held reply, and held stray chunks); nothing else.
        const bool due = assembler.Holding() && now >= *assembler.Deadline();
        const std::vector<std::string> out = assembler.Poll(now);
        FUZZ_CHECK(due != out.empty());
        tally.Out(out);
        break;
      }
      default: tally.Out(assembler.Flush()); break;
    }
    CheckHeld(assembler);
  }
  tally.Out(assembler.Flush());
  FUZZ_CHECK(!assembler.Holding());
  // Nothing is lost: every datagram comes out, whole or as the continuation of the one
  // before it, which drops only its marker, "print" and line feed.
  FUZZ_CHECK(tally.replies <= tally.datagrams);
  FUZZ_CHECK(tally.fedBytes - tally.outBytes == (tally.datagrams - tally.replies) * protocol::kPrintHeader.size());
  return 0;
}
