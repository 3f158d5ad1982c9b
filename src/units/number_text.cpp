#include "units/number_text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cassert>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#endif

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
//
// Field texts are written on every solve, so the digits live in a fixed
// buffer and each function builds its text in one std::string of the final
// length (short texts stay in the string's own storage, without allocation).
// ---------------------------------------------------------------------------

constexpr int kExpansionDigits = 18;

// The value sig[0].sig[1]sig[2]... * 10^exp, with sig[0] != '0';
// len == 0 is zero (whatever exp and negative say).
struct Decimal {
  char sig[kExpansionDigits + 1];  // one spare for the carry's new leading 1
  int len = 0;
  int exp = 0;
  bool negative = false;

  bool IsZero() const { return len == 0; }
  // A zero result never carries a minus sign ("-0.001" shows as "0.00").
  bool Minus() const { return negative && len != 0; }

  // The digit in the 10^power place.
  char DigitAt(int power) const {
    const long idx = static_cast<long>(exp) - power;
    if (idx < 0 || idx >= len) return '0';
    return sig[idx];
  }

  // The number of significant digits without trailing zeros (at least 1).
  int TrimmedLength() const {
    int n = len;
    while (n > 1 && sig[n - 1] == '0') --n;
    return std::max(n, 1);
  }
};

// The 18-significant-digit expansion of v (finite) as std::to_chars writes it: the general
// way, for every double.
Decimal ExpandByLibrary(double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0.0) return d;
  char buf[32];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, kExpansionDigits - 1);
  // buf holds "d.ddddddddddddddddde[+-]xx": one digit, the point, 17 digits.
  constexpr int kMarker = kExpansionDigits + 1;
  assert(res.ec == std::errc() && buf[1] == '.' && buf[kMarker] == 'e');
  d.sig[0] = buf[0];
  std::memcpy(d.sig + 1, buf + 2, kExpansionDigits - 1);
  d.len = kExpansionDigits;
  const char* first = buf + kMarker + 1;
  const bool minus = *first == '-';
  int exponent = 0;
  std::from_chars(first + 1, res.ptr, exponent);  // after the always written sign
  d.exp = minus ? -exponent : exponent;
  return d;
}

// The same digits in integer arithmetic, for the magnitudes field values have (about 1e-15 to
// 1e47, normal doubles). v = m * 2^e exactly, and its first 18 digits are the integer part of
// N = m * 2^e * 10^k for the k that puts N in [10^17, 10^18). Since 10^k = 2^k * 5^k, N is m *
// 5^k shifted by e + k bits (k >= 0), or m shifted by e + k bits and divided by 5^-k (k < 0):
// in 128 bits both are exact, and so is the remainder that decides the rounding, to the
// nearest with ties to even as std::to_chars rounds. False where 128 bits do not reach.
using Wide = unsigned __int128;

constexpr int kMaxPow5 = 54;  // 5^54 < 2^126

constexpr std::array<Wide, kMaxPow5 + 1> kPow5 = [] {
  std::array<Wide, kMaxPow5 + 1> p{};
  p[0] = 1;
  for (int i = 1; i <= kMaxPow5; ++i) p[static_cast<std::size_t>(i)] = p[static_cast<std::size_t>(i) - 1] * 5;
  return p;
}();

constexpr std::uint64_t kLow18 = 100000000000000000ULL;  // 10^17
constexpr std::uint64_t kHigh18 = 10 * kLow18;           // 10^18

