#pragma once
// Names the user types (units, equations, fluids, fittings) compare with letter case ignored.

#include <string_view>

namespace zynta::units {

// Equal but for the letter case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);

}  // namespace zynta::units
