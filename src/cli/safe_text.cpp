#include "cli/safe_text.h"

#include <cstdio>

namespace zynta::cli {

namespace {

void AppendHex(std::string& out, unsigned char c) {
  char buf[5];
  std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(c));
  out += buf;
}

bool IsControl(std::string_view sequence, bool keepLineBreaks) {
  const auto c = static_cast<unsigned char>(sequence[0]);
  if (keepLineBreaks && (c == '\n' || c == '\t')) return false;
  if (sequence.size() == 1) return c < 0x20 || c == 0x7F;
  return c == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;  // U+0080 to U+009F
}

}  // namespace

std::string EscapeControls(std::string_view text, bool keepLineBreaks) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceAt(text, i);
    const std::string_view sequence = text.substr(i, length == 0 ? 1 : length);
    if (length == 0 || IsControl(sequence, keepLineBreaks)) {
      for (const char c : sequence) AppendHex(out, static_cast<unsigned char>(c));
    } else {
      out += sequence;
    }
    i += sequence.size();
  }
  return out;
}

EscapingStreamBuf::~EscapingStreamBuf() { Emit(true); }

EscapingStreamBuf::int_type EscapingStreamBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.back() == '\n') Emit(false);
  return c;
}

std::streamsize EscapingStreamBuf::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<size_t>(n));
  if (pending_.find('\n') != std::string::npos || pending_.size() > 4096) Emit(false);
  return n;
}

int EscapingStreamBuf::sync() {
  Emit(true);
  return target_->pubsync();
}

// Up to the last line end (or everything); a UTF-8 character cut off at the end waits for the
// rest unless everything goes.
void EscapingStreamBuf::Emit(bool all) {
  size_t upTo = all ? pending_.size() : pending_.rfind('\n');
  if (upTo == std::string::npos) {
    upTo = pending_.size();
    // back over the continuation bytes and the lead byte of a character that may be cut off
    size_t back = 0;
    while (back < 3 && back < upTo && (static_cast<unsigned char>(pending_[upTo - 1 - back]) & 0xC0) == 0x80)
      ++back;
    if (back < upTo && static_cast<unsigned char>(pending_[upTo - 1 - back]) >= 0xC0) upTo -= back + 1;
  } else if (!all) {
    ++upTo;
  }
  const std::string out = EscapeControls(std::string_view(pending_).substr(0, upTo), true);
  target_->sputn(out.data(), static_cast<std::streamsize>(out.size()));
  pending_.erase(0, upTo);
}

}  // namespace zynta::cli
