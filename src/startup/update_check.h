#pragma once
// Asking the maker's web site whether a newer version has been published.

#include <string>

#include "platform/platform.h"
#include "platform/services.h"

namespace zynta::startup {

inline constexpr const char* NoConnection = "No Internet connection!";
inline constexpr const char* UpToDate = "You are up-to-date!";

struct VersionFile {
  bool success = false;
  std::string line1;  // the latest published version, dotted
  std::string line2;  // free text
  int number = 0;     // line 3, when present
};

// The text from the cursor up to the next line break or the end; the cursor then moves past
// the whole run of line breaks, so empty lines count as no line.
std::string ReadVersionLine(const std::string& text, size_t& cursor);

// The text up to its first CR, LF or end, without its dots: "1.2.0.0" gives "1200".
std::string StripDots(const std::string& text);

// A whole decimal number, or the error "'x' is not a valid integer value".
int StrToInt(const std::string& text);

VersionFile FetchVersionFile(platform::HttpClient& http, const std::string& host, const std::string& path);

// "No Internet connection!", "Update to Ver. <v> available!" or "You are up-to-date!".
// The published and the own version compare as their digit strings read as numbers.
std::string CheckForUpdate(platform::HttpClient& http);

// The check at the first change on screen: the busy cursor while the site answers, and for a
// newer version the offer to open the download page.
void UpdateCheckAtFirstChange(platform::Platform& ui, platform::Window& window);

// The web address of a page of the maker's site.
std::string WebPage(const std::string& path);

}  // namespace zynta::startup
