#include "support/gameserver/text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace test::gameserver {
namespace {

// Both tokenizers compare plain (signed) chars with ' ', so bytes above 127 count as white space.
bool IsBlank(unsigned char c) { return c <= ' ' || c >= 0x80; }

std::vector<std::string> TokenizeQuake3(std::string_view text) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto at = [&](std::size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(text[k]) : 0; };
  for (;;) {
    for (;;) {
      while (i < n && IsBlank(at(i))) ++i;
      if (i >= n) return args;
      if (at(i) == '/' && at(i + 1) == '/') return args;
      if (at(i) == '/' && at(i + 1) == '*') {
        while (i < n && !(at(i) == '*' && at(i + 1) == '/')) ++i;
        if (i >= n) return args;
        i += 2;
      } else {
        break;
      }
    }
    std::string arg;
    if (at(i) == '"') {
      ++i;
      while (i < n && at(i) != '"') arg += text[i++];
      args.push_back(std::move(arg));
      if (i >= n) return args;
      ++i;
      continue;
    }
    while (i < n && !IsBlank(at(i))) {
      if (at(i) == '"') break;
      if (at(i) == '/' && (at(i + 1) == '/' || at(i + 1) == '*')) break;
      arg += text[i++];
    }
    args.push_back(std::move(arg));
    if (i >= n) return args;
  }
}

std::vector<std::string> TokenizeQuake2(std::string_view text) {
  constexpr std::size_t kMaxTokenChars = 128;
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto at = [&](std::size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(text[k]) : 0; };
  for (;;) {
    while (i < n && IsBlank(at(i))) ++i;
    if (i >= n) return args;
    if (at(i) == '/' && at(i + 1) == '/') return args;  // a comment runs to the end of the line
    std::string arg;
    if (at(i) == '"') {
      ++i;
      while (i < n && at(i) != '"') {
        if (arg.size() < kMaxTokenChars) arg += text[i];
        ++i;
      }
      if (i < n) ++i;
      args.push_back(std::move(arg));
      continue;
    }
    while (i < n && !IsBlank(at(i))) {
      if (arg.size() < kMaxTokenChars) arg += text[i];
      ++i;
    }
    if (arg.size() == kMaxTokenChars) arg.clear();
    args.push_back(std::move(arg));
  }
}

}  // namespace

std::string ReadPacketLine(Game game, std::string_view payload) {
  std::string line;
  for (char ch : payload) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0 || c == '\n') break;
    if (game == Game::Quake3) {
      line += (c == '%' || c > 127) ? '.' : ch;
    } else {
      if (c == 0xFF) break;
      line += ch;
    }
  }
  return line;
}

std::vector<std::string> Tokenize(Game game, std::string_view line) {
  return game == Game::Quake3 ? TokenizeQuake3(line) : TokenizeQuake2(line);
}

std::string ArgsFrom(const std::vector<std::string>& args, std::size_t first) {
  std::string joined;
  for (std::size_t i = first; i < args.size(); ++i) {
    if (i > first) joined += ' ';
    joined += args[i];
  }
  return joined;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool IsColorCode(std::string_view text, std::size_t at) {
  return at + 1 < text.size() && text[at] == '^' && std::isalnum(static_cast<unsigned char>(text[at + 1]));
}

std::size_t VisibleLength(std::string_view name) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < name.size();) {
    if (IsColorCode(name, i)) {
      i += 2;
    } else {
      ++count;
      ++i;
    }
  }
  return count;
}

std::string CleanName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsColorCode(name, i)) {
      ++i;
    } else if (c >= 0x20 && c <= 0x7E) {
      out += name[i];
    }
  }
  return out;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
  va_end(args);
  return out;
}

std::string Escape(std::string_view bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      out += Format("\\x%02x", c);
    }
  }
  return out;
}

}  // namespace test::gameserver