// The integer part q of m * 2^e * 10^k and how the remainder compares with one half: -1 below,
// 0 equal, 1 above. False when the numbers leave 128 bits.
bool ScaledDigits(std::uint64_t m, int e, int k, std::uint64_t& q, int& half) {
  const int shift = e + k;  // the power of two left after 10^k's own 2^k
  if (k >= 0) {
    if (k > 32) return false;  // m * 5^k must stay below 2^128 (m < 2^53, 5^32 < 2^75)
    const Wide p = Wide{m} * kPow5[static_cast<std::size_t>(k)];
    if (shift >= 0) {
      if (shift > 10 || (p >> (64 - shift)) != 0) return false;
      q = static_cast<std::uint64_t>(p << shift);
      half = -1;  // no remainder
      return true;
    }
    const int s = -shift;
    if (s >= 127) return false;
    const Wide quotient = p >> s;
    if ((quotient >> 64) != 0) return false;
    const Wide rem = p & ((Wide{1} << s) - 1);
    const Wide mid = Wide{1} << (s - 1);
    q = static_cast<std::uint64_t>(quotient);
    half = rem < mid ? -1 : rem == mid ? 0 : 1;
    return true;
  }
  const int j = -k;
  if (static_cast<std::size_t>(j) >= kPow5.size() || shift < 0 || shift > 74) return false;
  const Wide num = Wide{m} << shift;
  const Wide den = kPow5.at(static_cast<std::size_t>(j));
  const Wide quotient = num / den;
  if ((quotient >> 64) != 0) return false;
  const Wide rem = num - quotient * den;
  q = static_cast<std::uint64_t>(quotient);
  const Wide twice = rem * 2;  // below 2^127, as rem < 5^54 < 2^126
  half = twice < den ? -1 : twice == den ? 0 : 1;
  return true;
}

// Writes n (below 10^9) as 9 digits, in 32-bit arithmetic.
void Write9(char* out, std::uint32_t n) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  out[0] = static_cast<char>('0' + n / 100000000);
  n %= 100000000;
  for (int i = 7; i >= 1; i -= 2) {
    const std::uint32_t pair = (n % 100) * 2;
    n /= 100;
    out[i] = kPairs[pair];
    out[i + 1] = kPairs[pair + 1];
  }
}

// Writes n (below 10^18) as 18 digits.
void Write18(char* out, std::uint64_t n) {
  constexpr std::uint64_t kHalf = 1000000000;
  Write9(out, static_cast<std::uint32_t>(n / kHalf));
  Write9(out + 9, static_cast<std::uint32_t>(n % kHalf));
}

bool ExpandExact(double v, Decimal& d) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return false;  // zero, denormals, and what is not finite
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e = biased - 1075;
  // |v| lies in [2^(e+52), 2^(e+53)): its first digit's power of ten is p or p + 1.
  int p = ((e + 52) * 78913) >> 18;  // floor((e + 52) * log10(2)) for these exponents
  std::uint64_t q = 0;
  int half = 0;
  if (!ScaledDigits(m, e, kExpansionDigits - 1 - p, q, half)) return false;
  if (q >= kHigh18) {
    ++p;
    if (!ScaledDigits(m, e, kExpansionDigits - 1 - p, q, half)) return false;
  }
  assert(q >= kLow18 && q < kHigh18);
  if (half > 0 || (half == 0 && (q & 1) != 0)) {
    if (++q == kHigh18) {
      q = kLow18;
      ++p;
    }
  }
  d.negative = std::signbit(v);
  Write18(d.sig, q);
  d.len = kExpansionDigits;
  d.exp = p;
  return true;
}

// The 18-significant-digit expansion of v (finite).
Decimal Expand(double v) {
  Decimal d;
  if (ExpandExact(v, d)) return d;
  return ExpandByLibrary(v);
}

// Adds one unit in the last place of the first `keep` digits (already cut).
void IncrementLast(Decimal& d, int keep) {
  int i = d.len;
  while (i > 0 && d.sig[i - 1] == '9') d.sig[--i] = '0';
  if (i > 0) {
    ++d.sig[i - 1];
    return;
  }
  // All nines (or nothing kept): the carry makes a new leading 1.
  std::memmove(d.sig + 1, d.sig, static_cast<std::size_t>(d.len));
  d.sig[0] = '1';
  ++d.len;
  if (d.len > std::max(keep, 1)) --d.len;
  ++d.exp;
}

