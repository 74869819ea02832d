// The ELF section of real programs, libraries, object files and a core dump
// made by gcc, clang, binutils and the kernel (fixtures/elf/make-fixtures.sh),
// checked against readelf from binutils, which reads the same files with
// code of its own, and against file(1) where readelf says nothing.
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "ElfSupport.h"
#include "TestSupport.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

const char* const kFixtures[] = {"hello-hardened", "hello-plain",   "hello-clang",      "hello-debug",
                                 "hello-stripped", "hello-debuglink", "libgreet.so.1",  "greeter",
                                 "libtextrel.so",  "abort-static",  "abort-static-pie", "add-i386",
                                 "add-aarch64.o",  "add-s390x.o",   "core-abort",       "../magic/tiny.elf",
                                 "../signatures/tiny.elf"};

std::string ElfLinesOf(const std::string& path) { return ElfLines(ReadWholeFile(path)); }

// The first group of every match of pattern in text.
std::vector<std::string> All(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

std::string First(const std::string& text, const std::string& pattern) {
    const std::vector<std::string> found = All(text, pattern);
    return found.empty() ? "" : found.front();
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

std::string Hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

bool HasReadelf() {
    int status = -1;
    RunCommand("readelf --version >/dev/null 2>&1", &status);
    return status == 0;
}

// What the report must say, label by label, as readelf -h -l -d -n
// --dyn-syms, -S, -s and --debug-dump=links tell it.
std::map<std::string, std::vector<std::string>> ExpectedFromReadelf(const std::string& path) {
    const std::string quoted = "'" + path + "'";
    const std::string out = RunCommand("readelf -W -h -l -d -n --dyn-syms " + quoted + " 2>/dev/null");
    const std::string sections = RunCommand("readelf -W -S " + quoted + " 2>/dev/null");
    const std::string symbols = RunCommand("readelf -W -s " + quoted + " 2>/dev/null");
    const std::string links = RunCommand("readelf --debug-dump=links " + quoted + " 2>/dev/null");
    // A label readelf gives no value for must be absent from the report.
    std::map<std::string, std::vector<std::string>> expected;
    for (const char* label : {"Entry point", "Interpreter", "Build ID", "ABI tag", "Debug link", "Debug info", "Symbol table",
                              "PIE", "RELRO", "NX", "Stack protector", "FORTIFY", "CET", "Dynamic imports", "Dynamic exports"})
        expected[label] = {};
    const auto set = [&](const std::string& label, const std::string& value) { expected[label] = {value}; };

    set("Class", First(out, "Class: +ELF(\\d+)") + "-bit");
    set("Data encoding", First(out, "Data: +2's complement, (\\w+) endian") + "-endian");
    const std::string kind = First(out, "Type: +(\\w+ \\([^)]*\\))");
    const std::map<std::string, std::string> types{{"EXEC (Executable file)", "executable"},
                                                   {"DYN (Position-Independent Executable file)", "PIE executable"},
                                                   {"DYN (Shared object file)", "shared object"},
                                                   {"REL (Relocatable file)", "relocatable object"},
                                                   {"CORE (Core file)", "core dump"}};
    set("Type", types.at(kind));
    const std::map<std::string, std::string> machines{{"Advanced Micro Devices X86-64", "x86-64"},
                                                      {"Intel 80386", "i386"},
                                                      {"AArch64", "AArch64"},
                                                      {"IBM S/390", "s390x"}};
    const std::string machine = machines.at(First(out, "Machine: +([^\\n]+)"));
    set("Machine", machine);
    const bool program = kind.starts_with("EXEC") || kind.starts_with("DYN");
    const bool executable = kind.starts_with("EXEC") || kind.starts_with("DYN (Position");
    if (program) set("Entry point", Hex(std::stoull(First(out, "Entry point address: +(0x[0-9a-f]+)"), nullptr, 16)));
    set("Program headers", First(out, "Number of program headers: +(\\d+)"));
    set("Sections", First(out, "Number of section headers: +(\\d+)"));

    const std::string interpreter = First(out, "\\[Requesting program interpreter: ([^\\]]+)\\]");
    if (!interpreter.empty()) set("Interpreter", interpreter);
    else if (executable) set("Interpreter", "none (statically linked)");
    expected["Needed"] = All(out, "\\(NEEDED\\) +Shared library: \\[([^\\]]+)\\]");
    expected["SONAME"] = All(out, "\\(SONAME\\) +Library soname: \\[([^\\]]+)\\]");
    expected["RPATH"] = All(out, "\\(RPATH\\) +Library rpath: \\[([^\\]]+)\\]");
    expected["RUNPATH"] = All(out, "\\(RUNPATH\\) +Library runpath: \\[([^\\]]+)\\]");
    expected["Build ID"] = All(out, "Build ID: ([0-9a-f]+)");
    const std::string system = First(out, "OS: (\\w+), ABI: ");
    if (!system.empty()) set("ABI tag", system + " " + First(out, "OS: \\w+, ABI: ([\\d.]+)"));

    const std::string x86 = First(out, "x86 feature: ([A-Z]+(, [A-Z]+)*)");
    if (!x86.empty()) set("CET", x86);
    else if (program && (machine == "x86-64" || machine == "i386")) set("CET", "none");
    expected["Branch protect."] = All(out, "AArch64 feature: ([A-Z]+(, [A-Z]+)*)");

    const bool relro = out.find("GNU_RELRO") != std::string::npos;
    const bool bindNow = std::regex_search(out, std::regex("\\(FLAGS\\) +[A-Z_ ]*BIND_NOW|\\(BIND_NOW\\)|Flags: [A-Z ]*NOW"));
    const std::vector<std::string> stack = Words(First(out, "(GNU_STACK[^\\n]+)"));
    const bool stackMarked = !stack.empty();
    const bool stackExecutable = stackMarked && stack[stack.size() - 2].find('E') != std::string::npos;
    if (executable) set("PIE", kind.starts_with("DYN") ? "yes" : "no");
    if (program) {
        set("RELRO", !relro ? "none" : bindNow ? "full" : "partial");
        set("NX", !stackMarked ? "not marked" : stackExecutable ? "no" : "yes");
    }
    std::vector<std::string>& warnings = expected["Warning"];
    if (program && stackExecutable) warnings.push_back("executable stack");
    if (std::regex_search(out, std::regex("\n  LOAD [^\n]* RWE "))) warnings.push_back("writable and executable segment");
    if (std::regex_search(out, std::regex("\\(TEXTREL\\)|\\(FLAGS\\) +[A-Z_ ]*TEXTREL"))) warnings.push_back("text relocations");
    // How far the program headers and the section table reach.
    unsigned long long extent = 0;
    for (const std::string& line : All(out, "\n  [A-Z_]+ +((0x[0-9a-f]+ +){4})")) {
        const std::vector<std::string> words = Words(line);
        extent = std::max(extent, std::stoull(words[0], nullptr, 16) + std::stoull(words[3], nullptr, 16));
    }
    extent = std::max(extent, std::stoull(First(out, "Start of section headers: +(\\d+)")) +
                                  std::stoull(First(out, "Number of section headers: +(\\d+)")) *
                                      std::stoull(First(out, "Size of section headers: +(\\d+)")));
    const unsigned long long size = ReadWholeFile(path).size();
    if (extent > size) warnings.push_back("cut short: " + std::to_string(size) + " of " + std::to_string(extent) + " bytes");

    if (!kind.starts_with("CORE")) {
        std::size_t debug = 0;
        for (const std::string& line : All(sections, "\\] (\\.z?debug_[^\\n]+)"))
            if (Words(line).at(1) != "NOBITS") ++debug;
        set("Debug info", debug ? "DWARF, " + std::to_string(debug) + " sections" : "none");
        const std::string entries = First(symbols, "Symbol table '\\.symtab' contains (\\d+) entries");
        set("Symbol table", entries.empty() ? "stripped" : entries + " entries");
    }
    const std::string link = First(links, "Separate debug info file: ([^\\n]+)");
    if (!link.empty()) {
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08llX", std::stoull(First(links, "CRC value: (0x[0-9a-f]+)"), nullptr, 16));
        set("Debug link", link + " (CRC-32 " + crc + ")");
    }

    // The dynamic symbols: Num: Value Size Type Bind Vis Ndx Name.
    const std::vector<std::string> rows = All(out, "\n +[1-9]\\d*: ([^\\n]+)");
    if (program && out.find("Symbol table '.dynsym'") != std::string::npos) {
        std::size_t imports = 0, exports = 0, fortified = 0;
        bool protector = false;
        for (const std::string& row : rows) {
            const std::vector<std::string> w = Words(row);
            const std::string name = w.size() > 6 ? w[6].substr(0, w[6].find('@')) : "";
            if (w[5] == "UND") {
                ++imports;
                if (name == "__stack_chk_fail" || name == "__stack_chk_guard") protector = true;
                else if (name.ends_with("_chk")) ++fortified;
            } else if ((w[3] == "GLOBAL" || w[3] == "WEAK" || w[3] == "UNIQUE") && (w[4] == "DEFAULT" || w[4] == "PROTECTED")) {
                ++exports;
            }
        }
        if (!(executable && interpreter.empty())) {
            set("Stack protector", protector ? "yes" : "no");
            set("FORTIFY", fortified == 0 ? "none" : std::to_string(fortified) + (fortified == 1 ? " function" : " functions"));
        }
        set("Dynamic imports", std::to_string(imports));
        set("Dynamic exports", std::to_string(exports));
    }
    return expected;
}

}  // namespace

TEST(ElfFixtures, EveryLineReadelfSpeaksToAgreesWithIt) {
    if (!HasReadelf()) GTEST_SKIP() << "readelf is not installed";
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const std::string path = Fixture(std::string("elf/") + name);
        const std::string lines = ElfLinesOf(path);
        for (const auto& [label, values] : ExpectedFromReadelf(path)) EXPECT_EQ(Values(lines, label), values) << label;
    }
}

