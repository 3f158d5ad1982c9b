#pragma once
// The fittings of a pipe system and their loss coefficients K (data file Fittings.XML, in file
// order), for the minor losses of a pump's system curve.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zynta::refdata {

inline constexpr const char* FittingsFile = "Fittings.XML";

struct Fitting {
  std::string name;
  double k = 0.0;
};

// The rows of the data packet; DataPacketError for a file that is missing or not a packet of
// Description and K, a row without both, or a K that is not a finite number >= 0.
std::vector<Fitting> LoadFittings(const std::filesystem::path& file);

// The fitting of that name, letter case ignored; nothing for none.
std::optional<Fitting> FindFitting(const std::vector<Fitting>& fittings, std::string_view name);

}  // namespace zynta::refdata
