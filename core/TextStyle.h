// The six text styles in which every piece of a report is written.  The
// values are those the rich-text pane is given; each pane maps them onto
// what its medium offers (terminal attributes, CSS, Qt fonts).
#pragma once

#include <cstdint>
#include <string_view>

namespace quiddity {

enum class EStyle : std::uint8_t { Heading, Normal, Gray, Fixed, FixedGray, Oem };

// Character-format mask bits, as the rich-text control defines them.
inline constexpr std::uint32_t CFM_BOLD = 0x00000001;
inline constexpr std::uint32_t CFM_CHARSET = 0x08000000;
inline constexpr std::uint32_t CFM_FACE = 0x20000000;
inline constexpr std::uint32_t CFM_COLOR = 0x40000000;
inline constexpr std::uint32_t CFM_SIZE = 0x80000000;
inline constexpr std::uint8_t OEM_CHARSET = 255;
inline constexpr std::uint8_t FIXED_PITCH = 1;

struct CTextStyle {
    EStyle id;
    std::string_view face;       // "Arial", "System" or "Courier New"
    int heightTwips;             // 1/20 of a point
    bool bold;
    std::uint32_t colour;        // 0x00BBGGRR
    std::uint8_t charSet;
    std::uint8_t pitchAndFamily;
    std::uint32_t mask;
};

// A 0x00BBGGRR colour in its three parts.
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
constexpr Rgb SplitColour(std::uint32_t colour) {
    return {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
            static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
}

// The report pane's background, 0x00BBGGRR.
inline constexpr std::uint32_t kPaneBackground = 0xFFEEEE;

inline constexpr std::uint32_t kMaskProportional = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_BOLD;
inline constexpr std::uint32_t kMaskFixed = kMaskProportional | CFM_CHARSET;

struct CTextStyles {
    CTextStyle m_cfHeading{EStyle::Heading, "Arial", 260, true, 0x0000C8, 0, 0, kMaskProportional};
    CTextStyle m_cfNormal{EStyle::Normal, "System", 180, true, 0x000000, 0, 0, kMaskProportional};
    CTextStyle m_cfGray{EStyle::Gray, "System", 180, true, 0x969696, 0, 0, kMaskProportional};
    CTextStyle m_cfFixed{EStyle::Fixed, "Courier New", 180, false, 0x000000, OEM_CHARSET, 0, kMaskFixed};
    CTextStyle m_cfFixedGray{EStyle::FixedGray, "Courier New", 180, false, 0x969696, OEM_CHARSET, 0, kMaskFixed};
    CTextStyle m_cfOem{EStyle::Oem, "Courier New", 180, false, 0x000000, OEM_CHARSET, FIXED_PITCH, kMaskFixed};

    const CTextStyle& ById(EStyle id) const;
};

// The styles every report uses; they never change once built.
const CTextStyles& InitTextStyles();

}  // namespace quiddity
