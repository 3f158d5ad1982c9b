#pragma once
// The three head-loss equations and the seven problems each of them offers.

#include <array>
#include <string_view>

namespace zynta::calc {

inline constexpr const char* HazenWilliams = "Hazen-Williams";
inline constexpr const char* DarcyWeisbach = "Darcy-Weisbach";
inline constexpr const char* Mannings = "Mannings";

// The equation chooser's items, in order.
inline constexpr std::array<const char*, 3> EquationItems = {HazenWilliams, DarcyWeisbach, Mannings};

enum class Equation { HazenWilliams, DarcyWeisbach, Mannings };

// The chooser's text names the equation; any text but the first two counts as Mannings.
Equation EquationOf(std::string_view text);

constexpr int ProblemCount = 7;
constexpr int ViewAllPosition = 6;  // "View All (units conversion)": every field an entry

const std::array<const char*, ProblemCount>& ProblemsOf(Equation equation);

}  // namespace zynta::calc
