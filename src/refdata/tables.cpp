#include "refdata/tables.h"

namespace zynta::refdata {

namespace {
std::unique_ptr<Table> Open(const std::filesystem::path& file, std::vector<std::string> index) {
  return std::make_unique<Table>(DataPacket::Load(file), std::move(index));
}
}  // namespace

std::string OpenTables(ReferenceTables& f, const std::filesystem::path& folder) {
  try {
    f.PipeSpec = Open(folder / PipeSpecFile, {"Index"});
  } catch (const DataPacketError&) {
    return PipeSpecFile;
  }
  try {
    f.PipeSize = Open(folder / PipeSizeFile, {"Index", "NomSize"});
    f.PipeSize->SetMaster(*f.PipeSpec, "Index");
  } catch (const DataPacketError&) {
    return PipeSizeFile;
  }
  try {
    f.LiqProp = Open(folder / LiqPropFile, {"Description"});
  } catch (const DataPacketError&) {
    return LiqPropFile;
  }
  return "";
}

std::string MissingDataFileText(const std::string& name) { return name + " not found!"; }

}  // namespace zynta::refdata
