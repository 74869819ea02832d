// The executable report of real PE files built with mingw-w64, checked
// against objdump from binutils where it prints the same facts.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "TestSupport.h"
#include "core/InfoReport.h"
#include "core/ReadOnlyFile.h"
#include "executable/ExeAnalysis.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;

namespace {

constexpr const char* kObjdump = "x86_64-w64-mingw32-objdump";  // reads pei-i386 too

const char* const kFixtures[] = {"hello32.exe",  "hello64.exe",     "gui32.exe",     "gui64.exe",
                                 "plugin32.dll", "plugin64.dll",    "resources32.exe", "symbols32.exe",
                                 "buildid32.exe", "appended32.exe"};

// What objdump -p -h says about a file.
struct ObjdumpFacts {
    std::map<std::string, std::string> fields;  // "Magic" -> "010b" and the like
    struct Section {
        std::string name;
        std::uint32_t vma = 0;
        std::uint32_t virtualSize = 0;
        std::uint32_t fileOffset = 0;
    };
    std::vector<Section> sections;
    std::vector<std::uint32_t> directorySizes;
    std::vector<std::uint32_t> directoryRvas;
    std::string format;  // "pei-i386", "pei-x86-64"
};

std::uint32_t Hex(const std::string& text) { return static_cast<std::uint32_t>(std::stoull(text, nullptr, 16)); }

ObjdumpFacts RunObjdump(const std::string& path) {
    ObjdumpFacts facts;
    std::istringstream lines(RunCommand(std::string(kObjdump) + " -p -h '" + path + "' 2>/dev/null"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (line.find("file format ") != std::string::npos) {
            facts.format = line.substr(line.find("file format ") + 12);
        } else if (line.rfind("Time/Date\t", 0) == 0) {
            facts.fields["Time/Date"] = line.substr(line.find_first_not_of('\t', 10));
        } else if (first == "Entry" && line.find("Directory") != std::string::npos) {
            std::string index, rva, size;
            words >> index >> rva >> size;
            facts.directoryRvas.push_back(Hex(rva));
            facts.directorySizes.push_back(Hex(size));
        } else if (!first.empty() && std::isdigit(static_cast<unsigned char>(first[0])) &&
                   line.find("2**") != std::string::npos) {
            ObjdumpFacts::Section s;
            std::string size, vma, lma, off;
            words >> s.name >> size >> vma >> lma >> off;
            s.virtualSize = Hex(size);
            s.vma = Hex(vma);
            s.fileOffset = Hex(off);
            facts.sections.push_back(s);
        } else if (!first.empty()) {
            std::string value;
            words >> value;
            facts.fields.emplace(first, value);
        }
    }
    return facts;
}

bool ObjdumpAvailable() {
    int status = -1;
    RunCommand(std::string(kObjdump) + " --version >/dev/null 2>&1", &status);
    return status == 0;
}

ExeAnalysis AnalyzeFixture(const std::string& name) {
    ExeAnalysis exe;
    CReadOnlyFile file;
    if (file.Open(Fixture("pe/" + name))) AnalyzeExecutable(CFileByteSource(file), exe);
    return exe;
}

std::string Line(const std::string& text, std::string_view prefix) {
    const std::size_t at = text.find(prefix);
    if (at == std::string::npos) return "(none)";
    return text.substr(at, text.find_first_of("\r\n", at) - at);
}

std::string Format(const char* format, auto... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

const std::map<std::string, std::string> kSubsystemNames{{"00000002", "Windows GUI"},
                                                         {"00000003", "Windows Console"}};

}  // namespace

TEST(ExePeFixtures, HeaderLinesMatchObjdump) {
    if (!ObjdumpAvailable()) GTEST_SKIP() << kObjdump << " is not installed";
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const ObjdumpFacts facts = RunObjdump(Fixture(std::string("pe/") + name));
        const ExeAnalysis exe = AnalyzeFixture(name);
        const std::string& d = exe.detailsText;
        const bool is64 = facts.fields.at("Magic") == "020b";
        EXPECT_EQ(exe.is64, is64);
        const std::string machine = facts.format == "pei-x86-64" ? "AMD 64 (K8) 'x64'" : "Intel 32-bit (i386)";
        EXPECT_EQ(Line(d, "MZ, PE00"), "MZ, PE00, " + machine + (is64 ? ", 64-bit, " : ", 32-bit, ") +
                                           kSubsystemNames.at(facts.fields.at("Subsystem")));
        const bool dll = Hex(facts.fields.at("Characteristics")) & 0x2000;
        EXPECT_NE(d.find(dll ? "\r\nExecutable, DLL\r\n" : "\r\nExecutable\r\n"), std::string::npos);
        EXPECT_EQ(Line(d, "Creation date"), "Creation date...: " + facts.fields.at("Time/Date"));
        const std::uint32_t entry = Hex(facts.fields.at("AddressOfEntryPoint"));
        EXPECT_EQ(Line(d, "Entrypoint"), Format("Entrypoint......: %08X", entry));
        EXPECT_EQ(Line(d, "Linker version"), "Linker version..: " + facts.fields.at("MajorLinkerVersion") + "." +
                                                 facts.fields.at("MinorLinkerVersion"));
        EXPECT_EQ(Line(d, "Sections"), Format("Sections........: %zu", facts.sections.size()));
        const std::uint32_t headers = Hex(facts.fields.at("SizeOfHeaders"));
        EXPECT_EQ(Line(d, "  Headers"), Format("  Headers: %08X 00000000 %08X", headers, headers - 1));
        // The entry point lies in .text: 24 bytes shown.
        EXPECT_EQ(Line(d, "     Starts with: ").size(), 18u + 48u);
        if (is64) {
            EXPECT_EQ(d.substr(d.size() - 2), "\r\n");
            EXPECT_EQ(d.find("  Section: "), std::string::npos);
            EXPECT_EQ(d.find("RVA Entry point"), std::string::npos);
        }
    }
}

TEST(ExePeFixtures, SectionsAndDirectoriesMatchObjdump) {
    if (!ObjdumpAvailable()) GTEST_SKIP() << kObjdump << " is not installed";
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const ObjdumpFacts facts = RunObjdump(Fixture(std::string("pe/") + name));
        if (facts.fields.at("Magic") != "010b") continue;
        const ExeAnalysis exe = AnalyzeFixture(name);
        const std::string& d = exe.detailsText;
        const std::uint32_t imageBase = Hex(facts.fields.at("ImageBase"));

        // Each section line: pointer and name as objdump reads them.
        std::istringstream lines(d);
        std::string line;
        std::size_t index = 0;
        while (std::getline(lines, line)) {
            if (line.rfind("  Section: ", 0) != 0) continue;
            ASSERT_LT(index, facts.sections.size());
            const ObjdumpFacts::Section& s = facts.sections[index++];
            EXPECT_EQ(line.substr(20, 8), Format("%08X", s.fileOffset)) << line;
            EXPECT_EQ(line.substr(38, s.name.size() + 2), s.name + " (") << line;
        }
        EXPECT_EQ(index, facts.sections.size());

        // Plain directory lines: the size, and the range through the sections.
        const std::pair<std::size_t, const char*> plain[] = {{3, " Exception"}, {5, " BaseReloc"}, {9, " TLS"},
                                                              {12, " IAT"}};
        for (const auto& [dir, label] : plain) {
            const std::uint32_t size = facts.directorySizes.at(dir);
            const std::string shown = Line(d, label);
            EXPECT_EQ(shown.substr(18, 8), Format("%08X", size)) << shown;
            if (size == 0) continue;
            const std::uint32_t rva = facts.directoryRvas.at(dir);
            for (const ObjdumpFacts::Section& s : facts.sections) {
                const std::uint32_t va = s.vma - imageBase;
                if (rva >= va && rva < va + s.virtualSize) {
                    const std::uint32_t offset = rva - va + s.fileOffset;
                    EXPECT_EQ(shown.substr(26), Format("  %08X - %08X", offset, offset + size - 1));
                    break;
                }
            }
        }
        EXPECT_EQ(Line(d, "Image base"), Format("Image base......: %08X", imageBase));
        EXPECT_EQ(Line(d, "RVA Entries"), Format("RVA Entries.....: %u", Hex(facts.fields.at("NumberOfRvaAndSizes"))));
    }
}

