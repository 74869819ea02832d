// ELF files through libelf (elfutils): the identification, the file and
// program headers, the dynamic section, the notes, the section table and
// the dynamic symbols.  Format: the System V ABI (generic ABI, chapters 4
// and 5) with the GNU extensions of elf(5) and the Linux Standard Base.
#include "executable/Elf.h"

#include <gelf.h>
#include <libelf.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"

namespace quiddity {

namespace {

// The identification ahead of the header: magic, class, data encoding,
// version, OS/ABI, ABI version, padding.
constexpr std::size_t kIdentBytes = EI_NIDENT;
// The larger of the two file headers (ELF64).
constexpr std::size_t kHeaderBytes = 64;
// libelf is handed an image of the file no larger than this; a larger file
// (the core dump of a big process) is seen as cut there.  The image takes
// memory only where bytes were loaded into it.
constexpr std::uint64_t kImageLimit = std::uint64_t{16} << 30;
// At most this much of the file is read for one report, whatever the headers
// claim; a table that does not fit is left out with its lines.
constexpr std::uint64_t kLoadBudget = std::uint64_t{64} << 20;
// Program and section headers looked at; linkers write a few dozen.  A
// table declared larger is not handed to libelf, which sets up every
// section the header declares as it opens a file.
constexpr std::size_t kMaxHeaders = 65536;
// Note areas, and notes in one area, looked at.
constexpr std::size_t kMaxNoteAreas = 64;
constexpr std::size_t kMaxNotes = 4096;
// Entries of the dynamic section walked, and NEEDED lines written.
constexpr std::size_t kMaxDynamicEntries = 65536;
constexpr std::size_t kMaxNeededLines = 128;
// More dynamic symbols than this leave the symbol lines out.
constexpr std::size_t kMaxSymbols = std::size_t{1} << 20;
// A name or path from the file shows at most this many bytes.
constexpr std::size_t kMaxTextBytes = 512;
// Build IDs are 16 or 20 bytes (md5, uuid, sha1); a longer one is cut.
constexpr std::size_t kMaxBuildIdBytes = 64;
// The program name and arguments close the NT_PRPSINFO record of a core
// dump in every layout: char pr_fname[16] and char pr_psargs[80].
constexpr std::size_t kPrpsinfoNameBytes = 16;
constexpr std::size_t kPrpsinfoArgsBytes = 80;
// pr_cursig follows the three ints of pr_info in NT_PRSTATUS.
constexpr std::size_t kPrstatusSignalOffset = 12;
// Labels are padded with dots to this width, like the other executable lines.
constexpr std::size_t kLabelWidth = 16;

struct NamedValue {
    unsigned value;
    std::string_view name;
};

constexpr NamedValue kClasses[] = {{ELFCLASS32, "32-bit"}, {ELFCLASS64, "64-bit"}};
constexpr NamedValue kEncodings[] = {{ELFDATA2LSB, "little-endian"}, {ELFDATA2MSB, "big-endian"}};

constexpr NamedValue kOsAbis[] = {
    {ELFOSABI_SYSV, "UNIX System V"}, {ELFOSABI_HPUX, "HP-UX"},        {ELFOSABI_NETBSD, "NetBSD"},
    {ELFOSABI_GNU, "GNU/Linux"},      {ELFOSABI_SOLARIS, "Solaris"},   {ELFOSABI_FREEBSD, "FreeBSD"},
    {ELFOSABI_OPENBSD, "OpenBSD"},    {ELFOSABI_ARM_AEABI, "ARM EABI"}, {ELFOSABI_ARM, "ARM"},
    {ELFOSABI_STANDALONE, "standalone"},
};

constexpr NamedValue kMachines[] = {
    {EM_386, "i386"},         {EM_X86_64, "x86-64"},  {EM_AARCH64, "AArch64"},   {EM_ARM, "ARM"},
    {EM_RISCV, "RISC-V"},     {EM_PPC64, "PowerPC64"}, {EM_PPC, "PowerPC"},      {EM_S390, "s390x"},
    {EM_MIPS, "MIPS"},        {EM_LOONGARCH, "LoongArch"}, {EM_SPARCV9, "SPARC V9"}, {EM_SPARC, "SPARC"},
    {EM_IA_64, "IA-64"},      {EM_68K, "m68k"},        {EM_SH, "SuperH"},        {EM_PARISC, "PA-RISC"},
    {EM_ALPHA, "Alpha"},      {EM_BPF, "eBPF"},
};

// The operating systems of the GNU ABI tag.
constexpr NamedValue kAbiTagSystems[] = {
    {ELF_NOTE_OS_LINUX, "Linux"}, {ELF_NOTE_OS_GNU, "Hurd"}, {ELF_NOTE_OS_SOLARIS2, "Solaris"},
    {ELF_NOTE_OS_FREEBSD, "FreeBSD"},
};

// Signal numbers as Linux gives them on most machines.
constexpr std::string_view kSignalNames[] = {
    "",        "SIGHUP",  "SIGINT",    "SIGQUIT", "SIGILL",  "SIGTRAP", "SIGABRT",   "SIGBUS",
    "SIGFPE",  "SIGKILL", "SIGUSR1",   "SIGSEGV", "SIGUSR2", "SIGPIPE", "SIGALRM",   "SIGTERM",
    "SIGSTKFLT", "SIGCHLD", "SIGCONT", "SIGSTOP", "SIGTSTP", "SIGTTIN", "SIGTTOU",   "SIGURG",
    "SIGXCPU", "SIGXFSZ", "SIGVTALRM", "SIGPROF", "SIGWINCH", "SIGIO",  "SIGPWR",    "SIGSYS",
};
// Machines on which Linux numbers its signals otherwise: they get the number only.
constexpr unsigned kOtherSignalMachines[] = {EM_MIPS, EM_SPARC, EM_SPARCV9, EM_PARISC, EM_ALPHA};

// The name in the table, or what the value is with its number.
std::string NameOf(std::span<const NamedValue> table, unsigned value, const char* what) {
    for (const NamedValue& row : table)
        if (row.value == value) return std::string(row.name);
    return Format("%s 0x%X", what, value);
}

std::uint64_t EndOf(std::uint64_t offset, std::uint64_t size) {
    return size > std::numeric_limits<std::uint64_t>::max() - offset ? std::numeric_limits<std::uint64_t>::max()
                                                                       : offset + size;
}

std::uint64_t TableSize(std::uint64_t count, std::size_t entrySize) {
    return entrySize != 0 && count > std::numeric_limits<std::uint64_t>::max() / entrySize
               ? std::numeric_limits<std::uint64_t>::max()
               : std::uint64_t{count} * entrySize;
}

// Names and paths from the file, cut to a length; their control characters
// (a line break would forge a line of the report) show as ".".
std::string Printable(std::string_view bytes) {
    std::string text(bytes.substr(0, kMaxTextBytes));
    DotControlCharacters(text);
    if (bytes.size() > kMaxTextBytes) text += "...";
    return text;
}

// The text up to the first zero byte at index in a table of strings; empty
// when the index lies outside it.  The search for the zero stops one byte
// past what a line shows, so that thousands of names in a table without
// zeros cost little.
std::string_view StringAt(const Elf_Data* table, std::uint64_t index) {
    if (table == nullptr || index >= table->d_size) return {};
    const char* start = static_cast<const char*>(table->d_buf) + index;
    const std::size_t left = std::min(table->d_size - index, kMaxTextBytes + 1);
    const void* end = std::memchr(start, 0, left);
    return {start, end ? static_cast<std::size_t>(static_cast<const char*>(end) - start) : left};
}

void Line(std::string& out, std::string_view label, std::string_view value) {
    out += label;
    if (label.size() < kLabelWidth) out.append(kLabelWidth - label.size(), '.');
    out += ": ";
    out += value;
    out += '\n';
}

// The file as libelf sees it: an anonymous mapping as large as the file, zero
// but for the ranges loaded from the source.  Pages never loaded take no
// memory, so the code and data of a large program are never read.
class CElfImage {
public:
    explicit CElfImage(const IByteSource& source)
        : m_source(source), m_nSize(std::min(source.Size(), kImageLimit)) {
        if (m_nSize == 0) return;
        void* mapped = ::mmap(nullptr, m_nSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (mapped != MAP_FAILED) m_pData = static_cast<char*>(mapped);
    }
    ~CElfImage() {
        if (m_pData != nullptr) ::munmap(m_pData, m_nSize);
    }
    CElfImage(const CElfImage&) = delete;
    CElfImage& operator=(const CElfImage&) = delete;

    char* Data() const { return m_pData; }
    std::size_t Size() const { return m_pData ? m_nSize : 0; }

    // Zeroes a range, now and after any later load, so that libelf does
    // not see it.
    void Clear(std::uint64_t offset, std::size_t length) {
        if (m_pData == nullptr || offset > m_nSize || length > m_nSize - offset) return;
        m_vecCleared.emplace_back(offset, offset + length);
        std::memset(m_pData + offset, 0, length);
    }

    // Reads the range into the image unless it is there already; true when
    // all of it is there.  A range that reaches past the file, or past what
    // the budget has left, is not read at all.
    bool Load(std::uint64_t offset, std::uint64_t length) {
        if (m_pData == nullptr || offset > m_nSize || length > m_nSize - offset) return false;
        const std::uint64_t end = offset + length;
        for (const auto& [begin, loadedEnd] : m_vecLoaded)
            if (begin <= offset && end <= loadedEnd) return true;
        if (length > kLoadBudget - m_nLoaded) return false;
        auto* at = reinterpret_cast<std::uint8_t*>(m_pData) + offset;
        const std::size_t got = m_source.ReadAt(offset, std::span(at, static_cast<std::size_t>(length)));
        m_nLoaded += length;
        for (const auto& [begin, clearedEnd] : m_vecCleared) std::memset(m_pData + begin, 0, clearedEnd - begin);
        if (got != length) return false;  // the file shrank since it was opened
        m_vecLoaded.emplace_back(offset, end);
        return true;
    }

private:
    const IByteSource& m_source;
    std::uint64_t m_nSize;
    char* m_pData = nullptr;
    std::uint64_t m_nLoaded = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_vecLoaded;   // [begin, end)
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_vecCleared;  // [begin, end), in the header
};

// Where the header tables are and how many entries they have, as the file
// declares them.  Counts too large for the header's fields are kept in the
// first section header: sh_size for sections, sh_info for program headers.
struct HeaderTables {
    std::uint64_t phoff = 0;
    std::uint64_t phnum = 0;
    std::uint64_t shoff = 0;
    std::uint64_t shnum = 0;
    // Tables hidden from libelf, see ReadHeaderTables.
    bool programHeadersHidden = false;
    bool sectionsHidden = false;
};

template <typename Ehdr, typename Shdr>
HeaderTables ReadHeaderTables(CElfImage& image, Elf* elf, const GElf_Ehdr& header) {
    HeaderTables tables{header.e_phoff, header.e_phnum, header.e_shoff, header.e_shnum};
    if (header.e_shoff != 0 && (header.e_shnum == 0 || header.e_phnum == PN_XNUM) &&
        image.Load(header.e_shoff, sizeof(Shdr))) {
        if (const Elf_Data* raw = elf_getdata_rawchunk(elf, static_cast<std::int64_t>(header.e_shoff), sizeof(Shdr), ELF_T_SHDR)) {
            const auto* first = static_cast<const Shdr*>(raw->d_buf);
            if (header.e_shnum == 0) tables.shnum = first->sh_size;
            if (header.e_phnum == PN_XNUM) tables.phnum = first->sh_info;
        }
    }
    // A table larger than any linker writes is hidden from libelf; the
    // report gives its count and nothing it would have to read from it.
    // Program headers counted in the hidden section table go with it.
    tables.sectionsHidden = tables.shnum > kMaxHeaders;
    tables.programHeadersHidden = tables.phnum > kMaxHeaders || (tables.sectionsHidden && header.e_phnum == PN_XNUM);
    if (tables.programHeadersHidden) {
        image.Clear(offsetof(Ehdr, e_phoff), sizeof(Ehdr::e_phoff));
        image.Clear(offsetof(Ehdr, e_phnum), sizeof(Ehdr::e_phnum));
    }
    if (tables.sectionsHidden) {
        image.Clear(offsetof(Ehdr, e_shoff), sizeof(Ehdr::e_shoff));
        image.Clear(offsetof(Ehdr, e_shnum), sizeof(Ehdr::e_shnum));
    }
    return tables;
}

// libelf decodes the header tables when it opens an image, so it opens the
// image twice: once for the header, then with the tables loaded.
Elf* OpenElf(CElfImage& image, HeaderTables& tables) {
    static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
    if (!ready || !image.Load(0, std::min<std::uint64_t>(image.Size(), kHeaderBytes))) return nullptr;
    for (bool first = true;; first = false) {
        Elf* elf = elf_memory(image.Data(), image.Size());
        GElf_Ehdr header;
        if (elf == nullptr || elf_kind(elf) != ELF_K_ELF || gelf_getehdr(elf, &header) == nullptr) {
            elf_end(elf);
            return nullptr;
        }
        if (!first) return elf;
        const bool wide = gelf_getclass(elf) == ELFCLASS64;
        tables = wide ? ReadHeaderTables<Elf64_Ehdr, Elf64_Shdr>(image, elf, header)
                      : ReadHeaderTables<Elf32_Ehdr, Elf32_Shdr>(image, elf, header);
        if (!tables.programHeadersHidden)
            image.Load(tables.phoff, TableSize(tables.phnum, gelf_fsize(elf, ELF_T_PHDR, 1, EV_CURRENT)));
        if (!tables.sectionsHidden)
            image.Load(tables.shoff, TableSize(tables.shnum, gelf_fsize(elf, ELF_T_SHDR, 1, EV_CURRENT)));
        elf_end(elf);
    }
}

enum class EStack { Unmarked, NonExecutable, Executable };

struct NoteArea {
    std::uint64_t offset;
    std::uint64_t size;
    std::uint64_t align;
};

// What the report says of one ELF file, gathered before any line is written.
struct ElfFacts {
    unsigned type = ET_NONE;
    unsigned machine = EM_NONE;
    std::uint64_t entry = 0;
    // Loading
    bool interpreterSegment = false;  // PT_INTERP, whether or not its text could be read
    std::optional<std::string> interpreter;
    std::optional<std::string> soname;
    std::vector<std::string> needed;
    std::size_t neededLeftOut = 0;
    std::optional<std::string> rpath;
    std::optional<std::string> runpath;
    bool pieFlag = false;  // DF_1_PIE
    bool bindNow = false;
    bool textRelocations = false;
    // Debugging
    std::string buildId;
    std::optional<std::array<std::uint32_t, 4>> abiTag;  // system, major, minor, patch
    std::optional<std::string> debugLink;
    std::uint32_t debugLinkCrc = 0;
    bool sectionTableRead = false;
    bool sectionNamesRead = false;
    std::size_t debugSections = 0;
    std::uint64_t symbols = 0;  // entries of .symtab; 0 when there is none
    // Hardening
    bool relro = false;
    bool writableCode = false;  // a loaded segment both writable and executable
    EStack stack = EStack::Unmarked;
    std::optional<std::uint32_t> x86Features;
    std::optional<std::uint32_t> aarch64Features;
    // Counts as the header gives them, and whether the tables could be read
    std::optional<std::size_t> programHeaders;
    bool segmentsRead = false;
    std::optional<std::size_t> sections;
    bool dynamicSymbolsRead = false;
    std::size_t imports = 0;
    std::size_t exports = 0;
    bool stackProtector = false;
    std::size_t fortified = 0;
    // Core dumps
    std::optional<std::string> program;
    std::optional<std::string> arguments;
    std::optional<unsigned> signal;
    // How far the headers say the file reaches
    std::uint64_t extent = 0;
};

class CElfReader {
public:
    CElfReader(CElfImage& image, Elf* elf, const HeaderTables& tables, bool bigEndian)
        : m_image(image), m_pElf(elf), m_tables(tables), m_bBigEndian(bigEndian) {}

