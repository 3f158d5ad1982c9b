// Field numbers and the number texts written back into fields.
//
// The input as text: ParseFieldNumber with '.' and with ',' agrees with a scanner of its own
// syntax and with strtod on the same number, and leaves no floating-point flag behind.
// The input as doubles (the value its text reads as, and its first bytes, 8 at a time): every
// number text (DisplayText, FormatFixed7, FormatExponent, FormatGeneral, for 0 to 18 decimals,
// both separators) has the expected form, reads back as a field number in that separator,
// and stays as close to the value as its digits allow.

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "units/number_text.h"

namespace zynta::units {
namespace {

using fuzz::Shown;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The field-number syntax, scanned on its own: the number in strtod's syntax, or nullopt.
std::optional<std::string> Normalised(std::string_view t, char sep) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    return std::string(t.substr(from, i - from));
  };
  while (i < t.size() && t[i] == ' ') ++i;
  std::string sign;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) sign = t[i++] == '-' ? "-" : "";
  const std::string whole = digits();
  bool hasSep = false;
  std::string frac;
  if (i < t.size() && t[i] == sep) {
    hasSep = true;
    ++i;
    frac = digits();
  }
  if (whole.empty() && !hasSep) return std::nullopt;
  std::string expSign;
  std::string exp;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) expSign = t[i++] == '-' ? "-" : "";
    exp = digits();
  }
  while (i < t.size() && t[i] == ' ') ++i;
  if (i != t.size()) return std::nullopt;
  return sign + (whole.empty() ? "0" : whole) + "." + (frac.empty() ? "0" : frac) + "e" + expSign +
         (exp.empty() ? "0" : exp);
}

std::string Bits(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

void CheckParse(std::string_view text, char sep) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const std::optional<double> got = ParseFieldNumber(text, sep);
  FUZZ_CHECK(std::fetestexcept(FE_ALL_EXCEPT) == 0, "flags left by " + Shown(text));
  const std::optional<std::string> number = Normalised(text, sep);
  if (!number) {
    FUZZ_CHECK(!got, Shown(text) + " is no field number but read as " + Bits(*got));
    return;
  }
  errno = 0;
  const double want = std::strtod(number->c_str(), nullptr);
  std::feclearexcept(FE_ALL_EXCEPT);
  if (!std::isfinite(want)) {
    FUZZ_CHECK(!got, Shown(text) + " is beyond the double range but read as " + Bits(*got));
    return;
  }
  FUZZ_CHECK(got.has_value(), Shown(text) + " is a field number but did not read");
  FUZZ_CHECK(std::isfinite(*got), Shown(text));
  const bool denormal = want != 0.0 && std::fabs(want) < DBL_MIN;
  const bool same = *got == want && std::signbit(*got) == std::signbit(want);
  const bool flushed = denormal && *got == 0.0 && std::signbit(*got) == std::signbit(want);
  FUZZ_CHECK(same || flushed, Shown(text) + " read as " + Bits(*got) + ", strtod gives " + Bits(want));
}

// text holds only digits, '-', '+', 'E' and the separator sep.
void CheckAlphabet(const std::string& text, char sep, const char* what) {
  for (const char c : text)
    FUZZ_CHECK(IsDigit(c) || c == '-' || c == '+' || c == 'E' || c == sep,
               std::string(what) + " wrote " + Shown(text));
}

// The value the text shows, which must read back: texts of values whose rounding goes past
// the largest double (above 1e308) are the only ones allowed not to.
std::optional<double> ReadBack(const std::string& text, char sep, double v, const char* what) {
  const std::optional<double> r = ParseFieldNumber(text, sep);
  FUZZ_CHECK(r.has_value() || std::fabs(v) > 1e308,
             std::string(what) + "(" + Bits(v) + ") wrote " + Shown(text) + ", which does not read back");
  if (r && text.starts_with('-'))
    FUZZ_CHECK(*r != 0.0, std::string(what) + "(" + Bits(v) + ") wrote a minus zero " + Shown(text));
  return r;
}

void CheckClose(double r, double v, double bound, const char* what, const std::string& text) {
  // Slack for the 18-digit expansion, the reading back and the denormals.
  const double allowed = bound * (1 + 1e-9) + std::fabs(v) * 1e-15 + 1e-320;
  FUZZ_CHECK(std::fabs(r - v) <= allowed, std::string(what) + " " + Shown(text) + ": " + Bits(v) + " shown as " +
                                              Bits(r) + ", off by more than " + Bits(allowed));
}

double Unit(int decimals) { return std::pow(10.0, -decimals); }

void CheckFixed(double v, int decimals, char sep) {
  const std::string text = FormatFixed7(v, decimals, sep);
  CheckAlphabet(text, sep, "FormatFixed7");
  const std::optional<double> r = ReadBack(text, sep, v, "FormatFixed7");
  if (!r) return;
  CheckClose(*r, v, std::max(0.5 * Unit(decimals), 5e-7 * std::fabs(v)), "FormatFixed7", text);
  // Fixed form: exactly `decimals` digits after the separator.
  if (text.find('E') == std::string::npos) {
    const std::size_t at = text.find(sep);
    if (decimals == 0) {
      FUZZ_CHECK(at == std::string::npos, Shown(text));
    } else {
      FUZZ_CHECK(at != std::string::npos && text.size() - at - 1 == static_cast<std::size_t>(decimals),
                 Shown(text) + " for " + std::to_string(decimals) + " decimals");
    }
  }
}

