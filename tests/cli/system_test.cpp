// zynta-cli system: the operating point of pump curves on the solved pipe, as text and JSON,
// its failures and its refusals.
#include <cmath>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_cli.h"

namespace {

using zynta::clitest::CliResult;
using zynta::clitest::CliRunner;
using Args = std::vector<std::string>;

// An 8 in pipe, 2000 ft long, by Manning with n = 0.013, a lift of 40 ft and K = 5; the pump
// H = 150 - 6e-5 Q^2 (ft, gpm).
const Args Manning = {"system",
                      "--equation",
                      "Mannings",
                      "IDia=8 in",
                      "Len=2000 ft",
                      "Fric=0.013",
                      "Flow=500",
                      "--static",
                      "40",
                      "--k",
                      "5",
                      "--pump",
                      "0:150,500:135,1000:90,1500:15"};

Args With(Args args, const Args& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The first "name":{"value":X of a JSON text.
double JsonValue(const std::string& json, const std::string& name) {
  std::smatch m;
  const std::regex re("\"" + name + "\":\\{\"value\":([-0-9.eE+]+)");
  if (!std::regex_search(json, m, re)) {
    ADD_FAILURE() << name << " not in " << json;
    return NAN;
  }
  return std::stod(m[1]);
}

// Manning's head per gpm^2 with the minor losses (V = Q / A, h_f = L (n V / 1.49)^2 / R^(4/3),
// R = D / 4, h_m = K V^2 / 2g), and the closed-form duty flow s + k Q^2 = 150 - 6e-5 Q^2.
double ClosedFormFlow() {
  const double d = 8.0 / 12.0;
  const double vPerGpm = 1.0 / 448.831 / (std::numbers::pi * d * d / 4.0);
  const double k = 2000.0 * std::pow(0.013 * vPerGpm / 1.49, 2.0) / std::pow(d / 4.0, 4.0 / 3.0) +
                   5.0 * vPerGpm * vPerGpm / (2.0 * 32.174);
  return std::sqrt((150.0 - 40.0) / (k + 6e-5));
}

TEST(System, PrintsTheOperatingPointOfTheClosedForm) {
  CliRunner cli;
  const CliResult r = cli.Run(With(Manning, {"--json"}));
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const double flow = JsonValue(r.out, "flow");
  EXPECT_NEAR(flow, ClosedFormFlow(), 1e-9 * flow);
  EXPECT_NEAR(JsonValue(r.out, "head"), 150.0 - 6e-5 * flow * flow, 1e-9 * 150.0);
  EXPECT_NE(r.out.find("\"static\":{\"value\":40,\"unit\":\"ftliq\"},\"sumK\":5,\"arrangement\":\"single\""),
            std::string::npos)
      << r.out;

  const CliResult text = cli.Run(Manning);
  ASSERT_EQ(text.exit, 0) << text.err;
  const std::regex lines(
      "Static head: 40 ftliq\nSum of K: 5\nPump 1 \\(single\\): [0-9.]+ gpm at [0-9.]+ ftliq\n"
      "  Velocity: [0-9.]+ ft/s\n  Reynolds number: [0-9.]+\n"
      "  Static head [0-9.]+ %, friction [0-9.]+ %, minor losses [0-9.]+ %\n");
  EXPECT_TRUE(std::regex_match(text.out, lines)) << text.out;
}

// The same pump given in L/s and m of liquid: the same duty point in those units.
TEST(System, TakesAndAnswersInTheUnitsAsked) {
  CliRunner cli;
  const double lps = 0.0630901964;  // L/s in one US gpm (3.785411784 L / 60 s)
  const double m = 0.3048;
  auto point = [&](double q, double h) { return std::to_string(q * lps) + ":" + std::to_string(h * m); };
  Args args = Manning;
  args.back() = point(0, 150) + "," + point(500, 135) + "," + point(1000, 90) + "," + point(1500, 15);
  args = With(args, {"--flow-unit", "L/s", "--head-unit", "mtrliq", "--json"});
  args[8] = std::to_string(40 * m);  // the static head, in the head unit
  const CliResult r = cli.Run(args);
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_NEAR(JsonValue(r.out, "flow") / lps, ClosedFormFlow(), 1e-5 * ClosedFormFlow());
  EXPECT_NE(r.out.find("\"unit\":\"L/s\""), std::string::npos) << r.out;
}

TEST(System, TwoPumpsInParallelAndInSeries) {
  CliRunner cli;
  const CliResult single = cli.Run(With(Manning, {"--json"}));
  const CliResult parallel = cli.Run(With(Manning, {"--arrangement", "parallel", "--json"}));
  const CliResult series = cli.Run(With(Manning, {"--arrangement", "series", "--json"}));
  ASSERT_EQ(parallel.exit, 0) << parallel.err;
  ASSERT_EQ(series.exit, 0) << series.err;
  EXPECT_GT(JsonValue(parallel.out, "flow"), JsonValue(single.out, "flow"));
  EXPECT_GT(JsonValue(series.out, "flow"), JsonValue(single.out, "flow"));
  EXPECT_NE(series.out.find("\"arrangement\":\"series\""), std::string::npos);
}

struct Failure {
  const char* name;
  Args args;
  int exit;
  const char* err;  // a line of standard error
};

void PrintTo(const Failure& c, std::ostream* os) { *os << c.name; }

class SystemFailure : public testing::TestWithParam<Failure> {};

TEST_P(SystemFailure, ExitsWithTheReason) {
  CliRunner cli;
  const Failure& c = GetParam();
  const CliResult r = cli.Run(c.args);
  EXPECT_EQ(r.exit, c.exit) << r.err;
  EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
}

Args Replace(Args args, const std::string& from, const std::string& to) {
  for (auto& a : args)
    if (a == from) a = to;
  return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemFailure,
    testing::Values(
        Failure{"LiftAboveTheShutOff", Replace(Manning, "40", "200"), 1,
                "Pump 1: No operating point: the pump cannot reach the static head"},
        Failure{"BeyondTheCurve", Replace(Manning, "0:150,500:135,1000:90,1500:15", "0:150,100:149,200:146"), 1,
                "Pump 1: No operating point within the pump curve's range"},
        Failure{"NoPump", Args(Manning.begin(), Manning.end() - 2), 2, "no pump: give its curve with --pump"},
        Failure{"RisingCurve", Replace(Manning, "0:150,500:135,1000:90,1500:15", "0:10,100:20"), 2,
                "pump 1: The pump curve rises with flow; its head must fall as the flow grows"},
        Failure{"NotAPoint", Replace(Manning, "0:150,500:135,1000:90,1500:15", "0:150,500"), 2,
                "--pump: \"500\" is no FLOW:HEAD point"},
        Failure{"FourPumps", With(Manning, {"--pump", "0:1,1:0.5", "--pump", "0:1,1:0.5", "--pump", "0:1,1:0.5"}),
                2, "at most 3 pumps"},
        Failure{"UnknownFitting", With(Manning, {"--fitting", "Elbow=2"}), 2,
                "unknown fitting \"Elbow\"; fittings: Elbow 90, standard; "},
        Failure{"UnknownArrangement", With(Manning, {"--arrangement", "triple"}), 2,
                "unknown arrangement \"triple\"; arrangements: single, parallel, series"},
        Failure{"NegativeK", Replace(Manning, "5", "-1"), 2, "--k: a sum of loss coefficients is 0 or more"},
        Failure{"NotAHeadLossProblem",
                {"system", "--problem", "3", "IDia=8 in", "Flow=500", "--pump", "0:150,500:135,1000:90"},
                1,
                "Solve first: the plots need a head-loss problem"}),
    [](const testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

TEST(System, FittingsAddTheirKAndAreListed) {
  CliRunner cli;
  const CliResult list = cli.Run({"system", "--fittings"});
  ASSERT_EQ(list.exit, 0) << list.err;
  EXPECT_NE(list.out.find("Globe valve, open\t10\n"), std::string::npos) << list.out;
  // 2 globe valves (10) and 4 standard 90 degree elbows (0.3) on top of K = 5: 26.2.
  const CliResult r =
      cli.Run(With(Manning, {"--fitting", "Globe valve, open=2", "--fitting", "elbow 90, standard=4", "--json"}));
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_NE(r.out.find("\"sumK\":26.2,"), std::string::npos) << r.out;
}

}  // namespace