    ElfFacts Read() {
        GElf_Ehdr header;
        gelf_getehdr(m_pElf, &header);
        m_facts.type = header.e_type;
        m_facts.machine = header.e_machine;
        m_facts.entry = header.e_entry;
        m_facts.extent = gelf_fsize(m_pElf, ELF_T_EHDR, 1, EV_CURRENT);
        ReadSegments();
        ReadSections();
        for (const NoteArea& area : m_vecNoteAreas) ReadNotes(area);
        return m_facts;
    }

private:
    std::uint32_t Word(const CByteReader& bytes, std::size_t k) const {
        return m_bBigEndian ? bytes.ReadBE32(k) : bytes.ReadLE32(k);
    }
    std::uint16_t Half(const CByteReader& bytes, std::size_t k) const {
        return m_bBigEndian ? bytes.ReadBE16(k) : bytes.ReadLE16(k);
    }

    // A range of the file as libelf converts it to the given type, once it
    // is loaded; null when it lies (partly) outside the file.
    Elf_Data* Chunk(std::uint64_t offset, std::uint64_t size, Elf_Type type) {
        if (!m_image.Load(offset, size)) return nullptr;
        return elf_getdata_rawchunk(m_pElf, static_cast<std::int64_t>(offset), static_cast<std::size_t>(size), type);
    }

