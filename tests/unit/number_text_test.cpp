#include "units/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <vector>

namespace zynta::units {
namespace {

constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// Restores the user's decimal separator after each test that changes it.
class SeparatorTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = DecimalSeparator(); }
  void TearDown() override { SetDecimalSeparator(saved_); }

 private:
  char saved_ = '.';
};

// ---------------------------------------------------------------------------
// Display rule
// ---------------------------------------------------------------------------

struct DisplayCase {
  double v;
  double paramValue;
  int decimals;
  char sep;
  const char* expected;
};

std::ostream& operator<<(std::ostream& os, const DisplayCase& c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", c.v);
  return os << "v=" << buf << " param=" << c.paramValue << " dec=" << c.decimals << " sep='" << c.sep << "' -> "
            << c.expected;
}

class DisplayTextTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTextTest, GivesFieldText) {
  const DisplayCase& c = GetParam();
  EXPECT_EQ(DisplayText(c.v, c.paramValue, c.decimals, c.sep), c.expected);
}

const DisplayCase kDisplayCases[] = {
    // Fixed text that reads back as the stored value, or above the last decimal.
    {0, 0, 2, '.', "0.00"},
    {-0.0, 0, 2, '.', "0.00"},
    {1.5, 1.5, 2, ',', "1,50"},
    {12.3456, 12.3456, 3, '.', "12.346"},
    {123456.7, 123456.7, 0, '.', "123457"},
    {1234567.891, 1234567.891, 2, '.', "1234568.00"},
    {0.125, 0.125, 2, '.', "0.13"},
    {2.675, 2.675, 2, '.', "2.67"},
    {5, 10, 2, '.', "5.00"},
    {-5, -5, 2, '.', "-5.00"},
    {-5, -5, 2, ',', "-5,00"},
    {0.01, 0.01, 2, '.', "0.01"},
    // Small values: fixed text reads below the last decimal and differs.
    {0.004, 0.004, 2, '.', "4.00E-03"},
    {0.004, 0.004, 2, ',', "4,00E-03"},
    {0.004, 5, 2, '.', "4.00E-03"},
    {0.001234, 0.001234, 2, '.', "1.23E-03"},
    {0.009, 0.009, 2, '.', "0.01"},  // rounds up to the last decimal
    {0, 5, 2, '.', "0.00E+00"},      // shown 0 of a nonzero parameter
    {-0.001, -0.001, 2, '.', "-1.00E-03"},
    // Negative values show scientifically unless they read back exactly.
    {-5.123, -5.123, 2, '.', "-5.12E+00"},
    {-5.123, -5.123, 2, ',', "-5,12E+00"},
    {-5.12, -5.12, 2, '.', "-5.12"},       // reads back exactly
    {-5.12, -5.123, 2, '.', "-5.12E+00"},  // reads back, but not as stored
    {-12345678, -12345678, 2, '.', "-1.23E+07"},
    // The boundary at 1e7.
    {9999999.4, 9999999.4, 2, '.', "9999999.00"},
    {9999999.5, 9999999.5, 2, '.', "1E07"},
    {9999999.5, 9999999.5, 2, ',', "1E07"},
    {10000000, 10000000, 2, '.', "1E07"},
    {10000004.9, 10000004.9, 2, '.', "1E07"},
    {10000005, 10000005, 2, '.', "1.00E+07"},
    {12345678, 12345678, 2, '.', "1.23E+07"},
    {12345678, 12345678, 2, ',', "1,23E+07"},
    {12345678.9, 12345678.9, 2, '.', "1.23E+07"},
    {99999999, 99999999, 4, '.', "1.00E+0008"},
    {DBL_MAX, DBL_MAX, 2, '.', "1.80E+308"},  // beyond the double range as text
    // Decimals 0 to 6.
    {12345678.9, 12345678.9, 0, '.', "1.23E+7"},
    {12345678.9, 12345678.9, 1, '.', "1.23E+7"},
    {12345678.9, 12345678.9, 3, '.', "1.23E+007"},
    {12345678.9, 12345678.9, 4, '.', "1.23E+0007"},
    {12345678.9, 12345678.9, 5, '.', "1.23E+7"},
    {12345678.9, 12345678.9, 6, '.', "1.23E+7"},
    {0.4, 0.4, 0, '.', "4.0E-01"},
    {0.5, 0.5, 0, '.', "1"},
    {0.04, 0.04, 1, '.', "4.0E-02"},
    {0.05, 0.05, 1, '.', "0.1"},
    {0.0004, 0.0004, 3, '.', "4.000E-04"},
    {1.23456789, 1.23456789, 4, '.', "1.2346"},
    {0.000001, 0.000001, 5, '.', "1.00000E-06"},
    {1234.56789, 1234.56789, 6, '.', "1234.568000"},
    {0.0000001, 0.0000001, 6, '.', "1.000000E-07"},
    {0.000001, 0.000001, 6, ',', "0,000001"},
};

INSTANTIATE_TEST_SUITE_P(Table, DisplayTextTest, ::testing::ValuesIn(kDisplayCases));

// ---------------------------------------------------------------------------
// Fixed form with 7 significant digits
// ---------------------------------------------------------------------------

struct FixedCase {
  double v;
  int decimals;
  char sep;
  const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FixedCase& c) {
  return os << "v=" << c.v << " dec=" << c.decimals << " -> " << c.expected;
}

class FormatFixed7Test : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixed7Test, Formats) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(FormatFixed7(c.v, c.decimals, c.sep), c.expected);
}

const FixedCase kFixedCases[] = {
    {0, 0, '.', "0"},
    {0, 3, ',', "0,000"},
    {1234567.891, 2, '.', "1234568.00"},
    {123.4567891, 6, '.', "123.456800"},  // digits past the 7th become 0
    {0.125, 2, '.', "0.13"},              // half away from zero
    {2.675, 2, '.', "2.67"},              // 2.67499999999999982...
    {1.005, 2, '.', "1.00"},              // 1.00499999999999989...
    {-0.001, 2, '.', "0.00"},             // no minus on a zero result
    {-0.005, 2, '.', "-0.01"},
    {0.5, 0, '.', "1"},
    {0.49, 0, '.', "0"},
    {999.9995, 3, '.', "1000.000"},  // carry through the nines
    {9.9999996, 6, '.', "10.000000"},
    {1e-30, 2, '.', "0.00"},
    {5e-324, 2, '.', "0.00"},
    {9999999.4, 2, '.', "9999999.00"},
    // More than 7 digits before the separator: the short scientific form.
    {9999999.5, 2, '.', "1E07"},
    {10000000, 2, '.', "1E07"},
    {12345678.9, 2, '.', "1.234568E07"},
    {12345678.9, 2, ',', "1,234568E07"},
    {-12345678.9, 2, '.', "-1.234568E07"},
    {12345678, 0, '.', "1.234568E7"},
    {10000000, 3, '.', "1E007"},
    {10000000, 4, '.', "1E0007"},
    {10000000, 5, '.', "1E7"},
    {1.5e100, 3, '.', "1.5E100"},
    {DBL_MAX, 2, '.', "1.797693E308"},
};

