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
    // Imported DLLs, by name regardless of case
    bool mfc40 = false;
    bool mfc42 = false;
    bool mfc70 = false;
    bool mfc71 = false;
    bool mfc80 = false;
    bool msvcrt = false;
    bool msvcrt40 = false;
    bool msvcr70 = false;
    bool msvcr71 = false;
    bool crtdll = false;
    bool lz32 = false;
    bool msvbvm50 = false;
    bool msvbvm60 = false;
    bool mscoree = false;
    // Exported names of plug-in kinds
    bool premiereCompiler = false;
    bool premiereFilter = false;
    bool premiereImport = false;
    bool premierePlay = false;
    bool premiereRecord = false;
    bool premiereTransition = false;
    bool photoshop = false;
    bool genericPlugin = false;
    bool acd2 = false;
    bool acd = false;
    bool winamp = false;
    bool comServer = false;
    bool controlPanel = false;
    bool acmCodec = false;
    bool isapiVersion = false;  // the two exports an ISAPI extension needs
    bool isapiProc = false;
    bool virtualDub = false;
    bool peid = false;
    // Exported names of Total Commander plug-ins, counted as met
    unsigned wcx = 0;
    unsigned wdx = 0;
    unsigned wfx = 0;
    unsigned wlx = 0;
    // Version-resource names of self-extractor stubs
    bool wextract = false;
    bool sfxExe = false;
    bool sfxpackExe = false;
    bool vuAlbum = false;
    // Runtime modules among an NE file's imported names
    bool vbrun100 = false;
    bool vbrun200 = false;
    bool vbrun300 = false;
    bool bwcc = false;
    bool bc30rtl = false;
    bool bc40rtl = false;
    bool bc450rtl = false;
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

// The bytes with control bytes and the bytes 0x7F, 0x81, 0x8D, 0x8F, 0x90,
// 0x9D, 0xAD shown as "."; others are copied unchanged.  Names from the
// file pass through it, so no control byte reaches a terminal.
std::string PrintableName(std::string_view bytes);

// The same for the first 32 bytes at most.
std::string PrintableText(std::span<const std::uint8_t> bytes);

// The text before the first zero byte of bytes, or all of them.
std::string_view TextUpToZero(std::span<const std::uint8_t> bytes);

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

// The strings of the version resource, into the version text, and the
// clues their names give (VersionInfo.cpp).  Reads the file on its own, so
// it works whatever the rest of the analysis made of it.
void ReadVersionInfo(const IByteSource& source, ExeAnalysis& exe);

// The clue lines of everything the analysis met, in their fixed order,
// appended to the clue text (ClueLines.cpp).
void WriteClueLines(ExeAnalysis& exe);

}  // namespace quiddity