void CheckDisplay(double v, double param, int decimals, char sep) {
  const std::string text = DisplayText(v, param, decimals, sep);
  CheckAlphabet(text, sep, "DisplayText");
  const std::optional<double> r = ReadBack(text, sep, v, "DisplayText");
  if (!r) return;
  // Scientific texts keep at least two significant digits.
  CheckClose(*r, v, std::max(0.0501 * std::fabs(v), 0.5 * Unit(decimals)), "DisplayText", text);
  if (*r != 0.0) FUZZ_CHECK(std::signbit(*r) == std::signbit(v), Shown(text) + " for " + Bits(v));
}

void CheckExponent(double v, int precision, int expDigits, char sep) {
  const std::string text = FormatExponent(v, precision, expDigits, sep);
  CheckAlphabet(text, sep, "FormatExponent");
  // [-]d[<sep>ddd]E(+|-)dd
  std::size_t i = text.starts_with('-') ? 1 : 0;
  FUZZ_CHECK(i < text.size() && IsDigit(text[i]), Shown(text));
  ++i;
  if (precision > 1) {
    FUZZ_CHECK(i < text.size() && text[i] == sep, Shown(text));
    ++i;
    for (int k = 1; k < precision; ++k, ++i) FUZZ_CHECK(i < text.size() && IsDigit(text[i]), Shown(text));
  }
  FUZZ_CHECK(i + 1 < text.size() && text[i] == 'E' && (text[i + 1] == '+' || text[i + 1] == '-'), Shown(text));
  const std::size_t expLength = text.size() - i - 2;
  FUZZ_CHECK(expLength >= static_cast<std::size_t>(std::max(expDigits, 1)), Shown(text));
  for (std::size_t k = i + 2; k < text.size(); ++k) FUZZ_CHECK(IsDigit(text[k]), Shown(text));
  const std::optional<double> r = ReadBack(text, sep, v, "FormatExponent");
  if (!r) return;
  if (precision >= 17) {
    FUZZ_CHECK(*r == v, "FormatExponent " + Shown(text) + " does not give back " + Bits(v));
  } else {
    CheckClose(*r, v, 0.5 * std::pow(10.0, 1 - precision) * std::fabs(v) * 1.1, "FormatExponent", text);
  }
}

void CheckGeneral(double v, int precision, int expDigits, char sep) {
  const std::string text = FormatGeneral(v, precision, expDigits, sep);
  CheckAlphabet(text, sep, "FormatGeneral");
  FUZZ_CHECK(text.find('+') == std::string::npos, Shown(text));
  const std::string mantissa = text.substr(0, text.find('E'));
  if (mantissa.find(sep) != std::string::npos)
    FUZZ_CHECK(mantissa.back() != '0' && mantissa.back() != sep, "trailing zeros in " + Shown(text));
  const std::optional<double> r = ReadBack(text, sep, v, "FormatGeneral");
  if (!r) return;
  if (precision >= 17) {
    FUZZ_CHECK(*r == v, "FormatGeneral " + Shown(text) + " does not give back " + Bits(v));
  } else {
    CheckClose(*r, v, 0.5 * std::pow(10.0, 1 - precision) * std::fabs(v) * 1.1, "FormatGeneral", text);
  }
}

void CheckInvariant(double v) {
  const std::string text = InvariantFloatToStr(v);
  FUZZ_CHECK(text.find(',') == std::string::npos, Shown(text));
  for (const char sep : {'.', ','}) {
    SetDecimalSeparator(sep);
    const double r = InvariantStrToFloat(text);
    SetDecimalSeparator('.');
    if (std::fabs(v) <= 1e308) CheckClose(r, v, 5e-15 * std::fabs(v) * 1.1, "InvariantStrToFloat", text);
  }
}

void CheckFormats(double v, double other) {
  if (!std::isfinite(v)) return;
  for (const char sep : {'.', ','}) {
    for (int decimals = 0; decimals <= 18; ++decimals) {
      CheckFixed(v, decimals, sep);
      const double shown = ParseFieldNumber(FormatFixed7(v, decimals, sep), sep).value_or(v);
      const double params[] = {v, shown, std::isfinite(other) ? other : 0.0};
      CheckDisplay(v, params[decimals % 3], decimals, sep);
      CheckExponent(v, decimals + 1, decimals % 5, sep);
      CheckGeneral(v, decimals + 1, decimals % 5, sep);
    }
  }
  CheckInvariant(v);
}

}  // namespace
}  // namespace zynta::units

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zynta::units;
  const std::string_view text = zynta::fuzz::AsText(data, size);
  CheckParse(text, '.');
  CheckParse(text, ',');

  // The value the text reads as, and the first three doubles of its bytes.
  std::vector<double> values;
  for (const char sep : {'.', ','}) {
    const std::optional<double> v = ParseFieldNumber(text, sep);
    if (v && (values.empty() || *v != values.back())) values.push_back(*v);
  }
  const std::size_t wanted = values.size() + 3;
  for (std::size_t at = 0; at + sizeof(double) <= size && values.size() < wanted; at += sizeof(double)) {
    double v = 0.0;
    std::memcpy(&v, data + at, sizeof v);
    values.push_back(v);
  }
  for (std::size_t i = 0; i < values.size(); ++i) CheckFormats(values[i], values[(i + 1) % values.size()]);
  return 0;
}
