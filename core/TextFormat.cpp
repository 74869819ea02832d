#include "core/TextFormat.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace quiddity {

namespace {

void AppendFormatList(std::string& out, const char* format, va_list args) {
    char small[256];
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    if (needed >= 0 && static_cast<std::size_t>(needed) < sizeof small) {
        out.append(small, static_cast<std::size_t>(needed));
    } else if (needed > 0) {
        std::vector<char> large(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(large.data(), large.size(), format, again);
        out.append(large.data(), static_cast<std::size_t>(needed));
    }
    va_end(again);
}

}  // namespace

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatList(out, format, args);
    va_end(args);
}

std::string Format(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    AppendFormatList(out, format, args);
    va_end(args);
    return out;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    const std::uint32_t cp = codePoint;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

ReportCharacter DecodeReportCharacter(std::string_view text) {
    if (text.empty()) return {0, 0};
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char b = p[0];
    std::size_t len = 0;
    std::uint32_t min = 0;
    std::uint32_t cp = 0;
    if (b < 0x80) return {b, 1};
    if ((b & 0xE0) == 0xC0) { len = 2; min = 0x80; cp = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { len = 3; min = 0x800; cp = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { len = 4; min = 0x10000; cp = b & 0x07; }
    else return {b, 1};
    if (len > text.size()) return {b, 1};
    for (std::size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return {b, 1};
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and surrogates are no valid UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {b, 1};
    return {cp, len};
}

}  // namespace quiddity
