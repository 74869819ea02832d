#include "core/ContentViews.h"

#include <cstdio>
#include <vector>

#include "core/ReadOnlyFile.h"
#include "core/TextHelpers.h"
#include "core/TextFormat.h"

namespace quiddity {

namespace {

constexpr std::size_t kHexBytesPerLine = 16;
constexpr std::size_t kTextLineLength = 64;

void AppendHexPart(std::string& out, std::span<const std::uint8_t> bytes, std::size_t lineStart) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = lineStart; i < lineStart + kHexBytesPerLine; ++i) {
        if (i >= bytes.size()) {
            out += "   ";
            continue;
        }
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 0x0F]);
        out.push_back(' ');
    }
}

// The first `limit` bytes of a source; a failed read counts as a short one.
std::vector<std::uint8_t> ReadBeginning(const IByteSource& source, std::size_t limit) {
    std::vector<std::uint8_t> bytes(limit);
    bytes.resize(source.ReadAt(0, bytes));
    return bytes;
}

// Runs a view over the file at path, or over no source when it cannot be
// opened; returns 0 or the errno value.
template <typename FView>
int WithFile(const std::string& path, FView view) {
    CReadOnlyFile file;
    if (!file.Open(path)) {
        view(nullptr);
        return file.Error();
    }
    const CFileByteSource source(file);
    view(&source);
    return 0;
}

}  // namespace

// Code page 437 as the PC screen draws it, with the glyphs this display
// has always used in place of a few of the code page's own.
const std::array<char16_t, 256> g_awOemGlyphs{
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A,
    0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x03C0, 0x00A7, 0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190,
    0x221F, 0x2194, 0x25B2, 0x25BC,
    // 0x20 to 0x7E are themselves
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D,
    0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049,
    0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065,
    0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073,
    0x0074, 0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    // 0x80
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC,
    0x00C4, 0x00C5,
    // 0x90
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5,
    0x20A7, 0x20A3,
    // 0xA0
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00B0, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1,
    0x00AB, 0x00BB,
    // 0xB0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C,
    0x255B, 0x2510,
    // 0xC0
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567,
    // 0xD0
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C,
    0x2590, 0x2580,
    // 0xE0
    0x03B1, 0x03B2, 0x0393, 0x03A0, 0x03A3, 0x03C3, 0x03BC, 0x03C4, 0x039E, 0x03B8, 0x03A9, 0x03B4, 0x221E, 0x00F8,
    0x20AC, 0x2229,
    // 0xF0
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00BA, 0x25AA, 0x0387, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x25AB,
};


std::string BuildHexViewText(std::span<const std::uint8_t> bytes, bool showOffsets) {
    std::string text;
    for (std::size_t k = 0; k < bytes.size(); k += kHexBytesPerLine) {
        if (showOffsets) {
            char offset[24];
            std::snprintf(offset, sizeof offset, "%03zX:", k);
            text += offset;
        }
        for (std::size_t i = k; i < k + kHexBytesPerLine; ++i) {
            if (i >= bytes.size()) text.push_back(' ');
            else if (!IsPrintableByte(bytes[i])) text.push_back('.');
            else AppendWindows1252AsUtf8(bytes.subspan(i, 1), text);  // one character per byte keeps the columns
        }
        text += "  ";
        AppendHexPart(text, bytes, k);
        text += "\r\n";
    }
    return text;
}

std::string BuildDosHexViewText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t k = 0; k < bytes.size(); k += kHexBytesPerLine) {
        text.push_back(' ');
        for (std::size_t i = k; i < k + kHexBytesPerLine; ++i)
            AppendUtf8(text, i < bytes.size() ? g_awOemGlyphs[bytes[i]] : u' ');
        text += "  ";
        AppendHexPart(text, bytes, k);
        text.push_back('\n');
    }
    return text;
}

std::string BuildTextViewText(std::span<const std::uint8_t> bytes) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string text;
    std::string line;
    std::size_t columns = 0;  // characters in line; a UTF-8 character takes one
    bool spaceRun = false;
    bool afterBreak = false;
    auto endLine = [&] {
        text += line;
        text += "\r\n";
        line.clear();
        columns = 0;
    };
    for (std::size_t i = 0; i < all.size();) {
        const std::uint8_t c = bytes[i];
        // A valid UTF-8 sequence is one character; every other byte is one
        // character of its own, as the pane shows it.
        const ReportCharacter character = c < 0x80 ? ReportCharacter{c, 1} : DecodeReportCharacter(all.substr(i));
        const std::size_t length = character.length;
        const bool printable = length > 1 ? !IsControlOrOverride(character.codePoint) : IsPrintableByte(c);
        if (columns == kTextLineLength) endLine();
        if (c == '\r' || c == '\n') {
            if (!afterBreak) {
                endLine();
                afterBreak = true;
                spaceRun = false;
            }
        } else if (!printable) {
            if (spaceRun) {
                afterBreak = false;
            } else {
                line.push_back(' ');
                ++columns;
                spaceRun = true;
            }
        } else {
            line.append(all.substr(i, length));
            ++columns;
            spaceRun = false;
            afterBreak = false;
        }
        i += length;
    }
    endLine();
    return text;
}

std::string BuildDosTextViewText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t c : bytes) {
        if (c == '\r') continue;
        if (c == '\n') text.push_back('\n');
        else AppendUtf8(text, g_awOemGlyphs[c]);
    }
    return text;
}

void ShowHexView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source, bool showOffsets,
                 bool dosMode) {
    pane.BeginReport();
    if (source == nullptr) {
        pane.AppendStyledText("(unable to open file)", styles.m_cfFixed);
    } else {
        const std::vector<std::uint8_t> bytes = ReadBeginning(*source, kHexViewLimit);
        if (dosMode) pane.AppendStyledText(BuildDosHexViewText(bytes), kDosHexFont);
        else pane.AppendStyledText(BuildHexViewText(bytes, showOffsets), styles.m_cfFixed);
    }
    pane.EndReport();
}

void ShowTextView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source) {
    pane.BeginReport();
    pane.AppendStyledText(source != nullptr ? BuildTextViewText(ReadBeginning(*source, kTextViewLimit)) : "(Unable to open file)",
                          styles.m_cfFixed);
    pane.EndReport();
}

void ShowDosTextView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source) {
    pane.BeginReport();
    if (source != nullptr) pane.AppendStyledText(BuildDosTextViewText(ReadBeginning(*source, kTextViewLimit)), kDosTextFont);
    else pane.AppendStyledText("(Unable to open file)", styles.m_cfFixed);
    pane.EndReport();
}

int ShowHexView(IReportPane& pane, const CTextStyles& styles, const std::string& path, bool showOffsets,
                bool dosMode) {
    return WithFile(path, [&](const IByteSource* source) { ShowHexView(pane, styles, source, showOffsets, dosMode); });
}

int ShowTextView(IReportPane& pane, const CTextStyles& styles, const std::string& path) {
    return WithFile(path, [&](const IByteSource* source) { ShowTextView(pane, styles, source); });
}

int ShowDosTextView(IReportPane& pane, const CTextStyles& styles, const std::string& path) {
    return WithFile(path, [&](const IByteSource* source) { ShowDosTextView(pane, styles, source); });
}

}  // namespace quiddity
