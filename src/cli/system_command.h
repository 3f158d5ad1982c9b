#pragma once
// zynta-cli system: the solved pipe as a pump's system (static head, fittings) and the
// operating point of up to three pump curves on it.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/headless_calculator.h"
#include "pumps/pump_curve.h"
#include "shell/pump_panel.h"

namespace zynta::cli {

extern const char* const SystemHelp;

// Exit status: 0 every pump has an operating point, 1 one has none (its failure on err) or the
// problem is not solved, 2 a usage error (a pump's points that make no curve included).
int SystemCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The options that describe the system and its pumps, shared by `system` and `plot`.
struct SystemOptions {
  std::optional<std::string> staticHead, sumK, flowUnit, headUnit;
  std::vector<std::string> fittings, pumps;
  pumps::Arrangement arrangement = pumps::Arrangement::Single;

  bool Given() const { return staticHead || sumK || !fittings.empty() || !pumps.empty(); }
};

// Takes the system options out of args (UsageError for a bad one), leaving the rest.
SystemOptions TakeSystemOptions(std::vector<std::string>& args);

// The pump panel the options give on the solved calculator, in base units: UsageError for a
// unit, fitting, count or point that is not one, or points that make no pump curve.
shell::PumpPanel PanelOf(const HeadlessCalculator& calc, const SystemOptions& options);

}  // namespace zynta::cli
