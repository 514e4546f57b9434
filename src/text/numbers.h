// Number conversions with the rules the stored formats were written with: integers with optional
// blanks, sign and "$"/"0x" hex; floats with "." and a 15-digit general format; Round to even.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

// Integer text: leading blanks, an optional sign, decimal digits or "$"/"0x" hexadecimal, and
// nothing after. Out-of-range text fails. Hex up to FFFFFFFF wraps into the signed range.
bool tryStrToInt(std::string_view text, int32_t& out);
bool tryStrToInt64(std::string_view text, int64_t& out);
int32_t strToIntDef(std::string_view text, int32_t fallback);

// Float text with "." as the decimal separator and blanks around; no hex, inf or nan.
bool tryStrToFloat(std::string_view text, double& out);

std::string intToStr(int64_t value);
// General format with up to 15 significant digits, "." always, exponent as "1E-5" / "1E20".
std::string floatToStr(double value);
// Fixed format with `decimals` digits after ".".
std::string floatToStrFixed(double value, int decimals);

// Round to nearest, ties to even (12.5 -> 12, 13.5 -> 14).
int64_t roundHalfEven(double value);
// Round(num / den) computed exactly, ties to even; `den` must not be 0. For formulas whose
// operands are whole numbers, where a double could land just beside a tie.
int64_t roundHalfEvenDiv(int64_t num, int64_t den);

}  // namespace ks
