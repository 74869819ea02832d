// Packer, self-extractor and DOS-extender marks in the DOS stub.
#include <algorithm>
#include <array>
#include <string_view>

#include "executable/ExeSteps.h"

namespace quiddity {

namespace {

// The marks lie in the first 256 bytes; go32 stubs put theirs at 0x200.
constexpr std::size_t kStubBytes = 256;
constexpr std::uint64_t kGo32StubOffset = 0x200;

struct StubMark {
    std::size_t offset;
    std::string_view text;  // compared regardless of case
    const char* line;
    bool versioned;         // line takes "%d.%d" from the two bytes before the text
};

constexpr std::array<StubMark, 18> kStubMarks{{
    {0x82, "self-extracting ZIP file", "ZIP self-extracting archive (16-bit)\r\n", false},
    {0x55, "UPX!", "UPX for DOS self-extracting archive\r\n", false},
    {0x25, "LHarc's SFX", "LHarc 1.x self-extracting archive\r\n", false},
    {0x24, "LHa's SFX", "LHa 2.x self-extracting archive\r\n", false},
    {0x24, "LH's SFX", "LH self-extracting archive\r\n", false},
    {0x20, "SFX by LARC", "LARC self-extracting archive\r\n", false},
    {0x1C, "PMODSTUB", "RAR DOS self-extracting archive (pmodstub.exe)\r\n", false},
    {0x1C, "RJSX", "ARJ self-extracting archive (old type)\r\n", false},
    {0x1C, "DIET", "Diet compressed exe\r\n", false},
    {0x1C, "XE32", "X-pack for exe 32bit compressed exe\r\n", false},
    {0x1C, "XPAC", "XPACK for DOS compressed exe\r\n", false},
    {0x1C, "LZ09", "LZExe 0.90 compressed exe\r\n", false},
    {0x1C, "LZ91", "LZExe 0.91 compressed exe\r\n", false},
    {0x1C, "RSFX", "RAR for DOS self-extracting archive\r\n", false},
    {0x1E, "YRZLITE", "YRZLite (Yellow Rose) compressed exe\r\n", false},
    {0x1E, "PKLITE", "PKLite %d.%d compressed exe\r\n", true},
    {0xBF, "DOS32.EXE", "DOS32.EXE 32-bit dos app\r\n", false},
    {0x42, "PKlite", "PKLite %d.%d compressed exe\r\n", true},
}};
static_assert(std::ranges::all_of(kStubMarks, [](const StubMark& mark) {
    return mark.versioned ? FormatTakes(mark.line, "dd") : FormatTakes(mark.line, "");
}));

// Four stubs are told by numbers rather than text (little-endian values).
struct StubNumbers {
    bool (*matches)(const CByteReader& stub);
    const char* line;
};

constexpr std::array<StubNumbers, 4> kStubNumbers{{
    {[](const CByteReader& s) { return s.ReadLE32(0x1C) == 0x018A0001 && s.ReadLE16(0x20) == 0x1565; },
     "Topspeed C 3.0 Crunch compressed exe\r\n"},
    {[](const CByteReader& s) { return s.ReadLE32(0x1C) == 0x00020001 && s.ReadLE16(0x20) == 0x0700; },
     "PKArc 3.5 self-extracting archive\r\n"},
    {[](const CByteReader& s) { return s.ReadLE16(0x1C) == 0x0001 && s.Byte(0x1E) == 0xFB; },
     "Borland TLink app\r\n"},
    {[](const CByteReader& s) { return s.ReadLE16(0x1C) == 0x000F && s.Byte(0x1E) == 0xA7; },
     "BSA (Soviet archiver) self-extracting archive\r\n"},
}};

}  // namespace

void CheckDosStub(const IByteSource& source, ExeAnalysis& exe) {
    const std::vector<std::uint8_t> head = ReadBlock(source, 0, kStubBytes);
    if (head.size() == kStubBytes) {
        const CByteReader stub(head.data(), head.size());
        for (const StubMark& mark : kStubMarks) {
            if (!stub.MatchesAnyCase(mark.offset, mark.text)) continue;
            if (mark.versioned)
                AppendFormat(exe.stubClueText, mark.line, stub.Byte(mark.offset - 1) & 0x0F, stub.Byte(mark.offset - 2));
            else
                exe.stubClueText += mark.line;
        }
        for (const StubNumbers& row : kStubNumbers)
            if (row.matches(stub)) exe.stubClueText += row.line;
    }
    const std::vector<std::uint8_t> go32 = ReadBlock(source, kGo32StubOffset, kStubBytes);
    if (go32.size() == kStubBytes && CByteReader(go32.data(), go32.size()).MatchesAnyCase(0, "go32stub"))
        exe.stubClueText += "go32stub 32-bit dos app\r\n";
}

}  // namespace quiddity
