#pragma once
// Opening the three reference tables beside the program.

#include <filesystem>
#include <memory>
#include <string>

#include "refdata/table.h"

namespace zynta::refdata {

inline constexpr const char* PipeSpecFile = "PipeSpec.XML";
inline constexpr const char* PipeSizeFile = "PipeSize.XML";
inline constexpr const char* LiqPropFile = "Liq_prop.XML";

// The three tables: pipe specs, their sizes (the detail of the specs on Index), fluids.
struct ReferenceTables {
  std::unique_ptr<Table> PipeSpec;
  std::unique_ptr<Table> PipeSize;
  std::unique_ptr<Table> LiqProp;
};

// Opens the pipe specs, the pipe sizes and the fluids, in that order, from the folder, each
// into tables as soon as it opened. Returns the name of the first file that could not be
// opened, or "" when all three opened.
std::string OpenTables(ReferenceTables& tables, const std::filesystem::path& folder);

// "PipeSpec.XML not found!"
std::string MissingDataFileText(const std::string& name);

}  // namespace zynta::refdata
