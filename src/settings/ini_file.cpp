#include "settings/ini_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>
#include <system_error>
#include <utility>

#include "settings/whole_file.h"

namespace zynta::settings {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

void Require(bool ok, const char* what) {
  if (!ok) throw std::invalid_argument(what);
}

void CheckSectionName(std::string_view section) {
  Require(!Trim(section).empty(), "INI section name is empty");
  Require(!HasLineBreak(section), "INI section name holds a line break");
  Require(section.find(']') == std::string_view::npos, "INI section name holds ']'");
}

void CheckKeyName(std::string_view key) {
  const std::string_view name = Trim(key);
  Require(!name.empty(), "INI key name is empty");
  Require(!HasLineBreak(key), "INI key name holds a line break");
  Require(key.find('=') == std::string_view::npos, "INI key name holds '='");
  Require(name.front() != ';' && name.front() != '[', "INI key name starts with ';' or '['");
}

void CheckValue(std::string_view value) { Require(!HasLineBreak(value), "INI value holds a line break"); }

// Unsigned digits in `base`, nothing else; from_chars takes no sign or
// prefix for an unsigned type, so a full match means only digits.
std::optional<std::uint64_t> ParseMagnitude(std::string_view digits, int base) {
  std::uint64_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (digits.empty() || error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

std::optional<std::int32_t> ToInt32(std::optional<std::uint64_t> magnitude, bool negative) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (!magnitude || *magnitude > kMax + (negative ? 1 : 0)) return std::nullopt;
  const auto value = static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

// ---- Files ----

bool PathMayExist(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error) || error;
}

// A file that exists but is not writable is refused rather than replaced.
bool MayReplace(const fs::path& target) { return ::access(target.c_str(), W_OK) == 0 || errno == ENOENT; }

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
  if (text.starts_with('$')) return ToInt32(ParseMagnitude(text.substr(1), 16), false);
  if (text.starts_with("0x") || text.starts_with("0X")) {
    return ToInt32(ParseMagnitude(text.substr(2), 16), false);
  }
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  return ToInt32(ParseMagnitude(text, 10), negative);
}

// ---- IniDocument ----

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  if (text.starts_with(kBom)) {
    doc.bom_ = true;
    text.remove_prefix(kBom.size());
  }
  const std::size_t first_break = text.find('\n');
  if (first_break != std::string_view::npos && first_break > 0 && text[first_break - 1] == '\r') {
    doc.eol_ = "\r\n";
  }
  bool in_section = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    // Every CR before the line end belongs to it: "\r\r\n" is a CRLF file converted once more.
    while (line.ends_with('\r')) line.remove_suffix(1);
    doc.lines_.push_back(ParseLine(line, in_section));
    in_section = in_section || doc.lines_.back().kind == Kind::kSection;
  }
  return doc;
}

IniDocument::Line IniDocument::ParseLine(std::string_view text, bool in_section) {
  Line line;
  line.text = text;
  std::string_view body = Trim(text);
  if (body.starts_with(';')) return line;
  if (body.starts_with('[')) {
    body.remove_prefix(1);
    line.kind = Kind::kSection;
    line.name = Trim(body.substr(0, body.find(']')));
    return line;
  }
  const std::size_t equals = body.find('=');
  if (!in_section || equals == std::string_view::npos) return line;
  line.name = Trim(body.substr(0, equals));
  line.value = Trim(body.substr(equals + 1));
  line.kind = line.name.empty() ? Kind::kOther : Kind::kKey;
  return line;
}

std::vector<std::size_t> IniDocument::KeyLines(std::string_view section) const {
  const std::string_view wanted = Trim(section);
  std::vector<std::size_t> found;
  bool inside = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kSection) inside = SameName(line.name, wanted);
    if (inside && line.kind == Kind::kKey) found.push_back(i);
  }
  return found;
}

std::optional<std::size_t> IniDocument::FindKey(std::string_view section, std::string_view key) const {
  const std::string_view wanted = Trim(key);
  for (const std::size_t i : KeyLines(section)) {
    if (SameName(lines_[i].name, wanted)) return i;
  }
  return std::nullopt;
}

