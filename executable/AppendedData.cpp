// Marks of self-extractors and installers in data appended to an executable.
#include "executable/ExeSteps.h"

#include <string_view>

namespace quiddity {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kZipLocalHeader = "PK\x03\x04"sv;
constexpr std::string_view kArjHeader = "\x60\xEA"sv;

}  // namespace

void ScanDosAppendedData(std::span<const std::uint8_t> bytes, ExeClues& clues) {
    const CByteReader rest(bytes);
    for (std::size_t i = 0; i + 4 < rest.Size(); ++i) {
        if (rest.Matches(i, kZipLocalHeader)) clues.dosZipSfx = true;
        if (rest.Matches(i, kArjHeader)) clues.dosArjSfx = true;
    }
}

void ScanPeRest(std::span<const std::uint8_t> bytes, ExeClues& clues) {
    // Every comparison needs all its bytes among those read (Matches checks).
    const CByteReader rest(bytes);
    const std::size_t n = rest.Size();
    if (n > 4) {
        if (rest.Matches(0, "Rar!")) clues.rarSfx = true;
        if (rest.Matches(0, "\x1F\x8B"sv)) clues.gzip = true;
        if (rest.Matches(0, kArjHeader)) clues.arjData = true;
        if (rest.Matches(0, "MSCF")) clues.cab = true;
        if (rest.Matches(0, "UHA")) clues.uharc = true;
    }
    if (n > 13) {
        if (rest.Matches(0, "InstallShield")) clues.installShield = true;
        if (rest.Matches(0, "\x9A\xC1\x89\xE7\x33\x0E\x26\xC6"sv)) clues.stuffit = true;
        for (std::size_t i = 0; i + 8 < n; ++i) {
            if (rest.Matches(i, kZipLocalHeader)) clues.zipSfx = true;
            if (rest.Matches(i, "7z")) clues.sevenZip = true;
            if (rest.Matches(i, "NullsoftInst")) clues.nsis = true;
            if (rest.Matches(i, "Wise")) clues.wise = true;
            if (rest.Matches(i, "zlb")) clues.zlb = true;
        }
    }
    if (n > 20 && rest.Matches(0, "dbload 1.0 signature")) clues.exe2perl = true;
}

}  // namespace quiddity
