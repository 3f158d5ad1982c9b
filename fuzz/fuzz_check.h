#pragma once
// What the fuzz targets share: a check that stops the run with a message, and the input as text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace zynta::fuzz {

// A broken property is a finding like a crash: libFuzzer keeps the input that caused it.
[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, what, detail.c_str());
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Printable form of a text for the failure message.
inline std::string Shown(std::string_view text) {
  std::string out = "\"";
  for (const char c : text.substr(0, 200)) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    }
  }
  if (text.size() > 200) out += "...";
  return out + "\"";
}

}  // namespace zynta::fuzz

#define FUZZ_CHECK(cond, detail)                                           \
  do {                                                                     \
    if (!(cond)) ::zynta::fuzz::Fail(__FILE__, __LINE__, #cond, (detail)); \
  } while (0)
