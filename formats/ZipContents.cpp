// ZIP archives (PKWARE's APPNOTE.TXT), read with zlib's minizip over the
// report's one byte source, and the formats built on them: OpenDocument and
// EPUB (OASIS OCF: a first entry "mimetype"), Office Open XML (ECMA-376:
// docProps/app.xml), XPS, Windows gadgets and Java archives.
#include "formats/ZipContents.h"

#include <unzip.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"

namespace quiddity {

namespace {

constexpr std::string_view kLocalHeader = "PK\x03\x04";
constexpr std::uint64_t kMaxListedEntries = 200;  // entries listed and looked at for marks
constexpr std::size_t kNameBytes = 260;           // names as stored, up to 259 bytes
// An entry's contents are looked at only when it fits this buffer with two
// zero bytes to spare, so that its text always ends.
constexpr std::size_t kExtractBufferBytes = 9216;
constexpr std::size_t kMaxExtractedBytes = kExtractBufferBytes - 2;
constexpr std::uint32_t kEncryptedFlag = 0x0001;  // general purpose bit 0

using ExtractBuffer = std::array<std::uint8_t, kExtractBufferBytes>;

// minizip reads the archive through these: one stream over the source,
// never a second opening of the file.
struct SourceStream {
    const IByteSource* pSource;
    std::uint64_t nPosition;
};

voidpf ZCALLBACK OpenStream(voidpf opaque, const void*, int mode) {
    return (mode & ZLIB_FILEFUNC_MODE_WRITE) ? nullptr : opaque;
}

uLong ZCALLBACK ReadStream(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* s = static_cast<SourceStream*>(stream);
    const std::size_t got = s->pSource->ReadAt(s->nPosition, std::span(static_cast<std::uint8_t*>(buffer), size));
    s->nPosition += got;
    return got;
}

uLong ZCALLBACK WriteStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf stream) { return static_cast<SourceStream*>(stream)->nPosition; }

long ZCALLBACK SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<SourceStream*>(stream);
    std::uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = s->nPosition;
    else if (origin == ZLIB_FILEFUNC_SEEK_END) base = s->pSource->Size();
    else if (origin != ZLIB_FILEFUNC_SEEK_SET) return -1;
    if (offset > UINT64_MAX - base) return -1;
    s->nPosition = base + offset;  // past the end is allowed: reads there give nothing
    return 0;
}

int ZCALLBACK CloseStream(voidpf, voidpf) { return 0; }
int ZCALLBACK StreamError(voidpf, voidpf) { return 0; }

class CZipArchive {
public:
    explicit CZipArchive(const IByteSource& source) : m_stream{&source, 0} {
        zlib_filefunc64_def functions{};
        functions.zopen64_file = OpenStream;
        functions.zread_file = ReadStream;
        functions.zwrite_file = WriteStream;
        functions.ztell64_file = TellStream;
        functions.zseek64_file = SeekStream;
        functions.zclose_file = CloseStream;
        functions.zerror_file = StreamError;
        functions.opaque = &m_stream;
        m_zip = unzOpen2_64("", &functions);
    }
    ~CZipArchive() {
        if (m_zip != nullptr) unzClose(m_zip);
    }
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    unzFile Handle() const { return m_zip; }

private:
    SourceStream m_stream;
    unzFile m_zip = nullptr;
};

// Makes entry `index` (in central-directory order) the current one.
bool GoToEntry(unzFile zip, std::uint64_t index) {
    if (unzGoToFirstFile(zip) != UNZ_OK) return false;
    for (std::uint64_t i = 0; i < index; ++i)
        if (unzGoToNextFile(zip) != UNZ_OK) return false;
    return true;
}

