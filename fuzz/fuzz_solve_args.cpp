// The arguments of `zynta-cli solve` and `zynta-cli plot`, one per line of the input (its
// first byte picks the command).
//
// EnterAndSolve ends with -1 (the calculator solved, or tried), 1 or 2, never anything else;
// -1 leaves a calculator; its messages hold no control character but line ends, whatever the
// arguments hold.

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/solve_command.h"
#include "fuzz_check.h"

namespace {

using zynta::fuzz::Shown;

std::vector<std::string> Arguments(std::string_view text) {
  std::vector<std::string> args;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    args.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string command = data[0] & 1 ? "plot" : "solve";
  const std::vector<std::string> args = Arguments(zynta::fuzz::AsText(data + 1, size - 1));
  std::optional<zynta::cli::HeadlessCalculator> calc;
  std::ostringstream err;
  const int status = zynta::cli::EnterAndSolve(args, command, calc, err);
  FUZZ_CHECK(status == -1 || status == 1 || status == 2, "status " + std::to_string(status));
  if (status == -1) FUZZ_CHECK(calc.has_value(), "solved without a calculator");
  for (const char c : err.str()) {
    const auto u = static_cast<unsigned char>(c);
    FUZZ_CHECK(u >= 0x20 || c == '\n', "a control character in " + Shown(err.str()));
  }
  return 0;
}
