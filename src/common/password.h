#pragma once
// The reversible scrambling of stored passwords.
#include <string>
#include <string_view>

// Each character at position i (counted from 1) is combined by exclusive-or with
// (64 - i) mod 256. The result has the same length and may hold any byte, NUL included;
// applying the function twice gives the text back.
std::string ScramblePassword(std::string_view text);
