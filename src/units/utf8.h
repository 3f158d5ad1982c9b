#pragma once
// Well-formed UTF-8 (RFC 3629, section 4): no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.

#include <cstddef>
#include <string_view>

namespace zynta::units {

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4), 0 when the bytes there
// are none: a stray continuation byte, an overlong form, a surrogate, a code point beyond
// U+10FFFF or a sequence cut short.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);

// Whether the whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace zynta::units
