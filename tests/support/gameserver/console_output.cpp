#include "support/gameserver/console_output.h"

#include <cstdarg>
#include <cstdio>

#include "support/gameserver/text.h"

namespace test::gameserver {
namespace {
// One printf call formats into a message buffer of this size (terminator included) first.
constexpr std::size_t kMaxPrintMessage = 4096;
}  // namespace

ConsoleOutput::ConsoleOutput(std::size_t bufferSize, bool cutPieces)
    : capacity_(bufferSize > 1 ? bufferSize - 1 : 1), cutPieces_(cutPieces) {}

void ConsoleOutput::Print(std::string_view piece) {
  if (piece.size() >= kMaxPrintMessage) piece = piece.substr(0, kMaxPrintMessage - 1);
  if (cutPieces_) {
    while (pending_.size() + piece.size() > capacity_) {
      const std::size_t room = capacity_ - pending_.size();
      pending_.append(piece.substr(0, room));
      piece.remove_prefix(room);
      Flush();
    }
    pending_.append(piece);
    return;
  }
  if (piece.size() + pending_.size() > capacity_) Flush();
  // A piece longer than the whole buffer is cut, as the bounded string append cuts it.
  pending_.append(piece.substr(0, capacity_ - pending_.size()));
}

void ConsoleOutput::Printf(const char* format, ...) {
  char message[kMaxPrintMessage];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  Print(message);
}

void ConsoleOutput::Flush() {
  datagrams_.push_back(PrintDatagram(pending_));
  pending_.clear();
}

std::vector<std::string> ConsoleOutput::Finish() {
  Flush();
  return std::move(datagrams_);
}

std::string PrintDatagram(std::string_view text) {
  std::string datagram(kMarker);
  datagram += "print\n";
  datagram += text;
  return datagram;
}

}  // namespace test::gameserver
