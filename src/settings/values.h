#pragma once
// What a value read from the server means for each kind of input of the settings dialog.
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// What a reply value does to a spin field: the whole number it holds (decimal, or hexadecimal
// after "$" or "0x"), nothing when it holds none.
std::optional<int> SpinValue(const std::string& value);
// A check box is checked exactly for "1".
bool CheckValue(std::string_view value);

// Whether the input then shows the server's value as it is, so that sending the input back
// unchanged leaves the server as it was. A spin field does so for a plain decimal number
// (the server reads "0x10" as 0, and "1.5" is no whole number at all), a check box for "0"
// and "1" ("2" or "yes" would go back as 0), a text field always.
bool SpinShowsValue(std::string_view value);
bool CheckShowsValue(std::string_view value);

}  // namespace settings
