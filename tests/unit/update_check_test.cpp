#include "startup/update_check.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/recording.h"
#include "units/errors.h"

namespace zynta::startup {
namespace {

struct IntCase {
  const char* text;
  std::optional<int> expected;  // nothing: the conversion error
};

TEST(StrToInt, ReadsOneSignAndDecimalDigitsOnly) {
  const IntCase cases[] = {
      {"1100", 1100},
      {"+42", 42},
      {"-7", -7},
      {"0012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-3", std::nullopt},
      {"-+3", std::nullopt},
      {"++3", std::nullopt},
      {"--3", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1.2", std::nullopt},
      {"0x10", std::nullopt},
      {"2147483648", std::nullopt},
  };
  for (const auto& c : cases) {
    if (c.expected) {
      EXPECT_EQ(StrToInt(c.text), *c.expected) << c.text;
    } else {
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "'" << c.text << "' read as a number";
      } catch (const units::CalcError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("'") + c.text + "' is not a valid integer value");
      }
    }
  }
}

TEST(CheckForUpdate, APublishedVersionWithTwoSignsIsNoNumber) {
  platform::RecHttpClient http;
  http.body = "+-1.2.0.0\r\n";
  EXPECT_THROW(CheckForUpdate(http), units::CalcError);
}

}  // namespace
}  // namespace zynta::startup
