#pragma once
// The bits of SVG text that the picture's parts all write.

#include <string>

namespace varnolith {

// Safe inside an element or an attribute.
std::string escaped(const std::string& text);

// "%.*f": the same digits on every run and machine.
std::string fixed(double value, int decimals);

// <text x=".." y=".." class="..">text, escaped</text> and a newline.
std::string text_at(int x, int y, const std::string& css, const std::string& text);

} // namespace varnolith
