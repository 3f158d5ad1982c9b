#pragma once
// The per-user settings file: where it lives, the first-run copy of the default file, the
// version check, and the save of the whole state at close.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/services.h"
#include "settings/ini_file.h"

namespace zynta::settings {

inline constexpr const char* DefaultSettingsName = "ZYNTA.ini";
inline constexpr const char* SettingsSubfolder = "WXB/ZYNTA/1.1/";

struct SettingsLocation {
  std::filesystem::path folder;  // the application-data folder + "WXB/ZYNTA/1.1/"
  std::filesystem::path path;    // that folder + the executable's name + ".ini"
};

SettingsLocation LocateSettings(const platform::Folders& folders);

// Copies the program folder's default file over the per-user one, byte for byte and in one
// replacement (an empty default file too), creating the settings folder first; an error whose
// text is the folder path when that cannot be made.
void CopyDefaultSettings(const std::filesystem::path& programDir, const SettingsLocation& where);

// The two digits of a version text that the check compares ("1.1.0.0" and "1.1" give 11);
// -1 when its first or third character is not a digit.
int VersionNumber(const std::string& version);

struct OpenResult {
  std::unique_ptr<IniFile> file;
  bool defaultMissing = false;  // neither file was there: "Can't locate ..." was shown
};

// Finds or creates the per-user file and checks its version; the notice for a missing default
// file goes to boxes. Temporary files that an earlier save killed halfway left are removed.
OpenResult OpenSettings(const std::filesystem::path& programDir, const SettingsLocation& where,
                        platform::MessageBoxes& boxes, const std::string& programVersion);

}  // namespace zynta::settings
