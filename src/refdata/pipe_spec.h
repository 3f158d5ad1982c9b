#pragma once
// The pipe-spec chooser and the nominal-size list: a standard pipe instead of a
// typed diameter.

#include "calc/form_model.h"

namespace zynta::refdata {

inline constexpr const char* NoSpec = "None";

// Fills the chooser with "None" and every pipe spec, and selects the saved entry.
void FillPipeSpecs(calc::FormModel& f, int savedIndex);

// The chooser's text changed. keepSize is the size entry a unit switch of the nominal diameter
// keeps selected (-1 otherwise): its converted text is no longer a nominal size to look up.
void cbPipeSpecChange(calc::FormModel& f, int keepSize = -1);
void NDiaListSelect(calc::FormModel& f);
void NDiaListChange(calc::FormModel& f);
void EditNDiaChange(calc::FormModel& f);

// A size entry: the nominal size in the nominal diameter's unit, general format, 5 digits.
std::string SizeEntryText(const calc::FormModel& f, double nomSize);
// The inside diameter as the size look-up writes it: fixed, 7 digits, the field's decimals.
std::string InsideDiameterText(const calc::FormModel& f, double inDia);

}  // namespace zynta::refdata
