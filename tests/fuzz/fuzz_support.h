#pragma once
// What every harness shares: a check that ends the run loudly when a reader breaks a promise
// it makes (the fuzzer then keeps the input that did it), and a reader that takes the fields
// of a harness's input one after another.
//
// A harness is a plain C++ file that defines LLVMFuzzerTestOneInput (and, when it needs to
// set something up once, LLVMFuzzerInitialize). The same file builds two ways: with clang's
// libFuzzer, which searches for inputs, and with replay_main.cpp, which runs the kept inputs
// once each under CTest in the ordinary build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
  std::abort();
}

// The input as a byte string.
inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The number of lines a reader of replies sees: one per line feed, and one more for text
// after the last line feed.
inline size_t LineCount(std::string_view text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines + (!text.empty() && text.back() != '\n');
}

// Lines past the first `skipped`, as a parser that passes over a heading reads them.
inline size_t LinesAfter(std::string_view text, size_t skipped) {
  const size_t lines = LineCount(text);
  return lines > skipped ? lines - skipped : 0;
}

// Takes fields off the front of an input; a field past its end reads as zero or empty.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : rest_(Bytes(data, size)) {}

  bool Empty() const { return rest_.empty(); }
  std::string_view Rest() const { return rest_; }

  uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  // Two bytes, the lower first.
  uint16_t Word() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
  }

  // Up to `count` bytes, fewer at the end of the input.
  std::string_view Take(size_t count) {
    const std::string_view taken = rest_.substr(0, count);
    rest_.remove_prefix(taken.size());
    return taken;
  }

 private:
  std::string_view rest_;
};

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
