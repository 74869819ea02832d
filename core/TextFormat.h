// Formatting into the growing report texts: printf-style, UTF-8, and the
// rule of which bytes show as themselves.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quiddity {

// Appends printf-formatted text to out, however long it comes out.
[[gnu::format(printf, 2, 3)]] void AppendFormat(std::string& out, const char* format, ...);

// The same, as a new text.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// False for the bytes the 8-bit displays never show: the controls below
// 0x20 and 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xAD (a "." stands for them).
constexpr bool IsPrintableByte(unsigned char byte) {
    switch (byte) {
        case 0x7F: case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: case 0xAD: return false;
        default: return byte >= 0x20;
    }
}

// True when the printf format takes exactly these conversions, by their
// letters in order ("%08X - %llu" takes "Xu"; "%%" takes none).  Tables of
// formats are checked with it where they stand, as the compiler checks a
// literal format.
constexpr bool FormatTakes(std::string_view format, std::string_view conversions) {
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        ++i;
        while (i < format.size() && std::string_view("-+ #0123456789.hlLqjzt").find(format[i]) != std::string_view::npos)
            ++i;
        if (i == format.size()) return false;
        if (format[i] == '%') continue;
        if (next == conversions.size() || format[i] != conversions[next]) return false;
        ++next;
    }
    return next == conversions.size();
}

// ASCII letters in lower case; every other byte as it is (no locale).
constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Text comparisons with ASCII letters compared regardless of case (no
// locale, so the result never depends on the machine).
constexpr bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}
constexpr bool EqualsAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithAnyCase(a, b);
}

// Appends the UTF-8 form of one Unicode code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The character that report bytes stand for: a valid UTF-8 sequence, or
// else one byte as its Latin-1 character.
struct ReportCharacter {
    char32_t codePoint;
    std::size_t length;  // bytes it takes; 0 only for an empty text
};
ReportCharacter DecodeReportCharacter(std::string_view text);

// True for the characters no pane shows as themselves, since a terminal
// obeys them or a display breaks or reorders the line by them: the controls
// other than TAB, LF and CR (C0, DEL and the C1 range, where U+009B opens
// an escape sequence), the line and paragraph separators, and the
// bidirectional embeddings, overrides and isolates.
constexpr bool IsControlOrOverride(char32_t c) {
    if (c < 0x20) return c != U'\t' && c != U'\n' && c != U'\r';
    return (c >= 0x7F && c <= 0x9F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace quiddity
