// The ELF section of damaged and hostile files: a small program built field
// by field, and real fixtures with one header field changed.  Each must
// give the lines that can still be read, and never more than it can back.
#include <gtest/gtest.h>

#include <array>

#include "ElfSupport.h"
#include "TestSupport.h"
#include "core/ByteReader.h"
#include "report/InfoReport.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

std::vector<std::uint8_t> ReadElfFixture(const std::string& name) { return ReadFixture("elf/" + name); }

using Strings = std::vector<std::string>;

// Multi-byte fields in the file's byte order.
struct CPut {
    bool bigEndian;
    void operator()(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t value, std::size_t width) const {
        if (b.size() < at + width) b.resize(at + width);
        for (std::size_t i = 0; i < width; ++i)
            b[at + (bigEndian ? width - 1 - i : i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

// One note: name size, descriptor size, type, then the name and the
// descriptor, each padded to four bytes.
void AddNote(std::vector<std::uint8_t>& notes, CPut put, std::string_view name, std::uint32_t type,
             const std::vector<std::uint8_t>& desc, std::uint32_t claimedSize = 0) {
    const std::size_t at = notes.size();
    put(notes, at, name.size() + 1, 4);                            // n_namesz, with the zero
    put(notes, at + 4, claimedSize ? claimedSize : desc.size(), 4);  // n_descsz
    put(notes, at + 8, type, 4);                                   // n_type
    PutText(notes, at + 12, name);
    notes.resize(at + 12 + (name.size() + 4) / 4 * 4);
    notes.insert(notes.end(), desc.begin(), desc.end());
    notes.resize((notes.size() + 3) / 4 * 4);
}

// A 64-bit x86-64 program whose one loaded segment covers the whole file at
// address 0, so that an offset in the file is also its address.
struct CCraftedElf {
    bool bigEndian = false;
    std::uint16_t type = 2;      // ET_EXEC
    std::uint16_t machine = 62;  // EM_X86_64
    std::uint8_t osAbi = 0;      // System V
    std::string interpreter = "/lib/ld.so";
    Strings needed = {"liba.so.1", "libb.so.2"};
    bool terminated = true;  // the dynamic section ends with DT_NULL
    std::vector<std::uint8_t> notes;
    std::uint64_t noteAlign = 4;

    std::vector<std::uint8_t> Build() const {
        const CPut put{bigEndian};
        constexpr std::size_t kPhOff = 64, kPhSize = 56, kPhNum = 5;
        std::vector<std::uint8_t> b(kPhOff + kPhSize * kPhNum);
        PutText(b, 0, "\x7F" "ELF");       // e_ident: magic
        b[4] = 2;                          // EI_CLASS: ELFCLASS64
        b[5] = bigEndian ? 2 : 1;          // EI_DATA: ELFDATA2MSB or ELFDATA2LSB
        b[6] = 1;                          // EI_VERSION: EV_CURRENT
        b[7] = osAbi;                      // EI_OSABI
        put(b, 16, type, 2);               // e_type
        put(b, 18, machine, 2);            // e_machine
        put(b, 20, 1, 4);                  // e_version
        put(b, 24, 0x400, 8);              // e_entry
        put(b, 32, kPhOff, 8);             // e_phoff
        put(b, 40, 0, 8);                  // e_shoff: no section table
        put(b, 52, 64, 2);                 // e_ehsize
        put(b, 54, kPhSize, 2);            // e_phentsize
        put(b, 56, kPhNum, 2);             // e_phnum
        put(b, 58, 64, 2);                 // e_shentsize

        const std::size_t interpAt = b.size();
        PutText(b, interpAt, interpreter + '\0');
        const std::size_t stringsAt = b.size();
        b.push_back(0);  // index 0: the empty name
        std::vector<std::size_t> names;
        for (const std::string& name : needed) {
            names.push_back(b.size() - stringsAt);
            PutText(b, b.size(), name + '\0');
        }
        const std::size_t stringsSize = b.size() - stringsAt;
        b.resize((b.size() + 7) / 8 * 8);
        const std::size_t dynamicAt = b.size();
        put(b, b.size(), 5, 8);            // d_tag: DT_STRTAB
        put(b, b.size(), stringsAt, 8);    // d_ptr: at this address
        put(b, b.size(), 10, 8);           // d_tag: DT_STRSZ
        put(b, b.size(), stringsSize, 8);  // d_val: of this size
        for (const std::size_t name : names) {
            put(b, b.size(), 1, 8);     // d_tag: DT_NEEDED
            put(b, b.size(), name, 8);  // d_val: its name in the string table
        }
        if (terminated) {
            put(b, b.size(), 0, 8);  // d_tag: DT_NULL
            put(b, b.size(), 0, 8);  // d_val
        }
        const std::size_t dynamicSize = b.size() - dynamicAt;
        const std::size_t notesAt = b.size();
        b.insert(b.end(), notes.begin(), notes.end());

        const auto header = [&](std::size_t i, std::uint32_t type, std::uint32_t flags, std::uint64_t offset,
                                std::uint64_t size, std::uint64_t align) {
            const std::size_t at = kPhOff + i * kPhSize;
            put(b, at, type, 4);         // p_type
            put(b, at + 4, flags, 4);    // p_flags
            put(b, at + 8, offset, 8);   // p_offset
            put(b, at + 16, offset, 8);  // p_vaddr: the same as the offset
            put(b, at + 24, offset, 8);  // p_paddr
            put(b, at + 32, size, 8);    // p_filesz
            put(b, at + 40, size, 8);    // p_memsz
            put(b, at + 48, align, 8);   // p_align
        };
        header(0, 1, 5, 0, b.size(), 0x1000);                          // PT_LOAD, read and execute
        header(1, 3, 4, interpAt, interpreter.size() + 1, 1);          // PT_INTERP
        header(2, 2, 6, dynamicAt, dynamicSize, 8);                    // PT_DYNAMIC
        header(3, 4, 4, notesAt, notes.size(), noteAlign);             // PT_NOTE
        header(4, 0x6474E551, 6, 0, 0, 16);                            // PT_GNU_STACK, read and write
        return b;
    }
};

// The offset of the first section header of a little-endian 64-bit file
// that the test accepts, 0 when there is none.
template <typename Accept>
std::size_t SectionHeaderWhere(const std::vector<std::uint8_t>& bytes, Accept accept) {
    const CByteReader file(bytes);
    const std::uint64_t table = file.ReadLE64(0x28);  // e_shoff
    for (std::size_t i = 0; i < file.ReadLE16(0x3C); ++i)  // e_shnum
        if (accept(table + 64 * i)) return table + 64 * i;
    return 0;
}

// The GNU ABI tag for Linux 2.6.32, and a build ID of four bytes.
void AddGnuNotes(std::vector<std::uint8_t>& notes, CPut put) {
    std::vector<std::uint8_t> tag;
    for (std::size_t i = 0; i < 4; ++i) put(tag, 4 * i, std::array<std::uint32_t, 4>{0, 2, 6, 32}[i], 4);
    AddNote(notes, put, "GNU", 1, tag);                       // NT_GNU_ABI_TAG
    AddNote(notes, put, "GNU", 3, {0xDE, 0xAD, 0xBE, 0xEF});  // NT_GNU_BUILD_ID
}

}  // namespace

TEST(ElfCrafted, ProgramInBothByteOrders) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        CCraftedElf elf;
        elf.bigEndian = bigEndian;
        AddGnuNotes(elf.notes, CPut{bigEndian});
        const std::string lines = ElfLines(elf.Build());
        EXPECT_EQ(Values(lines, "Data encoding"), Strings{bigEndian ? "big-endian" : "little-endian"});
        EXPECT_EQ(Values(lines, "Type"), Strings{"executable"});
        EXPECT_EQ(Values(lines, "Entry point"), Strings{"0x400"});
        EXPECT_EQ(Values(lines, "Interpreter"), Strings{"/lib/ld.so"});
        EXPECT_EQ(Values(lines, "Needed"), (Strings{"liba.so.1", "libb.so.2"}));
        EXPECT_EQ(Values(lines, "ABI tag"), Strings{"Linux 2.6.32"});
        EXPECT_EQ(Values(lines, "Build ID"), Strings{"deadbeef"});
        EXPECT_EQ(Values(lines, "NX"), Strings{"yes"});
        EXPECT_EQ(Values(lines, "RELRO"), Strings{"none"});
        EXPECT_EQ(Values(lines, "Program headers"), Strings{"5"});
        // No section table: nothing can be said of symbols or debug sections.
        EXPECT_EQ(Values(lines, "Sections"), Strings{"0"});
        EXPECT_EQ(Values(lines, "Debug info"), Strings{});
        EXPECT_EQ(Values(lines, "Warning"), Strings{});
    }
}

// Without its DT_NULL the dynamic section ends where its bytes end; with it,
// what follows the terminator is not read.
TEST(ElfCrafted, DynamicSectionEndsAtItsTerminatorOrItsEnd) {
    CCraftedElf elf;
    elf.terminated = false;
    EXPECT_EQ(Values(ElfLines(elf.Build()), "Needed"), (Strings{"liba.so.1", "libb.so.2"}));

    elf.terminated = true;
    std::vector<std::uint8_t> bytes = elf.Build();
    const std::size_t dynamicAt = bytes.size() - 5 * 16;  // STRTAB, STRSZ, two NEEDED, NULL
    bytes[dynamicAt + 2 * 16] = 0;                         // the first NEEDED becomes DT_NULL
    EXPECT_EQ(Values(ElfLines(bytes), "Needed"), Strings{});
}

// Properties are padded to 8 bytes in a 64-bit file, and so are the notes of
// an area aligned to 8: a build ID of 20 bytes is followed by 4 bytes of
// padding there, which an area aligned to 4 would not have.
TEST(ElfCrafted, NotesAndPropertiesKeepTheirPadding) {
    CCraftedElf elf;
    elf.noteAlign = 8;
    const CPut put{false};
    AddNote(elf.notes, put, "GNU", 3, std::vector<std::uint8_t>(20, 0xAB));  // NT_GNU_BUILD_ID
    elf.notes.resize(40);  // its descriptor padded to 8
    std::vector<std::uint8_t> properties;
    put(properties, 0, 0xC0008000, 4);  // pr_type: a property Quiddity does not read
    put(properties, 4, 1, 4);           // pr_datasz: one byte, then 7 of padding
    put(properties, 16, 0xC0000002, 4);  // pr_type: GNU_PROPERTY_X86_FEATURE_1_AND
    put(properties, 20, 4, 4);           // pr_datasz
    put(properties, 24, 3, 4);           // IBT and SHSTK
    properties.resize(32);               // padding
    AddNote(elf.notes, put, "GNU", 5, properties);  // NT_GNU_PROPERTY_TYPE_0
    const std::string lines = ElfLines(elf.Build());
    std::string buildId;
    for (int i = 0; i < 20; ++i) buildId += "ab";
    EXPECT_EQ(Values(lines, "Build ID"), Strings{buildId});
    EXPECT_EQ(Values(lines, "CET"), Strings{"IBT, SHSTK"});
}

// A note whose descriptor claims more bytes than its segment holds ends the
// walk; the notes before it stay.
TEST(ElfCrafted, NoteLargerThanItsSegmentEndsTheNotes) {
    CCraftedElf elf;
    const CPut put{false};
    std::vector<std::uint8_t> tag(16);
    put(tag, 4, 5, 4);  // Linux 5.0.0
    AddNote(elf.notes, put, "GNU", 1, tag);
    AddNote(elf.notes, put, "GNU", 3, {1, 2, 3, 4}, 0x1000);  // claims 4096 bytes
    const std::string lines = ElfLines(elf.Build());
    EXPECT_EQ(Values(lines, "ABI tag"), Strings{"Linux 5.0.0"});
    EXPECT_EQ(Values(lines, "Build ID"), Strings{});
}

// A line break in a name from the file cannot forge a line of the report.
TEST(ElfCrafted, ControlBytesInNamesShowAsDots) {
    CCraftedElf elf;
    elf.interpreter = "/lib/ld.so\nPIE.............: yes";
    elf.needed = {"lib\x1b[31m.so"};
    const std::string lines = ElfLines(elf.Build());
    EXPECT_EQ(Values(lines, "Interpreter"), Strings{"/lib/ld.so.PIE.............: yes"});
    EXPECT_EQ(Values(lines, "PIE"), Strings{"no"});
    EXPECT_EQ(Values(lines, "Needed"), Strings{"lib.[31m.so"});
}

// Values without a name show their number; long names and lists are cut.
TEST(ElfCrafted, UnknownValuesAndLongTexts) {
    CCraftedElf elf;
    elf.machine = 0x1234;
    elf.osAbi = 0x42;
    elf.type = 0xFE00;  // in the range kept for operating systems
    elf.interpreter = std::string(600, 'x');
    elf.needed.clear();
    for (int i = 0; i < 130; ++i) elf.needed.push_back("lib" + std::to_string(i) + ".so");
    const std::string lines = ElfLines(elf.Build());
    EXPECT_EQ(Values(lines, "Machine"), Strings{"machine 0x1234"});
    EXPECT_EQ(Values(lines, "OS/ABI"), Strings{"OS/ABI 0x42"});
    EXPECT_EQ(Values(lines, "Type"), Strings{"type 0xFE00"});
    EXPECT_EQ(Values(lines, "Interpreter"), Strings{std::string(512, 'x') + "..."});
    const Strings needed = Values(lines, "Needed");
    ASSERT_EQ(needed.size(), 129u);
    EXPECT_EQ(needed[127], "lib127.so");
    EXPECT_EQ(needed[128], "(2 more)");
}

// A core dump's program and arguments close its NT_PRPSINFO record in every
// layout (136 bytes on 64-bit Linux, 124 on i386); signals are named where
// Linux numbers them the common way.
TEST(ElfCrafted, CoreDumpNotesOfEitherLayout) {
    const CPut put{false};
    const auto core = [&](std::uint16_t machine, std::uint16_t signal, std::size_t psinfoSize) {
        CCraftedElf elf;
        elf.type = 4;  // ET_CORE
        elf.machine = machine;
        std::vector<std::uint8_t> status(16);
        put(status, 12, signal, 2);  // pr_cursig, after the three ints of pr_info
        AddNote(elf.notes, put, "CORE", 1, status);  // NT_PRSTATUS
        std::vector<std::uint8_t> psinfo(psinfoSize, 0xEE);  // the fields before the names
        PutText(psinfo, psinfoSize - 96, std::string("crash") + '\0');         // pr_fname[16]
        PutText(psinfo, psinfoSize - 80, std::string("crash --now ") + '\0');  // pr_psargs[80]
        AddNote(elf.notes, put, "CORE", 3, psinfo);  // NT_PRPSINFO
        return ElfLines(elf.Build());
    };
    for (const std::size_t size : {136u, 124u}) {
        const std::string lines = core(62, 11, size);
        EXPECT_EQ(Values(lines, "Program"), Strings{"crash"});
        EXPECT_EQ(Values(lines, "Arguments"), Strings{"crash --now"});
        EXPECT_EQ(Values(lines, "Signal"), Strings{"11 (SIGSEGV)"});
    }
    EXPECT_EQ(Values(core(62, 32, 136), "Signal"), Strings{"32"});  // past the named ones
    EXPECT_EQ(Values(core(8, 6, 136), "Signal"), Strings{"6"});     // MIPS numbers its own
    EXPECT_EQ(Values(core(62, 0, 136), "Signal"), Strings{"none"});  // dumped while running
}

// Only symbols that other objects can bind to are exports: not a local one,
// not a hidden one.
TEST(ElfCrafted, LocalAndHiddenDynamicSymbolsAreNoExports) {
    const std::vector<std::uint8_t> library = ReadElfFixture("libgreet.so.1");
    EXPECT_EQ(Values(ElfLines(library), "Dynamic exports"), Strings{"1"});
    // The defined symbol of .dynsym.
    const CByteReader file(library);
    const std::size_t symbols = SectionHeaderWhere(library, [&](std::size_t header) {
        return file.ReadLE32(header + 4) == 11;  // sh_type: SHT_DYNSYM
    });
    ASSERT_NE(symbols, 0u);
    std::size_t greet = 0;
    const std::uint64_t begin = file.ReadLE64(symbols + 24);       // sh_offset
    const std::uint64_t end = begin + file.ReadLE64(symbols + 32);  // sh_size
    for (std::uint64_t at = begin; at < end; at += 24)
        if (file.ReadLE16(at + 6) != 0) greet = at;  // st_shndx: defined
    ASSERT_NE(greet, 0u);
    std::vector<std::uint8_t> local = library;
    local[greet + 4] = 0x02;  // st_info: STB_LOCAL, STT_FUNC
    EXPECT_EQ(Values(ElfLines(local), "Dynamic exports"), Strings{"0"});
    std::vector<std::uint8_t> hidden = library;
    hidden[greet + 5] = 2;  // st_other: STV_HIDDEN
    EXPECT_EQ(Values(ElfLines(hidden), "Dynamic exports"), Strings{"0"});
}

// A header cut short keeps the identification lines it has; libelf can
// read nothing more.
TEST(ElfCrafted, HeaderCutShort) {
    std::vector<std::uint8_t> bytes = ReadElfFixture("hello-hardened");
    bytes.resize(40);
    const std::string lines = ElfLines(bytes);
    EXPECT_EQ(Values(lines, "Class"), Strings{"64-bit"});
    EXPECT_EQ(Values(lines, "Warning"), Strings{"the header is damaged or cut short"});
    EXPECT_EQ(Values(lines, "Type"), Strings{});

    bytes.resize(10);
    EXPECT_EQ(ElfLines(bytes), "Warning.........: the header is damaged or cut short\n");
    EXPECT_EQ(ElfLines({'\x7F', 'E', 'L', 'X'}), "");
}

// A file of its header alone, 64 bytes in a 64-bit file and 52 in a 32-bit
// one, is whole; a byte less is not read at all.
TEST(ElfCrafted, HeaderAloneIsWhole) {
    for (const auto& [name, size] : {std::pair<const char*, std::size_t>{"hello-hardened", 64}, {"add-i386", 52}}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = ReadElfFixture(name);
        bytes.resize(size);
        const bool wide = size == 64;
        PutText(bytes, wide ? 32 : 28, std::string(wide ? 16 : 8, '\0'));  // e_phoff, e_shoff: no tables
        PutLE16(bytes, wide ? 56 : 44, 0);                                 // e_phnum
        PutLE16(bytes, wide ? 60 : 48, 0);                                 // e_shnum
        const std::string lines = ElfLines(bytes);
        EXPECT_EQ(Values(lines, "Machine"), Strings{wide ? "x86-64" : "i386"});
        EXPECT_EQ(Values(lines, "Warning"), Strings{});
        bytes.pop_back();
        EXPECT_EQ(Values(ElfLines(bytes), "Warning"), Strings{"the header is damaged or cut short"});
    }
}

// Counts in the header that reach past the end of the file.
TEST(ElfCrafted, TableCountsPastTheFile) {
    std::vector<std::uint8_t> bytes = ReadElfFixture("hello-debug");
    PutLE16(bytes, 60, 0xFE00);  // e_shnum: 65,024 section headers, far past the end
    std::string lines = ElfLines(bytes);
    EXPECT_EQ(Values(lines, "Interpreter"), Strings{"/lib64/ld-linux-x86-64.so.2"});
    // The sections cannot be read, so no line may call the file stripped.
    EXPECT_EQ(Values(lines, "Symbol table"), Strings{});
    EXPECT_EQ(Values(lines, "Debug info"), Strings{});
    ASSERT_EQ(Values(lines, "Warning").size(), 1u);
    EXPECT_TRUE(Values(lines, "Warning")[0].starts_with("cut short: " + std::to_string(bytes.size()) + " of "));

    bytes = ReadElfFixture("hello-debug");
    PutLE16(bytes, 56, 0xFF00);  // e_phnum: 65,280 program headers
    lines = ElfLines(bytes);
    EXPECT_EQ(Values(lines, "Program headers"), Strings{"65280"});
    EXPECT_EQ(Values(lines, "Symbol table"), Strings{"37 entries"});
    // Without the program headers, neither the interpreter nor the
    // hardening they carry can be told.
    EXPECT_EQ(Values(lines, "Type"), Strings{"shared object or PIE executable"});
    EXPECT_EQ(Values(lines, "Interpreter"), Strings{});
    EXPECT_EQ(Values(lines, "RELRO"), Strings{});
    EXPECT_EQ(Values(lines, "NX"), Strings{});
    EXPECT_EQ(Values(lines, "Warning").size(), 1u);
}

// The section names are lost, the sections are not: the symbol table is
// still found by its type, but nothing is said of debug sections.
TEST(ElfCrafted, SectionNameTableIndexOutOfRange) {
    std::vector<std::uint8_t> bytes = ReadElfFixture("hello-debug");
    PutLE16(bytes, 62, 0xFE00);  // e_shstrndx: past the 39 sections
    const std::string lines = ElfLines(bytes);
    EXPECT_EQ(Values(lines, "Symbol table"), Strings{"37 entries"});
    EXPECT_EQ(Values(lines, "Debug info"), Strings{});
    EXPECT_EQ(Values(lines, "Sections"), Strings{"39"});
}

// Counts too large for the header's fields live in the first section header;
// one far larger than any linker writes gives its count and nothing read
// from its table.
TEST(ElfCrafted, CountsKeptInTheFirstSectionHeader) {
    const std::vector<std::uint8_t> original = ReadElfFixture("hello-debug");
    const std::string expected = ElfLines(original);
    const std::size_t first = CByteReader(original).ReadLE64(0x28);  // e_shoff
    std::vector<std::uint8_t> bytes = original;
    PutLE16(bytes, 56, 0xFFFF);        // e_phnum: PN_XNUM, the count is in sh_info
    PutLE16(bytes, 60, 0);             // e_shnum: 0, the count is in sh_size
    PutLE32(bytes, first + 32, 39);    // sh_size: the 39 sections
    PutLE32(bytes, first + 44, 13);    // sh_info: the 13 program headers
    EXPECT_EQ(ElfLines(bytes), expected);

    // 100,000 sections, the file large enough to hold their table; the
    // program headers are read when the header counts them itself.
    PutLE32(bytes, first + 32, 100000);
    bytes.resize(first + 100000 * 64);
    for (const bool counted : {true, false}) {
        PutLE16(bytes, 56, counted ? 13 : 0xFFFF);  // e_phnum
        const std::string lines = ElfLines(bytes);
        EXPECT_EQ(Values(lines, "Sections"), Strings{"100000"});
        EXPECT_EQ(Values(lines, "Symbol table"), Strings{});
        EXPECT_EQ(Values(lines, "Program headers"), Strings{"13"});
        EXPECT_EQ(Values(lines, "Interpreter"), counted ? Strings{"/lib64/ld-linux-x86-64.so.2"} : Strings{});
    }
}

// The separate debug file's name ends at its zero however long it is, and
// its CRC follows; of several debug link sections the first is read.
TEST(ElfCrafted, DebugLinkNamesOfAnyLength) {
    std::vector<std::uint8_t> bytes = ReadElfFixture("hello-debuglink");
    ASSERT_EQ(Values(ElfLines(bytes), "Debug link"), Strings{"hello.debug (CRC-32 DC2C046E)"});
    const CByteReader file(bytes);
    const std::size_t link = SectionHeaderWhere(bytes, [&](std::size_t header) {
        return file.ReadLE64(header + 24) == 0x3048;  // sh_offset: that of .gnu_debuglink (readelf -S)
    });
    ASSERT_NE(link, 0u);

    std::vector<std::uint8_t> longer = bytes;
    const std::size_t at = longer.size();
    PutText(longer, at, std::string(600, 'd') + '\0');  // the name and its zero, then 3 bytes to a multiple of 4
    PutLE32(longer, at + 604, 0x12345678);               // the CRC-32
    PutLE32(longer, link + 24, static_cast<std::uint32_t>(at));  // sh_offset
    PutLE32(longer, link + 32, 608);                             // sh_size
    EXPECT_EQ(Values(ElfLines(longer), "Debug link"), Strings{std::string(512, 'd') + "... (CRC-32 12345678)"});

    // .comment, named .gnu_debuglink too, comes first.
    const std::size_t comment = SectionHeaderWhere(bytes, [&](std::size_t header) {
        // sh_offset and sh_type of .comment (.bss, NOBITS, has the same offset)
        return file.ReadLE64(header + 24) == 0x3020 && file.ReadLE32(header + 4) == 1;
    });
    ASSERT_NE(comment, 0u);
    PutLE32(bytes, comment, file.ReadLE32(link));  // sh_name
    PutLE32(bytes, comment + 32, 44);              // sh_size: its 39 bytes and a CRC-32 after them
    const Strings twice = Values(ElfLines(bytes), "Debug link");
    ASSERT_EQ(twice.size(), 1u);
    EXPECT_TRUE(twice[0].starts_with("GCC: ")) << twice[0];
}

// The section follows the executable sections, only with ShowSpecial on.
TEST(ElfCrafted, ReportSectionUnderTheSpecialSwitch) {
    const std::vector<std::uint8_t> bytes = CCraftedElf().Build();
    for (const bool special : {true, false}) {
        CReportSwitches switches;
        switches.ShowSpecial = special;
        CRecordingPane pane;
        CFileInspector("", "", pane, InitTextStyles(), switches).BuildContentReport(CMemoryByteSource(bytes));
        const std::string text = pane.Text();
        const std::size_t heading = text.find("\nELF executable\nClass...........: 64-bit\n");
        EXPECT_EQ(heading != std::string::npos, special);
        if (special) {
            EXPECT_GT(heading, text.find("Checksum\n"));
        }
    }
}
