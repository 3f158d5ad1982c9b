// The version file the update check fetches, through a web client that returns the input.
//
// ReadVersionLine cuts the input into its lines without their breaks; StripDots keeps the
// first line without dots; StrToInt reads exactly the whole decimal numbers in the int range
// and throws CalcError for anything else. FetchVersionFile and CheckForUpdate end either with
// an answer or with that CalcError, nothing else.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/services.h"
#include "startup/update_check.h"
#include "startup/web_site.h"
#include "units/errors.h"

namespace zynta::startup {
namespace {

using fuzz::Shown;

class FakeHttp : public platform::HttpClient {
 public:
  explicit FakeHttp(std::optional<std::string> body) : body_(std::move(body)) {}
  std::optional<std::string> Get(const std::string& host, int port, const std::string& path) override {
    FUZZ_CHECK(host == WebHost && port == WebPort && path == VersionFilePath, host + path);
    return body_;
  }

 private:
  std::optional<std::string> body_;
};

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The whole decimal numbers in the int range: an optional sign, then digits only.
std::optional<int> WholeNumber(std::string_view t) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return std::nullopt;
  long long value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    value = value * 10 + (t[i] - '0');
    if (value > 1LL << 32) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<int> TryStrToInt(const std::string& text) {
  try {
    return StrToInt(text);
  } catch (const units::CalcError& e) {
    // what() ends at the first NUL the text may hold.
    const std::string message = "'" + text + "' is not a valid integer value";
    FUZZ_CHECK(std::string(e.what()) == message.c_str(), e.what());
    return std::nullopt;
  }
}

void CheckStrToInt(const std::string& text) {
  const std::optional<int> got = TryStrToInt(text);
  const std::optional<int> want = WholeNumber(text);
  FUZZ_CHECK(got == want, "StrToInt(" + Shown(text) + ") gives " + (got ? std::to_string(*got) : "an error") +
                              ", not " + (want ? std::to_string(*want) : "an error"));
}

}  // namespace
}  // namespace zynta::startup

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zynta::startup;
  const std::string body(zynta::fuzz::AsText(data, size));

  // The lines, in order, are the text without its line breaks.
  std::string joined;
  std::string lines[3];
  std::size_t cursor = 0;
  for (int n = 0; cursor < body.size(); ++n) {
    const std::size_t before = cursor;
    const std::string line = ReadVersionLine(body, cursor);
    FUZZ_CHECK(cursor > before && cursor <= body.size(), "the cursor did not move on");
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, "a line break in " + Shown(line));
    FUZZ_CHECK(cursor == body.size() || !IsBreak(body[cursor]), "the cursor stopped inside a run of line breaks");
    if (n < 3) lines[n] = line;
    joined += line;
  }
  std::string unbroken;
  for (const char c : body)
    if (!IsBreak(c)) unbroken += c;
  FUZZ_CHECK(joined == unbroken, "the lines lost or gained text");

  const std::string stripped = StripDots(body);
  std::string want;
  for (const char c : body.substr(0, body.find_first_of("\r\n")))
    if (c != '.') want += c;
  FUZZ_CHECK(stripped == want, "StripDots gave " + Shown(stripped));

  CheckStrToInt(body);
  CheckStrToInt(lines[0]);
  CheckStrToInt(stripped);

  FakeHttp http(body);
  try {
    const VersionFile file = FetchVersionFile(http, WebHost, VersionFilePath);
    FUZZ_CHECK(file.success, "a body read as no connection");
    FUZZ_CHECK(file.line1 == lines[0] && file.line2 == lines[1], "the lines of the file");
    if (!lines[2].empty()) FUZZ_CHECK(TryStrToInt(lines[2]) == file.number, "line 3");
  } catch (const zynta::units::CalcError&) {
    FUZZ_CHECK(!lines[2].empty() && !TryStrToInt(lines[2]), "CalcError for a good line 3");
  }
  try {
    const std::string answer = CheckForUpdate(http);
    FUZZ_CHECK(answer == UpToDate || answer == "Update to Ver. " + lines[0] + " available!",
               "CheckForUpdate said " + Shown(answer));
  } catch (const zynta::units::CalcError&) {
  }
  FakeHttp offline(std::nullopt);
  FUZZ_CHECK(CheckForUpdate(offline) == NoConnection, "no connection");
  return 0;
}