INSTANTIATE_TEST_SUITE_P(Table, FormatFixed7Test, ::testing::ValuesIn(kFixedCases));

// ---------------------------------------------------------------------------
// Scientific form
// ---------------------------------------------------------------------------

struct ExponentCase {
  double v;
  int precision;
  int expDigits;
  char sep;
  const char* expected;
};

std::ostream& operator<<(std::ostream& os, const ExponentCase& c) {
  return os << "v=" << c.v << " p=" << c.precision << " e=" << c.expDigits << " -> " << c.expected;
}

class FormatExponentTest : public ::testing::TestWithParam<ExponentCase> {};

TEST_P(FormatExponentTest, Formats) {
  const ExponentCase& c = GetParam();
  EXPECT_EQ(FormatExponent(c.v, c.precision, c.expDigits, c.sep), c.expected);
}

const ExponentCase kExponentCases[] = {
    {0.001234, 3, 2, '.', "1.23E-03"},
    {12345678.9, 3, 2, '.', "1.23E+07"},
    {12345678.9, 3, 0, '.', "1.23E+7"},
    {12345678.9, 3, 4, '.', "1.23E+0007"},
    {9.996, 3, 2, '.', "1.00E+01"},  // the carry moves the exponent
    {0.125, 2, 2, '.', "1.3E-01"},
    {0, 3, 2, '.', "0.00E+00"},
    {-0.0, 3, 2, '.', "0.00E+00"},
    {-5.123, 3, 2, '.', "-5.12E+00"},
    {1.5, 3, 2, ',', "1,50E+00"},
    {1.5, 1, 2, '.', "2E+00"},  // one digit: no separator
    {123456789, 10, 2, '.', "1.234567890E+08"},
    {1e100, 3, 2, '.', "1.00E+100"},  // more digits than asked when needed
    {5e-324, 3, 2, '.', "4.94E-324"},
    {1.0 / 3, 20, 1, '.', "3.3333333333333331500E-1"},  // past 18 digits: zeros
};

INSTANTIATE_TEST_SUITE_P(Table, FormatExponentTest, ::testing::ValuesIn(kExponentCases));

// ---------------------------------------------------------------------------
// Field numbers
// ---------------------------------------------------------------------------

struct ParseCase {
  const char* text;
  char sep;
  double expected;  // kNoNumber: not a field number
};

std::ostream& operator<<(std::ostream& os, const ParseCase& c) {
  return os << "\"" << c.text << "\" sep='" << c.sep << "'";
}

class ParseFieldNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFieldNumberTest, Reads) {
  const ParseCase& c = GetParam();
  const std::optional<double> got = ParseFieldNumber(c.text, c.sep);
  if (std::isnan(c.expected)) {
    EXPECT_FALSE(got.has_value()) << *got;
    return;
  }
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(*got, c.expected);
  EXPECT_EQ(std::signbit(*got), std::signbit(c.expected));
}

const ParseCase kValidNumbers[] = {
    {"1", '.', 1},
    {"+1", '.', 1},
    {"-1", '.', -1},
    {"000123", '.', 123},
    {"  1.5  ", '.', 1.5},
    {"  -2.5e+2 ", '.', -250},
    {"1.5e3", '.', 1500},
    {"1.5E-3", '.', 1.5e-3},
    {".5", '.', 0.5},
    {"5.", '.', 5},
    {"1,5", ',', 1.5},
    {"-1,25E2", ',', -125},
    {"0.1", '.', 0.1},
    // An exponent marker without digits is exponent 0.
    {"1e", '.', 1},
    {"1e+", '.', 1},
    {"1E-", '.', 1},
    // A lone separator, signed or not, is 0.
    {".", '.', 0},
    {"+.", '.', 0},
    {"-.", '.', -0.0},
    {",", ',', 0},
    {".e5", '.', 0},
    {". ", '.', 0},
    // Range.
    {"1e308", '.', 1e308},
    {"1.7976931348623157e308", '.', DBL_MAX},
    {"4.9e-324", '.', 5e-324},
    {"1e-400", '.', 0},
    {"-1e-400", '.', -0.0},
    {"100000e-330", '.', 0},
    {"1e-99999999999999999999", '.', 0},
    {"0e999999", '.', 0},
    {"0.000e99999999999999999999", '.', 0},
    {"1.5e0000000000000000000003", '.', 1500},
    {"0.001e310", '.', 1e307},
};

const ParseCase kInvalidNumbers[] = {
    {"", '.', kNoNumber},
    {"   ", '.', kNoNumber},
    {"-", '.', kNoNumber},
    {"+", '.', kNoNumber},
    {"e5", '.', kNoNumber},
    {"-e5", '.', kNoNumber},
    {"1e5x", '.', kNoNumber},
    {"x1", '.', kNoNumber},
    {"1 000", '.', kNoNumber},
    {"1,000.5", '.', kNoNumber},
    {"1.000,5", ',', kNoNumber},
    {"1.5", ',', kNoNumber},
    {"1,5", '.', kNoNumber},
    {"1..5", '.', kNoNumber},
    {"1.5.", '.', kNoNumber},
    {"+-1", '.', kNoNumber},
    {"--1", '.', kNoNumber},
    {"- 1", '.', kNoNumber},
    {"1e 5", '.', kNoNumber},
    {"1e5e5", '.', kNoNumber},
    {"1e++5", '.', kNoNumber},
    {"1e5.5", '.', kNoNumber},
    {"\t1", '.', kNoNumber},
    {"1\t", '.', kNoNumber},
    {"1\n", '.', kNoNumber},
    {"0x10", '.', kNoNumber},
    {"inf", '.', kNoNumber},
    {"nan", '.', kNoNumber},
    {"1_000", '.', kNoNumber},
    {"1e309", '.', kNoNumber},
    {"-1e309", '.', kNoNumber},
    {"1.8e308", '.', kNoNumber},
    {"0.000001e400", '.', kNoNumber},
    {"1e99999999999999999999", '.', kNoNumber},
};

INSTANTIATE_TEST_SUITE_P(Valid, ParseFieldNumberTest, ::testing::ValuesIn(kValidNumbers));
INSTANTIATE_TEST_SUITE_P(Invalid, ParseFieldNumberTest, ::testing::ValuesIn(kInvalidNumbers));

