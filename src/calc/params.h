#pragma once
// The twelve calculation parameters: their identifiers, names, controls and defaults, and the
// record that holds each one's units, selected unit, value and decimals.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace zynta::calc {

// Parameter indices; the only way the program names a parameter.
enum ParamIndex : int { NDia, IDia, Area, Len, Fric, Vis, SG, Flow, HL, Vel, ReyNo, FricFact };
constexpr int ParamCount = 12;
constexpr int MaxUnits = 12;  // the factor table of a record has twelve places

// A parameter's role in the chosen problem.
constexpr char RoleEntry = 'E';    // an input
constexpr char RoleResult = '?';   // a result
constexpr char RoleDisplay = 'D';  // shown and disabled
constexpr char RoleHidden = ' ';   // hidden
constexpr char RoleUnset = '\0';   // never given a role yet

// Field colours: blue for results, black for entries.
constexpr platform::Color clResult = 0xFF0000;
constexpr platform::Color clNormal = 0x000000;

// "entry", "result", "display", "hidden", or "unset" for a record never given a role.
const char* RoleName(char role);

// A field whose text is exactly this holds a result that has not been solved.
inline constexpr const char* ResultMarker = "?";

struct ParamInfo {
  const char* id;         // the identifier, as scripts and reports name the parameter
  const char* name;       // the record's Name and its settings section
  const char* edit;       // the value field
  const char* nameLabel;  // the caption label
  const char* caption;    // its first caption ("" where the equation sets it)
  const char* unitLabel;  // the label right of the field
  const char* catalog;    // the unit catalog section, "" for none
  int defaultUnitIndex;
  int defaultDecimals;
};

extern const std::array<ParamInfo, ParamCount> ParamTable;

// Looks a parameter up by its identifier ("Flow"); -1 when there is none.
int ParamIndexOf(const std::string& id);

// The text a number was last shown as by the display rule, and what it was shown from: the
// rule runs again only for another number, and the text is read as a number only once.
//
// It also keeps the read of an input that leaves the field as it was: the text read by the
// field's factor and a specific gravity, which gave `value` and showed the same text again. The
// same read again gives the same value and leaves the field as it is, so it neither parses nor
// shows anything.
struct ShownNumber {
  std::string text;
  double v = 0.0, value = 0.0;  // the number in the shown unit, and in the base unit
  std::int32_t decimals = -1;
  char separator = '\0';
  std::optional<double> number;  // text read as a field number, once numberRead
  bool numberRead = false;
  bool readShown = false;  // the last Read was of `text`
  bool readKept = false;   // a read of `text` by readFactor and readGravity gives `value`
  double readFactor = 0.0, readGravity = 0.0;

  // The display rule's text for v (units::DisplayText).
  const std::string& Show(double v, double value, int decimals, char separator);
  // A field's text read as a field number, from what is kept when it is the shown text.
  std::optional<double> Read(const std::string& fieldText);
  // After a Read and the Show of the value it gave, by this factor and specific gravity: the
  // read is kept when the field shows the text it read.
  void KeepRead(double factor, double gravity) {
    readKept = readShown;
    readFactor = factor;
    readGravity = gravity;
  }
  // The value of the kept read, when fieldText by this factor, gravity, decimals and separator
  // is that read again.
  std::optional<double> Reread(const std::string& fieldText, double factor, double gravity, int shownDecimals,
                               char shownSeparator) const {
    if (readKept && factor == readFactor && gravity == readGravity && shownDecimals == decimals &&
        shownSeparator == separator && fieldText == text)
      return value;
    return std::nullopt;
  }
};

// One parameter. A plain record: it owns its unit names, and refers to the window's controls.
struct TParamType {
  std::array<double, MaxUnits> Factors{};
  std::string Name;
  std::vector<std::string> Units;
  std::int32_t UnitIndex = 0;
  double ParamValue = 0.0;
  platform::TextField* Edit = nullptr;
  platform::Label* NameLabel = nullptr;
  platform::Label* UnitLabel = nullptr;
  std::int32_t Decimals = 2;
  char Role = RoleUnset;

  ShownNumber Shown;  // what the field last showed by the display rule
};

// The name of unit u of a parameter, or "" for a parameter without a catalog.
std::string UnitName(const TParamType& p, int unitIndex);

}  // namespace zynta::calc
