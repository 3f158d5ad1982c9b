#include "units/number_text.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace zynta::units {
namespace {

std::atomic<char> g_decimalSeparator{'.'};

// ---------------------------------------------------------------------------
// Decimal digits of a double.
//
// All formatting goes through the same two steps: the exact binary value's
// decimal expansion correctly rounded to 18 significant digits, then that
// digit string rounded half away from zero at the wanted position. The two
// steps (rather than one correct rounding) are the display rule's own: they
// make 0.125 show as 0.13 and 2.675, stored as 2.67499999999999982..., as 2.67.
// ---------------------------------------------------------------------------

constexpr int kExpansionDigits = 18;

// The value sig[0].sig[1]sig[2]... * 10^exp, with sig[0] != '0';
// an empty sig is zero (whatever exp and negative say).
struct Decimal {
  std::string sig;
  int exp = 0;
  bool negative = false;

  bool IsZero() const { return sig.empty(); }

  // The digit in the 10^power place.
  char DigitAt(int power) const {
    const long idx = static_cast<long>(exp) - power;
    if (idx < 0 || idx >= static_cast<long>(sig.size())) return '0';
    return sig[static_cast<std::size_t>(idx)];
  }
};

int ReadExponent(const char* first, const char* last) {
  const bool minus = *first == '-';
  if (*first == '+' || *first == '-') ++first;
  int value = 0;
  std::from_chars(first, last, value);
  return minus ? -value : value;
}

// The 18-significant-digit expansion of v (finite).
Decimal Expand(double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0.0) return d;
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v),
                                 std::chars_format::scientific,
                                 kExpansionDigits - 1);
  // buf holds "d.ddddddddddddddddde[+-]xx".
  const char* e = std::find(buf, res.ptr, 'e');
  d.sig.assign(1, buf[0]);
  d.sig.append(static_cast<const char*>(buf + 2), e);
  d.exp = ReadExponent(e + 1, res.ptr);
  return d;
}

// Adds one unit in the last place of the first `keep` digits (already cut).
void IncrementLast(Decimal& d, int keep) {
  std::size_t i = d.sig.size();
  while (i > 0 && d.sig[i - 1] == '9') d.sig[--i] = '0';
  if (i > 0) {
    ++d.sig[i - 1];
    return;
  }
  // All nines (or nothing kept): the carry makes a new leading 1.
  d.sig.insert(d.sig.begin(), '1');
  if (static_cast<int>(d.sig.size()) > std::max(keep, 1)) d.sig.pop_back();
  ++d.exp;
}

// d rounded half away from zero to `keep` significant digits; keep 0 rounds
// at the place just above the leading digit, keep < 0 gives zero.
Decimal RoundSignificant(Decimal d, int keep) {
  if (d.IsZero() || keep >= static_cast<int>(d.sig.size())) return d;
  if (keep < 0) {
    d.sig.clear();
    return d;
  }
  const bool up = d.sig[static_cast<std::size_t>(keep)] >= '5';
  d.sig.resize(static_cast<std::size_t>(keep));
  if (up) IncrementLast(d, keep);
  return d;
}

std::string TrimmedDigits(const Decimal& d) {
  const auto last = d.sig.find_last_not_of('0');
  return d.sig.substr(0, last == std::string::npos ? 1 : last + 1);
}

std::string Padded(int n, int width) {
  std::string s = std::to_string(n);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}

// A zero result never carries a minus sign ("-0.001" shows as "0.00").
std::string SignOf(const Decimal& d) {
  return d.negative && !d.IsZero() ? "-" : "";
}

// "d" or "d<sep>ddd": the significant digits without trailing zeros.
std::string ShortMantissa(const Decimal& d, char sep) {
  const std::string digits = TrimmedDigits(d);
  std::string s(1, digits[0]);
  if (digits.size() > 1) s.append(1, sep).append(digits, 1);
  return s;
}

// ---------------------------------------------------------------------------
// Fixed form with 7 significant digits (the display rule's first step).
// ---------------------------------------------------------------------------

constexpr int kFixedSignificant = 7;

