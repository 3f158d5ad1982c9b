// Hazen-Williams, Manning and the velocity problems: closed-form solutions.
#include <cmath>

#include "calc/field_io.h"
#include "calc/formulas.h"
#include "calc/params.h"
#include "calc/solvers.h"

namespace zynta::calc {

using namespace formulas;

namespace {
double FlowCfs(Fields& f) { return ReadInput(f, Flow) / GpmPerCfs; }
double DiameterFt(Fields& f) { return ReadInput(f, IDia) / InchesPerFoot; }
double LengthFt(Fields& f) { return ReadInput(f, Len) / InchesPerFoot; }
}  // namespace

void UpdateArea(Fields& f) {
  const double a = CircleArea(ReadInput(f, IDia));  // square inches from inches
  WriteResult(f, Area, a);
}

void UpdateVelocity(Fields& f) {
  const double a = CircleArea(DiameterFt(f));
  const double v = FlowCfs(f) / a;
  WriteResult(f, Vel, v);
}

void UpdateReynolds(Fields& f) {
  const double q = FlowCfs(f);
  if (!(std::fabs(q) > 1e-20)) {
    f.ShowRegime(false);
    // No Reynolds number for this flow: forget the last one, so that nothing reads it as if
    // it belonged to this solve.
    f.SetValue(ReyNo, 0.0);
    return;
  }
  const double nu = ReadInput(f, Vis) / CentistokesPerFt2s;
  const double re = Reynolds(q, DiameterFt(f), nu);
  WriteResult(f, ReyNo, re);
  f.ShowRegime(true);
  f.UpdateRegime();
}

void SolveHwHeadLoss(Fields& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  const double c = ReadInput(f, Fric);
  const double hl = HwHeadLoss(q, d, c, LengthFt(f));
  WriteResult(f, HL, hl);
  UpdateVelocity(f);
}

void SolveHwDiameter(Fields& f) {
  const double q = FlowCfs(f);
  const double hl = ReadInput(f, HL);
  const double c = ReadInput(f, Fric);
  const double d = HwDiameter(q, hl, c, LengthFt(f));
  WriteResult(f, IDia, d * InchesPerFoot);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
}

void SolveHwFlow(Fields& f) {
  const double d = DiameterFt(f);
  const double l = LengthFt(f);
  const double c = ReadInput(f, Fric);
  const double q = HwFlow(d, l, c, ReadInput(f, HL));
  WriteResult(f, Flow, q * GpmPerCfs);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
}

void SolveManningHeadLoss(Fields& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  const double n = ReadInput(f, Fric);
  const double v = PipeVelocity(q, d);
  const double hl = ManningHeadLoss(v, d, n, LengthFt(f));
  WriteResult(f, HL, hl);
  WriteResult(f, Vel, v);  // the velocity of the head-loss formula itself
}

void SolveManningDiameter(Fields& f) {
  const double q = FlowCfs(f);
  const double l = LengthFt(f);
  const double hl = ReadInput(f, HL);
  const double d = ManningDiameter(q, l, hl, ReadInput(f, Fric));
  WriteResult(f, IDia, d * InchesPerFoot);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
}

void SolveManningFlow(Fields& f) {
  const double d = DiameterFt(f);
  const double l = LengthFt(f);
  const double hl = ReadInput(f, HL);
  const double q = ManningFlow(d, l, hl, ReadInput(f, Fric));
  WriteResult(f, Flow, q * GpmPerCfs);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
}

void SolveDiameterFromVelocity(Fields& f) {
  const double q = FlowCfs(f);
  WriteResult(f, IDia, DiameterFromVelocity(q, ReadInput(f, Vel)));
  UpdateArea(f);
}

void SolveFlowFromVelocity(Fields& f) {
  const double d = DiameterFt(f);
  const double q = FlowFromVelocity(d, ReadInput(f, Vel)) * GpmPerCfs;
  WriteResult(f, Flow, q);
  UpdateArea(f);
}

}  // namespace zynta::calc
