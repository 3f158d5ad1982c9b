// Where a user action ends: silent for a failed input read, one report for anything else.
#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/event_boundary.h"
#include "units/errors.h"

namespace zynta::shell {
namespace {

TEST(GeneralErrorText, AddsAFullStopAfterALetterOrADigit) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
      {"Floating point division by zero", "Floating point division by zero."},
      {"Unable to write to /x/ZYNTA.ini", "Unable to write to /x/ZYNTA.ini."},
      {"Error 42", "Error 42."},
      {"Already ends.", "Already ends."},
      {"A question?", "A question?"},
      {"'x'", "'x'"},
      {"", ""},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(GeneralErrorText(text), shown) << text;
}

struct BoundaryFixture : testing::Test {
  std::vector<std::string> reports;
  EventBoundary boundary{[this](const std::string& text) { reports.push_back(text); }};
};

TEST_F(BoundaryFixture, InputAbortEndsTheActionSilently) {
  bool after = false;
  boundary.Run([&] {
    throw units::InputAbort{};
    after = true;
  });
  EXPECT_FALSE(after);
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(boundary.Inside());
}

TEST_F(BoundaryFixture, AnErrorFromANestedHandlerIsReportedOnceByTheOutermost) {
  auto nested = boundary.Guard([] { throw units::CalcError("Floating point overflow"); });
  bool outerContinued = false;
  boundary.Run([&] {
    nested();  // a change event fired by the running action
    outerContinued = true;
  });
  EXPECT_FALSE(outerContinued);
  EXPECT_EQ(reports, std::vector<std::string>{"Floating point overflow."});
  EXPECT_FALSE(boundary.Inside());
  // The calculator goes on: the next action runs normally.
  bool ran = false;
  boundary.Run([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(BoundaryFixture, KeyHandlersKeepTheirDiscard) {
  auto key = boundary.GuardKey([](char& c) { c = 0; });
  char c = 'x';
  key(c);
  EXPECT_EQ(c, 0);
}

TEST(CheckedFloat, NamesTheFault) {
  struct Case {
    double (*compute)(double);
    const char* message;
  };
  const std::vector<Case> cases = {
      {[](double zero) { return 1.0 / zero; }, "Floating point division by zero"},
      {[](double zero) { return std::sqrt(zero - 1.0); }, "Invalid floating point operation"},
      {[](double zero) { return std::pow(10.0, 400.0 + zero); }, "Floating point overflow"},
      {[](double zero) { return 1.0 / (1.0 / zero); }, "Floating point division by zero"},  // fault on the way
  };
  for (const Case& c : cases) {
    units::ClearFloatFaults();
    volatile double zero = 0.0;
    const double v = c.compute(zero);
    try {
      units::CheckedFloat(v);
      ADD_FAILURE() << c.message << " not raised";
    } catch (const units::CalcError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  units::ClearFloatFaults();
  EXPECT_EQ(units::CheckedFloat(2.5), 2.5);
  EXPECT_THROW(units::CheckedFloat(std::numeric_limits<double>::quiet_NaN()), units::CalcError);
}

// A fault counts wherever it was raised: by the C library's own call, in double arithmetic or
// in long double arithmetic (the x87 unit on x86-64). Clearing takes the three faults only.
TEST(CheckedFloat, SeesFaultsRaisedAnywhereAndClearsOnlyThem) {
  struct Case {
    const char* what;
    void (*raise)();
    const char* message;
  };
  const std::vector<Case> cases = {
      {"feraiseexcept", [] { std::feraiseexcept(FE_DIVBYZERO); }, "Floating point division by zero"},
      {"feraiseexcept", [] { std::feraiseexcept(FE_INVALID); }, "Invalid floating point operation"},
      {"feraiseexcept", [] { std::feraiseexcept(FE_OVERFLOW); }, "Floating point overflow"},
      {"long double",
       [] {
         volatile long double zero = 0.0L;
         volatile long double r = 1.0L / zero;
         (void)r;
       },
       "Floating point division by zero"},
      {"long double",
       [] {
         volatile long double minusOne = -1.0L;
         volatile long double r = std::sqrt(minusOne);
         (void)r;
       },
       "Invalid floating point operation"},
  };
  for (const Case& c : cases) {
    units::ClearFloatFaults();
    c.raise();
    try {
      units::CheckedFloat(1.0);
      ADD_FAILURE() << c.what << ": " << c.message << " not seen";
    } catch (const units::CalcError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
    units::ClearFloatFaults();
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID), 0) << c.what;
    EXPECT_EQ(units::CheckedFloat(1.0), 1.0) << c.what;
  }
  std::feraiseexcept(FE_INEXACT | FE_UNDERFLOW | FE_OVERFLOW);
  units::ClearFloatFaults();
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_INEXACT | FE_UNDERFLOW);
  std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace
}  // namespace zynta::shell
