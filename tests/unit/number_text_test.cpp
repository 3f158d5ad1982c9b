#include "units/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
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
  return os << "v=" << buf << " param=" << c.paramValue << " dec=" << c.decimals
            << " sep='" << c.sep << "' -> " << c.expected;
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
    {0.009, 0.009, 2, '.', "0.01"},          // rounds up to the last decimal
    {0, 5, 2, '.', "0.00E+00"},              // shown 0 of a nonzero parameter
    {-0.001, -0.001, 2, '.', "-1.00E-03"},
    // Negative values show scientifically unless they read back exactly.
    {-5.123, -5.123, 2, '.', "-5.12E+00"},
    {-5.123, -5.123, 2, ',', "-5,12E+00"},
    {-5.12, -5.12, 2, '.', "-5.12"},         // reads back exactly
    {-5.12, -5.123, 2, '.', "-5.12E+00"},    // reads back, but not as stored
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
    {123.4567891, 6, '.', "123.456800"},    // digits past the 7th become 0
    {0.125, 2, '.', "0.13"},                // half away from zero
    {2.675, 2, '.', "2.67"},                // 2.67499999999999982...
    {1.005, 2, '.', "1.00"},                // 1.00499999999999989...
    {-0.001, 2, '.', "0.00"},               // no minus on a zero result
    {-0.005, 2, '.', "-0.01"},
    {0.5, 0, '.', "1"},
    {0.49, 0, '.', "0"},
    {999.9995, 3, '.', "1000.000"},         // carry through the nines
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
  return os << "v=" << c.v << " p=" << c.precision << " e=" << c.expDigits << " -> "
            << c.expected;
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
    {9.996, 3, 2, '.', "1.00E+01"},         // the carry moves the exponent
    {0.125, 2, 2, '.', "1.3E-01"},
    {0, 3, 2, '.', "0.00E+00"},
    {-0.0, 3, 2, '.', "0.00E+00"},
    {-5.123, 3, 2, '.', "-5.12E+00"},
    {1.5, 3, 2, ',', "1,50E+00"},
    {1.5, 1, 2, '.', "2E+00"},              // one digit: no separator
    {123456789, 10, 2, '.', "1.234567890E+08"},
    {1e100, 3, 2, '.', "1.00E+100"},        // more digits than asked when needed
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
  const double values[] = {0,     0.004,   -5.123,    9999999.5, 12345678.9,
                           1e300, -1e-300, 1.79e308, 0.125,     -12345678};
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

class InvariantFloatToStrTest
    : public ::testing::TestWithParam<std::tuple<ToStrCase, char>> {
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
    {999999999999999.9, "1E15"},            // the rounding adds a 16th digit
    {1e15, "1E15"},
    {1.5e15, "1.5E15"},
    {1e100, "1E100"},
    {DBL_MAX, "1.79769313486232E308"},
    {5e-324, "4.94065645841247E-324"},
};

INSTANTIATE_TEST_SUITE_P(Table, InvariantFloatToStrTest,
                         ::testing::Combine(::testing::ValuesIn(kToStrCases),
                                            ::testing::Values('.', ',')));

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
    {"1.5", '.', 1.5},
    {"1,5", '.', 0},
    {"", '.', 0},
    {"abc", '.', 0},
    {" 2 ", '.', 2},
    {"5E-6", '.', 5e-6},
    {"-2.5", '.', -2.5},
    {"1E15", '.', 1e15},
    {"1e309", '.', 0},
    {"1.5", ',', 1.5},
    {"1,5", ',', 1.5},
    {"", ',', 0},
    {"abc", ',', 0},
    {"-2.5E3", ',', -2500},
    {"5E-6", ',', 5e-6},
    {".", ',', 0},
    {"1.5.5", ',', 0},       // only the first '.' is the separator
    {"1.000,5", ',', 0},     // no thousands separators
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
  const double exact[] = {0, 1, -1, 0.5, 0.1, 1234.5678, -0.0001, 1e-5,
                          123456789012345, 1e15, 1e-300, 1e300, 9.87654321e-12};
  for (double x : exact) {
    EXPECT_EQ(InvariantStrToFloat(InvariantFloatToStr(x)), x) << InvariantFloatToStr(x);
  }
  const double rounded[] = {1.0 / 3, -2.0 / 3, std::numbers::pi, std::sqrt(2.0) * 1e20,
                            0.1 + 0.2, 1.797693134862315e308, 5e-324, 1.0 / 7 * 1e-8,
                            123456789012345.67, -9.99999999999999e-5};
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

}  // namespace
}  // namespace zynta::units