    // The bytes at a virtual address, through the loaded segment that holds it.
    Elf_Data* ChunkAtAddress(std::uint64_t address, std::uint64_t size) {
        for (const GElf_Phdr& load : m_vecLoads) {
            if (address < load.p_vaddr || address - load.p_vaddr >= load.p_filesz) continue;
            const std::uint64_t into = address - load.p_vaddr;
            return Chunk(load.p_offset + into, std::min(size, load.p_filesz - into), ELF_T_BYTE);
        }
        return nullptr;
    }

    void ReadSegments() {
        std::size_t count = 0;
        if (elf_getphdrnum(m_pElf, &count) != 0) return;
        // libelf counts only the headers inside the file; the file tells
        // how many there should be.
        m_facts.programHeaders = std::max<std::uint64_t>(count, m_tables.phnum);
        m_facts.extent = std::max(m_facts.extent, EndOf(m_tables.phoff, TableSize(*m_facts.programHeaders,
                                                                                   gelf_fsize(m_pElf, ELF_T_PHDR, 1, EV_CURRENT))));
        std::optional<GElf_Phdr> dynamic;
        for (std::size_t i = 0; i < count && i < kMaxHeaders; ++i) {
            GElf_Phdr segment;
            // libelf reads the whole table or none of it.
            if (gelf_getphdr(m_pElf, static_cast<int>(i), &segment) == nullptr) return;
            m_facts.extent = std::max(m_facts.extent, EndOf(segment.p_offset, segment.p_filesz));
            switch (segment.p_type) {
                case PT_LOAD:
                    m_vecLoads.push_back(segment);
                    if ((segment.p_flags & PF_W) && (segment.p_flags & PF_X)) m_facts.writableCode = true;
                    break;
                case PT_INTERP:
                    m_facts.interpreterSegment = true;
                    if (!m_facts.interpreter) {
                        if (Elf_Data* text = Chunk(segment.p_offset, segment.p_filesz, ELF_T_BYTE))
                            m_facts.interpreter = Printable(StringAt(text, 0));
                    }
                    break;
                case PT_DYNAMIC:
                    if (!dynamic) dynamic = segment;
                    break;
                case PT_NOTE:
                    if (m_vecNoteAreas.size() < kMaxNoteAreas)
                        m_vecNoteAreas.push_back({segment.p_offset, segment.p_filesz, segment.p_align});
                    break;
                case PT_GNU_STACK:
                    m_facts.stack = (segment.p_flags & PF_X) ? EStack::Executable : EStack::NonExecutable;
                    break;
                case PT_GNU_RELRO: m_facts.relro = true; break;
                default: break;
            }
        }
        m_facts.segmentsRead = count == *m_facts.programHeaders;
        // Its strings are found by address, through the loaded segments.
        if (dynamic) ReadDynamic(*dynamic);
    }

