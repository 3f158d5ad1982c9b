#include "settings/settings_file.h"

#include <cctype>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "settings/whole_file.h"
#include "units/errors.h"

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

namespace {

std::string DefaultText(const fs::path& programDir) {
  const fs::path file = programDir / DefaultSettingsName;
  std::optional<std::string> text = ReadWholeFile(file);
  if (!text) throw units::CalcError(file.string() + " cannot be read");
  return std::move(*text);
}

void MakeFolder(const SettingsLocation& where) {
  std::error_code ec;
  if (fs::is_directory(where.folder)) return;
  fs::create_directories(where.folder, ec);
  if (ec || !fs::is_directory(where.folder)) throw units::CalcError(where.folder.string());
}

// Replaces the per-user file whole (where a link to it points), keeping its permission bits.
void ReplaceSettings(const SettingsLocation& where, std::string_view text) {
  if (!ReplaceWholeFile(WriteTargetOf(where.path), text))
    throw units::CalcError("Unable to write to " + where.path.string());
}

}  // namespace

void CopyDefaultSettings(const fs::path& programDir, const SettingsLocation& where) {
  const std::string text = DefaultText(programDir);
  MakeFolder(where);
  ReplaceSettings(where, text);
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
  RemoveStaleTemporaries(WriteTargetOf(where.path));
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
  // The default file and the program's version go in as one file: a start cut short in between
  // must not leave a copy that the next start takes for an old version.
  if ((storedNumber < 0 || storedNumber != VersionNumber(programVersion)) && haveDefault) {
    IniDocument doc = IniDocument::Parse(DefaultText(programDir));
    doc.Set("MainForm", "Version", std::string{programVersion[0], '.', programVersion[2]});
    MakeFolder(where);
    ReplaceSettings(where, doc.Text());
  }
  return result;
}

}  // namespace zynta::settings