// d rounded half away from zero to `keep` significant digits; keep 0 rounds
// at the place just above the leading digit, keep < 0 gives zero.
Decimal RoundSignificant(Decimal d, int keep) {
  if (d.IsZero() || keep >= d.len) return d;
  if (keep < 0) {
    d.len = 0;
    return d;
  }
  const bool up = d.sig[keep] >= '5';
  d.len = keep;
  if (up) IncrementLast(d, keep);
  return d;
}

// Writes n (not negative) in decimal, zero-padded to at least `width` digits.
// Returns the end of what was written; out must hold the digits and padding.
char* WritePadded(char* out, int n, int width) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  const auto count = static_cast<int>(end - digits);
  if (count < width) {
    std::memset(out, '0', static_cast<std::size_t>(width - count));
    out += width - count;
  }
  std::memcpy(out, digits, static_cast<std::size_t>(count));
  return out + count;
}

int DecimalLength(int n) {
  int count = 1;
  for (; n >= 10; n /= 10) ++count;
  return count;
}

// "d" or "d<sep>ddd": the first `trimmed` significant digits of d.
char* WriteMantissa(char* out, const Decimal& d, int trimmed, char sep) {
  *out++ = d.sig[0];
  if (trimmed > 1) {
    *out++ = sep;
    std::memcpy(out, d.sig + 1, static_cast<std::size_t>(trimmed - 1));
    out += trimmed - 1;
  }
  return out;
}

int MantissaLength(int trimmed) { return trimmed > 1 ? trimmed + 1 : 1; }

// ---------------------------------------------------------------------------
// Fixed form with 7 significant digits (the display rule's first step).
// ---------------------------------------------------------------------------

constexpr int kFixedSignificant = 7;

// The rounding position is whichever comes first: the 7th significant digit
// or the last shown decimal.
Decimal RoundForFixed(const Decimal& d, int decimals) {
  return RoundSignificant(d, std::min(kFixedSignificant, d.exp + 1 + decimals));
}

// More than 7 digits before the separator cannot be shown in a 7-digit field
// text.
bool NeedsShortScientific(const Decimal& r) { return !r.IsZero() && r.exp >= kFixedSignificant; }

std::string FixedDigits(const Decimal& r, int decimals, char sep) {
  const int top = std::max(r.IsZero() ? 0 : r.exp, 0);
  const std::size_t size = static_cast<std::size_t>(r.Minus()) + static_cast<std::size_t>(top) + 1 +
                           (decimals > 0 ? static_cast<std::size_t>(decimals) + 1 : 0);
  std::string s(size, '0');
  char* out = s.data();
  if (r.Minus()) *out++ = '-';
  for (int p = top; p >= 0; --p) *out++ = r.DigitAt(p);
  if (decimals > 0) {
    *out++ = sep;
    // Only the rounded digits can be other than 0.
    const int last = std::max(-decimals, r.exp - r.len + 1);
    for (int p = -1; p >= last; --p) *out++ = r.DigitAt(p);
  }
  return s;
}

// The rounded value as "1.234568E07": no exponent sign (the exponent is at
// least 7), padded to the field's decimals while those are few enough to
// keep the text short.
std::string ShortScientific(const Decimal& r, int decimals, char sep) {
  const int width = decimals <= 4 ? decimals : 0;
  const int trimmed = r.TrimmedLength();
  const std::size_t size = static_cast<std::size_t>(r.Minus()) +
                           static_cast<std::size_t>(MantissaLength(trimmed)) + 1 +
                           static_cast<std::size_t>(std::max(DecimalLength(r.exp), width));
  std::string s(size, '\0');
  char* out = s.data();
  if (r.Minus()) *out++ = '-';
  out = WriteMantissa(out, r, trimmed, sep);
  *out++ = 'E';
  WritePadded(out, r.exp, width);
  return s;
}

std::string FixedText(const Decimal& r, int decimals, char sep) {
  if (NeedsShortScientific(r)) return ShortScientific(r, decimals, sep);
  return FixedDigits(r, decimals, sep);
}

// ---------------------------------------------------------------------------
// Scientific form.
// ---------------------------------------------------------------------------

