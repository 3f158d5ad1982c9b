// The os-release file, for the system's name in the support mail.
//
// OsReleasePrettyName gives a name without control characters, whatever the file holds; and
// that name, written back as a quoted shell word after the file, is what the file then gives
// (the last assignment counts).

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/desktop_services.h"

namespace {

using zynta::fuzz::Shown;

// The name as a single-quoted shell word: a quote closes, is escaped and opens again.
std::string Quoted(const std::string& name) {
  std::string out = "'";
  for (const char c : name) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(zynta::fuzz::AsText(data, size));
  const std::string name = zynta::platform::OsReleasePrettyName(text);
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    FUZZ_CHECK(u >= 0x20 && u != 0x7F, "a control character in " + Shown(name));
  }
  // A name of blanks only ends the word at its first blank outside quotes: quoted, it stays.
  const std::string again = zynta::platform::OsReleasePrettyName(text + "\nPRETTY_NAME=" + Quoted(name) + "\n");
  FUZZ_CHECK(again == name, Shown(name) + " read back as " + Shown(again));
  return 0;
}
