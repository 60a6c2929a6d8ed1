#pragma once
// Cleaning the text that game servers send: trimming, column tokens, colour codes and the
// games' console-font characters. All text is 8-bit; nothing here keeps state.
#include <cstddef>
#include <string>
#include <string_view>

// The text with every "/" replaced by "\" (a model such as sarge/blue becomes a relative path).
std::string SlashToBackslash(std::string_view text);

// The text without space characters (code 32) at either end; tabs, CR and LF are kept.
std::string TrimSpaces(std::string_view text);

// Takes the next column token from the front of `line`. The line is first trimmed of spaces;
// then characters move to the token while the token holds at most `width` characters or the
// line does not start with a space. So width 0 reads one word, and width 15 reads a
// fixed-width field of at least 16 characters (spaces included) that runs on to the next
// space. The line keeps the rest, starting with the space that ended the token.
std::string NextToken(std::string& line, int width);

// The console-font character `c` as a plain look-alike, or `c` itself.
char MapSpecialChar(char c);

// The text without colour codes ("^" followed by 0..7), every other character mapped by
// MapSpecialChar. A "^" not followed by 0..7 is kept and the character after it is looked at
// on its own.
std::string StripColorCodes(std::string_view text);

namespace common {

// NextToken over a view, for parsers that read many columns: `line` is narrowed to the rest.
// Same rules as NextToken; a negative width counts as 0.
std::string_view NextTokenView(std::string_view& line, std::size_t width);

// TrimSpaces without a copy.
std::string_view TrimSpacesView(std::string_view text);

// Appends StripColorCodes(text) to `out`.
void AppendStripped(std::string& out, std::string_view text);

}  // namespace common
