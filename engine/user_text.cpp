#include "user_text.hpp"

#include <cstdio>

namespace varnolith {

namespace {

// Bytes in the UTF-8 character that `lead` starts, or 0 when it starts none.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xc2 && lead <= 0xdf) return 2;
    if (lead >= 0xe0 && lead <= 0xef) return 3;
    if (lead >= 0xf0 && lead <= 0xf4) return 4;
    return 0;
}

// The length of a well-formed character at `at`, or 0. Overlong forms and
// surrogates are let through: the text is only shown, never decoded.
std::size_t character_at(std::string_view text, std::size_t at) {
    const std::size_t length = sequence_length(static_cast<unsigned char>(text[at]));
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xc0) != 0x80) return 0;
    return length;
}

std::string escaped_byte(unsigned char byte) {
    switch (byte) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
    }
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

// One character (or one stray byte) and how many bytes it took.
std::size_t append_one(std::string_view text, std::size_t at, std::string& out) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = character_at(text, at);
    if (length == 1 && byte >= 0x20 && byte != 0x7f && byte != '\\') {
        out += static_cast<char>(byte);
        return 1;
    }
    if (length == 1 && byte == '\\') {
        out += "\\\\";
        return 1;
    }
    // U+0080 to U+009F are control characters too.
    const bool c1_control = length == 2 && byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
    if (length > 1 && !c1_control) {
        out.append(text.substr(at, length));
        return length;
    }
    if (c1_control) {
        char code[8];
        std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(text[at + 1]));
        out += code;
        return 2;
    }
    out += escaped_byte(byte);
    return 1;
}

} // namespace

std::string shown_text(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) at += append_one(text, at, out);
    return out;
}

std::string shown_char(std::string_view text, std::size_t at) {
    std::string out;
    if (at < text.size()) append_one(text, at, out);
    return out;
}

// Built by appending, which GCC 12 does not mistake for an overlapping copy.
std::string quoted(std::string_view text, std::size_t at) {
    std::string q(1, '\'');
    q += shown_char(text, at);
    q += '\'';
    return q;
}

std::string quoted_char(char c) { return quoted(std::string_view(&c, 1), 0); }

} // namespace varnolith
