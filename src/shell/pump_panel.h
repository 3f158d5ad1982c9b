#pragma once
// The pump side of the plot window: the static head, the sum of the fittings' loss coefficients
// and up to three pump curves with their arrangement. Kept in base units (US gpm, feet of
// liquid), so a change of the units on screen leaves them as they are; the settings file keeps
// them in a section of their own.

#include <string>
#include <vector>

#include "pumps/pump_curve.h"
#include "settings/ini_file.h"

namespace zynta::shell {

inline constexpr const char* PumpsSection = "Pumps";
inline constexpr int MaxPumps = 3;

struct PumpPanel {
  double staticHeadFt = 0.0;  // may be zero or negative
  double sumK = 0.0;          // >= 0
  pumps::Arrangement arrangement = pumps::Arrangement::Single;
  std::vector<std::vector<pumps::PumpPoint>> pumps;  // at most MaxPumps

  // Nothing to add to the plain system curve.
  bool Empty() const { return staticHeadFt == 0.0 && sumK == 0.0 && pumps.empty(); }
};

// "q:h,q:h,..." with invariant numbers (the settings file's form).
std::string PumpPointsText(const std::vector<pumps::PumpPoint>& points);
// "q:h,q:h,..." with numbers written with the separator sep (an empty text is no points). False,
// with points left as they were and the first pair that is not two finite numbers in *bad, for
// any other text.
bool ParsePumpPoints(const std::string& text, char sep, std::vector<pumps::PumpPoint>& points,
                     std::string* bad = nullptr);

void WritePumpPanel(const PumpPanel& panel, settings::IniDocument& doc);
// What the section holds; a value that is no number, out of range or a list that is not one
// leaves that part as a fresh panel has it.
PumpPanel ReadPumpPanel(const settings::IniFile& ini);

}  // namespace zynta::shell
