#include "cli/json_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "calc/params.h"
#include "cli/safe_text.h"

namespace zynta::cli {

using namespace calc;

// Bytes of no UTF-8 character become U+FFFD: a JSON reader takes only valid UTF-8.
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const size_t length = Utf8SequenceAt(text, i);
      if (length == 0) {
        out += "\\ufffd";
      } else {
        out += text.substr(i, length);
        i += length - 1;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

namespace {

const char* RoleText(char role) {
  switch (role) {
    case RoleEntry: return "input";
    case RoleResult: return "result";
    case RoleDisplay: return "display";
    default: return "shown";
  }
}

std::string Field(const HeadlessCalculator& calc, int i) {
  const std::string text = calc.Text(i);
  const bool holdsValue = !text.empty() && text != ResultMarker;
  std::string out = "{\"param\": " + JsonString(ParamId(i)) + ", \"name\": " + JsonString(calc.Caption(i)) +
                    ", \"role\": " + JsonString(RoleText(calc.Form().ParamTypes[static_cast<size_t>(i)]->Role)) +
                    ", \"text\": " + JsonString(text) +
                    ", \"value\": " + (holdsValue ? JsonNumber(calc.Value(i)) : std::string("null")) +
                    ", \"unit\": " + JsonString(calc.ShownUnit(i)) +
                    ", \"base_unit\": " + JsonString(calc.BaseUnit(i));
  if (i == ReyNo) out += ", \"regime\": " + JsonString(calc.RegimeText());
  return out + "}";
}

std::string Open(const JsonLayout& layout) {
  std::string out = "{";
  if (layout.row > 0)
    out += (layout.oneLine ? "" : "\n  ") + std::string("\"row\": ") + std::to_string(layout.row) + ",";
  return out;
}

std::string Key(const JsonLayout& layout, const char* key) {
  return (layout.oneLine ? " \"" : "\n  \"") + std::string(key) + "\": ";
}

}  // namespace

std::string WindowJson(const HeadlessCalculator& calc, const std::string& status, bool solved,
                       const JsonLayout& layout) {
  std::string out = Open(layout);
  out += Key(layout, "solved") + (solved ? "true" : "false") + ",";
  out += Key(layout, "status") + JsonString(status) + ",";
  out += Key(layout, "equation") + JsonString(calc.Equation()) + ",";
  out += Key(layout, "problem") + JsonString(calc.Problem()) + ",";
  const std::string spec = calc.Spec();
  out += Key(layout, "spec") + (spec.empty() ? std::string("null") : JsonString(spec)) + ",";
  out += Key(layout, "fields") + "[";
  bool first = true;
  for (int i = 0; i < ParamCount; ++i) {
    if (!calc.IsShown(i)) continue;
    if (!first) out += layout.oneLine ? ", " : ",";
    if (!layout.oneLine) out += "\n    ";
    first = false;
    out += Field(calc, i);
  }
  out += layout.oneLine ? "]}" : "\n  ]\n}";
  return out;
}

std::string FailureJson(const std::string& status, const JsonLayout& layout) {
  std::string out = Open(layout);
  out += Key(layout, "solved") + "false,";
  out += Key(layout, "status") + JsonString(status) + ",";
  out += Key(layout, "fields") + "[]";
  out += layout.oneLine ? "}" : "\n}";
  return out;
}

}  // namespace zynta::cli