// The program the core dump came from sent itself SIGABRT (abort.c); file(1)
// reads the program's arguments from the dump.
TEST(ElfFixtures, CoreDumpNamesItsProgramArgumentsAndSignal) {
    const std::string path = Fixture("elf/core-abort");
    const std::string lines = ElfLinesOf(path);
    EXPECT_EQ(Values(lines, "Program"), std::vector<std::string>{"abort-static"});
    EXPECT_EQ(Values(lines, "Signal"), std::vector<std::string>{"6 (SIGABRT)"});
    const std::string described = RunCommand("file -b '" + path + "'");
    if (described.empty()) GTEST_SKIP() << "file is not installed";
    EXPECT_EQ("'" + Values(lines, "Arguments").at(0) + "'", First(described, "from ('[^']*')"));
}

// Stripping removes the symbol table and the DWARF sections, and with them
// their share of the section count; nothing else in the section changes.
TEST(ElfFixtures, StrippingChangesOnlyTheSymbolAndDebugLines) {
    std::istringstream debug(ElfLinesOf(Fixture("elf/hello-debug")));
    std::istringstream stripped(ElfLinesOf(Fixture("elf/hello-stripped")));
    std::vector<std::string> changed;
    std::string a, b;
    while (std::getline(debug, a) && std::getline(stripped, b)) {
        if (a != b) changed.push_back(a.substr(0, a.find('.')) + " / " + b.substr(0, b.find('.')));
    }
    EXPECT_FALSE(std::getline(debug, a) || std::getline(stripped, b)) << "the sections differ in length";
    EXPECT_EQ(changed, (std::vector<std::string>{"Debug info / Debug info", "Symbol table / Symbol table", "Sections / Sections"}));
}

// The program a user meets first: its section names the interpreter, the
// libraries, PIE, the RELRO level and the build ID as readelf does.
TEST(ElfFixtures, SystemLsAgreesWithReadelf) {
    const std::string path = "/bin/ls";
    if (!HasReadelf() || ReadWholeFile(path).empty()) GTEST_SKIP() << "no readelf or no /bin/ls";
    const std::string lines = ElfLinesOf(path);
    const std::map<std::string, std::vector<std::string>> expected = ExpectedFromReadelf(path);
    for (const char* label : {"Interpreter", "Needed", "PIE", "RELRO", "Build ID"}) {
        ASSERT_FALSE(expected.at(label).empty()) << label;
        EXPECT_EQ(Values(lines, label), expected.at(label)) << label;
    }
}
