#pragma once
// Friction values by pipe material, for each head-loss equation, and the two pick lists that
// fill the friction and the fluid properties.

#include <array>
#include <string>

#include "calc/form_model.h"

namespace zynta::refdata {

using MaterialList = std::array<const char*, 13>;

// "material=value", the value in the friction's base unit: C and n have none, the
// roughness heights are in feet.
const MaterialList& MaterialsFor(const std::string& equationText);

// The value after the first "=" of an entry.
std::string MaterialValueText(const std::string& entry);

void FillFluids(calc::FormModel& f);
void cbVisListSelect(calc::FormModel& f);
void cbFricListDropDown(calc::FormModel& f);
void cbFricListSelect(calc::FormModel& f);

}  // namespace zynta::refdata