// Reads entry `index` into buffer (zero-filled first), at most
// kMaxExtractedBytes of it.  True when the whole entry arrived and its
// CRC matched; an encrypted entry is never read.
bool ExtractEntry(unzFile zip, std::uint64_t index, ExtractBuffer& buffer) {
    buffer.fill(0);
    unz_file_info64 info{};
    if (!GoToEntry(zip, index) || unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    if ((info.flag & kEncryptedFlag) != 0 || unzOpenCurrentFile(zip) != UNZ_OK) return false;
    std::size_t got = 0;
    int read = 1;
    while (got < kMaxExtractedBytes && read > 0) {
        read = unzReadCurrentFile(zip, buffer.data() + got, static_cast<unsigned>(kMaxExtractedBytes - got));
        if (read > 0) got += static_cast<std::size_t>(read);
    }
    std::uint8_t beyond = 0;
    const bool ended = read == 0 || (read > 0 && unzReadCurrentFile(zip, &beyond, 1) == 0);
    // Closing checks the CRC of an entry read to its end.
    const bool closed = unzCloseCurrentFile(zip) == UNZ_OK;
    return ended && closed;
}

// The buffer's text, up to its first zero byte.
std::string_view BufferText(const ExtractBuffer& buffer) {
    const auto* text = reinterpret_cast<const char*>(buffer.data());
    return {text, ::strnlen(text, buffer.size())};
}

bool StartsWithAnyCase(std::string_view text, std::string_view prefix) {
    return CByteReader(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()).MatchesAnyCase(0, prefix);
}

bool EqualsAnyCase(std::string_view text, std::string_view other) {
    return text.size() == other.size() && StartsWithAnyCase(text, other);
}

// A name as the report shows it: UTF-8 kept, anything else read as code
// page 437 (the encoding of archives without the UTF-8 flag), so that no
// invalid bytes reach the report.
std::string ShownName(std::string_view name) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    std::string utf8;
    if (IsValidUtf8(bytes)) utf8.assign(name);
    else AppendCp437AsUtf8(bytes, utf8);
    return MarkupText(std::move(utf8));
}

// What the names of the listed entries show about the archive.
struct ZipMarks {
    std::optional<std::uint64_t> mimetype;
    std::optional<std::uint64_t> officeProperties;
    std::optional<std::uint64_t> javaManifest;
    bool bGadget = false;
    bool bXps = false;
    bool bPowerPoint = false;
    bool bExcel = false;
    bool bWord = false;

    void Note(std::string_view name, std::uint64_t index) {
        if (EqualsAnyCase(name, "mimetype")) mimetype = index;
        if (EqualsAnyCase(name, "gadget.xml")) bGadget = true;
        if (EqualsAnyCase(name, "FixedDocSeq.fdseq")) bXps = true;
        if (EqualsAnyCase(name, "docProps/app.xml")) officeProperties = index;
        if (EqualsAnyCase(name, "meta-inf/manifest.mf")) javaManifest = index;
        bPowerPoint |= StartsWithAnyCase(name, "ppt/");
        bExcel |= StartsWithAnyCase(name, "xl/");
        bWord |= StartsWithAnyCase(name, "word/");
    }
};

// The count line and one line per listed entry; false when the archive
// has no entry count.
bool ListEntries(unzFile zip, ZipMarks& marks, std::string& out) {
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK) return false;
    // Counts and sizes stay 64-bit: ZIP64 archives pass 65535 entries and
    // 4 GiB entries, and a 32-bit signed size would lose the note from 2 GiB.
    const auto count = static_cast<unsigned long long>(global.number_entry);
    AppendFormat(out, "<cond>Items in zip-file: %llu  ", count);
    if (count > kMaxListedEntries)
        AppendFormat(out, "  <gray>(only showing the first %llu)", static_cast<unsigned long long>(kMaxListedEntries));
    out += "\n";
    // A count larger than the entries ends the list where minizip finds none.
    for (std::uint64_t i = 0; i < count && i < kMaxListedEntries; ++i) {
        if ((i == 0 ? unzGoToFirstFile(zip) : unzGoToNextFile(zip)) != UNZ_OK) break;
        unz_file_info64 info{};
        std::array<char, kNameBytes> name{};
        if (unzGetCurrentFileInfo64(zip, &info, name.data(), name.size(), nullptr, 0, nullptr, 0) != UNZ_OK) break;
        const std::size_t stored = std::min<std::size_t>(info.size_filename, name.size() - 1);
        const std::string_view raw(name.data(), ::strnlen(name.data(), stored));
        marks.Note(raw, i);
        out += "<pre>  " + ShownName(raw);
        if (info.uncompressed_size > 0)
            AppendFormat(out, "  <fixgray>(size:%llu)", static_cast<unsigned long long>(info.uncompressed_size));
        out += "\n";
    }
    return true;
}

