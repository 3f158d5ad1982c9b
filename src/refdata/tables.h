#pragma once
// Opening the three reference tables beside the program.

#include <filesystem>
#include <string>

#include "calc/form_model.h"

namespace zynta::refdata {

inline constexpr const char* PipeSpecFile = "PipeSpec.XML";
inline constexpr const char* PipeSizeFile = "PipeSize.XML";
inline constexpr const char* LiqPropFile = "Liq_prop.XML";

// Opens cdsPipeSpec, cdsPipeSize (its detail) and cdsLiq_Prop, in that order, from the folder.
// Returns the name of the first file that could not be opened, or "" when all three opened.
std::string OpenTables(calc::FormModel& f, const std::filesystem::path& folder);

// "PipeSpec.XML not found!"
std::string MissingDataFileText(const std::string& name);

}  // namespace zynta::refdata
