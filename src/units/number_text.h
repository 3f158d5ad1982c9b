// Number text of ZYNTA: reading what the user types into a number field,
// writing values back into fields by the display rule, and the invariant
// ('.'-separated) text used by the settings file.
//
// Everything here is locale independent: the decimal separator is the
// program's own setting (DecimalSeparator()), never the C locale, which the
// GUI process changes with setlocale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zynta::units {

// The user's decimal separator, '.' by default.
char DecimalSeparator();

// Sets the user's decimal separator; sep must be '.' or ','. Any other
// character is refused (asserted in debug builds, ignored otherwise).
void SetDecimalSeparator(char sep);

// A field number written with the decimal separator sep:
//   [spaces] [+|-] digits [sep digits] [(E|e) [+|-] digits] [spaces]
// where the mantissa needs at least one digit or the separator (a lone
// separator reads as 0) and an exponent marker without digits reads as
// exponent 0. Only ' ' counts as a space; there are no thousands separators.
// std::nullopt when the text is not a field number, including empty text and
// values beyond the double range (underflow reads as 0 or a denormal).
std::optional<double> ParseFieldNumber(std::string_view text, char sep);

// The same with DecimalSeparator().
std::optional<double> ParseFieldNumber(std::string_view text);

// v in fixed-point form with exactly `decimals` digits after sep, rounded to
// at most 7 significant digits (later digits are written as 0). When the
// rounding leaves more than 7 digits before the separator, the short
// scientific form instead: "1.234568E07" (significant digits without trailing
// zeros, unsigned exponent padded to `decimals` digits when decimals <= 4).
// Preconditions: v finite, decimals >= 0.
std::string FormatFixed7(double v, int decimals, char sep);

// Scientific form: optional '-', one digit, sep and precision-1 digits, 'E',
// the exponent's sign (always written) and at least expDigits exponent digits.
// Preconditions: v finite, precision >= 1, 0 <= expDigits <= 4.
std::string FormatExponent(double v, int precision, int expDigits, char sep);

// The display rule: the field text for v, the value in the shown unit, of a
// parameter whose stored base-unit value is paramValue.
// Preconditions: v finite, decimals >= 0.
std::string DisplayText(double v, double paramValue, int decimals, char sep);

// The most decimals a field shows; an edited settings file cannot bring more.
constexpr int kMaxDecimals = 18;

// The decimals a field number is written with, as the fixed form needs them to show every
// digit: "0.00631" 5, "100" 0, "1.234e-3" 6, "1.5E3" 0; at most kMaxDecimals; -1 when the
// text is not a field number.
int DecimalsWritten(std::string_view text, char sep);

// The significant digits a field text shows, trailing zeros included: "0.01" shows 1,
// "0.00631" 3, "120.00" 5, "1.23E-03" 3, "0.00" none; the short scientific form of large
// values ("1E07", "1.234568E07") counts as its 7-digit rounding.
int SignificantDigits(std::string_view text);

// The fewest decimals, not fewer than `decimals` and at most kMaxDecimals, with which the
// display rule shows `significant` significant digits of v, or a text that reads back as v
// exactly; `decimals` itself for zero.
int DecimalsShowing(double v, double paramValue, int decimals, int significant, char sep);

// x with up to 15 significant digits, always with '.', without trailing
// zeros; exponent form ("5E-6", "1E15") for magnitudes below 0.0001 or needing
// more than 15 digits before the point. Precondition: x finite.
// General format: up to `precision` significant digits, no trailing zeros, no separator
// without decimals; exponent form below 0.0001 or with more integer digits than the precision
// ("E", a "-" only for a negative exponent, its digits padded to expDigits).
std::string FormatGeneral(double x, int precision, int expDigits, char sep);
std::string InvariantFloatToStr(double x);

// The digits every text of v is made from: v's exact binary value rounded to 18 significant
// digits (to the nearest, ties to even) and the power of ten of the first, written as
// std::to_chars writes them in scientific form with 17 decimals ("-1.23450000000000000e-02");
// "0" or "-0" is written "0". ExpansionText computes them in integer arithmetic wherever
// that reaches (the magnitudes of field values), LibraryExpansionText always asks
// std::to_chars: the two agree for every finite double. Precondition: v finite.
std::string ExpansionText(double v);
std::string LibraryExpansionText(double v);

// Reads a settings-file number: with a ',' DecimalSeparator() the first '.' is
// taken as the separator, so both "1.5" and "1,5" read; with '.' only "1.5"
// does. Empty text and text that is not a number give 0.
double InvariantStrToFloat(std::string_view text);

}  // namespace zynta::units
