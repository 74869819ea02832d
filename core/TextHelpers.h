// Texts that files store in Windows encodings, made UTF-8 for the report,
// and the file times of Windows made calendar dates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quiddity {

// Appends at most `units` little-endian UTF-16 code units from bytes (never
// past them) as UTF-8.  Ends at U+0000; an unpaired surrogate becomes U+FFFD.
void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::size_t units, std::string& out);

// The same for big-endian UTF-16, every unit of bytes, U+0000 included.
void AppendUtf16BeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out);

// Appends each byte as its Windows-1252 character in UTF-8; the five bytes
// the code page leaves undefined become the C1 controls of their value.
void AppendWindows1252AsUtf8(std::span<const std::uint8_t> bytes, std::string& out);

// True when bytes are well-formed UTF-8 sequences throughout.
bool IsValidUtf8(std::span<const std::uint8_t> bytes);

// Appends each byte as its code page 437 character in UTF-8 (the ASCII
// half as it is): the names of DOS and of older ZIP archives.
void AppendCp437AsUtf8(std::span<const std::uint8_t> bytes, std::string& out);

// Makes every control character of UTF-8 text (C0, DEL, C1, the Unicode
// line and paragraph separators and the bidirectional overrides) a ".", so
// that a text taken from a file stays on its one line and cannot forge
// another.
void DotControlCharacters(std::string& utf8);

// The same but for TAB, LF and CR, for texts that may hold several lines.
void DotControlCharactersButLineBreaks(std::string& utf8);

// A moment as Windows writes it, without a time zone.
struct CalendarTime {
    unsigned year = 0;
    unsigned month = 0;  // 1..12
    unsigned day = 0;    // 1..31
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    unsigned millisecond = 0;
};

// Converts a file time (100-nanosecond ticks since 1601-01-01 00:00).  False
// for the values Windows refuses (2^63 and above) and for a year outside
// 1601..30827.
bool FileTimeToCalendar(std::uint64_t fileTime, CalendarTime& time);

}  // namespace quiddity
