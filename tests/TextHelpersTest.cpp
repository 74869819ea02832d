#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <vector>

#include "core/TextHelpers.h"

using namespace quiddity;

namespace {

std::string Utf16Le(const std::vector<std::uint8_t>& bytes, std::size_t units) {
    std::string out = "<";
    AppendUtf16LeAsUtf8(bytes, units, out);
    return out;
}

std::string Windows1252(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    AppendWindows1252AsUtf8(bytes, out);
    return out;
}

std::string Dotted(std::string text) {
    DotControlCharacters(text);
    return text;
}

}  // namespace

TEST(TextHelpers, Utf16LittleEndian) {
    // "é", then U+1F600 as a surrogate pair, then "!"
    const std::vector<std::uint8_t> text{0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x21, 0x00};
    EXPECT_EQ(Utf16Le(text, 4), "<\xC3\xA9\xF0\x9F\x98\x80!");
    EXPECT_EQ(Utf16Le(text, 100), "<\xC3\xA9\xF0\x9F\x98\x80!");  // never past the bytes
    EXPECT_EQ(Utf16Le(text, 2), "<\xC3\xA9\xEF\xBF\xBD");         // the pair cut by the count: unpaired
    // A low surrogate alone, an odd last byte, and the text ends at U+0000.
    EXPECT_EQ(Utf16Le({0x00, 0xDC, 0x41, 0x00, 0x42}, 3), "<\xEF\xBF\xBD" "A");
    EXPECT_EQ(Utf16Le({0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, 3), "<A");
}

TEST(TextHelpers, Utf16BigEndianKeepsZeros) {
    std::string out;
    AppendUtf16BeAsUtf8(std::vector<std::uint8_t>{0x00, 0x41, 0x00, 0x00, 0xD8, 0x3D, 0x00, 0x42}, out);
    EXPECT_EQ(out, std::string("A\0\xEF\xBF\xBD" "B", 6));
}

TEST(TextHelpers, Windows1252AndControls) {
    EXPECT_EQ(Windows1252({'C', 'a', 'f', 0xE9, ' ', 0x80, 0x85, 0x9F}), "Caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\xA6\xC5\xB8");
    // A hole of the code page is a C1 control, which a one-line text shows as ".".
    EXPECT_EQ(Dotted(Windows1252({'a', 0x81, 'b', '\n', 0x7F, '\t'})), "a.b...");
    // NEL, the line separator and a bidirectional override; é and € stay.
    EXPECT_EQ(Dotted("1\xC2\x85" "2\xE2\x80\xA8" "3\xE2\x80\xAE" "4\xE2\x81\xA6" "\xC3\xA9\xE2\x82\xAC"),
              "1.2.3.4.\xC3\xA9\xE2\x82\xAC");
}

TEST(TextHelpers, FileTimesAgreeWithTheCLibrary) {
    CalendarTime time;
    ASSERT_TRUE(FileTimeToCalendar(0, time));
    EXPECT_EQ(std::vector<unsigned>({time.year, time.month, time.day, time.hour, time.minute}),
              std::vector<unsigned>({1601, 1, 1, 0, 0}));
    // 2024-02-29 23:59:58.123, as seconds since 1970 plus the 369 years before.
    constexpr std::uint64_t kTicks1970 = 116444736000000000;
    ASSERT_TRUE(FileTimeToCalendar(kTicks1970 + 1709251198ull * 10'000'000 + 1'230'000, time));
    EXPECT_EQ(std::vector<unsigned>({time.year, time.month, time.day, time.hour, time.minute, time.second,
                                     time.millisecond}),
              std::vector<unsigned>({2024, 2, 29, 23, 59, 58, 123}));

    // The C library's calendar over random moments from 1601 to 9999.
    std::mt19937_64 random(16);
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t ticks = random() % 2'650'467'743'990'000'000ull;
        ASSERT_TRUE(FileTimeToCalendar(ticks, time));
        const std::time_t seconds =
            static_cast<std::time_t>(static_cast<std::int64_t>(ticks / 10'000'000) - 11644473600);
        std::tm utc{};
        ASSERT_NE(::gmtime_r(&seconds, &utc), nullptr);
        EXPECT_EQ(time.year, static_cast<unsigned>(utc.tm_year + 1900)) << ticks;
        EXPECT_EQ(time.month, static_cast<unsigned>(utc.tm_mon + 1)) << ticks;
        EXPECT_EQ(time.day, static_cast<unsigned>(utc.tm_mday)) << ticks;
        EXPECT_EQ(time.hour * 3600 + time.minute * 60 + time.second,
                  static_cast<unsigned>(utc.tm_hour * 3600 + utc.tm_min * 60 + utc.tm_sec))
            << ticks;
    }

    // The last moment of 30827 converts; 30828 and 2^63 on do not.
    ASSERT_TRUE(FileTimeToCalendar(0x7FFF35F4F06C7FFF, time));
    EXPECT_EQ(std::vector<unsigned>({time.year, time.month, time.day}), std::vector<unsigned>({30827, 12, 31}));
    EXPECT_FALSE(FileTimeToCalendar(0x7FFF35F4F06C8000, time));
    EXPECT_FALSE(FileTimeToCalendar(0x7FFFFFFFFFFFFFFF, time));
    EXPECT_FALSE(FileTimeToCalendar(0x8000000000000000, time));
    EXPECT_FALSE(FileTimeToCalendar(0xFFFFFFFFFFFFFFFF, time));
}