std::string ExponentText(const Decimal& d, int precision, int expDigits, char sep) {
  const Decimal r = RoundSignificant(d, precision);
  const int exp = r.IsZero() ? 0 : r.exp;
  const int magnitude = std::abs(exp);
  const std::size_t size = static_cast<std::size_t>(r.Minus()) + 1 +
                           (precision > 1 ? static_cast<std::size_t>(precision) : 0) + 2 +
                           static_cast<std::size_t>(std::max(DecimalLength(magnitude), expDigits));
  std::string s(size, '0');
  char* out = s.data();
  if (r.Minus()) *out++ = '-';
  *out++ = r.DigitAt(exp);
  if (precision > 1) {
    *out++ = sep;
    // The digits after the first; past the rounded ones they stay 0.
    const int shown = std::min(precision, std::max(r.len, 1)) - 1;
    if (shown > 0) std::memcpy(out, r.sig + 1, static_cast<std::size_t>(shown));
    out += precision - 1;
  }
  *out++ = 'E';
  *out++ = exp < 0 ? '-' : '+';
  WritePadded(out, magnitude, expDigits);
  return s;
}

// ---------------------------------------------------------------------------
// Floating-point exception flags.
// ---------------------------------------------------------------------------

// Reading a number must not leave floating-point flags behind: the calculator
// checks them to report faults of its own computations. Converting text to a
// double only ever raises flags, so putting back the state from before the
// conversion is all it takes; saving and setting the whole <cfenv> flag
// state (fegetexceptflag, fesetexceptflag) would cost more than the
// conversion itself.
#if defined(__x86_64__) || defined(_M_X64)
// On x86-64 double arithmetic runs on the SSE unit, whose flags are in the
// MXCSR register; reading it and writing it back only when the conversion
// changed it is the cheapest exact restoration.
class FloatFlagsKeeper {
 public:
  FloatFlagsKeeper() : before_(_mm_getcsr()) {
#ifndef NDEBUG
    beforeAll_ = std::fetestexcept(FE_ALL_EXCEPT);
#endif
  }
  ~FloatFlagsKeeper() {
    if (_mm_getcsr() != before_) _mm_setcsr(before_);
    assert(std::fetestexcept(FE_ALL_EXCEPT) == beforeAll_);
  }
  FloatFlagsKeeper(const FloatFlagsKeeper&) = delete;
  FloatFlagsKeeper& operator=(const FloatFlagsKeeper&) = delete;

 private:
  unsigned before_;
#ifndef NDEBUG
  int beforeAll_;
#endif
};
#else
class FloatFlagsKeeper {
 public:
  FloatFlagsKeeper() : before_(std::fetestexcept(FE_ALL_EXCEPT)) {}
  ~FloatFlagsKeeper() {
    const int raised = std::fetestexcept(FE_ALL_EXCEPT) & ~before_;
    if (raised != 0) std::feclearexcept(raised);
  }
  FloatFlagsKeeper(const FloatFlagsKeeper&) = delete;
  FloatFlagsKeeper& operator=(const FloatFlagsKeeper&) = delete;

 private:
  int before_;
};
#endif

// ---------------------------------------------------------------------------
// Field number syntax.
// ---------------------------------------------------------------------------

// Exponents this large are outside any double's reach whatever the mantissa
// (short of a million-digit text), so longer exponent texts are capped here.
constexpr long kExponentCap = 999999;

// Exponent texts up to this many digits stay below the cap, so from_chars
// can read them as they are.
constexpr std::ptrdiff_t kPlainExponentDigits = 5;

struct FieldNumberParts {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  bool hasSep = false;
  long exponent = 0;  // capped at kExponentCap either way
  // The number without spaces and without a '+' sign: "-2.067", "1,5e-3".
  std::string_view number;
  // Whether `number`, with the separator written '.', is in the syntax
  // from_chars reads: at least one mantissa digit, and no exponent marker
  // or one with 1 to kPlainExponentDigits digits.
  bool plain = false;
};

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

