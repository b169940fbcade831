#pragma once
// What the user typed, made safe to repeat in a one-line message.

#include <cstddef>
#include <string>
#include <string_view>

namespace varnolith {

// The text with control characters written as escapes (\n, \t, \x1b) and
// bytes that are not UTF-8 as \xNN, so a message stays one line and whole
// characters stay whole.
std::string shown_text(std::string_view text);

// The whole character that starts at byte `at` (one to four bytes of UTF-8),
// shown as above; empty past the end.
std::string shown_char(std::string_view text, std::size_t at);

// 'x': the character at byte `at`, shown as above, in single quotes; and the
// same for one byte.
std::string quoted(std::string_view text, std::size_t at);
std::string quoted_char(char c);

} // namespace varnolith
