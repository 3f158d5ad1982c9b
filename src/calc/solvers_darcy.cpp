// Darcy-Weisbach: the friction factor, the head loss, and the fixed-point iterations for the
// diameter and the flow; the velocity problem of every equation; the flow-regime label.
#include <cmath>

#include "calc/darcy.h"
#include "calc/field_io.h"
#include "calc/formulas.h"
#include "calc/params.h"
#include "calc/solvers.h"
#include "units/number_text.h"

namespace zynta::calc {

using namespace formulas;

namespace {

constexpr const char* CouldNotSolve = "Could not solve!";

double FlowCfs(Fields& f) { return ReadInput(f, Flow) / GpmPerCfs; }
double DiameterFt(Fields& f) { return ReadInput(f, IDia) / InchesPerFoot; }
double LengthFt(Fields& f) { return ReadInput(f, Len) / InchesPerFoot; }
double ViscosityFt2s(Fields& f) { return ReadInput(f, Vis) / CentistokesPerFt2s; }

bool IsDarcy(const Fields& f) { return f.Solving() == Equation::DarcyWeisbach; }

// The viscosity field is hidden in the velocity problem: whether it holds a usable value is
// asked without reporting anything, since no message could point at the field.
bool ViscosityUsable(const Fields& f) {
  auto positive = [&f](int index) {
    const auto v = f.Number(index);
    return v && *v > 0.0;
  };
  if (!positive(Vis)) return false;
  return f.UnitName(Vis) != "cpoises" || positive(SG);
}

}  // namespace

double DarcyFrictionFactor(Fields& f, double re, double d, double x0) {
  if (!(re > darcy::LaminarLimit)) return 64.0 / re;
  double x = x0;
  for (int step = 0; step < darcy::NewtonSteps; ++step) {
    // The roughness is read at each use, so an invalid one is reported once the flow is
    // turbulent, and never while it is laminar.
    const double a = ReadInput(f, Fric) / (3.7 * d);
    const double aPrime = ReadInput(f, Fric) / (3.7 * d);
    x = darcy::ColebrookStep(x, a, aPrime, re);
  }
  return 1.0 / (x * x);
}

void SolveDwHeadLoss(Fields& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  UpdateVelocity(f);
  const double re = ReadReynolds(f);
  WriteResult(f, FricFact, DarcyFrictionFactor(f, re, d, std::pow(0.02, -0.5)));
  const double hl = darcy::HeadLoss(q, d, LengthFt(f), f.Value(FricFact));
  WriteResult(f, HL, hl);
  f.Point(HL);
}

void SolveDwDiameter(Fields& f) {
  const double q = FlowCfs(f);
  const double h = ReadInput(f, HL);
  double fr = 0.025;
  double d = darcy::Diameter(q, LengthFt(f), h, fr);
  double re = 0.0;
  int pass = 0;
  do {
    ++pass;
    const double dPrev = d;
    re = Reynolds(q, d, ViscosityFt2s(f));
    fr = DarcyFrictionFactor(f, re, d, std::pow(fr, -0.5));
    d = darcy::Diameter(q, LengthFt(f), h, fr);
    if (std::fabs(dPrev - d) < darcy::DiameterTolerance) break;
  } while (pass <= darcy::PassLimit);
  if (pass > darcy::PassLimit) f.Refuse(CouldNotSolve, HL);
  WriteResult(f, FricFact, fr);
  WriteResult(f, IDia, d * InchesPerFoot);
  WriteResult(f, ReyNo, re);  // from the last pass, before its diameter update
  UpdateVelocity(f);
  UpdateArea(f);
}

void SolveDwFlow(Fields& f) {
  const double d = DiameterFt(f);
  WriteResult(f, FricFact, 0.025);
  auto flow = [&] {
    const double hl = ReadInput(f, HL);
    return darcy::Flow(d, LengthFt(f), hl, f.Value(FricFact));
  };
  double q = flow();
  double re = 0.0;
  int pass = 0;
  do {
    ++pass;
    const double qPrev = q;
    re = Reynolds(q, d, ViscosityFt2s(f));
    WriteResult(f, FricFact, DarcyFrictionFactor(f, re, d, std::pow(f.Value(FricFact), -0.5)));
    q = flow();
    if (std::fabs(qPrev - q) < darcy::FlowTolerance) break;
  } while (pass <= darcy::PassLimit);
  if (pass > darcy::PassLimit) f.Refuse(CouldNotSolve, HL);
  WriteResult(f, Flow, GpmPerCfs * q);
  WriteResult(f, ReyNo, re);  // from the last pass, before its flow update
  UpdateVelocity(f);
  UpdateArea(f);
}

void SolveVelocity(Fields& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  WriteResult(f, Vel, PipeVelocity(q, d));
  // Under Darcy-Weisbach the Reynolds number and the friction factor need a viscosity; with
  // none in the (hidden) field this problem gives the velocity and the area alone.
  if (!IsDarcy(f) || ViscosityUsable(f)) {
    UpdateReynolds(f);
    if (IsDarcy(f)) {
      const double re = ReadReynolds(f);
      WriteResult(f, FricFact, DarcyFrictionFactor(f, re, d, std::pow(0.02, -0.5)));
    }
  }
  UpdateArea(f);
}

SolveOutcome SolvedOutcome(Equation equation, bool reynoldsShown, const std::string& reynoldsText) {
  SolveOutcome solved{SolveOutcome::Kind::Solved, "Solved!"};
  if (equation != Equation::DarcyWeisbach && reynoldsShown && !reynoldsText.empty()) {
    const auto re = units::ParseFieldNumber(reynoldsText);
    if (re && *re < 4000.0) {
      solved.status = "Solved!  Flow is not turbulent (may be inaccurate)!";
      solved.warned = true;
    }
  }
  return solved;
}

std::string RegimeOf(const std::string& reynoldsText) {
  const auto re = units::ParseFieldNumber(reynoldsText);
  if (!re) return "";
  if (*re > 4000.0) return "Turbulent";
  if (*re >= 2000.0) return "Critical";
  return "Laminar";
}

void SolveProblem(Fields& f, int position) {
  const Equation eq = f.Solving();
  switch (position) {
    case 0:
      if (eq == Equation::HazenWilliams) SolveHwHeadLoss(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwHeadLoss(f);
      else SolveManningHeadLoss(f);
      break;
    case 1:
      if (eq == Equation::HazenWilliams) SolveHwDiameter(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwDiameter(f);
      else SolveManningDiameter(f);
      break;
    case 2:
      if (eq == Equation::HazenWilliams) SolveHwFlow(f);
      else if (eq == Equation::DarcyWeisbach) SolveDwFlow(f);
      else SolveManningFlow(f);
      break;
    case 3: SolveVelocity(f); break;
    case 4: SolveDiameterFromVelocity(f); break;
    case 5: SolveFlowFromVelocity(f); break;
    default: break;  // no problem selected
  }
}

}  // namespace zynta::calc