const char* SkipDigits(const char* p, const char* end) {
  while (p != end && IsDigit(*p)) ++p;
  return p;
}

const char* SkipSpaces(const char* p, const char* end) {
  while (p != end && *p == ' ') ++p;
  return p;
}

// Splits a field number into its parts; false when text is not one.
bool Scan(std::string_view text, char sep, FieldNumberParts& parts) {
  const char* p = text.data();
  const char* const end = p + text.size();
  p = SkipSpaces(p, end);
  const char* first = p;
  if (p != end && (*p == '+' || *p == '-')) {
    parts.negative = *p++ == '-';
    if (!parts.negative) first = p;  // from_chars takes no '+'
  }
  const char* digits = p;
  p = SkipDigits(p, end);
  parts.intDigits = std::string_view(digits, static_cast<std::size_t>(p - digits));
  if (p != end && *p == sep) {
    parts.hasSep = true;
    digits = ++p;
    p = SkipDigits(p, end);
    parts.fracDigits = std::string_view(digits, static_cast<std::size_t>(p - digits));
  } else if (parts.intDigits.empty()) {
    return false;
  }
  parts.plain = !parts.intDigits.empty() || !parts.fracDigits.empty();
  if (p != end && (*p == 'E' || *p == 'e')) {
    ++p;
    bool expNegative = false;
    if (p != end && (*p == '+' || *p == '-')) expNegative = *p++ == '-';
    long value = 0;
    digits = p;
    for (; p != end && IsDigit(*p); ++p) value = std::min(value * 10 + (*p - '0'), kExponentCap);
    parts.exponent = expNegative ? -value : value;
    parts.plain = parts.plain && p != digits && p - digits <= kPlainExponentDigits;
  }
  parts.number = std::string_view(first, static_cast<std::size_t>(p - first));
  return SkipSpaces(p, end) == end;
}

// The power of ten of the leading nonzero mantissa digit (mantissa not zero).
long LeadingPower(const FieldNumberParts& parts) {
  const auto intLead = parts.intDigits.find_first_not_of('0');
  if (intLead != std::string_view::npos)
    return parts.exponent + static_cast<long>(parts.intDigits.size() - intLead) - 1;
  const auto fracLead = parts.fracDigits.find_first_not_of('0');
  return parts.exponent - static_cast<long>(fracLead) - 1;
}

// The number as from_chars reads it in every case: "[-]int.frac" with "0"
// for an empty part, then "e" and the capped exponent.
constexpr std::size_t kExponentTextMax = 8;  // "-999999" and spare

std::size_t NormalisedLength(const FieldNumberParts& parts) {
  return 1 + std::max<std::size_t>(parts.intDigits.size(), 1) + 1 +
         std::max<std::size_t>(parts.fracDigits.size(), 1) + 1 + kExponentTextMax;
}

char* PutDigits(char* out, std::string_view digits) {
  if (digits.empty()) {
    *out = '0';
    return out + 1;
  }
  std::memcpy(out, digits.data(), digits.size());
  return out + digits.size();
}

// Writes the normalised text (NormalisedLength(parts) characters at most)
// and returns its end.
char* WriteNormalised(char* out, const FieldNumberParts& parts) {
  if (parts.negative) *out++ = '-';
  out = PutDigits(out, parts.intDigits);
  *out++ = '.';
  out = PutDigits(out, parts.fracDigits);
  *out++ = 'e';
  return std::to_chars(out, out + kExponentTextMax, parts.exponent).ptr;
}

std::optional<double> Read(const char* text, const char* end, const FieldNumberParts& parts) {
  double value = 0.0;
  std::from_chars_result res;
  {
    const FloatFlagsKeeper keeper;
    res = std::from_chars(text, end, value);
  }
  if (res.ec == std::errc()) return value;
  // Out of range: too large is not a field number; too small reads as zero.
  if (LeadingPower(parts) >= 0) return std::nullopt;
  return parts.negative ? -0.0 : 0.0;
}