    void ReadDynamic(const GElf_Phdr& segment) {
        Elf_Data* entries = Chunk(segment.p_offset, segment.p_filesz, ELF_T_DYN);
        if (entries == nullptr) return;
        const std::size_t count = entries->d_size / gelf_fsize(m_pElf, ELF_T_DYN, 1, EV_CURRENT);
        std::vector<std::uint64_t> needed;
        std::optional<std::uint64_t> soname, rpath, runpath;
        std::optional<std::uint64_t> strings;
        std::uint64_t stringsSize = std::numeric_limits<std::uint64_t>::max();
        // A section without its DT_NULL ends where its bytes end.
        for (std::size_t i = 0; i < count && i < kMaxDynamicEntries; ++i) {
            GElf_Dyn entry;
            if (gelf_getdyn(entries, static_cast<int>(i), &entry) == nullptr || entry.d_tag == DT_NULL) break;
            const std::uint64_t value = entry.d_un.d_val;
            switch (entry.d_tag) {
                case DT_NEEDED:
                    if (needed.size() < kMaxNeededLines) needed.push_back(value);
                    else ++m_facts.neededLeftOut;
                    break;
                case DT_SONAME: soname = value; break;
                case DT_RPATH: rpath = value; break;
                case DT_RUNPATH: runpath = value; break;
                case DT_STRTAB: strings = value; break;
                case DT_STRSZ: stringsSize = value; break;
                case DT_BIND_NOW: m_facts.bindNow = true; break;
                case DT_TEXTREL: m_facts.textRelocations = true; break;
                case DT_FLAGS:
                    if (value & DF_BIND_NOW) m_facts.bindNow = true;
                    if (value & DF_TEXTREL) m_facts.textRelocations = true;
                    break;
                case DT_FLAGS_1:
                    if (value & DF_1_NOW) m_facts.bindNow = true;
                    if (value & DF_1_PIE) m_facts.pieFlag = true;
                    break;
                default: break;
            }
        }
        // Without its string table no name can be shown.
        if (!strings) return;
        const Elf_Data* table = ChunkAtAddress(*strings, stringsSize);
        const auto text = [&](std::uint64_t index) { return Printable(StringAt(table, index)); };
        for (const std::uint64_t index : needed) m_facts.needed.push_back(text(index));
        if (soname) m_facts.soname = text(*soname);
        if (rpath) m_facts.rpath = text(*rpath);
        if (runpath) m_facts.runpath = text(*runpath);
    }

