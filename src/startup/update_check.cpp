#include "startup/update_check.h"

#include <charconv>

#include "settings/version.h"
#include "startup/web_site.h"
#include "units/errors.h"

namespace zynta::startup {

namespace {
bool IsBreak(char c) { return c == '\r' || c == '\n'; }
}  // namespace

std::string ReadVersionLine(const std::string& text, size_t& cursor) {
  std::string line;
  while (cursor < text.size() && !IsBreak(text[cursor])) line += text[cursor++];
  while (cursor < text.size() && IsBreak(text[cursor])) ++cursor;
  return line;
}

std::string StripDots(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (IsBreak(c)) break;
    if (c != '.') out += c;
  }
  return out;
}

int StrToInt(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  // One sign: from_chars reads a '-' itself, so after a '+' there must be none.
  const bool plus = first != last && *first == '+';
  if (plus) ++first;
  const auto res = std::from_chars(first, last, value);
  if (text.empty() || (plus && first != last && *first == '-') || res.ec != std::errc() || res.ptr != last)
    throw units::CalcError("'" + text + "' is not a valid integer value");
  return value;
}

VersionFile FetchVersionFile(platform::HttpClient& http, const std::string& host, const std::string& path) {
  VersionFile file;
  const auto body = http.Get(host, WebPort, path);
  file.success = body.has_value();
  if (!body || body->empty()) return file;
  size_t cursor = 0;
  file.line1 = ReadVersionLine(*body, cursor);
  file.line2 = ReadVersionLine(*body, cursor);
  const std::string line3 = ReadVersionLine(*body, cursor);
  if (!line3.empty()) file.number = StrToInt(line3);
  return file;
}

std::string CheckForUpdate(platform::HttpClient& http) {
  const VersionFile file = FetchVersionFile(http, WebHost, VersionFilePath);
  if (!file.success) return NoConnection;
  const int local = StrToInt(StripDots(settings::ProgramVersion));
  const int published = StrToInt(StripDots(file.line1));
  if (local < published) return "Update to Ver. " + file.line1 + " available!";
  return UpToDate;
}

std::string WebPage(const std::string& path) { return std::string("http://") + WebHost + path; }

void UpdateCheckAtFirstChange(platform::Platform& ui, platform::Window& window) {
  window.SetBusyCursor(true);
  const std::string result = CheckForUpdate(ui.GetHttp());
  window.SetBusyCursor(false);
  if (result.find("avail") != std::string::npos &&
      ui.Boxes().Confirm("An update of the free version of ZYNTA is available. Download it?", ""))
    ui.GetDesktop().OpenUrl(WebPage(OverviewPagePath));
}

}  // namespace zynta::startup