TEST(ExePeFixtures, WhatEachFixtureIsFor) {
    // Resources: types counted, the two named types summed.
    std::string d = AnalyzeFixture("resources32.exe").detailsText;
    const std::size_t resources = d.find(" Resource dir...: ");
    ASSERT_NE(resources, std::string::npos);
    EXPECT_EQ(d.substr(d.find('\n', resources) + 1, d.find(" Exception") - d.find('\n', resources) - 1),
              "      Menus........: 1\n"
              "      Dialogs......: 2\n"
              "      String tables: 2\n"
              "      RCData.......: 1\n"
              "      Versions.....: 1\n"
              "      Unknown/named: 3\n");

    // A build id makes the linker write a CodeView entry.
    d = AnalyzeFixture("buildid32.exe").detailsText;
    EXPECT_NE(Line(d, " Debug").find("(1 entries)"), std::string::npos);
    EXPECT_NE(d.find("Debug type: Codeview      size: "), std::string::npos);
    EXPECT_NE(d.find(" sig: RSDS PDB7.0 (external)\r\n Arch./Copyright"), std::string::npos);

    // Symbols kept: a COFF symbol count and a rest holding the symbol table.
    d = AnalyzeFixture("symbols32.exe").detailsText;
    EXPECT_NE(Line(d, "COFF symbols"), "COFF symbols....: 0");
    EXPECT_NE(d.find("  Rest   : "), std::string::npos);
    EXPECT_EQ(Line(AnalyzeFixture("hello32.exe").detailsText, "COFF symbols"), "COFF symbols....: 0");

    // Data appended after the last section: the gzip stream the script added.
    const ExeAnalysis appended = AnalyzeFixture("appended32.exe");
    CReadOnlyFile plain, longer;
    ASSERT_TRUE(plain.Open(Fixture("pe/hello32.exe")));
    ASSERT_TRUE(longer.Open(Fixture("pe/appended32.exe")));
    EXPECT_EQ(Line(appended.detailsText, "  Rest"),
              Format("  Rest   : %08X %08X %08X", static_cast<unsigned>(longer.Size() - plain.Size()),
                     static_cast<unsigned>(plain.Size()), static_cast<unsigned>(longer.Size() - 1)));
    EXPECT_EQ(Line(appended.detailsText, "    Rest starts with: ").substr(0, 25), "    Rest starts with: .\x8B.");
    EXPECT_TRUE(appended.clues.gzip);
    EXPECT_EQ(AnalyzeFixture("hello32.exe").detailsText.find("  Rest"), std::string::npos);

    // Real mingw stubs carry no packer marks.
    for (const char* name : kFixtures) EXPECT_TRUE(AnalyzeFixture(name).stubClueText.empty()) << name;
}

TEST(ExePeFixtures, ExecutableSectionOfTheReport) {
    CRecordingPane pane;
    CFileInspector inspector("gui64.exe", Fixture("pe/"), pane, InitTextStyles(), {});
    inspector.ReportExecutable();
    const std::string text = pane.Text();
    const std::size_t heading = text.find("Executable\n");
    ASSERT_NE(heading, std::string::npos);
    EXPECT_EQ(text.substr(heading + 11, 30), "MZ, PE00, AMD 64 (K8) 'x64', 6");
    EXPECT_EQ(inspector.m_strExeDetails, pane.runs.back().text);
    EXPECT_EQ(pane.runs.back().style, EStyle::Fixed);
    EXPECT_EQ(text.substr(text.size() - 3), "\r\n\n");
    EXPECT_EQ(text.find("Version information"), std::string::npos);  // not read yet
}
