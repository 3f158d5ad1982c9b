// Darcy-Weisbach: the friction factor, the head loss, and the fixed-point iterations for the
// diameter and the flow; the velocity problem of every equation; the flow-regime label.
#include <cmath>

#include "calc/catalog.h"
#include "calc/darcy.h"
#include "calc/formulas.h"
#include "calc/solve.h"
#include "calc/solvers.h"
#include "units/number_text.h"

namespace zynta::calc {

using namespace formulas;

namespace {

constexpr const char* CouldNotSolve = "Could not solve!";

double FlowCfs(FormModel& f) { return ReadInput(f, Flow) / GpmPerCfs; }
double DiameterFt(FormModel& f) { return ReadInput(f, IDia) / InchesPerFoot; }
double LengthFt(FormModel& f) { return ReadInput(f, Len) / InchesPerFoot; }
double ViscosityFt2s(FormModel& f) { return ReadInput(f, Vis) / CentistokesPerFt2s; }

bool IsDarcy(const FormModel& f) { return EquationOf(f.EquationText()) == Equation::DarcyWeisbach; }

// The viscosity field is hidden in the velocity problem: whether it holds a usable value is
// asked without reporting anything, since no message could point at the field.
bool ViscosityUsable(FormModel& f) {
  auto positive = [](const platform::TextField& field) {
    const auto v = units::ParseFieldNumber(field.Text());
    return v && *v > 0.0;
  };
  if (!positive(*f.Edits[Vis])) return false;
  return f.UnitLabels[Vis]->Caption() != "cpoises" || positive(*f.Edits[SG]);
}

}  // namespace

double DarcyFrictionFactor(FormModel& f, double re, double d, double x0) {
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

void SolveDwHeadLoss(FormModel& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  UpdateVelocity(f);
  const double re = ReadReynolds(f);
  WriteResult(f, FricFact, DarcyFrictionFactor(f, re, d, std::pow(0.02, -0.5)));
  const double hl = darcy::HeadLoss(q, d, LengthFt(f), f.P(FricFact).ParamValue);
  WriteResult(f, HL, hl);
  if (f.Window.Shown() && f.Edits[HL]->CanFocus()) f.Window.SetFocus(*f.Edits[HL]);
  MarkSolved(f, true);
}

void SolveDwDiameter(FormModel& f) {
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
  if (pass > darcy::PassLimit) {
    ShowInputError(f, CouldNotSolve, *f.Edits[HL]);
    return;
  }
  WriteResult(f, FricFact, fr);
  WriteResult(f, IDia, d * InchesPerFoot);
  WriteResult(f, ReyNo, re);  // from the last pass, before its diameter update
  UpdateVelocity(f);
  UpdateArea(f);
  MarkSolved(f, true);
}

void SolveDwFlow(FormModel& f) {
  const double d = DiameterFt(f);
  WriteResult(f, FricFact, 0.025);
  auto flow = [&] {
    const double hl = ReadInput(f, HL);
    return darcy::Flow(d, LengthFt(f), hl, f.P(FricFact).ParamValue);
  };
  double q = flow();
  double re = 0.0;
  int pass = 0;
  do {
    ++pass;
    const double qPrev = q;
    re = Reynolds(q, d, ViscosityFt2s(f));
    WriteResult(f, FricFact, DarcyFrictionFactor(f, re, d, std::pow(f.P(FricFact).ParamValue, -0.5)));
    q = flow();
    if (std::fabs(qPrev - q) < darcy::FlowTolerance) break;
  } while (pass <= darcy::PassLimit);
  if (pass > darcy::PassLimit) {
    ShowInputError(f, CouldNotSolve, *f.Edits[HL]);
    return;
  }
  WriteResult(f, Flow, GpmPerCfs * q);
  WriteResult(f, ReyNo, re);  // from the last pass, before its flow update
  UpdateVelocity(f);
  UpdateArea(f);
  MarkSolved(f, true);
}

void SolveVelocity(FormModel& f) {
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
  MarkSolved(f, true);
}

void EditReynoChange(FormModel& f) {
  const platform::TextField& reyno = *f.Edits[ReyNo];
  if (f.ParamTypes[ReyNo] && f.P(ReyNo).Role == RoleHidden) return;
  const std::string text = reyno.Text();
  if (text.empty() || text == ResultMarker || !reyno.Visible()) return;
  const auto re = units::ParseFieldNumber(text);
  if (!re) return;  // only computed values reach this field
  if (*re > 4000.0) {
    f.lbReyNoUn.SetCaption("Turbulent");
  } else if (*re >= 2000.0) {
    f.lbReyNoUn.SetCaption("Critical");
  } else {
    f.lbReyNoUn.SetCaption("Laminar");
  }
}

}  // namespace zynta::calc
