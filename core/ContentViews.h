// The two content views besides the report: the beginning of a file as a
// hex dump or as text, plainly or in the PC (code page 437) glyphs of a DOS
// screen.  Each view replaces the whole pane and leaves it at its top.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/ByteSource.h"
#include "core/ReportPane.h"
#include "core/TextFormat.h"
#include "core/TextStyle.h"

namespace quiddity {

// Only the beginning of a file is shown, whatever its size.
inline constexpr std::size_t kHexViewLimit = 2048;
inline constexpr std::size_t kTextViewLimit = 4096;

// The character each byte shows as on a PC screen (UTF-16 code units).
extern const std::array<char16_t, 256> g_awOemGlyphs;

// The DOS displays' fonts: Courier New in the OEM character set, 15 pixels
// high in the hex view and 16 in the text view (1 pixel = 15 twips at 96 dpi).
inline constexpr CTextStyle kDosHexFont{EStyle::Oem, "Courier New", 15 * 15, false, 0x000000, OEM_CHARSET, 0x30,
                                        kMaskFixed};
inline constexpr CTextStyle kDosTextFont{EStyle::Oem, "Courier New", 16 * 15, false, 0x000000, OEM_CHARSET, 0x30,
                                         kMaskFixed};


// The texts of the views, built from bytes already read.  The hex and DOS
// texts are UTF-8; the plain text view keeps the file's bytes (the pane
// turns them into UTF-8).
std::string BuildHexViewText(std::span<const std::uint8_t> bytes, bool showOffsets);
std::string BuildDosHexViewText(std::span<const std::uint8_t> bytes);
std::string BuildTextViewText(std::span<const std::uint8_t> bytes);
std::string BuildDosTextViewText(std::span<const std::uint8_t> bytes);

// The views: read the beginning of the file at path and write the pane.
// A file that cannot be opened shows a one-line message; the views return
// its errno value then, 0 otherwise.
int ShowHexView(IReportPane& pane, const CTextStyles& styles, const std::string& path, bool showOffsets,
                bool dosMode);
int ShowTextView(IReportPane& pane, const CTextStyles& styles, const std::string& path);
int ShowDosTextView(IReportPane& pane, const CTextStyles& styles, const std::string& path);

// The same over a source already open (a file on a share); null stands for
// a file that could not be opened.
void ShowHexView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source, bool showOffsets,
                 bool dosMode);
void ShowTextView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source);
void ShowDosTextView(IReportPane& pane, const CTextStyles& styles, const IByteSource* source);

}  // namespace quiddity
