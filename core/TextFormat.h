// Formatting into the growing report texts: printf-style, and UTF-8.
#pragma once

#include <string>

namespace quiddity {

// Appends printf-formatted text to out, however long it comes out.
[[gnu::format(printf, 2, 3)]] void AppendFormat(std::string& out, const char* format, ...);

// The same, as a new text.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// Appends the UTF-8 form of one Unicode code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace quiddity
