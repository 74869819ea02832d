// The working state of one executable analysis and the pieces every step of
// it shares: where the bytes come from, formatted appends, printable text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/ByteReader.h"
#include "core/ByteSource.h"
#include "core/TextFormat.h"
#include "executable/ExeStructs.h"

namespace quiddity {

// Evidence met during the analysis; each flag names what it saw.  The clue
// lines are written from these at the end of the report.
struct ExeClues {
    // MZ header
    bool innoStub = false;   // "Inno" at 0x30
    bool lzexe = false;      // "LZ91" at 0x1C
    // DOS appended data
    bool dosZipSfx = false;  // ZIP local header
    bool dosArjSfx = false;  // ARJ header mark
    // PE section names
    bool upx = false;
    bool zipSfx = false;     // "_winzip_" section, or a ZIP local header in the rest
    bool neoLite = false;
    bool petite = false;
    bool wwpack32 = false;
    bool wise = false;       // ".WISE" section, or "Wise" in the rest
    // PE rest (data after the last section)
    bool rarSfx = false;
    bool gzip = false;
    bool arjData = false;
    bool cab = false;
    bool uharc = false;
    bool installShield = false;
    bool stuffit = false;
    bool sevenZip = false;
    bool nsis = false;
    bool zlb = false;
    bool exe2perl = false;
};

struct ExeAnalysis {
    std::uint64_t fileSize = 0;
    std::string checksumText;  // empty, or 8 upper-case hex digits
    std::string versionText;
    std::string stubClueText;  // DOS-stub packer lines and the data-section check
    std::string clueText;      // entry-point code lines, then the clue lines
    std::string detailsText;
    bool is64 = false;
    ExeClues clues;
    std::array<std::uint8_t, kMzHeaderBytes> mzHeader{};
    std::uint32_t newHeaderOffset = 0;                        // e_lfanew
    std::array<std::uint8_t, kNtHeaders64Bytes> newHeader{};  // read there
};

// The first 32 bytes at most, with control bytes and the bytes 0x7F, 0x81,
// 0x8D, 0x8F, 0x90, 0x9D, 0xAD shown as "."; others are copied unchanged.
std::string PrintableText(std::span<const std::uint8_t> bytes);

// Cuts the given characters from the end of text.
void TrimEnd(std::string& text, std::string_view characters);

// The analysis of the file's bytes: DOS header, new-format dispatch, PE
// analysis, DOS-stub checks.  Fills the details, clue and stub clue texts
// and the clues, and takes the file size from the source; the checksum and
// version text are not touched.
void AnalyzeExecutable(const IByteSource& source, ExeAnalysis& exe);

// The executable analysis of one report: the checksum when asked for (and
// the file is not too large for it), the analysis of the headers, the
// version information and the clue lines.
ExeAnalysis ReportExecutable(const IByteSource& source, bool withChecksum);

// Steps filled in with the import, export, version-resource, NE/LE/LX and
// clue-line analyses; each appends to the texts of `exe`.
void ReadVersionInfo(const IByteSource& source, ExeAnalysis& exe);
void WriteClueLines(ExeAnalysis& exe);

}  // namespace quiddity
