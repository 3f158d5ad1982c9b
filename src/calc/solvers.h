#pragma once
// The solvers of the seven problems and the update operations that fill in area, velocity and
// Reynolds number. Each reads its inputs with ReadInput in a fixed order (the first failing
// read decides the message and the focus), computes in feet and seconds, writes its results
// with WriteResult and ends with MarkSolved(true).

#include "calc/form_model.h"

namespace zynta::calc {

void UpdateArea(FormModel& f);
void UpdateVelocity(FormModel& f);
void UpdateReynolds(FormModel& f);

void SolveHwHeadLoss(FormModel& f);
void SolveHwDiameter(FormModel& f);
void SolveHwFlow(FormModel& f);
void SolveManningHeadLoss(FormModel& f);
void SolveManningDiameter(FormModel& f);
void SolveManningFlow(FormModel& f);
void SolveDiameterFromVelocity(FormModel& f);
void SolveFlowFromVelocity(FormModel& f);

void SolveDwHeadLoss(FormModel& f);
void SolveDwDiameter(FormModel& f);
void SolveDwFlow(FormModel& f);
void SolveVelocity(FormModel& f);

// The Darcy friction factor for Reynolds number re in a pipe of diameter d (ft): 64/Re up to
// and including 2000, otherwise three Newton steps on Colebrook's equation from x0 = 1/sqrt(f0),
// reading the roughness from its field at each use.
double DarcyFrictionFactor(FormModel& f, double re, double d, double x0);

// Sets the flow-regime label from the displayed Reynolds number.
void EditReynoChange(FormModel& f);

}  // namespace zynta::calc
