#include "calc/catalog.h"

namespace zynta::calc {

Equation EquationOf(std::string_view text) {
  if (text == HazenWilliams) return Equation::HazenWilliams;
  if (text == DarcyWeisbach) return Equation::DarcyWeisbach;
  return Equation::Mannings;
}

const std::array<const char*, ProblemCount>& ProblemsOf(Equation equation) {
  static const std::array<const char*, ProblemCount> hw = {
      "HL given D,L,C,Q", "D given L,C,Q,HL", "Q given L,C,D,HL",           "Vel given D,Q",
      "D given Q,Vel",    "Q given D,Vel",    "View All (units conversion)"};
  static const std::array<const char*, ProblemCount> dw = {
      "HL given D,L,E,Vis,Q", "D given L,E,Vis,Q,HL", "Q given D,L,E,Vis,HL",       "Vel given D,Q",
      "D given Q,Vel",        "Q given D,Vel",        "View All (units conversion)"};
  static const std::array<const char*, ProblemCount> mn = {
      "HL given D,L,n,Q", "D given L,n,Q,HL", "Q given D,L,n,HL",           "Vel given D,Q",
      "D given Q,Vel",    "Q given D,Vel",    "View All (units conversion)"};
  switch (equation) {
    case Equation::HazenWilliams: return hw;
    case Equation::DarcyWeisbach: return dw;
    case Equation::Mannings: break;
  }
  return mn;
}

}  // namespace zynta::calc
