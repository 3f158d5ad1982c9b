// What a solve or a typed value came to, as a typed outcome: the window and the plain records
// must agree on the kind, the field concerned and the flags, which the command line decides on
// (it never reads the status text to decide).
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calc/record_store.h"
#include "calc/solvers.h"
#include "cli/headless_calculator.h"

namespace zynta::cli {
namespace {

using calc::SolveOutcome;
using Kind = SolveOutcome::Kind;

struct OutcomeCase {
  const char* name;
  const char* equation;
  const char* problem;
  std::vector<std::pair<int, std::string>> typed;
  std::vector<std::pair<int, std::string>> units;  // chosen before anything is typed
  Kind kind;
  int param;  // the field concerned, -1 for none
  bool warned;
  bool notANumber;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

// The window: each value typed key by key, then F2 unless a value was refused as no number.
SolveOutcome ThroughTheWindow(HeadlessCalculator& calc, const OutcomeCase& c) {
  for (const auto& [index, text] : c.typed) {
    if (calc.Enter(index, text) == HeadlessCalculator::Entry::BadValue) return calc.Outcome();
  }
  calc.Solve();
  return calc.Outcome();
}

// The records: each value committed, then the solve, as the batch does it.
SolveOutcome OnRecords(calc::RecordStore store, const OutcomeCase& c) {
  for (const auto& [index, text] : c.typed) {
    SolveOutcome entered = calc::CommitText(store, index, text);
    if (entered.notANumber || entered.kind == Kind::Fault) return entered;
  }
  return calc::SolveStore(store);
}

class Outcomes : public testing::TestWithParam<OutcomeCase> {};

TEST_P(Outcomes, WindowAndRecordsAgree) {
  const OutcomeCase& c = GetParam();
  HeadlessCalculator calc;
  calc.PickEquation(c.equation);
  calc.PickProblem(c.problem);
  for (const auto& [index, unit] : c.units) ASSERT_TRUE(calc.SetUnit(index, unit));
  const SolveOutcome records = OnRecords(calc.Records(), c);
  const SolveOutcome window = ThroughTheWindow(calc, c);
  for (const SolveOutcome* o : {&window, &records}) {
    SCOPED_TRACE(o == &window ? "window" : "records");
    EXPECT_EQ(o->kind, c.kind) << o->status;
    if (c.kind == Kind::Refused) {
      EXPECT_EQ(o->param, c.param);
    }
    EXPECT_EQ(o->warned, c.warned);
    EXPECT_EQ(o->notANumber, c.notANumber);
    EXPECT_FALSE(o->status.empty());
  }
  // What the status bar shows is the outcome's text; a fault's is shown in a message box.
  if (c.kind != Kind::Fault) {
    EXPECT_EQ(window.status, records.status);
    EXPECT_EQ(calc.Status(), window.status);
  }
}

using calc::Flow;
using calc::HL;
using calc::IDia;
using calc::Len;
using calc::SG;
using calc::Vis;

INSTANTIATE_TEST_SUITE_P(
    Cases, Outcomes,
    testing::Values(
        OutcomeCase{"Solved",
                    "Hazen-Williams",
                    "0",
                    {{IDia, "2.067"}, {Len, "100"}, {Flow, "100"}},
                    {},
                    Kind::Solved,
                    -1,
                    false,
                    false},
        // 0.5 gpm in a 2 in pipe: a Reynolds number near 700, below the turbulent range.
        OutcomeCase{"SolvedWithAWarning",
                    "Hazen-Williams",
                    "0",
                    {{IDia, "2.067"}, {Len, "100"}, {Flow, "0.5"}},
                    {},
                    Kind::Solved,
                    -1,
                    true,
                    false},
        OutcomeCase{"LaminarUnderDarcyIsNoWarning",
                    "Darcy-Weisbach",
                    "0",
                    {{IDia, "2.067"}, {Flow, "0.5"}},
                    {},
                    Kind::Solved,
                    -1,
                    false,
                    false},
        OutcomeCase{
            "NotANumber", "Mannings", "0", {{IDia, "2.067"}, {Len, "1O0"}}, {}, Kind::Refused, Len, false, true},
        OutcomeCase{"AnInputRefused", "Darcy-Weisbach", "0", {{Flow, "0"}}, {}, Kind::Refused, Flow, false, false},
        OutcomeCase{"ABadSpecificGravity",
                    "Darcy-Weisbach",
                    "0",
                    {{SG, "0"}, {Vis, "1"}},
                    {{Vis, "cpoises"}},
                    Kind::Refused,
                    SG,
                    false,
                    false},
        OutcomeCase{"AFault",
                    "Hazen-Williams",
                    "0",
                    {{Len, "1e300"}, {Flow, "1e300"}},
                    {},
                    Kind::Fault,
                    -1,
                    false,
                    false}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

TEST(SolvedOutcome, WarnsOnlyForAShownNumberBelowTheTurbulentRange) {
  struct Case {
    calc::Equation equation;
    bool shown;
    const char* text;
    bool warned;
  };
  const Case cases[] = {
      {calc::Equation::HazenWilliams, true, "3999", true},  {calc::Equation::Mannings, true, "12", true},
      {calc::Equation::HazenWilliams, true, "4000", false}, {calc::Equation::DarcyWeisbach, true, "12", false},
      {calc::Equation::HazenWilliams, false, "12", false},  {calc::Equation::HazenWilliams, true, "?", false},
      {calc::Equation::HazenWilliams, true, "", false},
  };
  for (const Case& c : cases) {
    const SolveOutcome o = calc::SolvedOutcome(c.equation, c.shown, c.text);
    EXPECT_EQ(o.kind, Kind::Solved) << c.text;
    EXPECT_EQ(o.warned, c.warned) << c.text;
    EXPECT_EQ(o.status, c.warned ? "Solved!  Flow is not turbulent (may be inaccurate)!" : "Solved!") << c.text;
  }
}

}  // namespace
}  // namespace zynta::cli
