#include "cli/script_text.h"

namespace zynta::cli {

std::string Unquote(const std::string& quoted) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
    throw ScriptSyntaxError("unterminated quoted text: " + quoted);
  std::string out;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') throw ScriptSyntaxError("unescaped quote in " + quoted);
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= quoted.size() - 1) throw ScriptSyntaxError("dangling backslash in " + quoted);
    switch (quoted[i]) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 'b': out += '\b'; break;
      default: throw ScriptSyntaxError(std::string("unknown escape \\") + quoted[i]);
    }
  }
  return out;
}

std::optional<std::string> LineReader::OptionalWord() {
  if (AtEnd()) return std::nullopt;
  size_t end;
  if (line_[pos_] == '"') {
    end = pos_ + 1;
    while (end < line_.size() && line_[end] != '"') end += line_[end] == '\\' ? 2 : 1;
    if (end >= line_.size()) throw ScriptSyntaxError("unterminated quoted word");
    ++end;
  } else {
    end = line_.find(' ', pos_);
    if (end == std::string::npos) end = line_.size();
  }
  std::string word = line_.substr(pos_, end - pos_);
  pos_ = end < line_.size() ? end + 1 : end;  // the one blank after the word
  return word.front() == '"' ? Unquote(word) : word;
}

std::string LineReader::Word() {
  auto word = OptionalWord();
  if (!word) throw ScriptSyntaxError("missing argument");
  return *word;
}

std::string LineReader::Text() {
  std::string rest = Rest();
  pos_ = line_.size();
  if (!rest.empty() && rest.front() == '"') return Unquote(rest);
  return rest;
}

std::optional<std::string> HeredocWord(const std::string& text) {
  if (text.size() > 2 && text.compare(0, 2, "<<") == 0 && text.find(' ') == std::string::npos)
    return text.substr(2);
  return std::nullopt;
}

ScriptLines::ScriptLines(const std::string& content) {
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

bool ScriptLines::Next(std::string& line, int& number) {
  if (next_ >= lines_.size()) return false;
  number = static_cast<int>(next_) + 1;
  line = lines_[next_++];
  return true;
}

std::vector<std::string> ScriptLines::TakeHeredoc(const std::string& word) {
  std::vector<std::string> body;
  while (next_ < lines_.size()) {
    const std::string& line = lines_[next_++];
    if (line == word) return body;
    body.push_back(line);
  }
  throw ScriptSyntaxError("heredoc without its closing line " + word);
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(sep, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Join(const std::vector<std::string>& parts, const std::string& sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? sep : "") + parts[i];
  return out;
}

}  // namespace zynta::cli
