#pragma once
// Text from outside (cells, arguments, file names) made safe to show: no control character
// reaches a terminal as itself, and JSON strings stay valid UTF-8.

#include <streambuf>
#include <string>
#include <string_view>

#include "units/utf8.h"

namespace zynta::cli {

using units::Utf8SequenceAt;

// The text with every control character (C0, DEL, the C1 controls; line feed and tab only
// when `keepLineBreaks` is false) and every byte of no UTF-8 character written as \xNN, so
// that a terminal shows it instead of obeying it.
std::string EscapeControls(std::string_view text, bool keepLineBreaks = false);

// A stream buffer that passes everything on to `target` through EscapeControls, line by line
// (a UTF-8 character split between two writes stays whole). For the standard streams when
// they are terminals.
class EscapingStreamBuf : public std::streambuf {
 public:
  explicit EscapingStreamBuf(std::streambuf* target) : target_(target) {}
  ~EscapingStreamBuf() override;
  EscapingStreamBuf(const EscapingStreamBuf&) = delete;
  EscapingStreamBuf& operator=(const EscapingStreamBuf&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  void Emit(bool all);

  std::streambuf* target_;
  std::string pending_;
};

}  // namespace zynta::cli
