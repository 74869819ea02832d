// Executables built byte by byte for the executable-analysis tests.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "executable/ExeAnalysis.h"

namespace quiddity::test {

// Crafted PE32 layout: new header right after the DOS header, a 224-byte
// optional header, the section table after it.
inline constexpr std::size_t kCraftNt = 0x40;
inline constexpr std::size_t kCraftCoff = kCraftNt + 4;
inline constexpr std::size_t kCraftOpt = kCraftNt + 24;
inline constexpr std::size_t kCraftDirs = kCraftOpt + 96;
inline constexpr std::size_t kCraftSections = kCraftOpt + 224;

inline std::vector<std::uint8_t> CraftMz(std::uint16_t pages, std::uint16_t lastPageBytes, std::uint32_t lfanew,
                                         std::size_t fileSize) {
    std::vector<std::uint8_t> b(fileSize, 0);
    PutText(b, 0x00, "MZ");            // e_magic
    PutLE16(b, 0x02, lastPageBytes);   // e_cblp
    PutLE16(b, 0x04, pages);           // e_cp
    PutLE32(b, 0x3C, lfanew);          // e_lfanew
    return b;
}

struct CraftSection {
    std::string_view name;
    std::uint32_t virtualAddress, rawSize, rawPointer, flags;
};

// A PE32 i386 console program with the given sections, padded to fileSize.
inline std::vector<std::uint8_t> CraftPe(const std::vector<CraftSection>& sections, std::size_t fileSize) {
    std::vector<std::uint8_t> b = CraftMz(0, 0, kCraftNt, fileSize);
    PutText(b, kCraftNt, std::string_view("PE\0\0", 4));
    PutLE16(b, kCraftCoff + 0, 0x014C);                                        // Machine: i386
    PutLE16(b, kCraftCoff + 2, static_cast<std::uint16_t>(sections.size()));   // NumberOfSections
    PutLE32(b, kCraftCoff + 4, 0x80000000);                                    // TimeDateStamp: past signed 32 bits
    PutLE16(b, kCraftCoff + 16, 224);                                          // SizeOfOptionalHeader
    PutLE16(b, kCraftCoff + 18, 0x0102);                                       // Characteristics: executable
    PutLE16(b, kCraftOpt + 0, 0x10B);                                          // Magic: PE32
    b[kCraftOpt + 2] = 6;                                                      // MajorLinkerVersion
    b[kCraftOpt + 3] = 1;                                                      // MinorLinkerVersion
    PutLE32(b, kCraftOpt + 16, 0x1000);                                        // AddressOfEntryPoint
    PutLE32(b, kCraftOpt + 20, 0x1000);                                        // BaseOfCode
    PutLE32(b, kCraftOpt + 28, 0x400000);                                      // ImageBase
    PutLE32(b, kCraftOpt + 36, 0x200);                                         // FileAlignment
    PutLE32(b, kCraftOpt + 56, 0x4000);                                        // SizeOfImage
    PutLE32(b, kCraftOpt + 60, 0x200);                                         // SizeOfHeaders
    PutLE16(b, kCraftOpt + 68, 3);                                             // Subsystem: console
    PutLE32(b, kCraftOpt + 92, 16);                                            // NumberOfRvaAndSizes
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t at = kCraftSections + 40 * i;
        PutText(b, at, sections[i].name);
        PutLE32(b, at + 8, sections[i].rawSize);          // VirtualSize
        PutLE32(b, at + 12, sections[i].virtualAddress);
        PutLE32(b, at + 16, sections[i].rawSize);         // SizeOfRawData
        PutLE32(b, at + 20, sections[i].rawPointer);      // PointerToRawData
        PutLE32(b, at + 36, sections[i].flags);           // Characteristics
    }
    b.resize(fileSize);
    return b;
}

// .text at RVA 0x1000 (file 0x200..0x3FF), .rsrc at RVA 0x2000 (file
// 0x400..0x7FF); the file ends with the sections.
inline std::vector<std::uint8_t> CraftTwoSectionPe() {
    return CraftPe({{".text", 0x1000, 0x200, 0x200, 0x60000020}, {".rsrc", 0x2000, 0x400, 0x400, 0x40000040}},
                   0x800);
}

inline void SetDirectory(std::vector<std::uint8_t>& b, std::size_t index, std::uint32_t rva, std::uint32_t size) {
    PutLE32(b, kCraftDirs + 8 * index, rva);
    PutLE32(b, kCraftDirs + 8 * index + 4, size);
}

inline ExeAnalysis Analyze(const std::vector<std::uint8_t>& bytes) {
    ExeAnalysis exe;
    AnalyzeExecutable(CMemoryByteSource(bytes), exe);
    return exe;
}

inline std::vector<std::uint8_t> ReadPeFixture(const std::string& name) {
    std::ifstream in(Fixture("pe/" + name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The line of `text` that starts with `prefix`, without its end; "(none)" if absent.
inline std::string LineStarting(const std::string& text, std::string_view prefix) {
    const std::string lines = "\n" + text;
    const std::size_t at = lines.find("\n" + std::string(prefix));
    return at == std::string::npos ? "(none)" : lines.substr(at + 1, lines.find_first_of("\r\n", at + 1) - at - 1);
}

inline std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace quiddity::test
