#include "refdata/fittings.h"

#include <cmath>

#include "refdata/data_packet.h"
#include "units/same_text.h"

namespace zynta::refdata {

std::vector<Fitting> LoadFittings(const std::filesystem::path& file) {
  const DataPacket packet = DataPacket::Load(file);
  const int name = packet.ColumnIndex("Description");
  const int k = packet.ColumnIndex("K");
  if (name < 0 || k < 0) throw DataPacketError(file.filename().string() + " has no Description and K columns");
  std::vector<Fitting> fittings;
  fittings.reserve(packet.rows.size());
  for (const auto& row : packet.rows) {
    const auto* text = std::get_if<std::string>(&row[static_cast<size_t>(name)]);
    const auto* value = std::get_if<double>(&row[static_cast<size_t>(k)]);
    if (!text || text->empty() || !value || !std::isfinite(*value) || *value < 0.0)
      throw DataPacketError(file.filename().string() + ": every fitting needs a name and a K of 0 or more");
    fittings.push_back({*text, *value});
  }
  return fittings;
}

std::optional<Fitting> FindFitting(const std::vector<Fitting>& fittings, std::string_view name) {
  for (const Fitting& f : fittings) {
    if (units::SameText(f.name, name)) return f;
  }
  return std::nullopt;
}

}  // namespace zynta::refdata