// Field numbers up to this size are copied (when they need to be) on the
// stack; longer ones (pasted digit strings) on the heap.
constexpr std::size_t kStackText = 80;

// from_chars gives the double nearest to the decimal value of the text, so
// the number's own text and its normalised form read the same; reading the
// text where it is saves the copy whenever it is in from_chars' syntax.
std::optional<double> Convert(const FieldNumberParts& parts, char sep) {
  const std::string_view number = parts.number;
  if (parts.plain && sep == '.') return Read(number.data(), number.data() + number.size(), parts);
  if (parts.plain && number.size() <= kStackText) {
    char text[kStackText];
    std::memcpy(text, number.data(), number.size());
    if (parts.hasSep) text[parts.negative + parts.intDigits.size()] = '.';
    return Read(text, text + number.size(), parts);
  }
  const std::size_t length = NormalisedLength(parts);
  if (length <= kStackText) {
    char text[kStackText];
    return Read(text, WriteNormalised(text, parts), parts);
  }
  std::string text(length, '\0');
  return Read(text.data(), WriteNormalised(text.data(), parts), parts);
}

// 10^-decimals as the double nearest to it, the same double that the field
// text "0.01" (for 2 decimals) reads back as.
double UnitOfLastDecimal(int decimals) {
  return ParseFieldNumber("1e-" + std::to_string(decimals), '.').value_or(0.0);
}

// ---------------------------------------------------------------------------
// The display rule.
// ---------------------------------------------------------------------------

// Up to this many decimals every nonzero fixed text the display rule writes
// (at most 7 significant digits, a multiple of 10^-decimals) reads back as a
// normal double, and so does 10^-decimals itself.
constexpr int kNormalRangeDecimals = 300;

// The display rule compares r, what the fixed text F reads back as, with the
// stored value and with the unit of the last shown decimal:
//  - F would hide the value when r differs from the stored value and lies
//    below the last shown decimal (small values turned to 0.00, and negative
//    values that lost digits); then the value goes out in scientific form
//    with at least one more digit;
//  - large values (r above 1e7) go out with the three significant digits
//    that are all a field shows usefully, the exponent padded to the field's
//    decimals while those stay few;
//  - otherwise F itself.
std::string HiddenText(const Decimal& d, int decimals, char sep) {
  return ExponentText(d, std::max(decimals + 1, 2), 2, sep);
}

std::string LargeText(const Decimal& d, int decimals, char sep) {
  return ExponentText(d, 3, decimals <= 4 ? decimals : 0, sep);
}

// The rule as it reads, for any number of decimals.
std::string DisplayTextReadingBack(const Decimal& d, const Decimal& rounded, double v, double paramValue,
                                   int decimals, char sep) {
  std::string fixed = FixedText(rounded, decimals, sep);
  const std::optional<double> shown = ParseFieldNumber(fixed, sep);
  assert(shown.has_value());
  const double r = shown.value_or(v);
  if (r != paramValue && r < UnitOfLastDecimal(decimals)) return HiddenText(d, decimals, sep);
  if (r > 1e7) return LargeText(d, decimals, sep);
  return fixed;
}

// What the fixed text of the rounded value r (not zero, within the normal
// range) reads back as: the double nearest to its digits, which from_chars
// gives for "-5123e-3" as for "-5.123" or "-5,12300".
double ReadBack(const Decimal& r) {
  char text[kExpansionDigits + 16];
  char* out = text;
  if (r.negative) *out++ = '-';
  std::memcpy(out, r.sig, static_cast<std::size_t>(r.len));
  out += r.len;
  *out++ = 'e';
  out = std::to_chars(out, text + sizeof text, r.exp - r.len + 1).ptr;
  double value = 0.0;
  const FloatFlagsKeeper keeper;
  [[maybe_unused]] const auto res = std::from_chars(text, out, value);
  assert(res.ec == std::errc());
  return value;
}

// ---------------------------------------------------------------------------
// Invariant text.
// ---------------------------------------------------------------------------

