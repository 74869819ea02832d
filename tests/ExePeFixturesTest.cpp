// The executable report of real PE files built with mingw-w64, checked
// against objdump from binutils where it prints the same facts.
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <sstream>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

constexpr const char* kObjdump = "x86_64-w64-mingw32-objdump";  // reads pei-i386 too

const char* const kFixtures[] = {"hello32.exe",   "hello64.exe",    "gui32.exe",      "gui64.exe",
                                 "plugin32.dll",  "plugin64.dll",   "resources32.exe", "symbols32.exe",
                                 "buildid32.exe", "appended32.exe", "plugins32.dll",  "isapi32.dll",
                                 "mfc71.exe",     "mfc42.exe",      "runtimes32.exe", "version32.exe",
                                 "version64.exe", "exports64.dll",  "ordinal64.exe",  "tls64.exe"};

std::uint32_t Hex(const std::string& text) { return static_cast<std::uint32_t>(std::stoull(text, nullptr, 16)); }

// What follows `key` on the line of objdump's output that starts with it, without the blanks before.
std::string After(const std::string& out, const std::string& key) {
    const std::size_t at = out.find("\n" + key);
    if (at == std::string::npos) return "";
    const std::size_t from = out.find_first_not_of(" \t", at + 1 + key.size());
    return out.substr(from, out.find('\n', from) - from);
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

std::string Field(const std::string& out, const std::string& key) { return Words(After(out, key) + " ?").at(0); }
std::uint32_t HexField(const std::string& out, const std::string& key) { return Hex(Field(out, key)); }

std::string Format(const char* format, auto... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace

TEST(ExePeFixtures, HeadersSectionsAndDirectoriesMatchObjdump) {
    int status = -1;
    RunCommand(std::string(kObjdump) + " --version >/dev/null 2>&1", &status);
    if (status != 0) GTEST_SKIP() << kObjdump << " is not installed";
    const std::map<std::string, std::string> subsystems{{"00000002", "Windows GUI"}, {"00000003", "Windows Console"}};
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const std::string path = Fixture(std::string("pe/") + name);
        const std::string headers = "\n" + RunCommand(std::string(kObjdump) + " -p '" + path + "' 2>/dev/null");
        const std::string table = "\n" + RunCommand(std::string(kObjdump) + " -h '" + path + "' 2>/dev/null");
        std::vector<std::vector<std::string>> sections;  // name, size, VMA, LMA, file offset, alignment
        while (!After(table, Format("%3zu ", sections.size())).empty()) {
            sections.push_back(Words(After(table, Format("%3zu ", sections.size()))));
        }
        const ExeAnalysis exe = Analyze(ReadPeFixture(name));
        const std::string& d = exe.detailsText;
        const bool is64 = HexField(headers, "Magic") == 0x20B;
        EXPECT_EQ(exe.is64, is64);
        EXPECT_EQ(LineStarting(d, "MZ"), std::string("MZ, PE00, ") +
                                             (is64 ? "AMD 64 (K8) 'x64', 64-bit, " : "Intel 32-bit (i386), 32-bit, ") +
                                             subsystems.at(Field(headers, "Subsystem")));
        const bool dll = HexField(headers, "Characteristics") & 0x2000;
        EXPECT_NE(d.find(dll ? "\r\nExecutable, DLL\r\n" : "\r\nExecutable\r\n"), std::string::npos);
        EXPECT_EQ(LineStarting(d, "Creation date"), "Creation date...: " + After(headers, "Time/Date"));
        EXPECT_EQ(LineStarting(d, "Entrypoint"), Format("Entrypoint......: %08X", HexField(headers, "AddressOfEntryPoint")));
        EXPECT_EQ(LineStarting(d, "     Starts with: ").size(), 18u + 48u);  // in .text: 24 bytes shown
        EXPECT_EQ(LineStarting(d, "Linker version"),
                  "Linker version..: " + Field(headers, "MajorLinkerVersion") + "." + Field(headers, "MinorLinkerVersion"));
        EXPECT_EQ(LineStarting(d, "Sections"), Format("Sections........: %zu", sections.size()));
        const std::uint32_t headerSize = HexField(headers, "SizeOfHeaders");
        EXPECT_EQ(LineStarting(d, "  Headers"), Format("  Headers: %08X 00000000 %08X", headerSize, headerSize - 1));

        // Each section line: file offset and name as objdump reads them.
        std::size_t index = 0;
        for (std::size_t at = d.find("\n  Section: "); at != std::string::npos; at = d.find("\n  Section: ", at + 1)) {
            ASSERT_LT(index, sections.size());
            const std::vector<std::string>& s = sections[index++];
            EXPECT_EQ(d.substr(at + 21, 8), Format("%08X", Hex(s.at(4))));
            EXPECT_EQ(d.substr(at + 39, s[0].size() + 2), s[0] + " (");
        }
        EXPECT_EQ(index, sections.size());

        // Plain directory lines: the size, and the range through the sections.
        // Section RVAs are the low 32 bits of VMA minus ImageBase, in PE32+ too.
        const std::uint32_t imageBase = HexField(headers, "ImageBase");
        for (const auto& [dir, label] : {std::pair{3, " Exception"}, {5, " BaseReloc"}, {9, " TLS"}, {12, " IAT"}}) {
            const std::vector<std::string> entry = Words(After(headers, Format("Entry %x ", dir)));
            const std::uint32_t rva = Hex(entry.at(0)), size = Hex(entry.at(1));
            std::string expected = LineStarting(d, label).substr(0, 18) + Format("%08X", size);
            for (const std::vector<std::string>& s : sections) {
                const std::uint32_t va = Hex(s[2]) - imageBase;
                if (size != 0 && rva >= va && rva < va + Hex(s[1])) {
                    expected += Format("  %08X - %08X", rva - va + Hex(s[4]), rva - va + Hex(s[4]) + size - 1);
                }
            }
            EXPECT_EQ(LineStarting(d, label), expected);
        }
        const unsigned long long wideImageBase = std::stoull(Field(headers, "ImageBase"), nullptr, 16);
        EXPECT_EQ(LineStarting(d, "Image base"), Format(is64 ? "Image base......: %016llX" : "Image base......: %08llX",
                                                        wideImageBase));
        EXPECT_EQ(LineStarting(d, "RVA Entries"), Format("RVA Entries.....: %u", HexField(headers, "NumberOfRvaAndSizes")));
    }
}

TEST(ExePeFixtures, ImportsAndExportsMatchObjdump) {
    int status = -1;
    RunCommand(std::string(kObjdump) + " --version >/dev/null 2>&1", &status);
    if (status != 0) GTEST_SKIP() << kObjdump << " is not installed";
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const ExeAnalysis exe = Analyze(ReadPeFixture(name));
        const std::string out = "\n" + RunCommand(std::string(kObjdump) + " -p '" + Fixture(std::string("pe/") + name) + "'");

        // Every "DLL Name:" of objdump's import tables, in its order.
        std::string imports = " Imports:\r\n";
        for (std::size_t at = out.find("\tDLL Name: "); at != std::string::npos; at = out.find("\tDLL Name: ", at + 1))
            imports += "      " + out.substr(at + 11, out.find('\n', at) - at - 11) + "\r\n";
        if (imports == " Imports:\r\n") imports += "      (none)\r\n";
        EXPECT_EQ(Between(exe.detailsText, " Imports:", " Resource dir"), imports);

        // The name pointer table, each name numbered from the ordinal base.
        std::string exports = " Exports:\n";
        constexpr std::string_view kNameTable = "\n[Ordinal/Name Pointer] Table\n";
        const std::size_t table = out.find(kNameTable);
        if (table == std::string::npos) {
            exports += "      (none)\r\n";
        } else {
            const unsigned base = static_cast<unsigned>(std::stoul(Field(out, "Ordinal Base")));
            exports += Format("  names/functions: %u/%u\r\n    RVA of names: %u\n",
                              HexField(out, "\t[Name Pointer/Ordinal] Table"), HexField(out, "\tExport Address Table"),
                              HexField(out, "\tName Pointer Table"));
            std::istringstream lines(out.substr(table + kNameTable.size()));
            // Numbered by position in the table from the base, which is
            // not the ordinal where a DLL exports by ordinal alone too.
            unsigned position = 0;
            for (std::string line; std::getline(lines, line) && line.starts_with("\t[");) {
                const std::vector<std::string> words = Words(line.substr(line.find(']') + 1));
                exports += Format("        %u: %s\n", base + position++, words.at(0).c_str());
            }
        }
        EXPECT_EQ(Between(exe.detailsText, " Exports:", " Imports:"), exports);
    }
}
