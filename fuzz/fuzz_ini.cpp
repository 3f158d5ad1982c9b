// INI documents.
//
// IniDocument::Parse of the input answers Get, Keys and HasSection as a plain reading of the
// format does, whatever the case and blanks of the names asked; Parse(Text()) gives the same
// answers and the same text. Set with names and values cut from the input refuses exactly
// what could not be read back, leaves the text alone when it refuses, and otherwise Get gives
// the value back (without its blanks), before and after Parse(Text()).

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "settings/ini_file.h"

namespace zynta::settings {
namespace {

using fuzz::Shown;

std::string_view Trim(std::string_view t) {
  const std::size_t first = t.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return t.substr(first, t.find_last_not_of(" \t") - first + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Swapped(std::string_view t) {
  std::string out(t);
  for (char& c : out) c = c >= 'a' && c <= 'z' ? Upper(c) : Lower(c);
  return out;
}

// The lines of a text: after a byte order mark, split at LF, the CRs before it dropped.
std::vector<std::string_view> Lines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    while (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

// The format read plainly: every key line with the section it is in.
struct Entry {
  std::string section;
  std::string key;
  std::string value;
};

struct Reading {
  std::vector<Entry> entries;
  std::vector<std::string> sections;  // every section header, in file order

  std::optional<std::string> Get(std::string_view section, std::string_view key) const {
    for (const Entry& e : entries)
      if (Same(e.section, Trim(section)) && Same(e.key, Trim(key))) return e.value;
    return std::nullopt;
  }
  std::vector<std::string> Keys(std::string_view section) const {
    std::vector<std::string> keys;
    for (const Entry& e : entries)
      if (Same(e.section, Trim(section))) keys.push_back(e.key);
    return keys;
  }
};

Reading Read(std::string_view text) {
  Reading r;
  std::optional<std::string> section;
  for (const std::string_view line : Lines(text)) {
    const std::string_view body = Trim(line);
    if (body.starts_with(';')) continue;
    if (body.starts_with('[')) {
      section = std::string(Trim(
          body.substr(1, body.find(']') == std::string_view::npos ? std::string_view::npos : body.find(']') - 1)));
      r.sections.push_back(*section);
      continue;
    }
    const std::size_t eq = body.find('=');
    if (!section || eq == std::string_view::npos || Trim(body.substr(0, eq)).empty()) continue;
    r.entries.push_back({*section, std::string(Trim(body.substr(0, eq))), std::string(Trim(body.substr(eq + 1)))});
  }
  return r;
}

std::string Show(const std::optional<std::string>& v) { return v ? Shown(*v) : "none"; }

// The document answers as the plain reading of `text` does, for every name in it.
void CheckAnswers(const IniDocument& doc, const Reading& want, const std::string& where) {
  // The first sections and keys are enough: the same code answers for the rest.
  std::vector<std::string> sections(want.sections.begin(),
                                    want.sections.begin() + std::min<std::size_t>(want.sections.size(), 8));
  sections.push_back("absent section");
  for (const std::string& s : sections) {
    const std::vector<std::string> keys = want.Keys(s);
    FUZZ_CHECK(doc.Keys(s) == keys, where + ": Keys of " + Shown(s));
    FUZZ_CHECK(doc.Keys(" " + Swapped(s) + "\t") == keys, where + ": Keys of swapped " + Shown(s));
    FUZZ_CHECK(doc.HasSection(s) == !keys.empty(), where + ": HasSection " + Shown(s));
    std::vector<std::string> asked(keys.begin(), keys.begin() + std::min<std::size_t>(keys.size(), 8));
    asked.push_back("absent key");
    for (const std::string& k : asked) {
      const std::optional<std::string> value = want.Get(s, k);
      FUZZ_CHECK(doc.Get(s, k) == value, where + ": [" + Shown(s) + "] " + Shown(k) + " gives " +
                                             Show(doc.Get(s, k)) + ", not " + Show(value));
      FUZZ_CHECK(doc.Get(Swapped(s), "\t" + Swapped(k) + " ") == value,
                 where + ": swapped [" + Shown(s) + "] " + Shown(k));
    }
  }
}

// Parse(Text()) reads the same and writes the same.
void CheckRoundTrip(const IniDocument& doc, const Reading& want, const std::string& where) {
  const std::string text = doc.Text();
  const IniDocument again = IniDocument::Parse(text);
  CheckAnswers(again, want, where + ", read again from " + Shown(text));
  FUZZ_CHECK(again.Text() == text,
             where + ": the text changed when read again: " + Shown(text) + " became " + Shown(again.Text()));
}

bool HasBreak(std::string_view t) { return t.find_first_of("\r\n") != std::string_view::npos; }

// Whether Set must refuse the names and value.
bool Refused(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view name = Trim(key);
  return Trim(section).empty() || HasBreak(section) || section.find(']') != std::string_view::npos ||
         name.empty() || HasBreak(key) || key.find('=') != std::string_view::npos || name.front() == ';' ||
         name.front() == '[' || HasBreak(value);
}

void CheckSet(IniDocument& doc, std::string_view section, std::string_view key, std::string_view value) {
  const std::string before = doc.Text();
  const std::string what = "Set([" + Shown(section) + "] " + Shown(key) + "=" + Shown(value) + ")";
  bool threw = false;
  try {
    doc.Set(section, key, value);
  } catch (const std::invalid_argument&) {
    threw = true;
  }
  FUZZ_CHECK(threw == Refused(section, key, value), what + (threw ? " refused" : " taken"));
  if (threw) {
    FUZZ_CHECK(doc.Text() == before, what + " refused but changed the text");
    return;
  }
  FUZZ_CHECK(doc.Get(section, key) == std::string(Trim(value)),
             what + " reads back as " + Show(doc.Get(section, key)));
  const Reading want = Read(doc.Text());
  CheckAnswers(doc, want, what);
  CheckRoundTrip(doc, want, what);
}

}  // namespace
}  // namespace zynta::settings

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zynta::settings;
  const std::string_view text = zynta::fuzz::AsText(data, size);
  IniDocument doc = IniDocument::Parse(text);
  const Reading want = Read(text);
  CheckAnswers(doc, want, "parsed");
  CheckRoundTrip(doc, want, "parsed");

  // Names and values cut from the input: its pieces between the bytes '|', the first three.
  std::vector<std::string_view> pieces;
  for (std::string_view rest = text; pieces.size() < 3;) {
    const std::size_t bar = rest.find('|');
    pieces.push_back(rest.substr(0, bar));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  while (pieces.size() < 3) pieces.push_back("v");
  CheckSet(doc, pieces[0], pieces[1], pieces[2]);
  // A section and a key the document has, a new key, and a new section.
  if (!want.entries.empty()) {
    const Entry& e = want.entries.back();
    CheckSet(doc, e.section.empty() ? "S" : e.section, e.key, pieces[2]);
    CheckSet(doc, e.section.empty() ? "S" : e.section, "Fuzz Key", " x ");
  }
  CheckSet(doc, "Fuzz Section", "k", "1");
  return 0;
}
