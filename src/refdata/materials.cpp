#include "refdata/materials.h"

#include "calc/catalog.h"

namespace zynta::refdata {

using namespace calc;

namespace {

// Hazen-Williams C of new pipe, after the coefficient tables of Williams and Hazen
// (Hydraulic Tables, 1920) as carried by the common hydraulics handbooks.
constexpr MaterialList HazenWilliamsMaterials = {"Brass=140",
                                                 "Concrete=120",
                                                 "Copper=140",
                                                 "Drawn tubing=140",
                                                 "Glass=140",
                                                 "Iron, wrought=130",
                                                 "Iron, cast asphalt dip=130",
                                                 "Iron, galvanized=130",
                                                 "Iron, cast uncoated=130",
                                                 "Plastics=140",
                                                 "Steel, commercial=130",
                                                 "Steel, full riveted=115",
                                                 "Wood stave=120"};

// Absolute roughness in feet, after Moody's table of pipe roughness (Trans. ASME 66, 1944).
constexpr MaterialList DarcyWeisbachMaterials = {"Brass=0.000005",
                                                 "Concrete=0.005",
                                                 "Copper=0.000005",
                                                 "Drawn tubing=0.000005",
                                                 "Glass=0.000005",
                                                 "Iron, wrought=0.00015",
                                                 "Iron, cast asphalt dip=0.0004",
                                                 "Iron, galvanized=0.0005",
                                                 "Iron, cast uncoated=0.00085",
                                                 "Plastic=0.000005",
                                                 "Steel, commercial=0.00015",
                                                 "Steel, full riveted=0.0035",
                                                 "Wood stave=0.00045"};

// Manning's n, after Chow, Open-Channel Hydraulics (1959), table 5-6.
constexpr MaterialList ManningMaterials = {
    "Glass, copper=0.010",         "Plastic other smooth=0.010",         "Smooth unpainted steel=0.012",
    "Planed wood=0.012",           "Smooth Asphalt, clay pipe=0.013",    "Trowel finished concrete=0.013",
    "Uncoated cast iron=0.013",    "Brick in cement mortar=0.015",       "Formed, unfinished concrete=0.017",
    "Clean excavated earth=0.022", "Corrugated metal storm drain=0.024", "Earth with light brush=0.050",
    "Earth with heavy brush=0.100"};

}  // namespace

const MaterialList& MaterialsFor(const std::string& equationText) {
  if (equationText == HazenWilliams) return HazenWilliamsMaterials;
  if (equationText == DarcyWeisbach) return DarcyWeisbachMaterials;
  return ManningMaterials;
}

std::string MaterialValueText(const std::string& entry) {
  const size_t eq = entry.find('=');
  return eq == std::string::npos ? "" : entry.substr(eq + 1);
}

}  // namespace zynta::refdata
