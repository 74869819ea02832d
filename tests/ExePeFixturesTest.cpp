// The executable report of real PE files built with mingw-w64, checked
// against objdump from binutils where it prints the same facts.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

constexpr const char* kObjdump = "x86_64-w64-mingw32-objdump";  // reads pei-i386 too

const char* const kFixtures[] = {"hello32.exe",  "hello64.exe",  "gui32.exe",       "gui64.exe",
                                 "plugin32.dll", "plugin64.dll", "resources32.exe", "symbols32.exe",
                                 "buildid32.exe", "appended32.exe"};

std::uint32_t Hex(const std::string& text) { return static_cast<std::uint32_t>(std::stoull(text, nullptr, 16)); }

// What objdump -p -h says: "Field value" lines, data directories, sections.
struct ObjdumpFacts {
    std::map<std::string, std::string> fields;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> directories;  // rva, size
    struct Section { std::string name; std::uint32_t virtualSize, vma, fileOffset; };
    std::vector<Section> sections;
};

ObjdumpFacts RunObjdump(const std::string& path) {
    ObjdumpFacts facts;
    std::istringstream lines(RunCommand(std::string(kObjdump) + " -p -h '" + path + "' 2>/dev/null"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first, name, a, b, lma, c;
        words >> first;
        if (line.rfind("Time/Date\t", 0) == 0) {
            facts.fields[first] = line.substr(line.find_first_not_of('\t', 10));
        } else if (first == "Entry" && line.find("Directory") != std::string::npos) {
            words >> a >> b >> c;
            facts.directories.emplace_back(Hex(b), Hex(c));
        } else if (!first.empty() && std::isdigit(static_cast<unsigned char>(first[0])) &&
                   line.find("2**") != std::string::npos) {
            words >> name >> a >> b >> lma >> c;
            facts.sections.push_back({name, Hex(a), Hex(b), Hex(c)});
        } else if (!first.empty() && words >> a) {
            facts.fields.emplace(first, a);
        }
    }
    return facts;
}

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
        ObjdumpFacts facts = RunObjdump(Fixture(std::string("pe/") + name));
        const ExeAnalysis exe = Analyze(ReadPeFixture(name));
        const std::string& d = exe.detailsText;
        const bool is64 = facts.fields["Magic"] == "020b";
        EXPECT_EQ(exe.is64, is64);
        EXPECT_EQ(LineStarting(d, "MZ"), std::string("MZ, PE00, ") +
                                             (is64 ? "AMD 64 (K8) 'x64', 64-bit, " : "Intel 32-bit (i386), 32-bit, ") +
                                             subsystems.at(facts.fields["Subsystem"]));
        const bool dll = Hex(facts.fields["Characteristics"]) & 0x2000;
        EXPECT_NE(d.find(dll ? "\r\nExecutable, DLL\r\n" : "\r\nExecutable\r\n"), std::string::npos);
        EXPECT_EQ(LineStarting(d, "Creation date"), "Creation date...: " + facts.fields["Time/Date"]);
        EXPECT_EQ(LineStarting(d, "Entrypoint"), Format("Entrypoint......: %08X", Hex(facts.fields["AddressOfEntryPoint"])));
        EXPECT_EQ(LineStarting(d, "     Starts with: ").size(), 18u + 48u);  // in .text: 24 bytes shown
        EXPECT_EQ(LineStarting(d, "Linker version"),
                  "Linker version..: " + facts.fields["MajorLinkerVersion"] + "." + facts.fields["MinorLinkerVersion"]);
        EXPECT_EQ(LineStarting(d, "Sections"), Format("Sections........: %zu", facts.sections.size()));
        const std::uint32_t headers = Hex(facts.fields["SizeOfHeaders"]);
        EXPECT_EQ(LineStarting(d, "  Headers"), Format("  Headers: %08X 00000000 %08X", headers, headers - 1));
        if (is64) {
            EXPECT_TRUE(d.ends_with(LineStarting(d, "  Headers") + "\r\n"));  // nothing after the headers line
            continue;
        }

        // Each section line: file offset and name as objdump reads them.
        std::size_t index = 0;
        for (std::size_t at = d.find("\n  Section: "); at != std::string::npos; at = d.find("\n  Section: ", at + 1)) {
            ASSERT_LT(index, facts.sections.size());
            const ObjdumpFacts::Section& s = facts.sections[index++];
            EXPECT_EQ(d.substr(at + 21, 8), Format("%08X", s.fileOffset));
            EXPECT_EQ(d.substr(at + 39, s.name.size() + 2), s.name + " (");
        }
        EXPECT_EQ(index, facts.sections.size());

        // Plain directory lines: the size, and the range through the sections.
        const std::uint32_t imageBase = Hex(facts.fields["ImageBase"]);
        for (const auto& [dir, label] : {std::pair{3, " Exception"}, {5, " BaseReloc"}, {9, " TLS"}, {12, " IAT"}}) {
            const auto [rva, size] = facts.directories.at(dir);
            std::string expected = LineStarting(d, label).substr(0, 18) + Format("%08X", size);
            for (const ObjdumpFacts::Section& s : facts.sections) {
                const std::uint32_t va = s.vma - imageBase;
                if (size != 0 && rva >= va && rva < va + s.virtualSize) {
                    expected += Format("  %08X - %08X", rva - va + s.fileOffset, rva - va + s.fileOffset + size - 1);
                }
            }
            EXPECT_EQ(LineStarting(d, label), expected);
        }
        EXPECT_EQ(LineStarting(d, "Image base"), Format("Image base......: %08X", imageBase));
        EXPECT_EQ(LineStarting(d, "RVA Entries"), Format("RVA Entries.....: %u", Hex(facts.fields["NumberOfRvaAndSizes"])));
    }
}

