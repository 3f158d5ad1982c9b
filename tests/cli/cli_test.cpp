// zynta-cli solve, batch, units, pipes and fluids, run as a shell runs them: exit status,
// standard output and standard error, compared whole where the text is the product.
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "run_cli.h"

namespace {

using zynta::clitest::CliResult;
using zynta::clitest::CliRunner;
using Args = std::vector<std::string>;

// The report's lines end with CR LF; expectations are written with LF.
std::string Crlf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Describe(const Args& args) {
  std::string out = "zynta-cli";
  for (const auto& a : args) out += " '" + a + "'";
  return out;
}

const Args DarcyExample = {"solve",      "--equation",      "Darcy-Weisbach", "IDia=2.067 in",
                           "Len=100 ft", "Fric=0.00015 ft", "Vis=1.13 cSt",   "Flow=100 gpm"};

// --- solve: the report, exactly as the window's Copy to Clipboard gives it -------------------

struct ReportCase {
  const char* name;
  Args args;
  std::string report;  // LF here, CR LF in the output
  std::string err;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class SolveReport : public testing::TestWithParam<ReportCase> {};

TEST_P(SolveReport, PrintsTheClipboardReport) {
  CliRunner cli;
  const ReportCase& c = GetParam();
  const CliResult r = cli.Run(c.args);
  EXPECT_EQ(r.exit, 0) << Describe(c.args) << "\n" << r.err;
  EXPECT_EQ(r.out, Crlf(c.report)) << Describe(c.args);
  EXPECT_EQ(r.err, c.err) << Describe(c.args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveReport,
    testing::Values(
        // the first-run example, unchanged: the window's first report
        ReportCase{"FirstRun",
                   {"solve"},
                   R"(
System is solved!

Solve for: HL given D,L,C,Q
Using Hazen-Williams equation

     Inside Dia (D):        2.067 in
           Area (A):         3.36 in2
         Length (L):       100.00 ft
            H-W (C):      120.000 
    Viscosity (Vis):         1.13 cSt
     Spec Grav (SG):         1.00  
           Flow (Q):       100.00 gpm
      Headloss (HL):        21.79 ftliq
     Velocity (Vel):         9.56 ft/s
    Reynolds # (Nr):       135400 Turbulent

)",
                   ""},
        // the Darcy-Weisbach worked example: 17.43 ft, f 0.021 (three decimals as shipped)
        ReportCase{"DarcyWeisbach", DarcyExample, R"(
System is solved!

Solve for: HL given D,L,E,Vis,Q
Using Darcy-Weisbach equation

     Inside Dia (D):        2.067 in
           Area (A):         3.36 in2
         Length (L):       100.00 ft
     Spec Rough (E):      0.00015 ft
    Viscosity (Vis):         1.13 cSt
     Spec Grav (SG):         1.00  
           Flow (Q):       100.00 gpm
      Headloss (HL):        17.43 ftliq
     Velocity (Vel):         9.56 ft/s
    Reynolds # (Nr):       135400 Turbulent
Friction Factor (f):        0.021  

)",
                   ""},
        // metric units, letter case ignored, picks from the fluid and material lists, a result
        // and picked inputs shown in chosen units; the picks keep every digit
        ReportCase{"MetricWithLists",
                   {"solve", "--equation", "darcy-weisbach", "--fluid", "WATER 60 F", "--material",
                    "steel, commercial", "--decimals", "Fric=5", "--clear", "IDia=50 MM", "Len=30 m", "Flow=5",
                    "l/s", "HL=? kpa", "Vis=? m2/s"},
                   R"(
System is solved!

Solve for: HL given D,L,E,Vis,Q
Using Darcy-Weisbach equation

     Inside Dia (D):       50.000 mm
           Area (A):         3.04 in2
         Length (L):        30.00 m
     Spec Rough (E):      0.00015 ft
    Viscosity (Vis):     1.12E-06 m2/s
     Spec Grav (SG):         1.00  
           Flow (Q):         5.00 L/s
      Headloss (HL):        42.06 kPa
     Velocity (Vel):         8.35 ft/s
    Reynolds # (Nr):       113682 Turbulent
Friction Factor (f):        0.022  

)",
                   ""},
        // a pipe spec and size: the inside diameter from the table
        ReportCase{"SpecAndSize",
                   {"solve", "--spec", "PVC Sch 40 (ASTM D1785)", "--size", "0.75", "--clear", "Len=50 ft",
                    "Fric=140", "Flow=10", "SG=1"},
                   R"(
System is solved!

Solve for: HL given D,L,C,Q
Using Hazen-Williams equation
Pipe Spec: PVC Sch 40 (ASTM D1785)

            Nom Dia:         0.75 in
     Inside Dia (D):        0.824 in
           Area (A):         0.53 in2
         Length (L):        50.00 ft
            H-W (C):      140.000 
    Viscosity (Vis):         1.13 cSt
     Spec Grav (SG):         1.00  
           Flow (Q):        10.00 gpm
      Headloss (HL):        10.15 ftliq
     Velocity (Vel):         6.02 ft/s
    Reynolds # (Nr):        33965 Turbulent

)",
                   ""},
        // solved with the status bar's warning, which goes to standard error
        ReportCase{"NotTurbulent",
                   {"solve", "Flow=1"},
                   R"(
System is solved!

Solve for: HL given D,L,C,Q
Using Hazen-Williams equation

     Inside Dia (D):        2.067 in
           Area (A):         3.36 in2
         Length (L):       100.00 ft
            H-W (C):      120.000 
    Viscosity (Vis):         1.13 cSt
     Spec Grav (SG):         1.00  
           Flow (Q):         1.00 gpm
      Headloss (HL):     4.35E-03 ftliq
     Velocity (Vel):         0.10 ft/s
    Reynolds # (Nr):         1354 Laminar

)",
                   "Solved!  Flow is not turbulent (may be inaccurate)!\n"},
        // a value without a unit is in the catalog's default: the length in inches
        ReportCase{"DefaultUnitAndProblemText",
                   {"solve", "--problem", "vel given d,q", "IDia=2.067", "Flow=100"},
                   R"(
System is solved!

Solve for: Vel given D,Q

     Inside Dia (D):        2.067 in
           Area (A):         3.36 in2
           Flow (Q):       100.00 gpm
     Velocity (Vel):         9.56 ft/s

)",
                   ""}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST(Solve, ValueWithoutUnitIsInTheDefaultUnitNotTheShownOne) {
  CliRunner cli;
  // the window shows the length in ft; Len=1200 without a unit is 1200 in = 100 ft
  const CliResult inches = cli.Run({"solve", "Len=1200"});
  const CliResult feet = cli.Run({"solve", "Len=100 ft"});
  ASSERT_EQ(inches.exit, 0) << inches.err;
  ASSERT_EQ(feet.exit, 0) << feet.err;
  EXPECT_NE(inches.out.find("Length (L):      1200.00 in"), std::string::npos) << inches.out;
  EXPECT_NE(inches.out.find("Headloss (HL):        21.79 ftliq"), std::string::npos) << inches.out;
  EXPECT_NE(feet.out.find("Headloss (HL):        21.79 ftliq"), std::string::npos) << feet.out;
}

