#pragma once
// The print redirect of a remote command. The servers print their output piece by piece (one
// piece per printf call) into a fixed buffer and send the buffer as one "print" datagram whenever
// the next piece would not fit, then once more at the end, even when nothing was printed. Some
// (Q2PRO) fill the buffer to its last byte instead, cutting a piece wherever the buffer is full.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace test::gameserver {

class ConsoleOutput {
 public:
  // `bufferSize` counts the terminating NUL: 1008 holds at most 1007 bytes of text.
  explicit ConsoleOutput(std::size_t bufferSize, bool cutPieces = false);

  void Print(std::string_view piece);
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Sends what is left and returns all datagrams, marker and "print\n" included.
  std::vector<std::string> Finish();

 private:
  void Flush();

  std::size_t capacity_;
  bool cutPieces_;
  std::string pending_;
  std::vector<std::string> datagrams_;
};

// Marker, "print", line feed, text: one datagram of remote-command output.
std::string PrintDatagram(std::string_view text);

}  // namespace test::gameserver