constexpr int kInvariantSignificant = 15;

}  // namespace

char DecimalSeparator() { return g_decimalSeparator.load(std::memory_order_relaxed); }

void SetDecimalSeparator(char sep) {
  assert(sep == '.' || sep == ',');
  if (sep == '.' || sep == ',') g_decimalSeparator.store(sep, std::memory_order_relaxed);
}

std::optional<double> ParseFieldNumber(std::string_view text, char sep) {
  FieldNumberParts parts;
  if (!Scan(text, sep, parts)) return std::nullopt;
  return Convert(parts, sep);
}

std::optional<double> ParseFieldNumber(std::string_view text) {
  return ParseFieldNumber(text, DecimalSeparator());
}

std::string FormatFixed7(double v, int decimals, char sep) {
  assert(std::isfinite(v));
  assert(decimals >= 0);
  return FixedText(RoundForFixed(Expand(v), decimals), decimals, sep);
}

std::string FormatExponent(double v, int precision, int expDigits, char sep) {
  assert(std::isfinite(v));
  assert(precision >= 1);
  assert(expDigits >= 0 && expDigits <= 4);
  return ExponentText(Expand(v), precision, expDigits, sep);
}

std::string DisplayText(double v, double paramValue, int decimals, char sep) {
  assert(std::isfinite(v));
  assert(decimals >= 0);
  const Decimal d = Expand(v);
  const Decimal rounded = RoundForFixed(d, decimals);
  // F's value is its rounded digits, so while the unit is a normal double r
  // is known without writing F out and reading it back.
  if (decimals > kNormalRangeDecimals) return DisplayTextReadingBack(d, rounded, v, paramValue, decimals, sep);
  if (rounded.Minus()) {
    // r is negative, so below the unit, and not above 1e7.
    if (ReadBack(rounded) != paramValue) return HiddenText(d, decimals, sep);
    return FixedText(rounded, decimals, sep);
  }
  if (rounded.IsZero()) {
    // F is "0", "0.00", ...: r is 0, below the unit.
    if (0.0 != paramValue) return HiddenText(d, decimals, sep);
    return FixedText(rounded, decimals, sep);
  }
  // r is at least the unit, as the rounded value is a positive multiple of
  // it. It is above 1e7 when F is scientific ("1.000001E07" and up), but not
  // for "1E07", which reads as 1e7 exactly.
  if (NeedsShortScientific(rounded) &&
      !(rounded.TrimmedLength() == 1 && rounded.sig[0] == '1' && rounded.exp == kFixedSignificant))
    return LargeText(d, decimals, sep);
  return FixedText(rounded, decimals, sep);
}

int DecimalsWritten(std::string_view text, char sep) {
  FieldNumberParts parts;
  if (!Scan(text, sep, parts)) return -1;
  // 1.234e-3 is 0.001234: its three written decimals move three places right.
  const long places = static_cast<long>(parts.fracDigits.size()) - parts.exponent;
  return static_cast<int>(std::clamp(places, 0L, static_cast<long>(kMaxDecimals)));
}

int SignificantDigits(std::string_view text) {
  const size_t e = text.find_first_of("Ee");
  // The short scientific form ("1.234568E07", no exponent sign) is the whole 7-digit rounding
  // with its trailing zeros left out.
  if (e != std::string_view::npos && e + 1 < text.size() && IsDigit(text[e + 1])) return kFixedSignificant;
  int count = 0;
  bool leading = true;
  for (const char c : text.substr(0, e)) {
    if (!IsDigit(c)) continue;
    if (leading && c == '0') continue;
    leading = false;
    ++count;
  }
  return count;
}

int DecimalsShowing(double v, double paramValue, int decimals, int significant, char sep) {
  assert(decimals >= 0);
  if (v == 0.0 || !std::isfinite(v)) return decimals;
  for (int d = decimals; d < kMaxDecimals; ++d) {
    const std::string text = DisplayText(v, paramValue, d, sep);
    // A text that reads back as the value itself needs no more digits: 0.013 stays "0.013".
    if (SignificantDigits(text) >= significant || ParseFieldNumber(text, sep) == v) return d;
  }
  return kMaxDecimals;
}

