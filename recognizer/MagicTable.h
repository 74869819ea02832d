// Four-byte magics at the start of a file, looked up in a table: each row
// holds the magic, the text it appends and, for a few, a reader that appends
// details from the head.
//
//   constexpr MagicRow kRows[] = {
//       Text("%PDF", "Adobe Acrobat PDF"),
//       Bytes(0x49, 0x49, 0x2A, 0x00, "TIFF ", AppendTiffByteOrder),
//   };
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "recognizer/Recognition.h"

namespace quiddity {

using MagicDetail = void (*)(CRecognition&);

struct MagicRow {
    // The four head bytes at offset 0 read as one little-endian value, so a
    // lookup costs one comparison per row.
    std::uint32_t magic = 0;
    std::string_view text;
    MagicDetail detail = nullptr;
};

constexpr std::uint32_t MagicOf(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return std::uint32_t{b0} | (std::uint32_t{b1} << 8) | (std::uint32_t{b2} << 16) | (std::uint32_t{b3} << 24);
}

// A magic written as its four characters.
constexpr MagicRow Text(const char (&magic)[5], std::string_view text, MagicDetail detail = nullptr) {
    return {MagicOf(static_cast<std::uint8_t>(magic[0]), static_cast<std::uint8_t>(magic[1]),
                    static_cast<std::uint8_t>(magic[2]), static_cast<std::uint8_t>(magic[3])),
            text, detail};
}
// A magic written as its four bytes in file order.
constexpr MagicRow Bytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::string_view text,
                          MagicDetail detail = nullptr) {
    return {MagicOf(b0, b1, b2, b3), text, detail};
}

// True when no magic stands twice in the tables: a repeated one could never
// be reached.
constexpr bool MagicsAreUnique(std::span<const MagicRow> first, std::span<const MagicRow> second) {
    const auto countIn = [](std::span<const MagicRow> rows, std::uint32_t magic) {
        std::size_t count = 0;
        for (const MagicRow& row : rows) count += row.magic == magic ? 1 : 0;
        return count;
    };
    for (const MagicRow& row : first)
        if (countIn(first, row.magic) + countIn(second, row.magic) != 1) return false;
    for (const MagicRow& row : second)
        if (countIn(first, row.magic) + countIn(second, row.magic) != 1) return false;
    return true;
}

// Looks the first four head bytes up in `first`, then in `second`; the first
// equal row appends its text, sets the found mark and runs its detail
// reader.  Returns Matched or NoMatch.
ETest LookUpMagic(CRecognition& r, std::span<const MagicRow> first, std::span<const MagicRow> second);

// The two tables of group 4, for tools that list what the recognizer compares.
std::span<const MagicRow> TextMagicRows();
std::span<const MagicRow> NumberMagicRows();

}  // namespace quiddity