TEST(Solve, JsonListsEveryVisibleFieldInBaseUnits) {
  CliRunner cli;
  Args args = DarcyExample;
  args.insert(args.begin() + 1, "--json");
  args.push_back("HL=? psi");
  const CliResult r = cli.Run(args);
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, R"json({
  "solved": true,
  "status": "Solved!",
  "equation": "Darcy-Weisbach",
  "problem": "HL given D,L,E,Vis,Q",
  "spec": null,
  "fields": [
    {"param": "IDia", "name": "Inside Dia (D)", "role": "input", "text": "2.067", "value": 2.067, "unit": "in", "base_unit": "in"},
    {"param": "Area", "name": "Area (A)", "role": "result", "text": "3.36", "value": 3.355605013735801, "unit": "in2", "base_unit": "in2"},
    {"param": "Len", "name": "Length (L)", "role": "input", "text": "100.00", "value": 1200, "unit": "ft", "base_unit": "in"},
    {"param": "Fric", "name": "Spec Rough (E)", "role": "input", "text": "0.00015", "value": 0.00015, "unit": "ft", "base_unit": "ft"},
    {"param": "Vis", "name": "Viscosity (Vis)", "role": "input", "text": "1.13", "value": 1.13, "unit": "cSt", "base_unit": "cSt"},
    {"param": "SG", "name": "Spec Grav (SG)", "role": "input", "text": "1.00", "value": 1, "unit": "", "base_unit": ""},
    {"param": "Flow", "name": "Flow (Q)", "role": "input", "text": "100.00", "value": 100, "unit": "gpm", "base_unit": "gpm"},
    {"param": "HL", "name": "Headloss (HL)", "role": "result", "text": "7.55", "value": 17.426380908729787, "unit": "psi", "base_unit": "ftliq"},
    {"param": "Vel", "name": "Velocity (Vel)", "role": "result", "text": "9.56", "value": 9.561120951480197, "unit": "ft/s", "base_unit": "ft/s"},
    {"param": "ReyNo", "name": "Reynolds # (Nr)", "role": "result", "text": "135400", "value": 135400.2682114911, "unit": "", "base_unit": "", "regime": "Turbulent"},
    {"param": "FricFact", "name": "Friction Factor (f)", "role": "result", "text": "0.021", "value": 0.021123231736870095, "unit": "", "base_unit": ""}
  ]
}
)json");
}

// A value given keeps every digit it is written with: its field's decimals rise before it is
// typed, unless --decimals names the field.
TEST(Solve, ValuesAreUsedWithEveryDigitGiven) {
  const struct {
    Args args;
    std::string param, text;
    double value;  // in the base unit, as --json gives it
  } cases[] = {
      {{"--equation", "Mannings", "Fric=0.0125"}, "Fric", "0.0125", 0.0125},
      {{"Flow=0.00631 m3/s"}, "Flow", "0.00631", 0.00631 / 0.0000630901964},
      {{"--problem", "2", "HL=1.234e-3 ftliq"}, "HL", "0.001234", 0.001234},
      {{"--problem", "2", "HL=1234e-6"}, "HL", "0.001234", 0.001234},
      {{"Len=123.4567 ft"}, "Len", "123.4567", 123.4567 * 12},
      // asked for: the field's own decimals win
      {{"--decimals", "Flow=2", "Flow=0.00631 m3/s"}, "Flow", "0.01", 0.01 / 0.0000630901964},
  };
  CliRunner cli;
  for (const auto& c : cases) {
    Args args = {"solve", "--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = cli.Run(args);
    EXPECT_EQ(r.exit, 0) << Describe(args) << "\n" << r.err;
    const std::regex field("\"param\": \"" + c.param + R"re("[^{}]*?"text": "([^"]*)", "value": ([^,]*),)re");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, field)) << r.out;
    EXPECT_EQ(m[1].str(), c.text) << Describe(args);
    EXPECT_DOUBLE_EQ(std::stod(m[2].str()), c.value) << Describe(args);
  }
}

// The worked example in Manning's form with n 0.013 typed: the head loss of the formula with
// 1.49 and 448.831 gpm per cfs, computed here on its own.
TEST(Solve, ManningHeadLossWithTheTypedN) {
  CliRunner cli;
  const CliResult r = cli.Run({"solve", "--json", "--equation", "Mannings", "Fric=0.013"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const double d = 2.067 / 12, area = std::numbers::pi * d * d / 4, v = 100 / 448.831 / area;
  const double slope = std::pow(v * 0.013 / (1.49 * std::pow(d / 4, 2.0 / 3.0)), 2);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"re("param": "HL"[^{}]*?"value": ([^,]*),)re")));
  EXPECT_NEAR(std::stod(m[1].str()), slope * 100, 1e-9 * slope * 100);
}

// --- solve: not solved, exit 1 with the window's message on standard error -------------------

