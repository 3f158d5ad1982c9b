// Hazen-Williams, Manning and the velocity problems: closed-form solutions.
#include <cmath>

#include "calc/formulas.h"
#include "calc/solve.h"
#include "calc/solvers.h"

namespace zynta::calc {

using namespace formulas;

namespace {
double FlowCfs(FormModel& f) { return ReadInput(f, Flow) / GpmPerCfs; }
double DiameterFt(FormModel& f) { return ReadInput(f, IDia) / InchesPerFoot; }
double LengthFt(FormModel& f) { return ReadInput(f, Len) / InchesPerFoot; }
}  // namespace

void UpdateArea(FormModel& f) {
  const double a = CircleArea(ReadInput(f, IDia));  // square inches from inches
  WriteResult(f, Area, a);
}

void UpdateVelocity(FormModel& f) {
  const double a = CircleArea(DiameterFt(f));
  const double v = FlowCfs(f) / a;
  WriteResult(f, Vel, v);
}

void UpdateReynolds(FormModel& f) {
  const double q = FlowCfs(f);
  if (!(std::fabs(q) > 1e-20)) {
    f.lbReyNoUn.SetVisible(false);
    // No Reynolds number for this flow: forget the last one, so that nothing reads it as if
    // it belonged to this solve.
    f.P(ReyNo).ParamValue = 0.0;
    return;
  }
  const double nu = ReadInput(f, Vis) / CentistokesPerFt2s;
  const double re = Reynolds(q, DiameterFt(f), nu);
  WriteResult(f, ReyNo, re);
  f.lbReyNoUn.SetVisible(true);
  EditReynoChange(f);
  f.lbReyNoUn.Repaint();
}

void SolveHwHeadLoss(FormModel& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  const double c = ReadInput(f, Fric);
  const double hl = HwHeadLoss(q, d, c, LengthFt(f));
  WriteResult(f, HL, hl);
  UpdateVelocity(f);
  MarkSolved(f, true);
}

void SolveHwDiameter(FormModel& f) {
  const double q = FlowCfs(f);
  const double hl = ReadInput(f, HL);
  const double c = ReadInput(f, Fric);
  const double d = HwDiameter(q, hl, c, LengthFt(f));
  WriteResult(f, IDia, d * InchesPerFoot);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
  MarkSolved(f, true);
}

void SolveHwFlow(FormModel& f) {
  const double d = DiameterFt(f);
  const double l = LengthFt(f);
  const double c = ReadInput(f, Fric);
  const double q = HwFlow(d, l, c, ReadInput(f, HL));
  WriteResult(f, Flow, q * GpmPerCfs);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
  MarkSolved(f, true);
}

void SolveManningHeadLoss(FormModel& f) {
  const double q = FlowCfs(f);
  const double d = DiameterFt(f);
  UpdateArea(f);
  UpdateReynolds(f);
  const double n = ReadInput(f, Fric);
  const double v = PipeVelocity(q, d);
  const double hl = ManningHeadLoss(v, d, n, LengthFt(f));
  WriteResult(f, HL, hl);
  WriteResult(f, Vel, v);  // the velocity of the head-loss formula itself
  MarkSolved(f, true);
}

void SolveManningDiameter(FormModel& f) {
  const double q = FlowCfs(f);
  const double l = LengthFt(f);
  const double hl = ReadInput(f, HL);
  const double d = ManningDiameter(q, l, hl, ReadInput(f, Fric));
  WriteResult(f, IDia, d * InchesPerFoot);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
  MarkSolved(f, true);
}

void SolveManningFlow(FormModel& f) {
  const double d = DiameterFt(f);
  const double l = LengthFt(f);
  const double hl = ReadInput(f, HL);
  const double q = ManningFlow(d, l, hl, ReadInput(f, Fric));
  WriteResult(f, Flow, q * GpmPerCfs);
  UpdateVelocity(f);
  UpdateArea(f);
  UpdateReynolds(f);
  MarkSolved(f, true);
}

void SolveDiameterFromVelocity(FormModel& f) {
  const double q = FlowCfs(f);
  WriteResult(f, IDia, DiameterFromVelocity(q, ReadInput(f, Vel)));
  UpdateArea(f);
  MarkSolved(f, true);
}

void SolveFlowFromVelocity(FormModel& f) {
  const double d = DiameterFt(f);
  const double q = FlowFromVelocity(d, ReadInput(f, Vel)) * GpmPerCfs;
  WriteResult(f, Flow, q);
  UpdateArea(f);
  MarkSolved(f, true);
}

}  // namespace zynta::calc
