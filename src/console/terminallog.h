#pragma once
// How a remote console keeps its log: the walk that turns a reply datagram into log lines,
// and the log file. Plain C++; the window only shows
// the lines.
#include <string>
#include <string_view>
#include <vector>

namespace console {

// The log lines of one reply: the first four bytes (the marker) are removed and the rest is
// cut at every line feed. Characters after the last line feed make a line of their own, so
// nothing a server prints is lost. An empty or marker-only datagram gives no line. Carriage
// returns, colour codes and every other byte stay as they came.
std::vector<std::string> ReplyLines(std::string_view datagram);

// Appends one reply to a log held as lines: its lines, then an empty line unless the log is
// empty or already ends with one, so that exactly one empty line separates replies.
void AppendReply(std::vector<std::string>& log, std::string_view datagram);

// The log as a text file: every line followed by CR LF, bytes unchanged.
std::string LogFileBytes(const std::vector<std::string>& lines);

// Writes the log to the native file name. Raises platform::EFCreateError "Cannot create file
// %s" when the file cannot be created, and platform::Exception "Stream write error" when it
// was created but could not be written whole.
void SaveLogFile(const std::string& nativeFileName, const std::vector<std::string>& lines);

}  // namespace console
