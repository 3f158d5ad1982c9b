#pragma once
// Which fields the chosen problem shows, which are its inputs and results, and how the window
// adapts to the chosen equation.

#include "shell/form_model.h"

namespace zynta::shell {

// The change handlers of the equation and problem choosers. fromUser is false for the calls
// at start-up: only a switch made by someone maps the friction value.
void ComboEqChange(FormModel& f, bool fromUser);
void cbSolveForChange(FormModel& f);
void SwitchEquation(FormModel& f, bool fromUser);
// The focus enters the equation or the pipe-spec chooser.
void ComboEqEnter(FormModel& f);

void ApplyFieldRoles(FormModel& f);

// The role of each parameter in the problem at a position (0..6) under an equation.
char RoleOf(int position, int index, bool darcy);

// The friction value carried to another equation: C, n and the roughness E (ft) map row by row.
double MapFriction(double value, const std::string& from, const std::string& to);

// The viscosity used under Hazen-Williams and Mannings, in centistokes: water near 60 F.
constexpr double FixedViscosity = 1.13;

}  // namespace zynta::shell
