#pragma once
// Text crosses between two worlds: inside Corvane every string is 8-bit Windows-1252
// (what the game servers send and what the INI files hold); widgets take Unicode.
// These are the only conversions between the two.
#include <QString>

#include <string>
#include <string_view>

namespace platform {

// Windows-1252 bytes to Unicode. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control characters of the same value, as Windows does.
QString ToUnicode(std::string_view ansi);

// Unicode to Windows-1252; a character the code page has no byte for becomes '?'.
std::string ToAnsi(const QString& text);

// As ToUnicode, for texts shown in message boxes, labels and tooltips: a carriage return
// that is not followed by a line feed breaks the line there, as it does on Windows.
QString ToDisplay(std::string_view ansi);

// A native file name (bytes in the locale's encoding) as 8-bit text for a message.
std::string PathToAnsi(const std::string& nativePath);

}  // namespace platform