TEST(ParseFieldNumber, EmbeddedNulIsNotPartOfANumber) {
  EXPECT_FALSE(ParseFieldNumber(std::string_view("1\0", 2), '.').has_value());
}

using DecimalSeparatorTest = SeparatorTest;

TEST_F(DecimalSeparatorTest, DefaultsToDotAndFollowsTheSetting) {
  EXPECT_EQ(DecimalSeparator(), '.');
  EXPECT_EQ(ParseFieldNumber("1.5"), 1.5);
  EXPECT_FALSE(ParseFieldNumber("1,5").has_value());

  SetDecimalSeparator(',');
  EXPECT_EQ(DecimalSeparator(), ',');
  EXPECT_EQ(ParseFieldNumber("1,5"), 1.5);
  EXPECT_FALSE(ParseFieldNumber("1.5").has_value());
}

TEST_F(DecimalSeparatorTest, RefusesOtherCharacters) {
  SetDecimalSeparator(',');
  EXPECT_DEBUG_DEATH(SetDecimalSeparator(';'), "");
  EXPECT_EQ(DecimalSeparator(), ',');
}

// Every field text the display rule writes reads back as a field number,
// short of the largest doubles, whose three rounded digits ("1.80E+308")
// leave the double range.
TEST(DisplayText, TextReadsBackInBothSeparators) {
  const double values[] = {0, 0.004, -5.123, 9999999.5, 12345678.9, 1e300, -1e-300, 1.79e308, 0.125, -12345678};
  for (char sep : {'.', ','}) {
    for (int decimals = 0; decimals <= 6; ++decimals) {
      for (double v : values) {
        const std::string text = DisplayText(v, v, decimals, sep);
        EXPECT_TRUE(ParseFieldNumber(text, sep).has_value()) << text;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Invariant text
// ---------------------------------------------------------------------------

struct ToStrCase {
  double x;
  const char* expected;
};

std::ostream& operator<<(std::ostream& os, const ToStrCase& c) { return os << c.expected; }

class InvariantFloatToStrTest : public ::testing::TestWithParam<std::tuple<ToStrCase, char>> {
 protected:
  void SetUp() override { saved_ = DecimalSeparator(); }
  void TearDown() override { SetDecimalSeparator(saved_); }

 private:
  char saved_ = '.';
};

TEST_P(InvariantFloatToStrTest, WritesDotTextWhateverTheSeparator) {
  const auto& [c, sep] = GetParam();
  SetDecimalSeparator(sep);
  EXPECT_EQ(InvariantFloatToStr(c.x), c.expected);
}

const ToStrCase kToStrCases[] = {
    {0, "0"},
    {-0.0, "0"},
    {1.5, "1.5"},
    {-2.5, "-2.5"},
    {100, "100"},
    {0.1, "0.1"},
    {0.1 + 0.2, "0.3"},
    {1.0 / 3, "0.333333333333333"},
    {2.0 / 3, "0.666666666666667"},
    {2.675, "2.675"},
    {1234.5, "1234.5"},
    {0.0001, "0.0001"},
    {0.00012345, "0.00012345"},
    {5e-6, "5E-6"},
    {1e-5, "1E-5"},
    {1.5e-7, "1.5E-7"},
    {-1.25e-10, "-1.25E-10"},
    {1e14, "100000000000000"},
    {123456789012345, "123456789012345"},
    {123456789012345.6, "123456789012346"},
    {999999999999999.9, "1E15"},  // the rounding adds a 16th digit
    {1e15, "1E15"},
    {1.5e15, "1.5E15"},
    {1e100, "1E100"},
    {DBL_MAX, "1.79769313486232E308"},
    {5e-324, "4.94065645841247E-324"},
};

INSTANTIATE_TEST_SUITE_P(Table, InvariantFloatToStrTest,
                         ::testing::Combine(::testing::ValuesIn(kToStrCases), ::testing::Values('.', ',')));

struct ToFloatCase {
  const char* text;
  char sep;
  double expected;
};

std::ostream& operator<<(std::ostream& os, const ToFloatCase& c) {
  return os << "\"" << c.text << "\" sep='" << c.sep << "'";
}

class InvariantStrToFloatTest : public ::testing::TestWithParam<ToFloatCase> {
 protected:
  void SetUp() override { saved_ = DecimalSeparator(); }
  void TearDown() override { SetDecimalSeparator(saved_); }

 private:
  char saved_ = '.';
};

TEST_P(InvariantStrToFloatTest, Reads) {
  const ToFloatCase& c = GetParam();
  SetDecimalSeparator(c.sep);
  EXPECT_EQ(InvariantStrToFloat(c.text), c.expected);
}

const ToFloatCase kToFloatCases[] = {
    {"1.5", '.', 1.5},   {"1,5", '.', 0},     {"", '.', 0},        {"abc", '.', 0},        {" 2 ", '.', 2},
    {"5E-6", '.', 5e-6}, {"-2.5", '.', -2.5}, {"1E15", '.', 1e15}, {"1e309", '.', 0},      {"1.5", ',', 1.5},
    {"1,5", ',', 1.5},   {"", ',', 0},        {"abc", ',', 0},     {"-2.5E3", ',', -2500}, {"5E-6", ',', 5e-6},
    {".", ',', 0},       {"1.5.5", ',', 0},  // only the first '.' is the separator
    {"1.000,5", ',', 0},                     // no thousands separators
    {"1,000.5", '.', 0},
};

INSTANTIATE_TEST_SUITE_P(Table, InvariantStrToFloatTest, ::testing::ValuesIn(kToFloatCases));

class InvariantRoundTripTest : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override { saved_ = DecimalSeparator(); }
  void TearDown() override { SetDecimalSeparator(saved_); }

 private:
  char saved_ = '.';
};

// Values of at most 15 significant digits come back exactly; any other
// value comes back within half a unit of its 15th digit, and its text is
// then stable.
TEST_P(InvariantRoundTripTest, KeepsFifteenDigits) {
  SetDecimalSeparator(GetParam());
  const double exact[] = {0,    1,      -1,    0.5,           0.1, 1234.5678, -0.0001, 1e-5, 123456789012345,
                          1e15, 1e-300, 1e300, 9.87654321e-12};
  for (double x : exact) {
    EXPECT_EQ(InvariantStrToFloat(InvariantFloatToStr(x)), x) << InvariantFloatToStr(x);
  }
  const double rounded[] = {
      1.0 / 3, -2.0 / 3,       std::numbers::pi,   std::sqrt(2.0) * 1e20, 0.1 + 0.2, 1.797693134862315e308,
      5e-324,  1.0 / 7 * 1e-8, 123456789012345.67, -9.99999999999999e-5};
  for (double x : rounded) {
    const std::string text = InvariantFloatToStr(x);
    const double y = InvariantStrToFloat(text);
    EXPECT_LE(std::fabs(y - x), 5.0000001e-15 * std::fabs(x)) << text;
    EXPECT_EQ(InvariantFloatToStr(y), text);
  }
}

// Above 1.797693134862315E308 the 15-digit text lies beyond the double range,
// so the largest doubles do not come back (they read as 0).
TEST_P(InvariantRoundTripTest, LargestDoublesLeaveTheRange) {
  SetDecimalSeparator(GetParam());
  EXPECT_EQ(InvariantStrToFloat(InvariantFloatToStr(DBL_MAX)), 0.0);
}

INSTANTIATE_TEST_SUITE_P(BothSeparators, InvariantRoundTripTest, ::testing::Values('.', ','));

// ---------------------------------------------------------------------------
// Equivalence with the straightforward implementation
//
// The functions above are written for speed. `reference` keeps the plain
// form they were derived from, which builds every intermediate digit string
// as a std::string and reads field texts back through a normalised copy;
// the sweeps below check that both give the same text (and the same double,
// bit for bit) for a large set of values, decimals, separators and texts.
// ---------------------------------------------------------------------------

namespace reference {

constexpr int kExpansionDigits = 18;

struct Decimal {
  std::string sig;
  int exp = 0;
  bool negative = false;

  bool IsZero() const { return sig.empty(); }

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

Decimal Expand(double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0.0) return d;
  char buf[40];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, kExpansionDigits - 1);
  const char* e = std::find(buf, res.ptr, 'e');
  d.sig.assign(1, buf[0]);
  d.sig.append(static_cast<const char*>(buf + 2), e);
  d.exp = ReadExponent(e + 1, res.ptr);
  return d;
}

void IncrementLast(Decimal& d, int keep) {
  std::size_t i = d.sig.size();
  while (i > 0 && d.sig[i - 1] == '9') d.sig[--i] = '0';
  if (i > 0) {
    ++d.sig[i - 1];
    return;
  }
  d.sig.insert(d.sig.begin(), '1');
  if (static_cast<int>(d.sig.size()) > std::max(keep, 1)) d.sig.pop_back();
  ++d.exp;
}

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
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}

std::string SignOf(const Decimal& d) { return d.negative && !d.IsZero() ? "-" : ""; }

std::string ShortMantissa(const Decimal& d, char sep) {
  const std::string digits = TrimmedDigits(d);
  std::string s(1, digits[0]);
  if (digits.size() > 1) s.append(1, sep).append(digits, 1);
  return s;
}

constexpr int kFixedSignificant = 7;

std::string FixedDigits(const Decimal& r, int decimals, char sep) {
  std::string s = SignOf(r);
  for (int p = std::max(r.IsZero() ? 0 : r.exp, 0); p >= 0; --p) s += r.DigitAt(p);
  if (decimals > 0) s += sep;
  for (int p = -1; p >= -decimals; --p) s += r.DigitAt(p);
  return s;
}

std::string ShortScientific(const Decimal& r, int decimals, char sep) {
  const int width = decimals <= 4 ? decimals : 0;
  return SignOf(r) + ShortMantissa(r, sep) + 'E' + Padded(r.exp, width);
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ == text_.size(); }
  bool Eat(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
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

constexpr long kExponentCap = 999999;

long ExponentValue(const FieldNumberParts& parts) {
  long value = 0;
  for (char c : parts.expDigits) value = std::min(value * 10 + (c - '0'), kExponentCap);
  return parts.expNegative ? -value : value;
}

long LeadingPower(const FieldNumberParts& parts, long exponent) {
  const auto intLead = parts.intDigits.find_first_not_of('0');
  if (intLead != std::string_view::npos) return exponent + static_cast<long>(parts.intDigits.size() - intLead) - 1;
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
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  const auto res = std::from_chars(norm.data(), norm.data() + norm.size(), value);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  if (res.ec == std::errc()) return value;
  if (LeadingPower(parts, exponent) >= 0) return std::nullopt;
  return parts.negative ? -0.0 : 0.0;
}

std::optional<double> ParseFieldNumber(std::string_view text, char sep) {
  const auto parts = Scan(text, sep);
  if (!parts) return std::nullopt;
  return Convert(*parts);
}

double UnitOfLastDecimal(int decimals) {
  return ParseFieldNumber("1e-" + std::to_string(decimals), '.').value_or(0.0);
}

std::string FormatFixed7(double v, int decimals, char sep) {
  const Decimal d = Expand(v);
  const Decimal r = RoundSignificant(d, std::min(kFixedSignificant, d.exp + 1 + decimals));
  if (!r.IsZero() && r.exp >= kFixedSignificant) return ShortScientific(r, decimals, sep);
  return FixedDigits(r, decimals, sep);
}

std::string FormatExponent(double v, int precision, int expDigits, char sep) {
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
  std::string fixed = FormatFixed7(v, decimals, sep);
  const std::optional<double> shown = ParseFieldNumber(fixed, sep);
  const double r = shown.value_or(v);
  if (r != paramValue && r < UnitOfLastDecimal(decimals))
    return FormatExponent(v, std::max(decimals + 1, 2), 2, sep);
  if (r > 1e7) return FormatExponent(v, 3, decimals <= 4 ? decimals : 0, sep);
  return fixed;
}

constexpr int kInvariantSignificant = 15;

std::string InvariantPositional(const Decimal& r, const std::string& digits) {
  if (r.exp < 0) return "0." + std::string(static_cast<std::size_t>(-r.exp - 1), '0') + digits;
  const auto intCount = static_cast<std::size_t>(r.exp) + 1;
  if (digits.size() <= intCount) return digits + std::string(intCount - digits.size(), '0');
  return digits.substr(0, intCount) + '.' + digits.substr(intCount);
}

std::string InvariantFloatToStr(double x) {
  const Decimal r = RoundSignificant(Expand(x), kInvariantSignificant);
  if (r.IsZero()) return "0";
  const std::string digits = TrimmedDigits(r);
  if (r.exp < -4 || r.exp >= kInvariantSignificant)
    return SignOf(r) + ShortMantissa(r, '.') + 'E' + std::to_string(r.exp);
  return SignOf(r) + InvariantPositional(r, digits);
}

double InvariantStrToFloat(std::string_view text) {
  const char sep = DecimalSeparator();
  std::string copy(text);
  if (sep == ',') {
    const auto dot = copy.find('.');
    if (dot != std::string::npos) copy[dot] = ',';
  }
  if (copy.empty()) return 0.0;
  return ParseFieldNumber(copy, sep).value_or(0.0);
}

}  // namespace reference

// The sweeps report at most this many differences each, then only count them.
constexpr int kReportedDifferences = 20;

std::string Show(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", x);
  return buf;
}

std::string Show(const std::optional<double>& x) {
  return x ? Show(*x) + (std::signbit(*x) ? " (sign set)" : "") : "none";
}

bool SameNumber(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

// Random finite doubles of every kind the program meets, weighted towards
// field values (1e-12..1e12) and towards the places where rounding is decided.
class ValueSource {
 public:
  explicit ValueSource(std::uint64_t seed) : rng_(seed) {}

  double Next() {
    const int kind = Uniform(0, 99);
    double x;
    if (kind < 45) {
      // A field value: a random mantissa across magnitudes 1e-12..1e12.
      x = std::pow(10.0, Real(-12.0, 12.0)) * Real(1.0, 10.0);
    } else if (kind < 60) {
      // Few significant digits, often ending in 5: rounding ties in decimal,
      // which are rarely ties in binary ("2.675").
      x = FewDigits();
    } else if (kind < 70) {
      // A neighbour of such a value, a few units in the last place away.
      x = FewDigits();
      for (int steps = Uniform(1, 3); steps > 0; --steps)
        x = std::nextafter(x, Uniform(0, 1) ? INFINITY : -INFINITY);
    } else if (kind < 76) {
      // Near the 1e7 boundary of the fixed form and the nines that carry.
      const double bases[] = {1e7, 9999999.5, 999.9995, 9.9999995, 0.0099999995, 1e15, 1e-4};
      x = bases[Uniform(0, 6)] * (1 + Real(-1e-6, 1e-6));
    } else if (kind < 82) {
      // Integers and binary fractions, exactly representable.
      x = static_cast<double>(Uniform(0, 100000000)) / static_cast<double>(1 << Uniform(0, 12));
    } else if (kind < 92) {
      // Any finite bit pattern: denormals, the largest values, everything between.
      do {
        x = std::bit_cast<double>(static_cast<std::uint64_t>(rng_()));
      } while (!std::isfinite(x));
    } else {
      const double specials[] = {0.0, 5e-324, DBL_MIN, DBL_MAX,  1e-300, 1e300, 0.125, 2.675, 1.005,
                                 0.5, 1.5,    1e-7,    12345678, 1e22,   1e23,  0.1,   0.3,   123456789012345.6};
      x = specials[Uniform(0, 17)];
    }
    return Uniform(0, 1) ? -x : x;
  }

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  std::mt19937_64& Engine() { return rng_; }

 private:
  double FewDigits() {
    const long digits = std::uniform_int_distribution<long>(1, 99999999)(rng_);
    const long mantissa = Uniform(0, 2) == 0 ? digits : digits / 10 * 10 + 5;
    char text[48];
    std::snprintf(text, sizeof text, "%lde%d", mantissa, Uniform(-20, 12));
    double x = 0;
    std::from_chars(text, text + std::char_traits<char>::length(text), x);
    return x;
  }

  std::mt19937_64 rng_;
};

constexpr int kSweepValues = 300000;

TEST(NumberTextEquivalence, FormattingMatchesTheReference) {
  ValueSource source(20240611);
  int differences = 0;
  const auto check = [&](const std::string& got, const std::string& want, const char* what, double v, double param,
                         int a, int b, char sep) {
    if (got == want) return;
    if (++differences <= kReportedDifferences)
      ADD_FAILURE() << what << "(" << Show(v) << ", param " << Show(param) << ", " << a << ", " << b << ", '"
                    << sep << "'): got \"" << got << "\", reference \"" << want << "\"";
  };
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSweepValues; ++i) {
    const double v = source.Next();
    const char sep = source.Uniform(0, 1) ? ',' : '.';
    // Mostly the field's decimals 0..6, sometimes far more.
    const int decimals = source.Uniform(0, 19) ? source.Uniform(0, 6) : source.Uniform(7, 40);
    // The stored value: the shown one, the one its fixed text reads back as
    // (to reach the branch where that read-back matters), or another.
    double param = v;
    switch (source.Uniform(0, 5)) {
      case 0:
      case 1: break;
      case 2:
        param = reference::ParseFieldNumber(reference::FormatFixed7(v, decimals, sep), sep).value_or(v);
        break;
      case 3: param = std::nextafter(v, source.Uniform(0, 1) ? INFINITY : -INFINITY); break;
      case 4: param = source.Next(); break;
      default: {
        const double odd[] = {0.0, -0.0, std::numeric_limits<double>::quiet_NaN(), 1.0};
        param = odd[source.Uniform(0, 3)];
      }
    }
    check(DisplayText(v, param, decimals, sep), reference::DisplayText(v, param, decimals, sep), "DisplayText", v,
          param, decimals, 0, sep);
    check(FormatFixed7(v, decimals, sep), reference::FormatFixed7(v, decimals, sep), "FormatFixed7", v, v,
          decimals, 0, sep);
    const int precision = source.Uniform(0, 9) ? source.Uniform(1, 8) : source.Uniform(9, 30);
    const int expDigits = source.Uniform(0, 4);
    check(FormatExponent(v, precision, expDigits, sep), reference::FormatExponent(v, precision, expDigits, sep),
          "FormatExponent", v, v, precision, expDigits, sep);
    check(InvariantFloatToStr(v), reference::InvariantFloatToStr(v), "InvariantFloatToStr", v, v, 0, 0, '.');
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(differences, 0);
  std::printf("[ sweep    ] %d values, 4 functions each, %.3f s\n", kSweepValues, took.count());
}

// The whole decimals range the fields use, both separators, for every value
// of a smaller sweep (the random sweep above picks one combination a value).
TEST(NumberTextEquivalence, DisplayRuleMatchesTheReferenceForEveryFieldSetting) {
  ValueSource source(77);
  int differences = 0;
  for (int i = 0; i < 10000; ++i) {
    const double v = source.Next();
    for (int decimals = 0; decimals <= 6; ++decimals) {
      for (char sep : {'.', ','}) {
        for (double param : {v, -v, 0.0}) {
          const std::string got = DisplayText(v, param, decimals, sep);
          const std::string want = reference::DisplayText(v, param, decimals, sep);
          if (got != want && ++differences <= kReportedDifferences)
            ADD_FAILURE() << "DisplayText(" << Show(v) << ", " << Show(param) << ", " << decimals << ", '" << sep
                          << "'): got \"" << got << "\", reference \"" << want << "\"";
        }
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

// Far more decimals than a field has: the fixed text then reaches the
// denormal range and beyond, and so does the unit of its last decimal.
TEST(NumberTextEquivalence, DisplayRuleMatchesTheReferenceForManyDecimals) {
  ValueSource source(5);
  int differences = 0;
  for (int decimals :
       {22, 23, 100, 290, 299, 300, 301, 305, 307, 308, 310, 315, 320, 322, 323, 324, 325, 330, 340, 400}) {
    std::vector<double> values = {0.0,      -0.0, 5e-324, -5e-324,    DBL_MIN,
                                  -DBL_MIN, 1.0,  -1.5,   12345678.9, -12345678.9};
    for (int shift = -3; shift <= 8; ++shift) {
      const double near = std::pow(10.0, -decimals + shift);
      for (double scale : {0.4, 0.5, 0.51, 1.0, 4.9, 5.0, 9.99})
        values.insert(values.end(), {near * scale, -near * scale});
    }
    for (int i = 0; i < 20; ++i) values.push_back(source.Next());
    for (double v : values) {
      for (double param : {v, 0.0, 1.0}) {
        for (char sep : {'.', ','}) {
          const std::string got = DisplayText(v, param, decimals, sep);
          const std::string want = reference::DisplayText(v, param, decimals, sep);
          if (got != want && ++differences <= kReportedDifferences)
            ADD_FAILURE() << "DisplayText(" << Show(v) << ", " << Show(param) << ", " << decimals << ", '" << sep
                          << "'): got \"" << got << "\", reference \"" << want << "\"";
        }
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

// The 18 digits every text is made from, in integer arithmetic where it reaches and by
// std::to_chars elsewhere: the same digits for the edges of the integer range, values that
// round up to a new power of ten, and exact ties at the 19th digit (ties go to the even digit).
TEST(NumberTextEquivalence, ExpansionMatchesTheLibraryAtTheEdges) {
  const double edges[] = {
      0.0, -0.0, 1.0, -1.0, 0.1, 0.3, 2.675, 0.125, 1e-300, -1e-300, 1e300, 5e-324, DBL_MIN, DBL_MAX,
      // where 128 bits stop reaching, below and above
      1e-15, 9.99999999999999e-16, 1.0000000000001e-15, 1e-16, 1e47, 1e48, 9.999999999999999e46, 1e72, 1e73,
      // the first digit's power of ten misjudged from the binary exponent alone
      1e17, 99999999999999984.0, 1e18, 999999999999999872.0, 1e22, 1e23, 9.999999999999999e22, 0.001, 1e-5,
      0.000005, 4503599627370496.0, 9007199254740992.0, 9007199254740991.0, 1152921504606846976.0,
      // exact 19-digit values ending in 5: the 18th digit odd (up) and even (kept)
      1125899906842623.875, 1125899906842622.625, 562949953421311.9375, 140737488355327.98046875,
      0.5000000000000000277555756156289135105907917022705078125, 1.00000000000000022204460492503130808,
      // all nines, carrying into a new leading digit
      0.99999999999999989, 9.9999999999999982, 999999.99999999988, 0.0099999999999999985};
  for (const double v : edges) {
    for (const double x : {v, -v}) EXPECT_EQ(ExpansionText(x), LibraryExpansionText(x)) << Show(x);
  }
}

TEST(NumberTextEquivalence, ExpansionMatchesTheLibraryForManyValues) {
  ValueSource source(18);
  std::mt19937_64& rng = source.Engine();
  int differences = 0;
  for (int i = 0; i < 200000; ++i) {
    double v = 0.0;
    switch (i % 4) {
      case 0: v = source.Next(); break;
      case 1:  // any magnitude the integer arithmetic covers, and a little beyond
        v = std::pow(10.0, source.Real(-17.0, 49.0)) * source.Real(1.0, 10.0);
        break;
      case 2: {  // odd mantissas over a few powers of two: ties and near ties at the 19th digit
        const std::uint64_t m = (rng() >> 11) | 1;
        v = std::ldexp(static_cast<double>(m), -source.Uniform(1, 12) - source.Uniform(0, 1) * 40);
        break;
      }
      default: do { v = std::bit_cast<double>(static_cast<std::uint64_t>(rng()));
        } while (!std::isfinite(v));
    }
    const std::string got = ExpansionText(v);
    const std::string want = LibraryExpansionText(v);
    if (got != want && ++differences <= kReportedDifferences)
      ADD_FAILURE() << Show(v) << ": got " << got << ", library " << want;
  }
  EXPECT_EQ(differences, 0);
}

// Every number of decimals a field can be given, for the values at the edges of the fast
// digits and of the display rule's forms.
TEST(NumberTextEquivalence, DisplayRuleMatchesTheReferenceForEveryFieldDecimals) {
  const double values[] = {
      0.0,    -0.0,   1e-300, 1e300, 5e-324, 1e-15,     1e-16,      1e47,       1e48,
      0.125,  2.675,  1.005,  0.5,   1.5,    9999999.5, 10000000.0, 12345678.0, 1e-7,
      0.0049, 0.0051, 99.995, 4.5,   0.45,   5.5e-5,    123456.75,  7.0000005,  1125899906842623.875};
  int differences = 0;
  for (const double v : values) {
    for (const double x : {v, -v}) {
      for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        for (const double param : {x, 0.0}) {
          const std::string got = DisplayText(x, param, decimals, '.');
          const std::string want = reference::DisplayText(x, param, decimals, '.');
          if (got != want && ++differences <= kReportedDifferences)
            ADD_FAILURE() << "DisplayText(" << Show(x) << ", " << Show(param) << ", " << decimals << "): got \""
                          << got << "\", reference \"" << want << "\"";
        }
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

// Texts to read: numbers printed in the forms people type and programs write,
// and damaged copies of them.
class TextSource {
 public:
  explicit TextSource(std::uint64_t seed) : values_(seed) {}

  std::string Next(char sep) {
    std::string text = Number(sep);
    if (values_.Uniform(0, 2) == 0) {
      for (int edits = values_.Uniform(1, 3); edits > 0; --edits) Damage(text, sep);
    }
    return text;
  }

 private:
  std::string Number(char sep) {
    const double v = values_.Next();
    char buf[800];
    switch (values_.Uniform(0, 7)) {
      case 0: std::snprintf(buf, sizeof buf, "%.*g", values_.Uniform(1, 17), v); break;
      case 1: std::snprintf(buf, sizeof buf, "%.*e", values_.Uniform(0, 20), v); break;
      case 2: std::snprintf(buf, sizeof buf, "%.*f", values_.Uniform(0, 8), std::fabs(v) < 1e20 ? v : 1.5); break;
      case 3: {
        // Hand-typed: optional sign, digits, separator, digits, exponent.
        std::string s;
        const int sign = values_.Uniform(0, 3);
        if (sign == 1) s += '+';
        if (sign == 2) s += '-';
        s += Digits(values_.Uniform(0, 4));
        if (values_.Uniform(0, 1)) s += '.';
        s += Digits(values_.Uniform(0, 5));
        if (values_.Uniform(0, 2) == 0) {
          s += values_.Uniform(0, 1) ? 'e' : 'E';
          const int expSign = values_.Uniform(0, 2);
          if (expSign == 1) s += '+';
          if (expSign == 2) s += '-';
          s += Digits(values_.Uniform(0, 4));
        }
        std::snprintf(buf, sizeof buf, "%s", s.c_str());
        break;
      }
      case 4:
        // Exponents near and far beyond the double range, with leading zeros.
        std::snprintf(buf, sizeof buf, "%s%s%se%s%0*d", values_.Uniform(0, 1) ? "-" : "",
                      Digits(values_.Uniform(1, 3)).c_str(), values_.Uniform(0, 1) ? ".5" : "",
                      values_.Uniform(0, 1) ? "-" : "", values_.Uniform(0, 25),
                      values_.Uniform(0, 1) ? values_.Uniform(280, 345) : values_.Uniform(0, 2000000));
        break;
      case 5: {
        // Long texts: many digits, leading zeros, around the nearest-double ties.
        std::string s = std::string(static_cast<std::size_t>(values_.Uniform(0, 30)), '0');
        s += Digits(values_.Uniform(1, 40));
        s += '.';
        s += Digits(values_.Uniform(0, 400));
        if (values_.Uniform(0, 1)) s += "e" + std::to_string(values_.Uniform(-360, 300));
        std::snprintf(buf, sizeof buf, "%s", s.c_str());
        break;
      }
      case 6:
        // 17 significant digits and the decimal midpoint between two doubles.
        std::snprintf(buf, sizeof buf, "%.16e", v);
        if (values_.Uniform(0, 1)) {
          char* e = std::strchr(buf, 'e');
          if (e != nullptr) {
            std::string s(buf, e);
            s += values_.Uniform(0, 1) ? "5" : "49999999999999999999";
            s += e;
            std::snprintf(buf, sizeof buf, "%s", s.c_str());
          }
        }
        break;
      default: {
        const char* odd[] = {"",
                             ".",
                             "-.",
                             "+.",
                             "e",
                             "1e",
                             "-1E+",
                             ".e5",
                             "0",
                             "-0",
                             "00.000",
                             "1e-400",
                             "-1e-400",
                             "1e400",
                             "4.9e-324",
                             "2.4e-324",
                             "2.5e-324",
                             "1.7976931348623158e308",
                             "1.7976931348623159e308"};
        std::snprintf(buf, sizeof buf, "%s", odd[values_.Uniform(0, 18)]);
      }
    }
    std::string s = buf;
    if (sep == ',') {
      const auto dot = s.find('.');
      if (dot != std::string::npos) s[dot] = ',';
    }
    if (values_.Uniform(0, 2) == 0) s.insert(0, static_cast<std::size_t>(values_.Uniform(1, 3)), ' ');
    if (values_.Uniform(0, 2) == 0) s.append(static_cast<std::size_t>(values_.Uniform(1, 3)), ' ');
    return s;
  }

  std::string Digits(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += static_cast<char>('0' + values_.Uniform(0, 9));
    return s;
  }

  void Damage(std::string& text, char sep) {
    static constexpr char kAlphabet[] = " +-.,eE0123456789x\t";
    const char c = values_.Uniform(0, 3) == 0 ? sep : kAlphabet[values_.Uniform(0, 18)];
    const auto at = static_cast<std::size_t>(values_.Uniform(0, static_cast<int>(text.size())));
    switch (values_.Uniform(0, 2)) {
      case 0: text.insert(at, 1, c); break;
      case 1:
        if (at < text.size()) text.erase(at, 1);
        break;
      default:
        if (at < text.size()) text[at] = c;
    }
  }

  ValueSource values_;
};

constexpr int kSweepTexts = 300000;

TEST(NumberTextEquivalence, ReadingMatchesTheReference) {
  TextSource source(4242);
  int differences = 0;
  int numbers = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSweepTexts; ++i) {
    const char sep = i % 2 ? ',' : '.';
    const std::string text = source.Next(sep);
    // Reading leaves the floating-point flags as they were, whether the
    // conversion's own flag (inexact) was raised before or not.
    std::feclearexcept(FE_ALL_EXCEPT);
    if (i % 4 < 2) std::feraiseexcept(FE_INEXACT);
    const int flagsBefore = std::fetestexcept(FE_ALL_EXCEPT);
    const std::optional<double> got = ParseFieldNumber(text, sep);
    const int flagsAfter = std::fetestexcept(FE_ALL_EXCEPT);
    const std::optional<double> want = reference::ParseFieldNumber(text, sep);
    numbers += want.has_value();
    if (!SameNumber(got, want) && ++differences <= kReportedDifferences)
      ADD_FAILURE() << "ParseFieldNumber(\"" << text << "\", '" << sep << "'): got " << Show(got) << ", reference "
                    << Show(want);
    if (flagsAfter != flagsBefore && ++differences <= kReportedDifferences)
      ADD_FAILURE() << "ParseFieldNumber(\"" << text << "\", '" << sep << "') changed the flags " << flagsBefore
                    << " to " << flagsAfter;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(differences, 0);
  // Both kinds of text are well represented.
  EXPECT_GT(numbers, kSweepTexts / 3);
  EXPECT_LT(numbers, kSweepTexts - kSweepTexts / 10);
  std::printf("[ sweep    ] %d texts (%d numbers), %.3f s\n", kSweepTexts, numbers, took.count());
}

// Every text the display rule and the invariant writer produce reads back as
// the reference reads it.
TEST(NumberTextEquivalence, WrittenTextsReadAsTheReferenceReadsThem) {
  ValueSource source(99);
  int differences = 0;
  for (int i = 0; i < 50000; ++i) {
    const double v = source.Next();
    const char sep = i % 2 ? ',' : '.';
    const int decimals = source.Uniform(0, 6);
    for (const std::string& text : {DisplayText(v, v, decimals, sep), FormatFixed7(v, decimals, sep),
                                    FormatExponent(v, source.Uniform(1, 20), source.Uniform(0, 4), sep)}) {
      if (!SameNumber(ParseFieldNumber(text, sep), reference::ParseFieldNumber(text, sep)) &&
          ++differences <= kReportedDifferences)
        ADD_FAILURE() << "ParseFieldNumber(\"" << text << "\", '" << sep << "')";
    }
  }
  EXPECT_EQ(differences, 0);
}

class InvariantEquivalenceTest : public SeparatorTest {};

TEST_F(InvariantEquivalenceTest, SettingsNumbersReadAsTheReferenceReadsThem) {
  TextSource source(314);
  for (char sep : {'.', ','}) {
    SetDecimalSeparator(sep);
    int differences = 0;
    for (int i = 0; i < 20000; ++i) {
      const std::string text = source.Next(i % 3 ? '.' : ',');
      const double got = InvariantStrToFloat(text);
      const double want = reference::InvariantStrToFloat(text);
      if (std::bit_cast<std::uint64_t>(got) != std::bit_cast<std::uint64_t>(want) &&
          ++differences <= kReportedDifferences)
        ADD_FAILURE() << "InvariantStrToFloat(\"" << text << "\") with '" << sep << "': got " << Show(got)
                      << ", reference " << Show(want);
    }
    EXPECT_EQ(differences, 0);
  }
}

// ---------------------------------------------------------------------------
// Floating-point exception flags
//
// The calculator reads the flags to report faults of its own computations,
// so reading and writing field texts must leave them as they were: neither
// raise new ones nor clear raised ones.
// ---------------------------------------------------------------------------

const char* const kFlagTexts[] = {"  2.067 ",
                                  "0.1",
                                  "1",
                                  "-5.12",
                                  "1e308",
                                  "1e309",
                                  "-1e309",
                                  "1e-400",
                                  "5e-324",
                                  "2.4e-324",
                                  "1.8e308",
                                  "0.001e310",
                                  "1e-99999",
                                  "abc",
                                  "",
                                  "1.5e0000000000000000000003",
                                  "0.1000000000000000055511151231257827021181583404541015625"};

const int kFlagStates[] = {0, FE_INEXACT, FE_ALL_EXCEPT, FE_OVERFLOW | FE_UNDERFLOW, FE_DIVBYZERO | FE_INVALID};

TEST(FloatFlags, ReadingAFieldNumberLeavesThemAsTheyWere) {
  for (int state : kFlagStates) {
    for (const char* text : kFlagTexts) {
      std::feclearexcept(FE_ALL_EXCEPT);
      std::feraiseexcept(state);
      const int before = std::fetestexcept(FE_ALL_EXCEPT);
      (void)ParseFieldNumber(text, '.');
      EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), before) << '"' << text << "\" state " << state;
      (void)InvariantStrToFloat(text);
      EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), before) << '"' << text << "\" state " << state;
    }
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(FloatFlags, WritingFieldTextsLeavesThemAsTheyWere) {
  const double values[] = {21.787846001451854, 0.000152,  -5.123, -5.12,   0,      -0.0,    0.004,
                           9999999.5,          -12345678, 1e300,  -1e-300, 5e-324, DBL_MAX, 2.675};
  for (int state : kFlagStates) {
    for (double v : values) {
      for (int decimals : {0, 2, 6, 30}) {
        std::feclearexcept(FE_ALL_EXCEPT);
        std::feraiseexcept(state);
        const int before = std::fetestexcept(FE_ALL_EXCEPT);
        (void)DisplayText(v, v, decimals, '.');
        (void)DisplayText(v, 1.0, decimals, ',');
        (void)FormatFixed7(v, decimals, '.');
        (void)FormatExponent(v, decimals + 1, 2, '.');
        (void)InvariantFloatToStr(v);
        EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), before)
            << Show(v) << " decimals " << decimals << " state " << state;
      }
    }
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

// ---------------------------------------------------------------------------
// Digits kept: what a field text shows, what a typed value is written with, and the decimals
// a value needs so that no significant digit is rounded away.
// ---------------------------------------------------------------------------

TEST(KeptDigits, SignificantDigitsOfFieldTexts) {
  const struct {
    const char* text;
    int digits;
  } cases[] = {
      {"0.01", 1},     {"0.00631", 3},   {"120.00", 5}, {"0.00", 0},       {"0", 0},
      {"1.23E-03", 3}, {"-1.10E-02", 3}, {"5", 1},      {"1E07", 7},       {"1.234568E07", 7},
      {"1.23E+07", 3}, {"-0.0457", 3},   {"0,376", 3},  {"1234567.00", 9}, {"0.0099", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(SignificantDigits(c.text), c.digits) << c.text;
}

TEST(KeptDigits, DecimalsAValueIsWrittenWith) {
  const struct {
    const char* text;
    char sep;
    int decimals;
  } cases[] = {
      {"0.00631", '.', 5}, {"100", '.', 0},     {"100.00", '.', 2},   {"1.234e-3", '.', 6},
      {"1.5E3", '.', 0},   {"1234e-2", '.', 2}, {" -0.013 ", '.', 3}, {"1e-30", '.', 18},
      {"0,25", ',', 2},    {"0.25", ',', -1},   {"smooth", '.', -1},  {"", '.', -1},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalsWritten(c.text, c.sep), c.decimals) << c.text;
}

TEST(KeptDigits, DecimalsRiseUntilThreeDigitsOrTheExactValueShow) {
  const struct {
    double v;
    int decimals;
    int expected;
    const char* shown;  // the display rule's text with the expected decimals
  } cases[] = {
      {0.00630901964, 2, 5, "0.00631"},  // 100 gpm in m3/s
      {0.04572, 2, 4, "0.0457"},         // 0.00015 ft in mm
      {0.37629389, 2, 3, "0.376"},       // 1.23456 ft/s in m/s
      {50.0, 2, 2, "50.00"},             // enough already
      {12.3, 2, 2, "12.30"},
      {0.013, 2, 3, "0.013"},  // exact with fewer than three digits
      {0.0035, 3, 4, "0.0035"},
      {0.00996, 2, 4, "0.0100"},    // the rounding's carry is counted
      {1.13e-6, 2, 2, "1.13E-06"},  // the scientific form shows three already
      {1.13e-6, 0, 2, "1.13E-06"},  // ...but not with fewer decimals: 2 digits, then 3
      {0.0, 2, 2, "0.00"},
      {-0.00631, 2, 2, "-6.31E-03"},  // a negative value shows in scientific form
      {1e-30, 2, 2, "1.00E-30"},
      {4.5e-19, 2, 2, "4.50E-19"},
  };
  for (const auto& c : cases) {
    const int d = DecimalsShowing(c.v, c.v, c.decimals, 3, '.');
    EXPECT_EQ(d, c.expected) << c.v;
    EXPECT_EQ(DisplayText(c.v, c.v, d, '.'), c.shown) << c.v;
  }
}

}  // namespace
}  // namespace zynta::units