    void ReadSections() {
        std::size_t count = 0;
        if (elf_getshdrnum(m_pElf, &count) != 0) return;
        // As for the program headers.
        m_facts.sections = std::max<std::uint64_t>(count, m_tables.shnum);
        const std::uint64_t tableSize = TableSize(*m_facts.sections, gelf_fsize(m_pElf, ELF_T_SHDR, 1, EV_CURRENT));
        m_facts.extent = std::max(m_facts.extent, EndOf(m_tables.shoff, tableSize));
        // A table outside the file, or too large to read, tells nothing: no
        // line may say "stripped" then.
        if (tableSize > 0 && (count != *m_facts.sections || !m_image.Load(m_tables.shoff, tableSize))) return;
        const bool notesFromSections = m_vecNoteAreas.empty();
        std::size_t namesIndex = 0;
        const Elf_Data* names = nullptr;
        if (elf_getshdrstrndx(m_pElf, &namesIndex) == 0) names = SectionBytes(elf_getscn(m_pElf, namesIndex));
        m_facts.sectionNamesRead = names != nullptr;
        bool debugLinkSeen = false;
        std::size_t walked = 0;
        for (Elf_Scn* section = nullptr; (section = elf_nextscn(m_pElf, section)) != nullptr && walked < kMaxHeaders;
             ++walked) {
            GElf_Shdr sh;
            if (gelf_getshdr(section, &sh) == nullptr) return;
            if (sh.sh_type != SHT_NOBITS) m_facts.extent = std::max(m_facts.extent, EndOf(sh.sh_offset, sh.sh_size));
            const std::string_view name = StringAt(names, sh.sh_name);
            if ((name.starts_with(".debug_") || name.starts_with(".zdebug_")) && sh.sh_type != SHT_NOBITS)
                ++m_facts.debugSections;
            // Linkers write one; a file with thousands must not cost a read each.
            if (name == ".gnu_debuglink" && !debugLinkSeen) {
                debugLinkSeen = true;
                ReadDebugLink(SectionBytes(section));
            }
            switch (sh.sh_type) {
                case SHT_SYMTAB: m_facts.symbols += sh.sh_size / gelf_fsize(m_pElf, ELF_T_SYM, 1, EV_CURRENT); break;
                case SHT_DYNSYM:
                    if (!m_facts.dynamicSymbolsRead) ReadDynamicSymbols(sh);
                    break;
                case SHT_NOTE:
                    if (notesFromSections && m_vecNoteAreas.size() < kMaxNoteAreas)
                        m_vecNoteAreas.push_back({sh.sh_offset, sh.sh_size, sh.sh_addralign});
                    break;
                default: break;
            }
        }
        m_facts.sectionTableRead = true;
    }