struct FailureCase {
  const char* name;
  Args args;
  std::string firstErrLine;
  bool report;  // a report ("System is NOT solved!") on standard output
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class SolveFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SolveFailure, ExitsOneWithTheStatus) {
  CliRunner cli;
  const FailureCase& c = GetParam();
  const CliResult r = cli.Run(c.args);
  EXPECT_EQ(r.exit, 1) << Describe(c.args);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.firstErrLine) << Describe(c.args) << "\n" << r.err;
  if (c.report) {
    EXPECT_EQ(r.out.rfind("\r\nSystem is NOT solved!\r\n", 0), 0u) << r.out;
  } else {
    EXPECT_EQ(r.out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveFailure,
    testing::Values(
        FailureCase{"ZeroFlow", {"solve", "Flow=0"}, "Invalid Flow!", true},
        FailureCase{"NegativeLength", {"solve", "Len=-5 ft"}, "Invalid Length!", true},
        FailureCase{"NoViscosity", {"solve", "--equation", "Darcy-Weisbach", "Vis=0"}, "Invalid Viscosity!", true},
        // pressure units need the specific gravity, cleared here
        FailureCase{"PressureWithoutSpecificGravity",
                    {"solve", "--equation", "Mannings", "--problem", "1", "--clear", "Len=100 ft", "Fric=0.011",
                     "Flow=100", "HL=9 psi"},
                    "Invalid Spec Grav!",
                    true},
        // the diameter iteration swings between laminar and turbulent and never settles
        FailureCase{"DoesNotConverge",
                    {"solve", "--equation", "Darcy-Weisbach", "--problem", "1", "Flow=0.5", "HL=0.1", "Vis=1"},
                    "Could not solve!",
                    true},
        // the solve ends in an arithmetic fault: the window's message box text
        FailureCase{"Overflow", {"solve", "Flow=1e300"}, "Floating point overflow.", true},
        FailureCase{
            "ViewAllIsNoProblem", {"solve", "--problem", "6"}, "Use \"Solve For:\" to select problem...", true},
        // the field refuses the text when it is left: nothing is solved
        FailureCase{"NotANumber", {"solve", "Flow=abc"}, "Bad value!", false},
        FailureCase{"CommaIsNoSeparator", {"solve", "Flow=1,5"}, "Bad value!", false}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// --- solve: usage errors, exit 2, naming the argument and listing what is valid ---------------

struct UsageCase {
  const char* name;
  Args args;
  std::vector<std::string> mentions;  // each must appear on standard error
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class SolveUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(SolveUsage, ExitsTwoNamingTheArgumentAndTheChoices) {
  CliRunner cli;
  const UsageCase& c = GetParam();
  const CliResult r = cli.Run(c.args);
  EXPECT_EQ(r.exit, 2) << Describe(c.args) << "\n" << r.err;
  EXPECT_EQ(r.out, "");
  for (const std::string& m : c.mentions)
    EXPECT_NE(r.err.find(m), std::string::npos) << "missing: " << m << "\n" << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveUsage,
    testing::Values(
        UsageCase{"Equation",
                  {"solve", "--equation", "Bernoulli"},
                  {"\"Bernoulli\"", "Hazen-Williams, Darcy-Weisbach, Mannings"}},
        UsageCase{
            "ProblemPosition", {"solve", "--problem", "7"}, {"\"7\"", "0 \"HL given D,L,C,Q\"", "6 \"View All"}},
        UsageCase{"ProblemTextOfAnotherEquation",
                  {"solve", "--problem", "HL given D,L,E,Vis,Q"},
                  {"\"HL given D,L,E,Vis,Q\"", "of Hazen-Williams", "\"HL given D,L,C,Q\""}},
        UsageCase{
            "Unit", {"solve", "Flow=1 furlong"}, {"\"furlong\"", "Flow", "cfs, gpm, MGD, L/s, L/min, m3/h, m3/s"}},
        UsageCase{"UnitOfParameterWithoutUnits", {"solve", "SG=1 kg"}, {"SG has no units"}},
        UsageCase{"Parameter", {"solve", "Flw=1"}, {"\"Flw\"", "IDia", "FricFact"}},
        UsageCase{"ResultAsInput", {"solve", "HL=3"}, {"HL is a result", "inputs: IDia, Len, Fric, SG, Flow"}},
        UsageCase{"NotInTheProblem",
                  {"solve", "--problem", "3", "Len=3"},
                  {"Len is not an input", "inputs: IDia, Flow"}},
        UsageCase{"FixedViscosity", {"solve", "Vis=2"}, {"Vis is fixed at 1.13 cSt", "Hazen-Williams"}},
        UsageCase{"FrictionUnitOutsideDarcy", {"solve", "Fric=3 mm"}, {"Fric takes no unit", "\"Fric=3 mm\""}},
        UsageCase{
            "Spec", {"solve", "--spec", "Steel Sch 41"}, {"\"Steel Sch 41\"", "Steel Sch 40 (ASME B36.10M)"}},
        UsageCase{"SizeWithoutSpec", {"solve", "--size", "2"}, {"\"2\"", "pipe spec"}},
        UsageCase{"Size",
                  {"solve", "--spec", "Copper Type L (ASTM B88)", "--size", "7"},
                  {"\"7\"", "Copper Type L (ASTM B88)", "0.25"}},
        UsageCase{
            "Fluid", {"solve", "--equation", "Darcy-Weisbach", "--fluid", "Water"}, {"\"Water\"", "Water 60 F"}},
        UsageCase{"FluidListOutsideDarcy", {"solve", "--fluid", "Water 60 F"}, {"fluid list is not offered"}},
        UsageCase{"Material", {"solve", "--material", "Marble"}, {"\"Marble\"", "Brass", "Wood stave"}},
        UsageCase{"Decimals", {"solve", "--decimals", "HL=9"}, {"9", "HL", "1, 2, 3, 4, 5, 6"}},
        UsageCase{"DecimalsSyntax", {"solve", "--decimals", "HL"}, {"PARAM=N", "\"HL\""}},
        UsageCase{"NominalDiameterAsValue", {"solve", "NDia=2"}, {"--size"}},
        UsageCase{"Option", {"solve", "--equaton", "Mannings"}, {"\"--equaton\"", "--equation"}},
        UsageCase{"MissingOptionValue", {"solve", "--problem"}, {"--problem needs a value"}},
        UsageCase{"Positional", {"solve", "Flow"}, {"\"Flow\"", "PARAM=VALUE"}},
        UsageCase{"Twice", {"solve", "Flow=1", "Flow=2"}, {"Flow is given twice"}},
        // 100 000 digits: refused before a key is typed, so its cost does not grow with its square
        UsageCase{"ValueLongerThanAnyNumber",
                  {"solve", "Flow=" + std::string(100000, '1')},
                  {"Flow: a value longer than 256 characters"}},
        UsageCase{"ControlCharactersEscaped", {"solve", "Flw\x1b[2J=1"}, {"\"Flw\\x1b[2J\""}}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

// --- the user's settings -----------------------------------------------------------------------

TEST(Settings, NeverReadNorWrittenAndNothingLeftBehind) {
  CliRunner cli;
  // a settings file of the user's own that would change every answer if it were read
  const auto userFolder = cli.Config() / "WXB/ZYNTA/1.1";
  std::filesystem::create_directories(userFolder);
  const std::string own =
      "[MainForm]\nVersion=1.1\nHLEq=Mannings\nSolveFor=3\n[Flow]\nUnitIndex=0\nValue=9\nParamValue=9\n";
  for (const char* name : {"zynta.ini", "zynta-cli.ini"}) std::ofstream(userFolder / name) << own;
  const auto home = CliRunner::Contents(cli.Home());
  const auto config = CliRunner::Contents(cli.Config());
  for (const Args& args : {Args{"solve"}, Args{"batch", "-"}, Args{"units"}}) {
    const CliResult r = cli.Run(args, "equation,problem,Flow\n,,100\n");
    EXPECT_EQ(r.exit, args[0] == "batch" ? 1 : 0) << Describe(args) << r.err;
    EXPECT_TRUE(CliRunner::Contents(cli.Temp()).empty()) << Describe(args);
  }
  EXPECT_EQ(CliRunner::Contents(cli.Home()), home);
  EXPECT_EQ(CliRunner::Contents(cli.Config()), config);
  for (const char* name : {"zynta.ini", "zynta-cli.ini"}) {
    std::ifstream f(userFolder / name);
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_EQ(s.str(), own);
  }
  // the shipped first-run state, not the user's Mannings velocity problem
  EXPECT_NE(cli.Run({"solve"}).out.find("Using Hazen-Williams equation"), std::string::npos);
}

// --- plot: the two pictures, offscreen ---------------------------------------------------------

std::string FileText(const std::filesystem::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

Args PlotArgs(std::vector<std::string> options, const Args& solve) {
  Args args = {"plot"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), solve.begin() + 1, solve.end());  // without "solve"
  return args;
}

#ifdef ZYNTA_PLOTS

TEST(Plot, WritesBothPicturesAsPngAndSvgWithoutADisplay) {
  CliRunner cli;  // its environment has no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM
  const auto out = cli.Home() / "out";
  std::filesystem::create_directories(out);
  const std::string prefix = (out / "pipe").string();
  const Args args = PlotArgs({"--png", prefix, "--svg=" + prefix}, DarcyExample);
  const CliResult r = cli.Run(args);
  ASSERT_EQ(r.exit, 0) << Describe(args) << "\n" << r.err;
  EXPECT_EQ(r.out, prefix + "-system.png\n" + prefix + "-moody.png\n" + prefix + "-system.svg\n" + prefix +
                       "-moody.svg\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(CliRunner::Contents(out).size(), 4u);
  for (const char* kind : {"system", "moody"}) {
    SCOPED_TRACE(kind);
    const std::string png = FileText(prefix + "-" + kind + ".png");
    ASSERT_GT(png.size(), 10000u);  // a picture, not an empty canvas
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const std::string svg = FileText(prefix + "-" + kind + ".svg");
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_string(svg.c_str());
    ASSERT_TRUE(parsed) << parsed.description();
    EXPECT_STREQ(doc.document_element().name(), "svg");
    EXPECT_NE(svg.find(std::string(kind) == "system" ? "Head loss HL (ftliq)" : "Reynolds number"),
              std::string::npos);
  }
  // Nothing else is left behind.
  EXPECT_TRUE(CliRunner::Contents(cli.Temp()).empty());
  EXPECT_TRUE(CliRunner::Contents(cli.Config()).empty());
}

TEST(Plot, TakesTheSolveArgumentsAndUnits) {
  CliRunner cli;
  const std::string prefix = (cli.Home() / "si").string();
  const CliResult r = cli.Run({"plot", "--png", prefix, "--equation", "Darcy-Weisbach", "IDia=52.5 mm", "Len=30 m",
                               "Fric=0.045 mm", "Vis=1.0 cSt", "Flow=6 L/s"});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, prefix + "-system.png\n" + prefix + "-moody.png\n");
}

TEST(Plot, OtherEquationsWriteOnlyTheSystemCurve) {
  CliRunner cli;
  const std::string prefix = (cli.Home() / "hw").string();
  const CliResult r = cli.Run({"plot", "--png", prefix});  // the first-run example, Hazen-Williams
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, prefix + "-system.png\n");
  EXPECT_EQ(r.err, "zynta-cli plot: no Moody diagram: The Moody diagram is for the Darcy-Weisbach equation\n");
  EXPECT_FALSE(std::filesystem::exists(prefix + "-moody.png"));
}

TEST(Plot, NothingSolvedNothingWritten) {
  CliRunner cli;
  const std::string prefix = (cli.Home() / "p").string();
  struct Case {
    Args args;
    int exit;
    std::string err;
  };
  for (const Case& c :
       {Case{{"plot", "--png", prefix, "Flow=0"}, 1, "Invalid Flow!\n"},
        Case{{"plot", "--png", prefix, "Flow=x"},
             1,
             "Bad value!\nzynta-cli plot: \"Flow=x\": \"x\" is not a number\n"},
        Case{{"plot", "--png", prefix, "--problem", "3"},
             1,
             "zynta-cli plot: Solve first: the plots need a head-loss problem (HL, D or Q given the others)\n"},
        Case{{"plot", "--png", (cli.Home() / "no" / "dir").string()}, 1, ""},
        Case{{"plot", "Flow=100"}, 2, "give --png PREFIX or --svg PREFIX"},
        Case{{"plot", "--png"}, 2, "--png needs a PREFIX"},
        Case{{"plot", "--json", "--png", prefix}, 2, "--json is no option of plot"},
        Case{{"plot", "--png", prefix, "--equaton", "Mannings"}, 2, "unknown option \"--equaton\""}}) {
    const CliResult r = cli.Run(c.args);
    EXPECT_EQ(r.exit, c.exit) << Describe(c.args) << "\n" << r.err;
    if (c.exit == 2) {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << Describe(c.args) << "\n" << r.err;
      EXPECT_NE(r.err.find("Try 'zynta-cli plot --help'."), std::string::npos) << r.err;
    } else if (!c.err.empty()) {
      EXPECT_EQ(r.err, c.err) << Describe(c.args);
    } else {
      EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    }
    EXPECT_EQ(r.out, "") << Describe(c.args);
    EXPECT_FALSE(std::filesystem::exists(prefix + "-system.png")) << Describe(c.args);
  }
}

#else

TEST(Plot, BuiltWithoutPlotsSaysSo) {
  CliRunner cli;
  const CliResult r = cli.Run(PlotArgs({"--png", (cli.Home() / "p").string()}, DarcyExample));
  EXPECT_EQ(r.exit, 3);
  EXPECT_EQ(r.err, "zynta-cli plot: this zynta-cli was built without plots (ZYNTA_GUI=OFF)\n");
  EXPECT_TRUE(CliRunner::Contents(cli.Home()).empty());
}

#endif

// Only plot draws, and only it loads Qt (a module of its own): the tool itself links none.
TEST(Plot, OnlyThePlotModuleLoadsQt) {
  FILE* pipe = popen("ldd " ZYNTA_CLI_PATH, "r");
  ASSERT_NE(pipe, nullptr);
  std::string libraries;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) libraries += buffer;
  EXPECT_EQ(pclose(pipe), 0) << libraries;
  EXPECT_NE(libraries.find("libstdc++"), std::string::npos) << libraries;
  EXPECT_EQ(libraries.find("libQt"), std::string::npos) << libraries;
}

// --- batch --------------------------------------------------------------------------------------

const std::string MixedBatch =
    "equation,problem,IDia [in],Len [ft],Fric,Vis [cSt],SG,Flow [L/s],HL [psi],HL decimals\n"
    "Darcy-Weisbach,\"HL given D,L,E,Vis,Q\",2.067,100,0.00015,1.13,1,6.309,,\n"
    "Darcy-Weisbach,0,2.067,100,0.00015,1.13,1,0,,\n"
    "hazen-williams,0,2.067,100,120,,1,6.309,,3\n"
    "Hazen-Williams,1,,100,120,,1,6.309,9.45,\n"
    "Bernoulli,0,2.067,100,120,,1,6.309,,\n"
    "Mannings,0,2.067,1O0,0.011,,1,6.309,,\n"
    "Mannings,7,2.067,100,0.011,,1,6.309,,\n"
    "Darcy-Weisbach,0,2.067,100,0.00015,1.13,,6.309,,\n"
    "Hazen-Williams,3,2.067,,,,,6.309,,\n"
    "Darcy-Weisbach,0,2.067,100,0.00015,1.13,1,6.309,,,extra\n"
    "\n"
    "Darcy-Weisbach,2,2.067,100,0.00015,1.13,1,,7.55,\n";

TEST(Batch, GoodAndBadRowsEachWithItsOwnStatus) {
  CliRunner cli;
  const CliResult r = cli.Run({"batch", "-"}, MixedBatch);
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "equation,problem,IDia [in],Len [ft],Fric,Vis [cSt],SG,Flow [L/s],HL [psi],HL decimals,Area [in2],"
            "Vel [ft/s],ReyNo,FricFact,status\n"
            // solved; the results in the header's units, the added ones in their default units
            "Darcy-Weisbach,\"HL given D,L,E,Vis,Q\",2.067,100,0.00015,1.13,1,6.309,7.55,,3.36,9.56,135400,0.021,"
            "Solved!\n"
            // refused by the solve: the results show "?"
            "Darcy-Weisbach,0,2.067,100,0.00015,1.13,1,0,?,,?,?,?,?,Invalid Flow!\n"
            // decimals of its own; the equation's letter case ignored
            "hazen-williams,0,2.067,100,120,,1,6.309,9.446,3,3.36,9.56,135400,,Solved!\n"
            // the diameter is this row's result; the next row has its decimals back
            "Hazen-Williams,1,2.067,100,120,,1,6.309,9.45,,3.36,9.56,135400,,Solved!\n"
            "Bernoulli,0,2.067,100,120,,1,6.309,,,,,,,\"unknown equation \"\"Bernoulli\"\"; equations: "
            "Hazen-Williams, Darcy-Weisbach, Mannings\"\n"
            "Mannings,0,2.067,1O0,0.011,,1,6.309,,,,,,,Bad value!\n"
            "Mannings,7,2.067,100,0.011,,1,6.309,,,,,,,\"unknown problem \"\"7\"\" of Mannings; problems: 0 "
            "\"\"HL given D,L,n,Q\"\", 1 \"\"D given L,n,Q,HL\"\", 2 \"\"Q given D,L,n,HL\"\", 3 \"\"Vel given "
            "D,Q\"\", 4 \"\"D given Q,Vel\"\", 5 \"\"Q given D,Vel\"\", 6 \"\"View All (units conversion)\"\"\"\n"
            // no specific gravity left over from the rows before: every row starts cleared
            "Darcy-Weisbach,0,2.067,100,0.00015,1.13,,6.309,?,,3.36,9.56,135400,0.021,Invalid Spec Grav!\n"
            // cells of parameters the problem does not take are left as they are
            "Hazen-Williams,3,2.067,,,,,6.309,,,3.36,9.56,,,Solved!\n"
            "Darcy-Weisbach,0,2.067,100,0.00015,1.13,1,6.309,,,,,,,11 cells where the header has 10\n"
            // the flow is the result, in the header's L/s
            "Darcy-Weisbach,2,2.067,100,0.00015,1.13,1,6.31,7.55,,3.36,9.56,135375,0.021,Solved!\n");
}

TEST(Batch, JsonLinesOnePerRow) {
  CliRunner cli;
  const CliResult r = cli.Run({"batch", "--json", "-"}, MixedBatch);
  EXPECT_EQ(r.exit, 1);
  std::istringstream s(r.out);
  const std::vector<bool> solved = {true, false, true, true, false, false, false, false, true, false, true};
  std::string line;
  for (size_t i = 0; i < solved.size(); ++i) {
    ASSERT_TRUE(std::getline(s, line)) << i;
    EXPECT_EQ(
        line.rfind("{\"row\": " + std::to_string(i + 1) + ", \"solved\": " + (solved[i] ? "true" : "false"), 0),
        0u)
        << line;
    EXPECT_EQ(line.back(), '}');
  }
  EXPECT_FALSE(std::getline(s, line));
  // a row refused before its solve has no fields; one the solve refused shows them all
  std::istringstream again(r.out);
  std::vector<std::string> lines;
  while (std::getline(again, line)) lines.push_back(line);
  EXPECT_NE(lines[4].find("\"status\": \"unknown equation \\\"Bernoulli\\\"; "), std::string::npos) << lines[4];
  EXPECT_NE(lines[4].find("\"fields\": []"), std::string::npos) << lines[4];
  EXPECT_NE(
      lines[1].find("{\"param\": \"HL\", \"name\": \"Headloss (HL)\", \"role\": \"result\", \"text\": \"?\", "
                    "\"value\": null, \"unit\": \"psi\""),
      std::string::npos)
      << lines[1];
}

TEST(Batch, AllSolvedExitsZeroKeepsQuotingAndLineEnds) {
  CliRunner cli;
  // a spreadsheet's export: byte-order mark, CR LF, quoted cells, a stale status, no equation
  const std::string input =
      "\xEF\xBB\xBFProblem,IDia,Fric,SG,Flow [GPM],Len [FT],status\r\n"
      "\"HL given D,L,C,Q\",2.067,120,1,100,100,old text\r\n"
      "0,2.067,120,1,\" 50 \",100,\r\n";
  const CliResult r = cli.Run({"batch", "-"}, input);
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Problem,IDia,Fric,SG,Flow [GPM],Len [FT],status,Area [in2],HL [ftliq],Vel [ft/s],ReyNo,FricFact\r\n"
            "\"HL given D,L,C,Q\",2.067,120,1,100,100,Solved!,3.36,21.79,9.56,135400,\r\n"
            "0,2.067,120,1,\" 50 \",100,Solved!,3.36,6.04,4.78,67700,\r\n");
  // a column the calculator does not know stops the run before the first row
  const CliResult bad = cli.Run({"batch", "-"}, "Problem,IDia,note\r\n0,2.067,x\r\n");
  EXPECT_EQ(bad.exit, 2);
  EXPECT_NE(bad.err.find("unknown column \"note\""), std::string::npos) << bad.err;
  EXPECT_EQ(bad.out, "");
}

TEST(Batch, TrailingCommasAreNoCells) {
  CliRunner cli;
  // a blank header cell is a column of its own, written back; empty cells past the header are
  // nothing, a filled one refuses its row
  const CliResult r = cli.Run(
      {"batch", "-"},
      "IDia,Len [ft],Fric,SG,Flow,\n2.067,100,120,1,100,x,\n2.067,100,120,1,100,,,\n2.067,100,120,1,100,,5\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out,
            "IDia,Len [ft],Fric,SG,Flow,,Area [in2],HL [ftliq],Vel [ft/s],ReyNo,FricFact,status\n"
            "2.067,100,120,1,100,x,3.36,21.79,9.56,135400,,Solved!\n"
            "2.067,100,120,1,100,,3.36,21.79,9.56,135400,,Solved!\n"
            "2.067,100,120,1,100,,,,,,,7 cells where the header has 6\n");
}

TEST(Batch, LongInputComesBackRowForRowInOrder) {
  CliRunner cli;
  // well over one read buffer, with quoted cells (some with a line break) falling across
  // buffer boundaries; each row's flow names it
  std::string input = "problem,IDia,Len [ft],Fric,SG,Flow [gpm],\n";
  const int rows = 3000;
  auto note = [](int i) {
    return i % 7 == 0 ? "\"row " + std::to_string(i) + ",\nsecond line \"\"quoted\"\"\"" : std::string();
  };
  for (int i = 1; i <= rows; ++i)
    input += "\"HL given D,L,C,Q\",2.067,100,120,1," + std::to_string(100 + i) + "," + note(i) + "\n";
  const CliResult r = cli.Run({"batch", "-"}, input);
  ASSERT_EQ(r.exit, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            "problem,IDia,Len [ft],Fric,SG,Flow [gpm],,Area [in2],HL [ftliq],Vel [ft/s],ReyNo,FricFact,status");
  for (int i = 1; i <= rows; ++i) {
    ASSERT_TRUE(std::getline(lines, line)) << "row " << i;
    if (i % 7 == 0) {  // the cell's line break: the record goes on on the next line
      std::string rest;
      std::getline(lines, rest);
      line += "\n" + rest;
    }
    const std::string start =
        "\"HL given D,L,C,Q\",2.067,100,120,1," + std::to_string(100 + i) + "," + note(i) + ",3.36,";
    ASSERT_EQ(line.rfind(start, 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 8), ",Solved!") << line;
  }
  EXPECT_FALSE(std::getline(lines, line));
}

TEST(Batch, RowsNeedTheirOwnInputs) {
  CliRunner cli;
  // the diameter of the first row does not carry over into the second
  const CliResult r = cli.Run({"batch", "-"}, "IDia,Len [ft],Fric,SG,Flow\n2.067,100,120,1,100\n,100,120,1,100\n");
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out,
            "IDia,Len [ft],Fric,SG,Flow,Area [in2],HL [ftliq],Vel [ft/s],ReyNo,FricFact,status\n"
            "2.067,100,120,1,100,3.36,21.79,9.56,135400,,Solved!\n"
            ",100,120,1,100,?,?,?,?,,Invalid Inside Diameter!\n");
}

struct HeaderCase {
  const char* name;
  std::string header;
  std::string mention;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class BatchHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(BatchHeader, IsAUsageError) {
  CliRunner cli;
  const HeaderCase& c = GetParam();
  const CliResult r = cli.Run({"batch", "-"}, c.header + "\n1,2\n");
  EXPECT_EQ(r.exit, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchHeader,
    testing::Values(HeaderCase{"UnknownColumn", "Flw [gpm]", "unknown column \"Flw [gpm]\""},
                    HeaderCase{"UnknownUnit", "Flow [gal]", "unknown unit \"gal\" for Flow; units: cfs, gpm"},
                    HeaderCase{"UnitWithoutCatalog", "SG [kg]", "SG has no units"},
                    HeaderCase{"UnclosedUnit", "Flow [gpm", "\"Flow [gpm]\""},
                    HeaderCase{"TwoColumnsOfOneParameter", "Flow [gpm],flow [L/s]", "Flow has two columns"},
                    HeaderCase{"TwoEquationColumns", "equation,Equation", "two \"Equation\" columns"},
                    HeaderCase{"NominalDiameter", "NDia", "size column"},
                    HeaderCase{"DecimalsOfNoParameter", "Flo decimals", "unknown column \"Flo decimals\""}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(Batch, UsageErrors) {
  CliRunner cli;
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"batch"}, "no file given"},
      {{"batch", "/nonexistent/problems.csv"}, "cannot read \"/nonexistent/problems.csv\""},
      {{"batch", "a.csv", "b.csv"}, "one file only"},
      {{"batch", "--csv", "-"}, "unknown option \"--csv\""},
      {{"batch", "-"}, "no header row"},
  };
  for (const auto& [args, mention] : cases) {
    const CliResult r = cli.Run(args);
    EXPECT_EQ(r.exit, 2) << Describe(args);
    EXPECT_NE(r.err.find(mention), std::string::npos) << Describe(args) << "\n" << r.err;
  }
}

// --- batch: input bounded, output clean ------------------------------------------------------

// The "status" of each JSON line of the output.
std::vector<std::string> Statuses(const std::string& jsonLines) {
  static const std::regex status(R"re("status": "((?:[^"\\]|\\.)*)")re");
  std::vector<std::string> out;
  std::istringstream lines(jsonLines);
  std::string line;
  std::smatch m;
  while (std::getline(lines, line)) out.push_back(std::regex_search(line, m, status) ? m[1].str() : "?");
  return out;
}

// The largest peak memory of the children ended so far.
long ChildrenPeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

TEST(Batch, OverlongCellsAndRecordsAreRefusedInTheirRowsInBoundedMemory) {
  const std::string header = "equation,problem,IDia [in],Len [ft],Fric,Vis [cSt],SG,Flow [L/s]\n";
  const std::string head = "Darcy-Weisbach,0,2.067,100,0.00015,1.13,1,";
  const std::string good = head + "6.309\n";
  const std::string longest = "6.309" + std::string(251, '0');  // 256 characters: still taken
  const std::string input = header + good + head + longest + "\n" + head + longest + "0\n" +
                            std::string(10'000'000, ',') + "\n" + good + "Darcy-Weisbach,\"" +
                            std::string(10'000'000, '1') + "\n";
  CliRunner cli;
  ASSERT_EQ(cli.Run({"batch", "--json", "-"}, header + good).exit, 0);
  const long smallRun = ChildrenPeakKilobytes();  // the largest child so far: a run of one row
  const CliResult r = cli.Run({"batch", "--json", "-"}, input);
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> expected = {"Solved!",
                                             "Solved!",
                                             "cell 8 is longer than 256 characters",
                                             "the record is longer than 1 MiB (1048576 bytes)",
                                             "Solved!",
                                             "the record is longer than 1 MiB (1048576 bytes)"};
  EXPECT_EQ(Statuses(r.out), expected);
  // Records of 10 MB, the last one an unclosed quote: the memory stays that of a run of one row
  // (it took 542 MB for such a row before).
  EXPECT_LT(ChildrenPeakKilobytes(), smallRun + 32 * 1024);
}

TEST(Batch, OverlongHeaderIsAUsageError) {
  CliRunner cli;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(257, 'x') + ",Flow\n", "header row: cell 1 is longer than 256 characters"},
      {"Flow," + std::string(2 << 20, ',') + "\n", "header row: the record is longer than 1 MiB"},
      {"Flow,\"" + std::string(2 << 20, 'x'), "header row: the record is longer than 1 MiB"},
  };
  for (const auto& [input, message] : cases) {
    const CliResult r = cli.Run({"batch", "-"}, input);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
}

// Bytes of no character and control characters come back escaped: every line is ASCII here.
TEST(Batch, JsonLinesAreValidUtf8AndMessagesEscapeControls) {
  CliRunner cli;
  const CliResult r = cli.Run({"batch", "--json", "-"}, "spec,Flow\n\xff\xfe\x1b[2J,1\n\"\xc3(\",1\n");
  EXPECT_EQ(r.exit, 1);
  for (const char c : r.out) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << r.out;
  EXPECT_NE(r.out.find(R"(\\xff\\xfe\\x1b[2J)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(R"(\\xc3()"), std::string::npos) << r.out;
}

TEST(Cli, ControlCharactersNeverReachATerminal) {
  CliRunner cli;
  const std::string file = (cli.Temp() / "rows.csv").string();
  std::ofstream(file, std::ios::binary) << "Fric,Flow\n\x1b]0;title\x07,1\n";
  const std::vector<Args> runs = {{"solve", "Flow=1\x1b[2J"}, {"batch", file}, {"no\x1b[31mcommand"}};
  for (const Args& args : runs) {
    const CliResult r = cli.RunOnTerminal(args);
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << Describe(args);
    EXPECT_NE(r.out.find("\\x1b"), std::string::npos) << Describe(args) << "\n" << r.out;
  }
  // Into a file or a pipe the cells go byte for byte.
  EXPECT_NE(cli.Run({"batch", file}).out.find("\x1b]0;title\x07"), std::string::npos);
}

// The texts of every field, and the status, of each JSON object in the output.
std::vector<std::string> FieldTexts(const std::string& json) {
  static const std::regex field(R"re("param": "(\w+)"[^{}]*?"text": "([^"]*)"[^{}]*?"unit": "([^"]*)")re");
  static const std::regex status(R"re("status": "([^"]*)")re");
  std::vector<std::string> out;
  std::smatch m;
  if (std::regex_search(json, m, status)) out.push_back("status " + m[1].str());
  for (auto it = std::sregex_iterator(json.begin(), json.end(), field); it != std::sregex_iterator(); ++it)
    out.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
  return out;
}

TEST(Batch, EveryRowAnswersAsASolveOfItsOwn) {
  CliRunner cli;
  // rows that switch equations, problems, units, specifications and fluids one after another
  const std::string input =
      "equation,problem,spec,size,fluid,material,IDia [mm],Len [m],Fric [mm],Vis,SG,Flow [m3/h],HL [kPa],"
      "Vel,Flow decimals\n"
      "Darcy-Weisbach,0,,,Water 60 F,,52.5,30,0.046,,,20,,,\n"
      "Hazen-Williams,0,Steel Sch 40 (ASME B36.10M),3,,\"Steel, commercial\",,30,,,1,20,,,4\n"
      "Mannings,2,,,,Planed wood,52.5,30,,,1,,50,,\n"
      "Darcy-Weisbach,1,,,SAE 30 oil 68 F,,,30,0.046,,,20,50,,3\n"
      "Darcy-Weisbach,4,,,,,,,,,,20,,2.5,\n"
      "Hazen-Williams,2,PVC Sch 80 (ASTM D1785),1.5,,,,30,140,,1,,50,,\n";
  const CliResult batch = cli.Run({"batch", "--json", "-"}, input);
  ASSERT_EQ(batch.exit, 0) << batch.out << batch.err;
  std::vector<std::string> lines;
  std::istringstream s(batch.out);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 6u);

  const std::vector<Args> alone = {
      {"--equation", "Darcy-Weisbach", "--problem", "0", "--fluid", "Water 60 F", "IDia=52.5 mm", "Len=30 m",
       "Fric=0.046 mm", "Flow=20 m3/h", "HL=? kPa"},
      {"--equation", "Hazen-Williams", "--problem", "0", "--spec", "Steel Sch 40 (ASME B36.10M)", "--size", "3",
       "--material", "Steel, commercial", "--decimals", "Flow=4", "IDia=? mm", "HL=? kPa", "Len=30 m", "SG=1",
       "Flow=20 m3/h"},
      {"--equation", "Mannings", "--problem", "2", "--material", "Planed wood", "IDia=52.5 mm", "Len=30 m", "SG=1",
       "Flow=? m3/h", "HL=50 kPa"},
      {"--equation", "Darcy-Weisbach", "--problem", "1", "--fluid", "SAE 30 oil 68 F", "--decimals", "Flow=3",
       "IDia=? mm", "Len=30 m", "Fric=0.046 mm", "Flow=20 m3/h", "HL=50 kPa"},
      {"--equation", "Darcy-Weisbach", "--problem", "4", "IDia=? mm", "Flow=20 m3/h", "Vel=2.5"},
      {"--equation", "Hazen-Williams", "--problem", "2", "--spec", "PVC Sch 80 (ASTM D1785)", "--size", "1.5",
       "IDia=? mm", "Flow=? m3/h", "Len=30 m", "Fric=140", "SG=1", "HL=50 kPa"},
  };
  for (size_t i = 0; i < alone.size(); ++i) {
    Args args = {"solve", "--json", "--clear"};
    // the batch shows every column's unit; the lone solve asks for the same ones
    for (const auto& a : alone[i]) args.push_back(a);
    const CliResult one = cli.Run(args);
    EXPECT_EQ(one.exit, 0) << Describe(args) << "\n" << one.err;
    EXPECT_EQ(FieldTexts(lines[i]), FieldTexts(one.out)) << "row " << i + 1 << "\n" << lines[i] << "\n" << one.out;
    EXPECT_EQ(lines[i].rfind("{\"row\": " + std::to_string(i + 1) + ", \"solved\": true", 0), 0u) << lines[i];
  }
}

// --- the lists ----------------------------------------------------------------------------------

TEST(Lists, CatalogsAndReferenceData) {
  CliRunner cli;
  const struct {
    Args args;
    std::vector<std::string> lines;  // each must be a whole line of the output
  } cases[] = {
      {{"units"},
       {"PARAM     NAME              DEFAULT  UNITS",
        "Flow      Flow              gpm      cfs gpm MGD L/s L/min m3/h m3/s",
        "HL        Head Loss         ftliq    ftliq psi kPa mtrliq bar kg/cm2",
        "SG        Specific Gravity  -        (none)"}},
      {{"units", "hl"},
       {"HL (Head Loss), default unit ftliq", "ftliq   1", "psi     0.43352750400100426  x SG", "mtrliq  0.3048"}},
      {{"pipes"}, {"INDEX  HW C  ROUGH (ft)  PIPE SPEC", "0001   130   0.00015     Steel Sch 40 (ASME B36.10M)"}},
      {{"pipes", "steel sch 40 (asme b36.10m)"},
       {"Steel Sch 40 (ASME B36.10M) (index 0001)", "SIZE   INSIDE (in)  WALL (in)  LB/FT"}},
      {{"pipes", "8"}, {"PVC Sch 40 (ASTM D1785) (index 0008)", "0.75   0.824        0.113      -"}},
      {{"fluids"}, {"Water 60 F                   60        1       1.1221     0.25639     1.0003"}},
  };
  for (const auto& c : cases) {
    const CliResult r = cli.Run(c.args);
    EXPECT_EQ(r.exit, 0) << Describe(c.args) << r.err;
    for (const std::string& line : c.lines)
      EXPECT_NE(("\n" + r.out).find("\n" + line + "\n"), std::string::npos)
          << Describe(c.args) << ": " << line << "\n"
          << r.out;
  }
}

TEST(Lists, EverySizeListedIsOneSolveTakes) {
  CliRunner cli;
  const CliResult sizes = cli.Run({"pipes", "Copper Type L (ASTM B88)"});
  ASSERT_EQ(sizes.exit, 0);
  std::istringstream s(sizes.out);
  std::string line;
  std::getline(s, line);  // the name
  std::getline(s, line);  // the column heads
  int checked = 0;
  while (std::getline(s, line)) {
    std::istringstream words(line);
    std::string size, inside;
    words >> size >> inside;
    const CliResult r = cli.Run({"solve", "--json", "--spec", "Copper Type L (ASTM B88)", "--size", size});
    EXPECT_EQ(r.exit, 0) << size << r.err;
    EXPECT_NE(
        r.out.find("\"param\": \"NDia\", \"name\": \"Nom Dia\", \"role\": \"input\", \"text\": \"" + size + "\""),
        std::string::npos)
        << size;
    if (checked++ > 3) break;  // a few are enough
  }
  EXPECT_GT(checked, 3);
}

TEST(Lists, UsageErrors) {
  CliRunner cli;
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"pipes", "Steel"}, "Steel Sch 40 (ASME B36.10M)"},
      {{"units", "Flw"}, "IDia"},
      {{"units", "SG"}, "SG has no units"},
      {{"fluids", "Water"}, "too many arguments"},
      {{"units", "--all"}, "unknown option \"--all\""},
      {{"frobnicate"}, "unknown command \"frobnicate\""},
  };
  for (const auto& [args, mention] : cases) {
    const CliResult r = cli.Run(args);
    EXPECT_EQ(r.exit, 2) << Describe(args);
    EXPECT_NE(r.err.find(mention), std::string::npos) << Describe(args) << "\n" << r.err;
  }
}

// --- help and the manual page -----------------------------------------------------------------

std::string ManPage() {
  std::ifstream f(ZYNTA_MAN_PAGE);
  std::stringstream s;
  s << f.rdbuf();
  std::string text = s.str();
  // roff writes a minus as \-
  for (size_t at; (at = text.find("\\-")) != std::string::npos;) text.replace(at, 2, "-");
  return text;
}

TEST(Help, EveryCommandHasHelpAndTheManualPageKnowsItsOptions) {
  CliRunner cli;
  const std::string man = ManPage();
  ASSERT_FALSE(man.empty()) << ZYNTA_MAN_PAGE;
  for (const std::string command : {"solve", "plot", "system", "batch", "units", "pipes", "fluids"}) {
    for (const char* flag : {"--help", "-h"}) {
      const CliResult r = cli.Run({command, flag});
      EXPECT_EQ(r.exit, 0) << command;
      EXPECT_EQ(r.out.rfind("usage: zynta-cli " + command, 0), 0u) << r.out;
      EXPECT_EQ(r.err, "");
      static const std::regex option("--[a-z]+");
      for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), option); it != std::sregex_iterator(); ++it)
        EXPECT_NE(man.find(it->str()), std::string::npos)
            << command << " " << it->str() << " is not in the manual";
    }
    EXPECT_NE(man.find(".SS " + command), std::string::npos) << command << " has no section in the manual";
  }
  const CliResult all = cli.Run({"--help"});
  EXPECT_EQ(all.exit, 0);
  for (const char* command : {"solve", "plot", "batch", "units", "pipes", "fluids", "script"})
    EXPECT_NE(all.out.find(std::string("  ") + command + " "), std::string::npos) << command;
}

}  // namespace
