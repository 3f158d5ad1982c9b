#pragma once
// The text layer of scenario scripts: lines, words, quoted texts and heredocs.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zynta::cli {

struct ScriptSyntaxError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Reads the words and the final TEXT of one script line. Words are separated by one blank and
// may be quoted; the TEXT is the rest of the line after the blank that follows the last word.
class LineReader {
 public:
  explicit LineReader(std::string line) : line_(std::move(line)) {}
  bool AtEnd() const { return pos_ >= line_.size(); }
  // The next word; throws when there is none.
  std::string Word();
  // The next word when there is one.
  std::optional<std::string> OptionalWord();
  // The rest of the line: unquoted as written, or a quoted text with its escapes. A heredoc
  // marker is returned as written; the caller resolves it (HeredocWord).
  std::string Text();
  // The raw rest of the line, no unquoting.
  std::string Rest() const { return pos_ >= line_.size() ? "" : line_.substr(pos_); }

 private:
  std::string line_;
  size_t pos_ = 0;
};

// Unquotes "..." with the escapes \" \\ \t \r \n \b; throws on a malformed text.
std::string Unquote(const std::string& quoted);

// The WORD of a "<<WORD" text, or nothing.
std::optional<std::string> HeredocWord(const std::string& text);

// The script's lines with their numbers; heredoc bodies are taken out by the reader below.
class ScriptLines {
 public:
  explicit ScriptLines(const std::string& content);
  bool Next(std::string& line, int& number);
  // The lines up to one that is exactly word; throws at the end of the file.
  std::vector<std::string> TakeHeredoc(const std::string& word);

 private:
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

// Splits on a separator; an empty text gives no parts.
std::vector<std::string> Split(const std::string& text, char sep);
std::string Join(const std::vector<std::string>& parts, const std::string& sep);

}  // namespace zynta::cli
