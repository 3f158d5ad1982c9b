#pragma once
// Friction values by pipe material, for each head-loss equation.

#include <array>
#include <string>

namespace zynta::refdata {

using MaterialList = std::array<const char*, 13>;

// "material=value", the value in the friction's base unit: C and n have none, the
// roughness heights are in feet.
const MaterialList& MaterialsFor(const std::string& equationText);

// The value after the first "=" of an entry.
std::string MaterialValueText(const std::string& entry);

}  // namespace zynta::refdata