    const Elf_Data* SectionBytes(Elf_Scn* section) {
        GElf_Shdr sh;
        if (section == nullptr || gelf_getshdr(section, &sh) == nullptr || sh.sh_type == SHT_NOBITS) return nullptr;
        return Chunk(sh.sh_offset, sh.sh_size, ELF_T_BYTE);
    }

    // The name of the separate debug file, then its CRC-32 at the next
    // multiple of four.
    void ReadDebugLink(const Elf_Data* bytes) {
        if (bytes == nullptr) return;
        const char* text = static_cast<const char*>(bytes->d_buf);
        const void* end = std::memchr(text, 0, bytes->d_size);
        if (end == nullptr) return;
        const std::string_view name(text, static_cast<std::size_t>(static_cast<const char*>(end) - text));
        const CByteReader link(static_cast<const std::uint8_t*>(bytes->d_buf), bytes->d_size);
        const std::size_t crcAt = (name.size() + 4) & ~std::size_t{3};
        m_facts.debugLinkCrc = Word(link, crcAt);
        if (link.Ok()) m_facts.debugLink = Printable(name);
    }

    void ReadDynamicSymbols(const GElf_Shdr& sh) {
        const std::size_t entry = gelf_fsize(m_pElf, ELF_T_SYM, 1, EV_CURRENT);
        if (sh.sh_size / entry > kMaxSymbols) return;
        Elf_Data* symbols = Chunk(sh.sh_offset, sh.sh_size, ELF_T_SYM);
        if (symbols == nullptr) return;
        const Elf_Data* names = SectionBytes(elf_getscn(m_pElf, sh.sh_link));
        const std::size_t count = symbols->d_size / entry;
        // Entry 0 is the null symbol every table begins with.
        for (std::size_t i = 1; i < count; ++i) {
            GElf_Sym symbol;
            if (gelf_getsym(symbols, static_cast<int>(i), &symbol) == nullptr) return;
            if (symbol.st_shndx == SHN_UNDEF) {
                ++m_facts.imports;
                const std::string_view name = StringAt(names, symbol.st_name);
                if (name == "__stack_chk_fail" || name == "__stack_chk_guard") m_facts.stackProtector = true;
                else if (name.ends_with("_chk")) ++m_facts.fortified;
                continue;
            }
            const unsigned binding = GELF_ST_BIND(symbol.st_info);
            const unsigned visibility = GELF_ST_VISIBILITY(symbol.st_other);
            if ((binding == STB_GLOBAL || binding == STB_WEAK || binding == STB_GNU_UNIQUE) &&
                (visibility == STV_DEFAULT || visibility == STV_PROTECTED))
                ++m_facts.exports;
        }
        m_facts.dynamicSymbolsRead = true;
    }

    void ReadNotes(const NoteArea& area) {
        // Notes aligned to 8 bytes (the GNU property note) pad to 8.
        Elf_Data* notes = Chunk(area.offset, area.size, area.align == 8 ? ELF_T_NHDR8 : ELF_T_NHDR);
        if (notes == nullptr) return;
        const CByteReader bytes(static_cast<const std::uint8_t*>(notes->d_buf), notes->d_size);
        std::size_t offset = 0;
        for (std::size_t n = 0; n < kMaxNotes && offset < notes->d_size; ++n) {
            GElf_Nhdr note;
            std::size_t nameAt = 0;
            std::size_t descAt = 0;
            const std::size_t next = gelf_getnote(notes, offset, &note, &nameAt, &descAt);
            if (next == 0 || !bytes.Has(nameAt, note.n_namesz) || !bytes.Has(descAt, note.n_descsz)) return;
            const std::string_view name(reinterpret_cast<const char*>(bytes.Data()) + nameAt, note.n_namesz);
            const CByteReader desc = bytes.Sub(descAt, note.n_descsz);
            if (name == std::string_view("GNU", 4)) ReadGnuNote(note.n_type, desc);
            else if (name == std::string_view("CORE", 5)) ReadCoreNote(note.n_type, desc);
            offset = next;
        }
    }

    void ReadGnuNote(std::uint32_t type, const CByteReader& desc) {
        switch (type) {
            case NT_GNU_BUILD_ID:
                m_facts.buildId.clear();
                for (std::size_t i = 0; i < desc.Size() && i < kMaxBuildIdBytes; ++i)
                    AppendFormat(m_facts.buildId, "%02x", desc.Byte(i));
                break;
            case NT_GNU_ABI_TAG:
                if (desc.Has(0, 16)) m_facts.abiTag = {{Word(desc, 0), Word(desc, 4), Word(desc, 8), Word(desc, 12)}};
                break;
            case NT_GNU_PROPERTY_TYPE_0: ReadProperties(desc); break;
            default: break;
        }
    }

