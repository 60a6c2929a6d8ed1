#pragma once
// Whole-number conversions with the rules the INI files and the port fields rely on:
// optional leading blanks, an optional sign, decimal digits, or hexadecimal after "$",
// "0x" or "0X"; nothing may follow; the value must fit 32 bits.
#include <string>

namespace platform {

bool TryStrToInt(const std::string& text, int& value);
// Raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);
int StrToIntDef(const std::string& text, int fallback);
std::string IntToStr(long long value);

}  // namespace platform
