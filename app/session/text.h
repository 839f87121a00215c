#pragma once
// Text helpers shared by every message and file of the system.

#include <string>
#include <string_view>

namespace tidemet {

inline constexpr std::string_view AppTitle = "Tidemet";
inline constexpr std::string_view CrLf = "\r\n";

// The "standard number-to-text conversion": a blank before a non-negative number, at most seven
// significant digits for a single-precision value (fifteen for a double), no trailing zeros, and
// no leading zero before the decimal point (" .5", "-.25").
std::string Str(float v);
std::string Str(double v);
std::string Str(long long v);

// As Str, without the leading blank of a non-negative number (what joining text with a number
// gives).
std::string NumText(float v);
std::string NumText(double v);
std::string NumText(long long v);

// The leading number of a text, as the platform's Val reads it: blanks are skipped, an optional
// sign, digits and one decimal point; anything else ends the number. No number gives 0.
double Val(std::string_view text);

// The same lines joined by line feeds alone, for a terminal or a text box.
std::string WithLineFeeds(std::string_view crlfText);

// Joins lines with CrLf.
std::string JoinLines(std::initializer_list<std::string_view> lines);

}  // namespace tidemet