    // Properties: type and size (32 bits each), then the data, padded to the
    // word size of the class.
    void ReadProperties(const CByteReader& desc) {
        const std::size_t align = gelf_getclass(m_pElf) == ELFCLASS64 ? 8 : 4;
        const bool x86 = m_facts.machine == EM_X86_64 || m_facts.machine == EM_386;
        std::size_t k = 0;
        while (desc.Has(k, 8)) {
            const std::uint32_t type = Word(desc, k);
            const std::uint32_t size = Word(desc, k + 4);
            k += 8;
            if (!desc.Has(k, size)) return;
            if (size >= 4 && x86 && type == GNU_PROPERTY_X86_FEATURE_1_AND) m_facts.x86Features = Word(desc, k);
            if (size >= 4 && m_facts.machine == EM_AARCH64 && type == GNU_PROPERTY_AARCH64_FEATURE_1_AND)
                m_facts.aarch64Features = Word(desc, k);
            k += (size + align - 1) / align * align;
        }
    }

    void ReadCoreNote(std::uint32_t type, const CByteReader& desc) {
        if (type == NT_PRSTATUS && !m_facts.signal && desc.Has(kPrstatusSignalOffset, 2)) {
            m_facts.signal = Half(desc, kPrstatusSignalOffset);  // the first thread is the one signalled
        } else if (type == NT_PRPSINFO && desc.Size() >= kPrpsinfoNameBytes + kPrpsinfoArgsBytes) {
            const std::size_t nameAt = desc.Size() - kPrpsinfoNameBytes - kPrpsinfoArgsBytes;
            const auto field = [&](std::size_t at, std::size_t size) {
                std::string_view text(reinterpret_cast<const char*>(desc.Data()) + at, size);
                text = text.substr(0, text.find('\0'));
                while (text.ends_with(' ')) text.remove_suffix(1);  // the kernel leaves one after the last argument
                return Printable(text);
            };
            m_facts.program = field(nameAt, kPrpsinfoNameBytes);
            m_facts.arguments = field(nameAt + kPrpsinfoNameBytes, kPrpsinfoArgsBytes);
        }
    }