std::string FormatGeneral(double x, int precision, int expDigits, char sep) {
  assert(std::isfinite(x) && precision > 0);
  const Decimal r = RoundSignificant(Expand(x), precision);
  if (r.IsZero()) return "0";
  const int trimmed = r.TrimmedLength();
  const auto minus = static_cast<std::size_t>(r.Minus());
  // Exponent form for tiny magnitudes and for more integer digits than the
  // significant ones can fill; the exponent has a sign only when negative.
  if (r.exp < -4 || r.exp >= precision) {
    char exponent[32];
    char* exponentEnd = exponent;
    if (r.exp < 0) *exponentEnd++ = '-';
    exponentEnd = WritePadded(exponentEnd, std::abs(r.exp), expDigits);
    const auto exponentLength = static_cast<std::size_t>(exponentEnd - exponent);
    std::string s(minus + static_cast<std::size_t>(MantissaLength(trimmed)) + 1 + exponentLength, '\0');
    char* out = s.data();
    if (minus) *out++ = '-';
    out = WriteMantissa(out, r, trimmed, sep);
    *out++ = 'E';
    std::memcpy(out, exponent, exponentLength);
    return s;
  }
  // Plain positional digits.
  if (r.exp < 0) {
    // "0.000ddd"
    const auto zeros = static_cast<std::size_t>(-r.exp - 1);
    std::string s(minus + 2 + zeros + static_cast<std::size_t>(trimmed), '0');
    char* out = s.data();
    if (minus) *out++ = '-';
    out[1] = sep;
    std::memcpy(out + 2 + zeros, r.sig, static_cast<std::size_t>(trimmed));
    return s;
  }
  const int intCount = r.exp + 1;
  if (trimmed <= intCount) {
    // "ddd000"
    std::string s(minus + static_cast<std::size_t>(intCount), '0');
    char* out = s.data();
    if (minus) *out++ = '-';
    std::memcpy(out, r.sig, static_cast<std::size_t>(trimmed));
    return s;
  }
  // "ddd.ddd"
  std::string s(minus + static_cast<std::size_t>(trimmed) + 1, '\0');
  char* out = s.data();
  if (minus) *out++ = '-';
  std::memcpy(out, r.sig, static_cast<std::size_t>(intCount));
  out[intCount] = sep;
  std::memcpy(out + intCount + 1, r.sig + intCount, static_cast<std::size_t>(trimmed - intCount));
  return s;
}

std::string InvariantFloatToStr(double x) { return FormatGeneral(x, kInvariantSignificant, 0, '.'); }

namespace {

std::string ScientificText(const Decimal& d) {
  if (d.IsZero()) return "0";
  std::string s;
  if (d.negative) s += '-';
  s += d.sig[0];
  s += '.';
  s.append(d.sig + 1, static_cast<std::size_t>(d.len - 1));
  s += d.exp < 0 ? "e-" : "e+";
  const int magnitude = std::abs(d.exp);
  if (magnitude < 10) s += '0';
  s += std::to_string(magnitude);
  return s;
}

}  // namespace

std::string ExpansionText(double v) {
  assert(std::isfinite(v));
  return ScientificText(Expand(v));
}

std::string LibraryExpansionText(double v) {
  assert(std::isfinite(v));
  return ScientificText(ExpandByLibrary(v));
}

double InvariantStrToFloat(std::string_view text) {
  const char sep = DecimalSeparator();
  if (text.empty()) return 0.0;
  // Settings files written with '.' stay readable under a ',' separator.
  const auto dot = sep == ',' ? text.find('.') : std::string_view::npos;
  if (dot == std::string_view::npos) return ParseFieldNumber(text, sep).value_or(0.0);
  std::string copy(text);
  copy[dot] = ',';
  return ParseFieldNumber(copy, sep).value_or(0.0);
}

}  // namespace zynta::units