// Just after the last key line of the first section named `section`, or
// just after its header when it has no keys.
std::optional<std::size_t> IniDocument::FindInsertPoint(std::string_view section) const {
  const std::string_view wanted = Trim(section);
  const auto is_header = [&](const Line& l) { return l.kind == Kind::kSection && SameName(l.name, wanted); };
  const auto header = std::ranges::find_if(lines_, is_header);
  if (header == lines_.end()) return std::nullopt;
  std::size_t insert_at = static_cast<std::size_t>(header - lines_.begin()) + 1;
  for (std::size_t i = insert_at; i < lines_.size() && lines_[i].kind != Kind::kSection; ++i) {
    if (lines_[i].kind == Kind::kKey) insert_at = i + 1;
  }
  return insert_at;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const auto i = FindKey(section, key);
  if (!i) return std::nullopt;
  return lines_[*i].value;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  for (const std::size_t i : KeyLines(section)) keys.push_back(lines_[i].name);
  return keys;
}

bool IniDocument::HasSection(std::string_view section) const { return !KeyLines(section).empty(); }

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  CheckSectionName(section);
  CheckKeyName(key);
  CheckValue(value);
  if (const auto i = FindKey(section, key)) {
    lines_[*i] = ParseLine(lines_[*i].name + "=" + std::string(value), true);
    return;
  }
  Line added = ParseLine(std::string(key) + "=" + std::string(value), true);
  if (const auto at = FindInsertPoint(section)) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*at), std::move(added));
    return;
  }
  lines_.push_back(ParseLine("[" + std::string(section) + "]", false));
  lines_.push_back(std::move(added));
}

void IniDocument::SetInteger(std::string_view section, std::string_view key, std::int32_t value) {
  Set(section, key, std::to_string(value));
}

void IniDocument::SetBool(std::string_view section, std::string_view key, bool value) {
  Set(section, key, value ? "1" : "0");
}

std::string IniDocument::Text() const {
  std::string text = bom_ ? std::string(kBom) : std::string();
  for (const Line& line : lines_) {
    text += line.text;
    text += eol_;
  }
  return text;
}

// ---- IniFile ----

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

const std::filesystem::path& IniFile::Path() const { return path_; }

// The file is read at every call; only its parse is kept, for as long as its text is the same.
const IniDocument& IniFile::Load() const {
  std::string text = ReadWholeFile(path_).value_or(std::string());
  if (!parsed_ || parsed_->text != text) {
    IniDocument document = IniDocument::Parse(text);
    parsed_ = Parsed{std::move(text), std::move(document)};
  }
  return parsed_->document;
}

// Unlike a read, a write must not take an existing file it cannot read for
// an empty one: that would throw away everything in it.
IniDocument IniFile::LoadForWrite(const std::filesystem::path& target) const {
  if (const auto text = ReadWholeFile(target)) return IniDocument::Parse(*text);
  if (PathMayExist(target)) FailWrite();
  return {};
}

// A settings file that is a symbolic link is written where the link points.
std::filesystem::path IniFile::WriteTarget() const { return WriteTargetOf(path_); }

void IniFile::FailWrite() const { throw IniWriteError("Unable to write to " + path_.string()); }

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto value = Load().Get(section, key);
  return value ? std::move(*value) : std::string(def);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
  const auto value = Load().Get(section, key);
  return value ? ParseIniInteger(*value).value_or(def) : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  const auto value = Load().Get(section, key);
  const auto number = value ? ParseIniInteger(*value) : std::nullopt;
  return number ? *number != 0 : def;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const { return Load().Keys(section); }

bool IniFile::SectionExists(std::string_view section) const { return Load().HasSection(section); }

void IniFile::Update(const std::function<void(IniDocument&)>& edit) {
  const fs::path target = WriteTarget();
  IniDocument doc = LoadForWrite(target);
  edit(doc);
  if (!MayReplace(target) || !ReplaceWholeFile(target, doc.Text())) FailWrite();
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  Update([&](IniDocument& doc) { doc.Set(section, key, value); });
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Write(section, key, value);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  Update([&](IniDocument& doc) { doc.SetInteger(section, key, value); });
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  Update([&](IniDocument& doc) { doc.SetBool(section, key, value); });
}

}  // namespace zynta::settings
