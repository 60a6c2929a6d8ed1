#include "console/terminallog.h"

#include <cstdio>

#include "platform/errors.h"
#include "platform/text.h"
#include "protocol/packets.h"

namespace console {

std::vector<std::string> ReplyLines(std::string_view datagram) {
  std::vector<std::string> lines;
  std::string_view text = protocol::DatagramText(datagram);
  for (;;) {
    const size_t feed = text.find('\n');
    if (feed == std::string_view::npos) break;
    lines.emplace_back(text.substr(0, feed));
    text.remove_prefix(feed + 1);
  }
  if (!text.empty()) lines.emplace_back(text);
  return lines;
}

void AppendReply(std::vector<std::string>& log, std::string_view datagram) {
  for (std::string& line : ReplyLines(datagram)) log.push_back(std::move(line));
  if (!log.empty() && !log.back().empty()) log.emplace_back();
}

std::string LogFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

void SaveLogFile(const std::string& nativeFileName, const std::vector<std::string>& lines) {
  std::FILE* file = std::fopen(nativeFileName.c_str(), "wb");
  if (!file) throw platform::EFCreateError(platform::FormatMessage("Cannot create file %s", platform::PathToAnsi(nativeFileName)));
  const std::string bytes = LogFileBytes(lines);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) throw platform::Exception("Stream write error");
}

}  // namespace console
