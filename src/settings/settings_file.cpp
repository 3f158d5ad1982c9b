#include "settings/settings_file.h"

#include <cctype>
#include <fstream>

#include "calc/errors.h"

namespace zynta::settings {

namespace fs = std::filesystem;

SettingsLocation LocateSettings(const platform::Folders& folders) {
  SettingsLocation where;
  std::string base = folders.AppDataFolder();
  if (!base.empty() && base.back() != '/') base += '/';
  where.folder = base + SettingsSubfolder;
  where.path = where.folder / (folders.ExecutableName() + ".ini");
  return where;
}

void CopyDefaultSettings(const fs::path& programDir, const SettingsLocation& where) {
  std::ifstream in(programDir / DefaultSettingsName, std::ios::binary);
  if (!in) throw calc::CalcError((programDir / DefaultSettingsName).string() + " cannot be read");
  std::error_code ec;
  if (!fs::is_directory(where.folder)) {
    fs::create_directories(where.folder, ec);
    if (ec || !fs::is_directory(where.folder)) throw calc::CalcError(where.folder.string());
  }
  // Written beside the old file and renamed over it, so no half-copied file is ever left.
  const fs::path temp = fs::path(where.path).concat(".copy");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    out.flush();
    if (!out) {
      fs::remove(temp, ec);
      throw calc::CalcError("Unable to write to " + where.path.string());
    }
  }
  fs::rename(temp, where.path, ec);
  if (ec) {
    fs::remove(temp, ec);
    throw calc::CalcError("Unable to write to " + where.path.string());
  }
}

int VersionNumber(const std::string& version) {
  if (version.size() < 3 || !std::isdigit(static_cast<unsigned char>(version[0])) ||
      !std::isdigit(static_cast<unsigned char>(version[2])))
    return -1;
  return (version[0] - '0') * 10 + (version[2] - '0');
}

OpenResult OpenSettings(const fs::path& programDir, const SettingsLocation& where, platform::MessageBoxes& boxes,
                        const std::string& programVersion) {
  OpenResult result;
  const bool haveDefault = fs::is_regular_file(programDir / DefaultSettingsName);
  if (!fs::exists(where.path)) {
    if (haveDefault) {
      CopyDefaultSettings(programDir, where);
    } else {
      boxes.Show("Can't locate ZYNTA.ini! Need to create " + where.path.string(), "");
      result.defaultMissing = true;
    }
  }
  result.file = std::make_unique<IniFile>(where.path);
  const std::string stored = result.file->ReadString("MainForm", "Version", "0");
  const int storedNumber = VersionNumber(stored);
  // Without a default file there is nothing to go back to: the calculator goes on with what
  // it has, and with the defaults for what it lacks.
  if ((storedNumber < 0 || storedNumber != VersionNumber(programVersion)) && haveDefault) {
    CopyDefaultSettings(programDir, where);
    result.file->WriteString("MainForm", "Version", std::string{programVersion[0], '.', programVersion[2]});
  }
  return result;
}

}  // namespace zynta::settings
