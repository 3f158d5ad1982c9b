#include "startup/program_folder.h"

#include <system_error>

#include "settings/settings_file.h"

namespace zynta::startup {

namespace fs = std::filesystem;

namespace {

bool HoldsDefaultSettings(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / settings::DefaultSettingsName, ec);
}

}  // namespace

fs::path ProgramFolder(const fs::path& exePath) {
  fs::path own = exePath.parent_path();
  if (HoldsDefaultSettings(own)) return own;
  fs::path installed = own.parent_path() / "share" / "zynta";
  if (HoldsDefaultSettings(installed)) return installed;
  return own;
}

fs::path RunningProgramFolder(const fs::path& fallbackExe) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ProgramFolder(ec ? fallbackExe : self);
}

}  // namespace zynta::startup
