// INI settings files: the per-user settings file and the unit catalogs
// shipped beside the program.
//
// Format: "[Section]" lines open sections, "Key=Value" lines follow. Lines
// whose first non-blank character is ';' are comments. Lines end at LF (or
// the end of the text); the CRs just before a line's end belong to it.
// Section and key names compare without regard to ASCII letter case; blanks
// (space, tab) around names and values are ignored. Rewriting a file keeps
// its comments, blank lines, stray lines, byte order mark and line-end style.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zynta::settings {

// Thrown when a settings file cannot be written; what() is
// "Unable to write to <path>".
struct IniWriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses an integer as stored in an INI value: optional sign and decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". The value must fit
// std::int32_t. No blanks are accepted; anything else yields nullopt.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// The text of one INI file, line by line, so that edits keep everything
// they do not touch.
class IniDocument {
 public:
  static IniDocument Parse(std::string_view text);

  // Value of the first line holding `key` in any section named `section`.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Key names of every section named `section`, in file order, as spelled.
  std::vector<std::string> Keys(std::string_view section) const;
  bool HasSection(std::string_view section) const;  // has at least one key

  // Replaces the value the reads see, else appends the key after the last key
  // line of the first section of that name, else appends the section at the
  // end. Throws std::invalid_argument for a name or value that could not be
  // read back as given (empty name, line breaks, '=' in a key, ']' in a
  // section, key starting with ';' or '[').
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void SetInteger(std::string_view section, std::string_view key, std::int32_t value);
  void SetBool(std::string_view section, std::string_view key, bool value);

  // The whole file: byte order mark if it had one, every line ended by the
  // line end the file used ("\n" for a file that had none).
  std::string Text() const;

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    std::string text;  // as in the file, without the line end
    Kind kind = Kind::kOther;
    std::string name;   // trimmed section or key name
    std::string value;  // trimmed value of a key line
  };

  static Line ParseLine(std::string_view text, bool in_section);
  std::vector<std::size_t> KeyLines(std::string_view section) const;
  std::optional<std::size_t> FindKey(std::string_view section, std::string_view key) const;
  std::optional<std::size_t> FindInsertPoint(std::string_view section) const;

  std::vector<Line> lines_;
  std::string eol_ = "\n";
  bool bom_ = false;
};

// One INI file on disk. Every read reads the file anew (its parse is kept while the
// text stays the same), so a file replaced between calls is seen at once; a missing or unreadable file, one that is not
// a regular file and one over MaxSettingsBytes read as empty. Every write
// replaces the whole file at once (see ReplaceWholeFile).
class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);

  const std::filesystem::path& Path() const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  std::vector<std::string> ReadSection(std::string_view section) const;
  bool SectionExists(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Every change `edit` makes to the file's text, written in one replacement: a reader, or the
  // file left by a crash, sees all of them or none. Throws IniWriteError as the writes do.
  void Update(const std::function<void(IniDocument&)>& edit);

 private:
  const IniDocument& Load() const;
  IniDocument LoadForWrite(const std::filesystem::path& target) const;
  void Write(std::string_view section, std::string_view key, std::string_view value);
  std::filesystem::path WriteTarget() const;
  [[noreturn]] void FailWrite() const;

  std::filesystem::path path_;
  struct Parsed {
    std::string text;
    IniDocument document;
  };
  mutable std::optional<Parsed> parsed_;  // the last text read and its parse
};

}  // namespace zynta::settings
