#include "core/TextHelpers.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "core/ByteReader.h"
#include "core/TextFormat.h"

namespace quiddity {

namespace {

// Windows-1252 for 0x80 to 0x9F; its five holes keep their own value.
// 0xA0 to 0xFF are their Latin-1 characters.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

// Decodes UTF-16 units one after another; a high surrogate followed by a low
// one is one code point, any other surrogate is U+FFFD.
void AppendUtf16(const CByteReader& bytes, std::size_t units, bool bigEndian, bool endAtZero, std::string& out) {
    auto unitAt = [&](std::size_t i) -> char32_t { return bigEndian ? bytes.ReadBE16(2 * i) : bytes.ReadLE16(2 * i); };
    units = std::min(units, bytes.Size() / 2);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit == 0 && endAtZero) return;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
}

// File times count 100-nanosecond ticks.
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kTicksPerDay = 86'400 * kTicksPerSecond;
// Windows takes no file time from 2^63 on.
constexpr std::uint64_t kFirstRefusedFileTime = std::uint64_t{1} << 63;
constexpr unsigned kLastYear = 30827;
// Days from 0000-03-01 (the start of the proleptic Gregorian 400-year
// cycle that the calendar arithmetic below counts in) to 1601-01-01.
constexpr std::uint64_t kDaysBefore1601 = 584'694;
constexpr std::uint64_t kDaysPerEra = 146'097;  // 400 years

// TAB and the line ends as well unless kept: the text stays on its one line.
void DotControls(std::string& utf8, bool keepLineBreaks) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const ReportCharacter c = DecodeReportCharacter(std::string_view(utf8).substr(i));
        if ((!keepLineBreaks && c.codePoint < 0x20) || IsControlOrOverride(c.codePoint)) shown.push_back('.');
        else shown.append(utf8, i, c.length);
        i += c.length;
    }
    utf8 = std::move(shown);
}

}  // namespace

void AppendUtf16LeAsUtf8(std::span<const std::uint8_t> bytes, std::size_t units, std::string& out) {
    AppendUtf16(CByteReader(bytes), units, false, true, out);
}

void AppendUtf16BeAsUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
    AppendUtf16(CByteReader(bytes), bytes.size() / 2, true, false, out);
}

void AppendWindows1252AsUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
    for (const std::uint8_t byte : bytes) {
        if (byte < 0x80) out.push_back(static_cast<char>(byte));
        else if (byte < 0xA0) AppendUtf8(out, kWindows1252High[byte - 0x80]);
        else AppendUtf8(out, byte);
    }
}

bool IsValidUtf8(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::uint8_t lead = bytes[i];
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || bytes.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// The upper half of code page 437 (the IBM PC's character set).
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void AppendCp437AsUtf8(std::span<const std::uint8_t> bytes, std::string& out) {
    for (const std::uint8_t byte : bytes) {
        if (byte < 0x80) out.push_back(static_cast<char>(byte));
        else AppendUtf8(out, kCp437High[byte - 0x80]);
    }
}

void DotControlCharacters(std::string& utf8) { DotControls(utf8, false); }

void DotControlCharactersButLineBreaks(std::string& utf8) { DotControls(utf8, true); }

bool FileTimeToCalendar(std::uint64_t fileTime, CalendarTime& time) {
    if (fileTime >= kFirstRefusedFileTime) return false;
    const std::uint64_t ticks = fileTime % kTicksPerDay;
    // Days counted in years that begin on 1 March, so that the leap day is
    // the last day of its year (H. Hinnant, "chrono-Compatible Low-Level
    // Date Algorithms", civil_from_days).
    const std::uint64_t days = fileTime / kTicksPerDay + kDaysBefore1601;
    const std::uint64_t era = days / kDaysPerEra;
    const std::uint64_t dayOfEra = days % kDaysPerEra;
    const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
    const unsigned month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const std::uint64_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    if (year > kLastYear) return false;

    time.year = static_cast<unsigned>(year);
    time.month = month;
    time.day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const std::uint64_t seconds = ticks / kTicksPerSecond;
    time.hour = static_cast<unsigned>(seconds / 3600);
    time.minute = static_cast<unsigned>(seconds / 60 % 60);
    time.second = static_cast<unsigned>(seconds % 60);
    time.millisecond = static_cast<unsigned>(ticks % kTicksPerSecond / 10'000);
    return true;
}

}  // namespace quiddity