std::string FixedDigits(const Decimal& r, int decimals, char sep) {
  std::string s = SignOf(r);
  for (int p = std::max(r.IsZero() ? 0 : r.exp, 0); p >= 0; --p)
    s += r.DigitAt(p);
  if (decimals > 0) s += sep;
  for (int p = -1; p >= -decimals; --p) s += r.DigitAt(p);
  return s;
}

// More than 7 digits before the separator cannot be shown in a 7-digit field
// text, so the rounded value goes out as "1.234568E07": no exponent sign (the
// exponent is at least 7), padded to the field's decimals while those are
// few enough to keep the text short.
std::string ShortScientific(const Decimal& r, int decimals, char sep) {
  const int width = decimals <= 4 ? decimals : 0;
  return SignOf(r) + ShortMantissa(r, sep) + 'E' + Padded(r.exp, width);
}

// ---------------------------------------------------------------------------
// Field number syntax.
// ---------------------------------------------------------------------------

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  bool Eat(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  // Eats '+' or '-'; true for '-'.
  bool EatSign() { return !Eat('+') && Eat('-'); }
  void SkipSpaces() {
    while (Eat(' ')) {
    }
  }
  std::string_view EatDigits() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

struct FieldNumberParts {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  bool expNegative = false;
  std::string_view expDigits;
};

std::optional<FieldNumberParts> Scan(std::string_view text, char sep) {
  Scanner in(text);
  FieldNumberParts parts;
  in.SkipSpaces();
  parts.negative = in.EatSign();
  parts.intDigits = in.EatDigits();
  const bool hasSep = in.Eat(sep);
  if (hasSep) parts.fracDigits = in.EatDigits();
  if (parts.intDigits.empty() && !hasSep) return std::nullopt;
  if (in.Eat('E') || in.Eat('e')) {
    parts.expNegative = in.EatSign();
    parts.expDigits = in.EatDigits();
  }
  in.SkipSpaces();
  if (!in.AtEnd()) return std::nullopt;
  return parts;
}

// Exponents this large are outside any double's reach whatever the mantissa
// (short of a million-digit text), so longer exponent texts are capped here.
constexpr long kExponentCap = 999999;

long ExponentValue(const FieldNumberParts& parts) {
  long value = 0;
  for (char c : parts.expDigits) {
    value = std::min(value * 10 + (c - '0'), kExponentCap);
  }
  return parts.expNegative ? -value : value;
}

// The power of ten of the leading nonzero mantissa digit (mantissa not zero).
long LeadingPower(const FieldNumberParts& parts, long exponent) {
  const auto intLead = parts.intDigits.find_first_not_of('0');
  if (intLead != std::string_view::npos)
    return exponent + static_cast<long>(parts.intDigits.size() - intLead) - 1;
  const auto fracLead = parts.fracDigits.find_first_not_of('0');
  return exponent - static_cast<long>(fracLead) - 1;
}

std::optional<double> Convert(const FieldNumberParts& parts) {
  const long exponent = ExponentValue(parts);
  std::string norm = parts.negative ? "-" : "";
  norm.append(parts.intDigits.empty() ? "0" : parts.intDigits);
  norm.append(".").append(parts.fracDigits.empty() ? "0" : parts.fracDigits);
  norm.append("e").append(std::to_string(exponent));
  double value = 0.0;
  // Reading a number must not leave floating-point flags behind: the calculator checks them
  // to report faults of its own computations.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  const auto res = std::from_chars(norm.data(), norm.data() + norm.size(), value);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  if (res.ec == std::errc()) return value;
  // Out of range: too large is not a field number; too small reads as zero.
  if (LeadingPower(parts, exponent) >= 0) return std::nullopt;
  return parts.negative ? -0.0 : 0.0;
}

// 10^-decimals as the double nearest to it, the same double that the field
// text "0.01" (for 2 decimals) reads back as.
double UnitOfLastDecimal(int decimals) {
  return ParseFieldNumber("1e-" + std::to_string(decimals), '.').value_or(0.0);
}

// ---------------------------------------------------------------------------
// Invariant text.
// ---------------------------------------------------------------------------

constexpr int kInvariantSignificant = 15;

// Plain positional digits of r (not zero, trailing zeros trimmed).
std::string InvariantPositional(const Decimal& r, const std::string& digits) {
  if (r.exp < 0) return "0." + std::string(static_cast<std::size_t>(-r.exp - 1), '0') + digits;
  const auto intCount = static_cast<std::size_t>(r.exp) + 1;
  if (digits.size() <= intCount) return digits + std::string(intCount - digits.size(), '0');
  return digits.substr(0, intCount) + '.' + digits.substr(intCount);
}

}  // namespace