    CElfImage& m_image;
    Elf* m_pElf;
    HeaderTables m_tables;
    bool m_bBigEndian;
    ElfFacts m_facts;
    std::vector<GElf_Phdr> m_vecLoads;
    std::vector<NoteArea> m_vecNoteAreas;
};

// A shared object that names an interpreter, or is marked so, is a program.
bool IsPie(const ElfFacts& facts) { return facts.type == ET_DYN && (facts.interpreterSegment || facts.pieFlag); }

std::string TypeText(const ElfFacts& facts) {
    switch (facts.type) {
        case ET_REL: return "relocatable object";
        case ET_EXEC: return "executable";
        case ET_DYN:
            if (IsPie(facts)) return "PIE executable";
            return facts.segmentsRead ? "shared object" : "shared object or PIE executable";
        case ET_CORE: return "core dump";
        default: return Format("type 0x%X", facts.type);
    }
}

std::string FeatureText(std::uint32_t features, std::string_view first, std::string_view second) {
    std::string text;
    if (features & 1) text = first;
    if (features & 2) text += text.empty() ? std::string(second) : ", " + std::string(second);
    return text.empty() ? "none" : text;
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return Format("%zu %s", n, n == 1 ? one : many);
}

void WriteIdentification(const CByteReader& ident, std::string& out) {
    Line(out, "Class", NameOf(kClasses, ident.Byte(EI_CLASS), "class"));
    Line(out, "Data encoding", NameOf(kEncodings, ident.Byte(EI_DATA), "encoding"));
    Line(out, "OS/ABI", NameOf(kOsAbis, ident.Byte(EI_OSABI), "OS/ABI"));
    Line(out, "ABI version", Format("%u", ident.Byte(EI_ABIVERSION)));
}

void WriteFacts(const ElfFacts& facts, const CByteReader& ident, std::uint64_t fileSize, std::string& out) {
    const bool executable = facts.type == ET_EXEC || IsPie(facts);
    const bool program = facts.type == ET_EXEC || facts.type == ET_DYN;
    const std::string machine = facts.machine == EM_S390 && ident.Byte(EI_CLASS) == ELFCLASS32
                                    ? "s390"
                                    : NameOf(kMachines, facts.machine, "machine");
    Line(out, "Type", TypeText(facts));
    Line(out, "Machine", machine);
    if (program) Line(out, "Entry point", Format("0x%llX", static_cast<unsigned long long>(facts.entry)));

    if (facts.interpreter) Line(out, "Interpreter", *facts.interpreter);
    else if (executable && facts.segmentsRead && !facts.interpreterSegment) Line(out, "Interpreter", "none (statically linked)");
    if (facts.soname) Line(out, "SONAME", *facts.soname);
    for (const std::string& library : facts.needed) Line(out, "Needed", library);
    if (facts.neededLeftOut > 0) Line(out, "Needed", Format("(%zu more)", facts.neededLeftOut));
    if (facts.rpath) Line(out, "RPATH", *facts.rpath);
    if (facts.runpath) Line(out, "RUNPATH", *facts.runpath);

    if (!facts.buildId.empty()) Line(out, "Build ID", facts.buildId);
    if (facts.abiTag) {
        const auto& [system, major, minor, patch] = *facts.abiTag;
        Line(out, "ABI tag", Format("%s %u.%u.%u", NameOf(kAbiTagSystems, system, "system").c_str(), major, minor, patch));
    }
    if (facts.debugLink) Line(out, "Debug link", Format("%s (CRC-32 %08X)", facts.debugLink->c_str(), facts.debugLinkCrc));
    // Debug sections are known by name, the symbol table by its type.
    if (facts.sectionTableRead && facts.sectionNamesRead && facts.type != ET_CORE)
        Line(out, "Debug info", facts.debugSections ? "DWARF, " + Count(facts.debugSections, "section", "sections") : "none");
    if (facts.sectionTableRead && facts.type != ET_CORE)
        Line(out, "Symbol table", facts.symbols ? Count(facts.symbols, "entry", "entries") : "stripped");

    if (executable) Line(out, "PIE", facts.type == ET_DYN ? "yes" : "no");
    // These are told by the program headers alone.
    if (program && facts.segmentsRead) {
        Line(out, "RELRO", !facts.relro ? "none" : facts.bindNow ? "full" : "partial");
        Line(out, "NX", facts.stack == EStack::NonExecutable ? "yes" : facts.stack == EStack::Executable ? "no" : "not marked");
    }
    // A static program carries these functions itself: its imports tell nothing.
    const bool staticProgram = executable && facts.segmentsRead && !facts.interpreterSegment;
    if (program && !staticProgram && facts.dynamicSymbolsRead) {
        Line(out, "Stack protector", facts.stackProtector ? "yes" : "no");
        Line(out, "FORTIFY", facts.fortified ? Count(facts.fortified, "function", "functions") : "none");
    }
    if (facts.x86Features) Line(out, "CET", FeatureText(*facts.x86Features, "IBT", "SHSTK"));
    else if (program && (facts.machine == EM_X86_64 || facts.machine == EM_386)) Line(out, "CET", "none");
    if (facts.aarch64Features) Line(out, "Branch protect.", FeatureText(*facts.aarch64Features, "BTI", "PAC"));
    if (program && facts.stack == EStack::Executable) Line(out, "Warning", "executable stack");
    if (facts.writableCode) Line(out, "Warning", "writable and executable segment");
    if (facts.textRelocations) Line(out, "Warning", "text relocations");
    if (facts.extent > fileSize)
        Line(out, "Warning", Format("cut short: %llu of %llu bytes", static_cast<unsigned long long>(fileSize),
                                    static_cast<unsigned long long>(facts.extent)));

    if (facts.programHeaders) Line(out, "Program headers", Format("%zu", *facts.programHeaders));
    if (facts.sections) Line(out, "Sections", Format("%zu", *facts.sections));
    if (facts.dynamicSymbolsRead) {
        Line(out, "Dynamic imports", Format("%zu", facts.imports));
        Line(out, "Dynamic exports", Format("%zu", facts.exports));
    }

    if (facts.program) Line(out, "Program", *facts.program);
    if (facts.arguments) Line(out, "Arguments", *facts.arguments);
    if (facts.signal) {
        const unsigned number = *facts.signal;
        // No signal: the process was dumped while it ran (gdb's gcore).
        std::string signal = number == 0 ? "none" : Format("%u", number);
        if (number < std::size(kSignalNames) && !kSignalNames[number].empty() &&
            std::ranges::find(kOtherSignalMachines, facts.machine) == std::end(kOtherSignalMachines))
            signal += " (" + std::string(kSignalNames[number]) + ")";
        Line(out, "Signal", signal);
    }
}

}  // namespace

void ReportElf(const IByteSource& source, std::string& out) {
    const std::vector<std::uint8_t> identBytes = ReadBlock(source, 0, kIdentBytes);
    const CByteReader ident(identBytes);
    if (!ident.Matches(0, std::string_view(ELFMAG, SELFMAG))) return;
    if (identBytes.size() == kIdentBytes) WriteIdentification(ident, out);

    CElfImage image(source);
    if (image.Data() == nullptr) return;  // no address space for the image: nothing more can be told
    HeaderTables tables;
    Elf* elf = OpenElf(image, tables);
    if (elf == nullptr) {
        Line(out, "Warning", "the header is damaged or cut short");
        return;
    }
    const ElfFacts facts = CElfReader(image, elf, tables, ident.Byte(EI_DATA) == ELFDATA2MSB).Read();
    elf_end(elf);
    WriteFacts(facts, ident, source.Size(), out);
}

}  // namespace quiddity
