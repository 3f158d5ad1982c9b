// The numbers of the settings file: integers (UnitIndex, Decimals, the window's place, the
// options) and reals (ParamValue, the unit factors).
//
// ParseIniInteger accepts exactly an optional sign and decimal digits, or hexadecimal digits
// after "0x", "0X" or "$", within the 32-bit range, and what it gives reads back from its
// decimal form. InvariantStrToFloat never throws and, for a finite result, what
// InvariantFloatToStr writes of it (15 significant digits, as the file always had) reads back
// to a value that is written the same again: values saved, loaded and saved again do not drift.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "units/number_text.h"

namespace {

using zynta::fuzz::Shown;

bool AllDigits(std::string_view text, bool hex) {
  if (text.empty()) return false;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit && !(hex && letter)) return false;
  }
  return true;
}

// The value a plain reading of the accepted forms gives, or nullopt.
std::optional<std::int64_t> Reference(std::string_view text) {
  bool hex = false;
  bool negative = false;
  if (text.starts_with('$')) {
    text.remove_prefix(1);
    hex = true;
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    hex = true;
  } else if (text.starts_with('-') || text.starts_with('+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!AllDigits(text, hex)) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + digit;
    if (value > (std::int64_t{1} << 32)) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return value;
}

void CheckInteger(std::string_view text) {
  const std::optional<std::int32_t> parsed = zynta::settings::ParseIniInteger(text);
  const std::optional<std::int64_t> expected = Reference(text);
  FUZZ_CHECK(parsed.has_value() == expected.has_value(), Shown(text));
  if (!parsed) return;
  FUZZ_CHECK(*parsed == *expected, Shown(text) + " gave " + std::to_string(*parsed));
  FUZZ_CHECK(zynta::settings::ParseIniInteger(std::to_string(*parsed)) == parsed, std::to_string(*parsed));
}

void CheckReal(std::string_view text) {
  double value = 0.0;
  try {
    value = zynta::units::InvariantStrToFloat(text);
  } catch (...) {
    FUZZ_CHECK(false, "threw on " + Shown(text));
  }
  if (!std::isfinite(value)) return;
  const std::string written = zynta::units::InvariantFloatToStr(value);
  const double back = zynta::units::InvariantStrToFloat(written);
  FUZZ_CHECK(std::isfinite(back), Shown(text) + " written as " + Shown(written));
  const std::string again = zynta::units::InvariantFloatToStr(back);
  FUZZ_CHECK(again == written, Shown(text) + " written as " + Shown(written) + ", then as " + Shown(again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = zynta::fuzz::AsText(data, size);
  CheckInteger(text);
  CheckReal(text);
  return 0;
}
