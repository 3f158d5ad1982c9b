// Where a user action ends: silent for a failed input read, one report for anything else.
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

}  // namespace
}  // namespace zynta::shell
