#pragma once
// The maker's web site: one host for the version file and the three pages the calculator opens.
// The host is a name under a reserved example domain until the program has a real one.

namespace zynta::startup {

inline constexpr const char* WebHost = "zynta.example.com";
inline constexpr int WebPort = 80;  // plain HTTP, as the version check asks

inline constexpr const char* VersionFilePath = "/versions/zy_free.txt";  // latest published version
inline constexpr const char* OverviewPagePath = "/html/overview.html";   // the update page
inline constexpr const char* UpdatesPagePath = "/html/updates.html";     // what changed
inline constexpr const char* HomePagePath = "/";                         // the maker's root page

}  // namespace zynta::startup