char DecimalSeparator() { return g_decimalSeparator.load(std::memory_order_relaxed); }

void SetDecimalSeparator(char sep) {
  assert(sep == '.' || sep == ',');
  if (sep == '.' || sep == ',') g_decimalSeparator.store(sep, std::memory_order_relaxed);
}

std::optional<double> ParseFieldNumber(std::string_view text, char sep) {
  const auto parts = Scan(text, sep);
  if (!parts) return std::nullopt;
  return Convert(*parts);
}

std::optional<double> ParseFieldNumber(std::string_view text) {
  return ParseFieldNumber(text, DecimalSeparator());
}

std::string FormatFixed7(double v, int decimals, char sep) {
  assert(std::isfinite(v));
  assert(decimals >= 0);
  const Decimal d = Expand(v);
  // The rounding position is whichever comes first: the 7th significant
  // digit or the last shown decimal.
  const Decimal r = RoundSignificant(d, std::min(kFixedSignificant, d.exp + 1 + decimals));
  if (!r.IsZero() && r.exp >= kFixedSignificant) return ShortScientific(r, decimals, sep);
  return FixedDigits(r, decimals, sep);
}

std::string FormatExponent(double v, int precision, int expDigits, char sep) {
  assert(std::isfinite(v));
  assert(precision >= 1);
  assert(expDigits >= 0 && expDigits <= 4);
  const Decimal r = RoundSignificant(Expand(v), precision);
  const int exp = r.IsZero() ? 0 : r.exp;
  std::string s = SignOf(r);
  s += r.DigitAt(exp);
  if (precision > 1) s += sep;
  for (int p = exp - 1; p > exp - precision; --p) s += r.DigitAt(p);
  s += 'E';
  s += exp < 0 ? '-' : '+';
  return s + Padded(std::abs(exp), expDigits);
}

std::string DisplayText(double v, double paramValue, int decimals, char sep) {
  const std::string fixed = FormatFixed7(v, decimals, sep);
  const std::optional<double> shown = ParseFieldNumber(fixed, sep);
  assert(shown.has_value());
  const double r = shown.value_or(v);
  // The fixed text would hide the value: it reads back as something other
  // than the stored value and lies below the last shown decimal (small
  // values turned to 0.00, and negative values that lost digits), so the
  // value goes out in scientific form with at least one more digit.
  if (r != paramValue && r < UnitOfLastDecimal(decimals))
    return FormatExponent(v, std::max(decimals + 1, 2), 2, sep);
  // Large values: three significant digits are all a field shows usefully.
  // The exponent is padded to the field's decimals while those stay few.
  if (r > 1e7) return FormatExponent(v, 3, decimals <= 4 ? decimals : 0, sep);
  return fixed;
}

std::string InvariantFloatToStr(double x) {
  assert(std::isfinite(x));
  const Decimal r = RoundSignificant(Expand(x), kInvariantSignificant);
  if (r.IsZero()) return "0";
  const std::string digits = TrimmedDigits(r);
  // Exponent form for tiny magnitudes and for more integer digits than the
  // 15 significant ones can fill.
  if (r.exp < -4 || r.exp >= kInvariantSignificant)
    return SignOf(r) + ShortMantissa(r, '.') + 'E' + std::to_string(r.exp);
  return SignOf(r) + InvariantPositional(r, digits);
}

double InvariantStrToFloat(std::string_view text) {
  const char sep = DecimalSeparator();
  std::string copy(text);
  // Settings files written with '.' stay readable under a ',' separator.
  if (sep == ',') {
    const auto dot = copy.find('.');
    if (dot != std::string::npos) copy[dot] = ',';
  }
  if (copy.empty()) return 0.0;
  return ParseFieldNumber(copy, sep).value_or(0.0);
}

}  // namespace zynta::units
