#pragma once
// The solvers of the seven problems and the update operations that fill in area, velocity and
// Reynolds number. Each reads its inputs with ReadInput in a fixed order (the first failing
// read decides the message and the field), computes in feet and seconds and writes its results
// with WriteResult. A solver that returns has solved the problem; one that cannot ends with
// Fields::Refuse.

#include <string>

#include "calc/fields.h"
#include "calc/outcome.h"

namespace zynta::calc {

void UpdateArea(Fields& f);
void UpdateVelocity(Fields& f);
void UpdateReynolds(Fields& f);

void SolveHwHeadLoss(Fields& f);
void SolveHwDiameter(Fields& f);
void SolveHwFlow(Fields& f);
void SolveManningHeadLoss(Fields& f);
void SolveManningDiameter(Fields& f);
void SolveManningFlow(Fields& f);
void SolveDiameterFromVelocity(Fields& f);
void SolveFlowFromVelocity(Fields& f);

void SolveDwHeadLoss(Fields& f);
void SolveDwDiameter(Fields& f);
void SolveDwFlow(Fields& f);
void SolveVelocity(Fields& f);

// The solver of a problem position (0 to 5) under the equation of f; nothing for others.
void SolveProblem(Fields& f, int position);

// The Darcy friction factor for Reynolds number re in a pipe of diameter d (ft): 64/Re up to
// and including 2000, otherwise three Newton steps on Colebrook's equation from x0 = 1/sqrt(f0),
// reading the roughness from its field at each use.
double DarcyFrictionFactor(Fields& f, double re, double d, double x0);

// The outcome of a solved problem: "Solved!", or, warned, "Solved!  Flow is not turbulent (may be
// inaccurate)!" when the Reynolds number's field, shown, reads below 4000 under Hazen-Williams
// or Manning (equations for turbulent flow). The displayed, rounded number decides; a text that
// is no number ("?" when none was written) gives no warning.
SolveOutcome SolvedOutcome(Equation equation, bool reynoldsShown, const std::string& reynoldsText);

// The flow regime of a Reynolds number as its field shows it: "Turbulent", "Critical",
// "Laminar", or "" for a text that is no number.
std::string RegimeOf(const std::string& reynoldsText);

}  // namespace zynta::calc
