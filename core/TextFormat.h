// printf-style formatting into the growing report texts.
#pragma once

#include <string>

namespace quiddity {

// Appends printf-formatted text to out, however long it comes out.
[[gnu::format(printf, 2, 3)]] void AppendFormat(std::string& out, const char* format, ...);

// The same, as a new text.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

}  // namespace quiddity