// The text of the mimetype entry named as the family it belongs to.
std::string DescribeMimetype(std::string_view mimetype) {
    struct Family {
        std::string_view prefix;
        std::size_t nShownFrom;  // the text shown starts here
        std::string_view label;
    };
    // OpenDocument shows its type from after "application/vnd.oasis.".
    static constexpr Family kFamilies[] = {
        {"application/vnd.oasis.opendocument", 22, "Open Document Format: "},
        {"application/vnd.sun.xml.", 24, "Star Office: "},
        {"application/", 12, "OCF Container Format: "},
    };
    for (const Family& family : kFamilies) {
        if (StartsWithAnyCase(mimetype, family.prefix))
            return std::string(family.label) + MarkupText(std::string(mimetype.substr(family.nShownFrom))) + "\n";
    }
    return {};
}

// "<Tag>" and the text after it up to the next "<", as one line; nothing
// when the tag is missing or holds no text.
std::string PropertyLine(std::string_view xml, std::string_view tag, const char* label) {
    const std::size_t at = xml.find(tag);
    if (at == std::string_view::npos) return {};
    const std::string_view rest = xml.substr(at + tag.size());
    const std::string_view value = rest.substr(0, rest.find('<'));
    if (value.empty()) return {};
    return Format("<pre>  %s: ", label) + MarkupText(std::string(value)) + "\n";
}

std::string DescribeOffice(unzFile zip, const ZipMarks& marks, ExtractBuffer& buffer) {
    std::string text = "<cond>Office ";
    if (marks.bPowerPoint) text += "Powerpoint ";
    if (marks.bExcel) text += "Excel ";
    if (marks.bWord) text += "Word ";
    text += "Document\n";
    if (ExtractEntry(zip, *marks.officeProperties, buffer)) {
        const std::string_view xml = BufferText(buffer);
        text += PropertyLine(xml, "<Application>", "Application..");
        text += PropertyLine(xml, "<AppVersion>", "AppVersion...");
    }
    return text + "\n";
}

std::string DescribeJar(unzFile zip, std::uint64_t manifest, ExtractBuffer& buffer) {
    constexpr std::string_view kMainClass = "Main-Class:";
    std::string text = "JAR Java Archive/Executable";
    if (ExtractEntry(zip, manifest, buffer)) {
        const CByteReader bytes(buffer.data(), kMaxExtractedBytes);
        for (std::size_t at = 0; at + kMainClass.size() <= kMaxExtractedBytes; ++at) {
            if (!bytes.MatchesAnyCase(at, kMainClass)) continue;
            // The blank after the colon stays; the name ends at a control
            // character or a byte of 0x80 and above.
            std::string name;
            for (std::size_t k = at + kMainClass.size(); k < kMaxExtractedBytes; ++k) {
                const std::uint8_t c = bytes.Byte(k);
                if (c < 0x20 || c >= 0x80) break;
                name += static_cast<char>(c);
            }
            text += ", main class: " + MarkupText(std::move(name));
            break;
        }
    }
    return text + "\n";
}

}  // namespace

std::string MarkupText(std::string utf8) {
    DotControlCharacters(utf8);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '<') escaped += "<lt>";
        else if (c == '>') escaped += "<gt>";
        else escaped += c;
    }
    return escaped;
}

void ReportZipContents(const IByteSource& source, std::string& out) {
    out.clear();
    std::array<std::uint8_t, kLocalHeader.size()> signature{};
    if (source.ReadAt(0, signature) != signature.size() ||
        std::memcmp(signature.data(), kLocalHeader.data(), signature.size()) != 0)
        return;
    const CZipArchive archive(source);
    const unzFile zip = archive.Handle();
    if (zip == nullptr) return;
    ZipMarks marks;
    std::string text;
    if (!ListEntries(zip, marks, text)) return;

    // Each finding goes in front: the last one found stands first.
    ExtractBuffer buffer{};
    if (marks.mimetype && ExtractEntry(zip, *marks.mimetype, buffer)) text = DescribeMimetype(BufferText(buffer)) + text;
    if (marks.officeProperties) text = DescribeOffice(zip, marks, buffer) + text;
    if (marks.bGadget) text = "Vista Gadget\n" + text;
    if (marks.bXps) text = "XPS, XML Paper Specification\n" + text;
    if (marks.javaManifest) text = DescribeJar(zip, *marks.javaManifest, buffer) + text;
    out = std::move(text);
}

}  // namespace quiddity
