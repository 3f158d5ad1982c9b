#include "shell/pump_panel.h"

#include <cmath>
#include <optional>
#include <sstream>

#include "units/number_text.h"

namespace zynta::shell {

namespace {

std::optional<double> Number(const std::string& text, char sep = '.') {
  const auto v = units::ParseFieldNumber(text, sep);
  if (!v || !std::isfinite(*v)) return std::nullopt;
  return v;
}

std::string PumpKey(size_t i) { return "Pump" + std::to_string(i + 1); }

}  // namespace

std::string PumpPointsText(const std::vector<pumps::PumpPoint>& points) {
  std::string text;
  for (const pumps::PumpPoint& p : points) {
    if (!text.empty()) text += ",";
    text += units::InvariantFloatToStr(p.flow) + ":" + units::InvariantFloatToStr(p.head);
  }
  return text;
}

bool ParsePumpPoints(const std::string& text, char sep, std::vector<pumps::PumpPoint>& points, std::string* bad) {
  std::vector<pumps::PumpPoint> read;
  std::istringstream in(text);
  for (std::string pair; std::getline(in, pair, ',');) {
    const size_t colon = pair.find(':');
    const auto q = colon == std::string::npos ? std::nullopt : Number(pair.substr(0, colon), sep);
    const auto h = colon == std::string::npos ? std::nullopt : Number(pair.substr(colon + 1), sep);
    if (!q || !h) {
      if (bad) *bad = pair;
      return false;
    }
    read.push_back({*q, *h});
  }
  points = std::move(read);
  return true;
}

void WritePumpPanel(const PumpPanel& panel, settings::IniDocument& doc) {
  doc.Set(PumpsSection, "StaticHead", units::InvariantFloatToStr(panel.staticHeadFt));
  doc.Set(PumpsSection, "SumK", units::InvariantFloatToStr(panel.sumK));
  doc.Set(PumpsSection, "Arrangement", pumps::ArrangementName(panel.arrangement));
  for (size_t i = 0; i < MaxPumps; ++i)
    doc.Set(PumpsSection, PumpKey(i), i < panel.pumps.size() ? PumpPointsText(panel.pumps[i]) : "");
}

PumpPanel ReadPumpPanel(const settings::IniFile& ini) {
  PumpPanel panel;
  if (const auto v = Number(ini.ReadString(PumpsSection, "StaticHead", ""))) panel.staticHeadFt = *v;
  if (const auto v = Number(ini.ReadString(PumpsSection, "SumK", "")); v && *v >= 0.0) panel.sumK = *v;
  pumps::ParseArrangement(ini.ReadString(PumpsSection, "Arrangement", "single"), panel.arrangement);
  for (size_t i = 0; i < MaxPumps; ++i) {
    std::vector<pumps::PumpPoint> points;
    if (ParsePumpPoints(ini.ReadString(PumpsSection, PumpKey(i), ""), '.', points) && !points.empty() &&
        points.size() <= static_cast<size_t>(pumps::MaxPumpPoints))
      panel.pumps.push_back(points);
  }
  return panel;
}

}  // namespace zynta::shell
