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

// A node of a version resource: its length, its value's length, (UTF-16
// only) the value's type, the key with its zero, padding to 4 bytes, the
// value, padding, the children.  `wide` writes UTF-16 (PE), else 8-bit (NE).
struct CraftVersionNode {
    std::string key;
    std::vector<std::uint8_t> value;
    std::uint16_t valueLength = 0;  // as written in the node: bytes, or UTF-16 units for text
    bool text = false;              // value type 1 (text), else 0 (binary)
    std::vector<CraftVersionNode> children;
};

inline void PadTo4(std::vector<std::uint8_t>& b) { b.resize((b.size() + 3) & ~std::size_t{3}, 0); }

inline std::vector<std::uint8_t> CraftVersionBlock(const CraftVersionNode& node, bool wide) {
    std::vector<std::uint8_t> b;
    PutLE16(b, 0, 0);                         // wLength, set below
    PutLE16(b, 2, node.valueLength);          // wValueLength
    if (wide) PutLE16(b, 4, node.text ? 1 : 0);  // wType
    for (const char c : node.key) {           // szKey, ASCII
        b.push_back(static_cast<std::uint8_t>(c));
        if (wide) b.push_back(0);
    }
    b.resize(b.size() + (wide ? 2 : 1), 0);   // its terminator
    PadTo4(b);
    b.insert(b.end(), node.value.begin(), node.value.end());  // Value
    for (const CraftVersionNode& child : node.children) {
        PadTo4(b);
        const std::vector<std::uint8_t> bytes = CraftVersionBlock(child, wide);
        b.insert(b.end(), bytes.begin(), bytes.end());         // Children
    }
    PutLE16(b, 0, static_cast<std::uint16_t>(b.size()));
    return b;
}

// UTF-16LE code units with their terminating zero.
inline std::vector<std::uint8_t> Utf16(std::u16string_view text) {
    std::vector<std::uint8_t> b;
    for (const char16_t c : text) {
        b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        b.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    b.insert(b.end(), {0, 0});
    return b;
}

// A UTF-16 string of a string table; its value length counts units and the zero.
inline CraftVersionNode WideString(std::string key, std::u16string_view value) {
    return {std::move(key), Utf16(value), static_cast<std::uint16_t>(value.size() + 1), true, {}};
}

// The tree every version resource has: a root with a fixed-info value, the
// string table of one translation, and the translation list.
inline CraftVersionNode CraftVersionTree(std::string table, std::vector<CraftVersionNode> strings,
                                         std::vector<std::uint8_t> translations) {
    const auto count = static_cast<std::uint16_t>(translations.size());
    return {"VS_VERSION_INFO", std::vector<std::uint8_t>(52, 0), 52, false,  // VS_FIXEDFILEINFO, unread
            {{"StringFileInfo", {}, 0, true, {{std::move(table), {}, 0, true, std::move(strings)}}},
             {"VarFileInfo", {}, 0, true, {{"Translation", std::move(translations), count, false, {}}}}}};
}

inline ExeAnalysis Analyze(const std::vector<std::uint8_t>& bytes) {
    ExeAnalysis exe;
    AnalyzeExecutable(CMemoryByteSource(bytes), exe);
    return exe;
}

// The whole executable analysis as a report runs it, without the checksum.
inline ExeAnalysis Report(const std::vector<std::uint8_t>& bytes) {
    return ReportExecutable(CMemoryByteSource(bytes), false);
}

inline std::vector<std::uint8_t> ReadPeFixture(const std::string& name) { return ReadFixture("pe/" + name); }

// The line of `text` that starts with `prefix`, without its end; "(none)" if absent.
inline std::string LineStarting(const std::string& text, std::string_view prefix) {
    const std::string lines = "\n" + text;
    const std::size_t at = lines.find("\n" + std::string(prefix));
    return at == std::string::npos ? "(none)" : lines.substr(at + 1, lines.find_first_of("\r\n", at + 1) - at - 1);
}

// The part of `text` from the start of `from` to the start of `to` (or the end).
inline std::string Between(const std::string& text, std::string_view from, std::string_view to) {
    const std::size_t start = text.find(from);
    if (start == std::string::npos) return "(none)";
    const std::size_t end = text.find(to, start + from.size());
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

inline std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace quiddity::test
