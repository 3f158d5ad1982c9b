#pragma once
// The pipe-spec chooser and the nominal-size list: a standard pipe instead of a
// typed diameter.

#include "shell/form_model.h"

namespace zynta::shell {

inline constexpr const char* NoSpec = "None";

// Fills the chooser with "None" and every pipe spec, and selects the saved entry.
void FillPipeSpecs(shell::FormModel& f, int savedIndex);

// The chooser's text changed. keepSize is the size entry a unit switch of the nominal diameter
// keeps selected (-1 otherwise): its converted text is no longer a nominal size to look up.
void cbPipeSpecChange(shell::FormModel& f, int keepSize = -1);
void NDiaListSelect(shell::FormModel& f);
void NDiaListChange(shell::FormModel& f);
void EditNDiaChange(shell::FormModel& f);

// A size entry: the nominal size in the nominal diameter's unit, general format, 5 digits.
std::string SizeEntryText(const shell::FormModel& f, double nomSize);
// The inside diameter as the size look-up writes it: fixed, 7 digits, the field's decimals.
std::string InsideDiameterText(const shell::FormModel& f, double inDia);

}  // namespace zynta::shell