TEST(ExePeFixtures, WhatEachFixtureIsFor) {
    // Resources: types counted, the two named types summed.
    std::string d = Analyze(ReadPeFixture("resources32.exe")).detailsText;
    const std::size_t counts = d.find('\n', d.find(" Resource dir...: ")) + 1;
    EXPECT_EQ(d.substr(counts, d.find(" Exception") - counts),
              "      Menus........: 1\n"
              "      Dialogs......: 2\n"
              "      String tables: 2\n"
              "      RCData.......: 1\n"
              "      Versions.....: 1\n"
              "      Unknown/named: 3\n");

    // A build id makes the linker write a CodeView entry.
    d = Analyze(ReadPeFixture("buildid32.exe")).detailsText;
    EXPECT_NE(LineStarting(d, " Debug").find("(1 entries)"), std::string::npos);
    EXPECT_NE(d.find("Debug type: Codeview      size: "), std::string::npos);
    EXPECT_NE(d.find(" sig: RSDS PDB7.0 (external)\r\n Arch./Copyright"), std::string::npos);

    // Symbols kept: a COFF symbol count and a rest holding the symbol table.
    d = Analyze(ReadPeFixture("symbols32.exe")).detailsText;
    EXPECT_NE(LineStarting(d, "COFF symbols"), "COFF symbols....: 0");
    EXPECT_NE(d.find("  Rest   : "), std::string::npos);
    const std::string hello = Analyze(ReadPeFixture("hello32.exe")).detailsText;
    EXPECT_EQ(LineStarting(hello, "COFF symbols"), "COFF symbols....: 0");
    EXPECT_EQ(hello.find("  Rest"), std::string::npos);

    // Data appended after the last section: the gzip stream the script added.
    const ExeAnalysis appended = Analyze(ReadPeFixture("appended32.exe"));
    const auto plain = static_cast<unsigned>(ReadPeFixture("hello32.exe").size());
    const auto longer = static_cast<unsigned>(ReadPeFixture("appended32.exe").size());
    EXPECT_EQ(LineStarting(appended.detailsText, "  Rest"),
              Format("  Rest   : %08X %08X %08X", longer - plain, plain, longer - 1));
    EXPECT_EQ(LineStarting(appended.detailsText, "    Rest starts with: ").substr(0, 25), "    Rest starts with: .\x8B.");
    EXPECT_TRUE(appended.clues.gzip);

    // Real mingw stubs carry no packer marks.
    for (const char* name : kFixtures) EXPECT_TRUE(Analyze(ReadPeFixture(name)).stubClueText.empty()) << name;
}
