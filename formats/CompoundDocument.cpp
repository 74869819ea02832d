// The report of an OLE2 compound document: its storages and streams as an
// indented tree, with the summary property sets ([MS-OLEPS]), the CompObj
// record and the short texts of Outlook messages ([MS-OXMSG]) expanded.
#include "formats/CompoundDocument.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "core/TextHelpers.h"
#include "formats/CompoundFile.h"

namespace quiddity {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 4> kSignature{0xD0, 0xCF, 0x11, 0xE0};
// What is read of a stream that is described.
constexpr std::size_t kMaxDescribedBytes = 1024;
// The application name may follow long texts: its lookup reads further.
constexpr std::size_t kMaxSummaryLookupBytes = 65536;
// Storages nested deeper are not opened: a tree that deep is crafted.
constexpr std::size_t kMaxStorageDepth = 32;
constexpr std::size_t kIndentStep = 4;

// {F29F85E0-4FF9-1068-AB91-08002B27B3D9} and {D5CDD502-2E9C-101B-9397-08002B2CF9AE} as stored.
constexpr std::array<std::uint8_t, 16> kSummaryId{0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                  0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::array<std::uint8_t, 16> kDocumentSummaryId{0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                                          0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

// Property set stream: byte order, section count, section list.
constexpr std::size_t kMinPropertySet = 48;
constexpr std::uint16_t kByteOrder = 0xFFFE;
constexpr std::size_t kSectionCountAt = 24;
constexpr std::size_t kSectionListAt = 28;
constexpr std::size_t kSectionEntryBytes = 20;
constexpr std::size_t kSectionOffsetAt = 16;
// Section: size, property count, then identifier and offset pairs.
constexpr std::size_t kSectionHeaderBytes = 8;
constexpr std::size_t kPropertyPairBytes = 8;

constexpr std::uint32_t kCodePageId = 1;
constexpr std::uint32_t kApplicationNameId = 18;
constexpr std::uint16_t kCodePageUtf16 = 1200;
constexpr std::uint16_t kCodePageUtf8 = 65001;

// Variant types of property values.
constexpr std::uint32_t kTypeI2 = 2;
constexpr std::uint32_t kTypeI4 = 3;
constexpr std::uint32_t kTypeBstr = 8;
constexpr std::uint32_t kTypeBool = 11;
constexpr std::uint32_t kTypeUi1 = 17;
constexpr std::uint32_t kTypeUi2 = 18;
constexpr std::uint32_t kTypeUi4 = 19;
constexpr std::uint32_t kTypeLpstr = 30;
constexpr std::uint32_t kTypeLpwstr = 31;
constexpr std::uint32_t kTypeFileTime = 64;
constexpr std::uint32_t kTypeLpstrVector = 0x101E;
constexpr std::size_t kMaxVectorElements = 64;

// CompObj: class identifier, then counted texts.
constexpr std::size_t kCompObjClassIdAt = 12;
constexpr std::size_t kCompObjUserTypeAt = 28;
constexpr std::size_t kMaxCompObjText = 63;

// Outlook message property streams: "__substg1.0_", property id, type.
constexpr std::u16string_view kSubstgPrefix = u"__substg1.0_";
constexpr std::size_t kSubstgNameUnits = 20;
constexpr std::size_t kSubstgTextIndent = 25;
constexpr std::size_t kMaxSubstgText = 78;
constexpr std::size_t kMaxMessageClass = 127;

enum class ESetKind { Other, Summary, DocumentSummary };

struct PropertyLabel {
    std::uint32_t id;
    const char* summary;
    const char* documentSummary;  // nullptr: the identifier line
};

constexpr PropertyLabel kLabels[] = {
    {0, "    (Dictionary)...................:  ", "    (Dictionary)...................:  "},
    {1, "    Codepage.......................:  ", "    Codepage.......................:  "},
    {2, "    Title..........................:  ", "    Category.......................:  "},
    {3, "    Subject........................:  ", "    Presentation target............:  "},
    {4, "    Author.........................:  ", "    Bytes..........................:  "},
    {5, "    Keywords.......................:  ", "    Lines..........................:  "},
    {6, "    Comments.......................:  ", "    Paragraphs.....................:  "},
    {7, "    Template.......................:  ", "    Slides.........................:  "},
    {8, "    Last Author....................:  ", "    Notes..........................:  "},
    {9, "    Revision.......................:  ", "    Hidden slides..................:  "},
    {10, "    Total Editing Time.............:  ", "    Multimedia clips...............:  "},
    {11, "    Last Printed...................:  ", "    ScaleCrop......................:  "},
    {12, "    Created........................:  ", "    Heading pairs..................:  "},
    {13, "    Modified.......................:  ", "    Titles of parts................:  "},
    {14, "    Pages..........................:  ", "    Manager........................:  "},
    {15, "    Words..........................:  ", "    Company........................:  "},
    {16, "    Characters.....................:  ", "    Links dirty....................:  "},
    {17, "    Thumbnail......................:  ", nullptr},
    {18, "    Application....................:  ", nullptr},
    {19, "    Security.......................:  ", nullptr},
    {22, "    Hyperlinks changed.............:  ", nullptr},
    {0x80000000, "    Locale.........................:  ", "    Locale.........................:  "},
    {0x80000003, "    Flags..........................:  ", "    Flags..........................:  "},
};
constexpr const char* kIdentifierLabel = "    ID: %08X...................:  ";
static_assert(FormatTakes(kIdentifierLabel, "X"));

// A text from the file as the report shows it.  The report writes the
// characters 1 to 5 as "*" (so "\5SummaryInformation" reads
// "*SummaryInformation"); every other control character becomes ".".
void MakeShown(std::string& utf8) {
    std::replace_if(utf8.begin(), utf8.end(), [](char c) { return c >= 1 && c <= 5; }, '*');
    DotControlCharacters(utf8);
}

std::string ShownName(const std::u16string& name) {
    std::string utf8;
    Bytes units;
    for (const char16_t unit : name) {
        units.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        units.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    AppendUtf16LeAsUtf8(units, name.size(), utf8);
    MakeShown(utf8);
    return utf8;
}

// The name equals the ASCII text, letters compared regardless of case.
bool NameIs(std::u16string_view name, std::string_view ascii) {
    return name.size() == ascii.size() &&
           std::equal(name.begin(), name.end(), ascii.begin(), [](char16_t unit, char c) {
               return unit < 0x80 && LowerAscii(static_cast<char>(unit)) == LowerAscii(c);
           });
}

// An 8-bit text of a property set in the set's code page, up to its NUL.
std::string CodePageText(std::span<const std::uint8_t> bytes, std::uint16_t codePage) {
    std::string utf8;
    if (codePage == kCodePageUtf16) {
        AppendUtf16LeAsUtf8(bytes, bytes.size() / 2, utf8);
    } else {
        const auto end = std::find(bytes.begin(), bytes.end(), 0);
        const std::span<const std::uint8_t> text(bytes.begin(), end);
        // Bytes that are no UTF-8 are read as the default code page.
        if (codePage == kCodePageUtf8 && IsValidUtf8(text)) utf8.assign(text.begin(), text.end());
        else AppendWindows1252AsUtf8(text, utf8);
    }
    MakeShown(utf8);
    return utf8;
}

std::string Utf16Text(std::span<const std::uint8_t> bytes, std::size_t units) {
    std::string utf8;
    AppendUtf16LeAsUtf8(bytes, units, utf8);
    MakeShown(utf8);
    return utf8;
}

// Up to length bytes at `at`, cut at the end of what was read.
std::span<const std::uint8_t> BytesAt(std::span<const std::uint8_t> bytes, std::uint64_t at, std::uint64_t length) {
    if (at >= bytes.size()) return {};
    return bytes.subspan(at, std::min<std::uint64_t>(length, bytes.size() - at));
}

struct PropertySection {
    ESetKind kind = ESetKind::Other;
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t count = 0;
};

struct PropertyRef {
    std::uint32_t id;
    std::uint64_t valueAt;
    std::uint32_t type;
};

// The sections of a property set whose list entry and header lie within
// its bytes; one when the count is 0 or above 2.  Empty for bytes that are
// no property set.
std::vector<PropertySection> SectionsOf(const CByteReader& set) {
    std::vector<PropertySection> sections;
    if (set.Size() < kMinPropertySet || set.ReadLE16(0) != kByteOrder) return sections;
    std::uint32_t count = set.ReadLE32(kSectionCountAt);
    if (count == 0 || count > 2) count = 1;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t entryAt = kSectionListAt + kSectionEntryBytes * k;
        if (!set.Has(entryAt, kSectionEntryBytes)) break;
        PropertySection section;
        if (std::equal(kSummaryId.begin(), kSummaryId.end(), set.Data() + entryAt)) section.kind = ESetKind::Summary;
        else if (std::equal(kDocumentSummaryId.begin(), kDocumentSummaryId.end(), set.Data() + entryAt))
            section.kind = ESetKind::DocumentSummary;
        section.offset = set.ReadLE32(entryAt + kSectionOffsetAt);
        if (!set.Has(section.offset, kSectionHeaderBytes)) continue;
        section.size = set.ReadLE32(section.offset);
        section.count = set.ReadLE32(section.offset + 4);
        sections.push_back(section);
    }
    return sections;
}

// Calls visit for each property of the section whose type field lies
// within the bytes; stops at the first identifier and offset pair that
// runs past them, so at most size / 8 steps.
template <typename Visit>
void ForEachProperty(const CByteReader& set, const PropertySection& section, Visit visit) {
    for (std::uint64_t j = 0; j < section.count; ++j) {
        const std::uint64_t pairAt = section.offset + kSectionHeaderBytes + kPropertyPairBytes * j;
        if (!set.Has(pairAt, kPropertyPairBytes)) return;
        const std::uint32_t offset = set.ReadLE32(pairAt + 4);
        const std::uint64_t valueAt = section.offset + offset;
        if (!set.Has(valueAt, 4)) continue;
        // An offset outside the section's own size has no type.
        visit(PropertyRef{set.ReadLE32(pairAt), valueAt, offset < section.size ? set.ReadLE32(valueAt) : 0});
    }
}

std::uint16_t CodePageOf(const CByteReader& set, const PropertySection& section) {
    std::uint16_t codePage = 0;
    ForEachProperty(set, section, [&](const PropertyRef& p) {
        if (p.id == kCodePageId && p.type == kTypeI2 && set.Has(p.valueAt + 4, 2)) codePage = set.ReadLE16(p.valueAt + 4);
    });
    return codePage;
}

// The counted text of a value: its length at 4, its units from 8, cut at
// the bytes read.  unitBytes is 1 for 8-bit texts and 2 for UTF-16.
std::span<const std::uint8_t> CountedValue(const CByteReader& set, std::uint64_t valueAt, std::uint64_t unitBytes) {
    const std::span<const std::uint8_t> all(set.Data(), set.Size());
    return BytesAt(all, valueAt + 8, std::uint64_t{set.ReadLE32(valueAt + 4)} * unitBytes);
}

// The value as shown after its label; false when its bytes lie past the
// bytes read, so the property is left out.
bool FormatValue(const CByteReader& set, const PropertyRef& p, std::uint16_t codePage, std::string& value) {
    const std::uint64_t at = p.valueAt + 4;
    const auto has = [&](std::uint64_t length) { return set.Has(at, length); };
    switch (p.type) {
        case 0:
        case 1: value = "(empty)"; return true;
        case kTypeI2: value = Format("%d", static_cast<std::int16_t>(set.ReadLE16(at))); return has(2);
        case kTypeI4: value = Format("%d", static_cast<std::int32_t>(set.ReadLE32(at))); return has(4);
        case kTypeBool: value = set.Byte(at) != 0 ? "TRUE" : "FALSE"; return has(1);
        case kTypeUi1: value = Format("%u", set.Byte(at)); return has(1);
        case kTypeUi2: value = Format("%u", set.ReadLE16(at)); return has(2);
        case kTypeUi4: value = Format("%u", set.ReadLE32(at)); return has(4);
        case kTypeBstr: {
            // The length of a BSTR counts bytes.
            const std::span<const std::uint8_t> units = CountedValue(set, p.valueAt, 1);
            value = Utf16Text(units, units.size() / 2);
            return has(4);
        }
        case kTypeLpwstr: {
            const std::span<const std::uint8_t> units = CountedValue(set, p.valueAt, 2);
            value = Utf16Text(units, units.size() / 2);
            return has(4);
        }
        case kTypeLpstr: value = CodePageText(CountedValue(set, p.valueAt, 1), codePage); return has(4);
        case kTypeFileTime: {
            // Times of 2^63 ticks and more are no dates: the label stands alone.
            CalendarTime time;
            if (FileTimeToCalendar(set.ReadLE64(at), time))
                value = Format("Time: %02u.%02u.%04u %02u:%02u", time.day, time.month, time.year, time.hour, time.minute);
            return has(8);
        }
        case kTypeLpstrVector: {
            if (!has(4)) return false;
            const std::uint32_t count = set.ReadLE32(at);
            value = Format("%u strings:", count);
            const std::span<const std::uint8_t> all(set.Data(), set.Size());
            std::uint64_t elementAt = at + 4;
            for (std::uint32_t i = 0; i < std::min<std::uint64_t>(count, kMaxVectorElements); ++i) {
                if (!set.Has(elementAt, 4)) break;
                const std::uint32_t length = set.ReadLE32(elementAt);
                value += "\n          " + CodePageText(BytesAt(all, elementAt + 4, length), codePage);
                elementAt += 4 + std::uint64_t{length};
            }
            return true;
        }
        default: value = Format("(unknown) %04X", p.type); return true;
    }
}

const char* LabelOf(std::uint32_t id, ESetKind kind) {
    for (const PropertyLabel& label : kLabels)
        if (label.id == id) return kind == ESetKind::Summary ? label.summary : label.documentSummary;
    return nullptr;
}

// One line per property of the summary and document summary sections.
void DescribePropertySet(std::span<const std::uint8_t> bytes, std::size_t indent, std::string& out) {
    const CByteReader set(bytes);
    for (const PropertySection& section : SectionsOf(set)) {
        if (section.kind == ESetKind::Other) continue;
        const std::uint16_t codePage = CodePageOf(set, section);
        ForEachProperty(set, section, [&](const PropertyRef& p) {
            std::string value;
            if (!FormatValue(set, p, codePage, value)) return;
            out.append(indent, ' ');
            if (const char* label = LabelOf(p.id, section.kind)) out += label;
            else AppendFormat(out, kIdentifierLabel, p.id);
            out += value;
            out += "\n";
        });
    }
}

// "{%08X-%04X-%04X-%04X-%04X%04X%04X}": the last eight bytes read in pairs
// in stored order, as the registry writes class identifiers.
std::string FormatGuid(std::span<const std::uint8_t, 16> id) {
    const CByteReader r(id);
    return Format("{%08X-%04X-%04X-%04X-%04X%04X%04X}", r.ReadLE32(0), r.ReadLE16(4), r.ReadLE16(6),
                  r.ReadBE16(8), r.ReadBE16(10), r.ReadBE16(12), r.ReadBE16(14));
}

std::string CompObjText(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    std::string utf8;
    AppendWindows1252AsUtf8(std::span(bytes.begin(), std::min<std::size_t>(end - bytes.begin(), kMaxCompObjText)), utf8);
    MakeShown(utf8);
    return utf8;
}

// Four lines: class identifier, user type, clipboard format, programmatic
// identifier.  A length past the bytes read ends the record; the lines
// it leaves out stay empty.
void DescribeCompObj(std::span<const std::uint8_t> bytes, std::size_t indent, std::string& out) {
    const CByteReader r(bytes);
    std::array<std::string, 4> lines;
    if (r.Has(kCompObjClassIdAt, 16)) lines[0] = FormatGuid(bytes.subspan(kCompObjClassIdAt).first<16>());
    std::size_t at = kCompObjUserTypeAt;
    const auto counted = [&](std::uint32_t length, std::string& text) {
        if (!r.Has(at, length)) return false;
        text = CompObjText(bytes.subspan(at, length));
        at += length;
        return true;
    };
    const auto countedAt = [&](std::string& text) {
        if (!r.Has(at, 4)) return false;
        at += 4;
        return counted(r.ReadLE32(at - 4), text);
    };
    if (countedAt(lines[1]) && r.Has(at, 4)) {
        const std::uint32_t marker = r.ReadLE32(at);
        at += 4;
        bool formatRead = true;
        if (marker == 0) lines[2] = "(none)";
        else if ((marker >> 16) == 0xFFFF) lines[2] = "(standard clipboard)", at += 4;
        else formatRead = counted(marker, lines[2]);
        if (formatRead) countedAt(lines[3]);
    }
    for (const std::string& line : lines) {
        out.append(indent, ' ');
        out += "     " + line + "\n";
    }
}

// The text of an Outlook message's 8-bit or UTF-16 property stream.
void DescribeSubstgText(std::span<const std::uint8_t> bytes, bool utf16, std::size_t indent, std::string& out) {
    std::string text;
    if (utf16) {
        Bytes units(bytes.begin(), bytes.begin() + std::min(bytes.size() / 2, kMaxSubstgText) * 2);
        // A line feed shows as a pilcrow and a carriage return as a blank.
        for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
            if (units[i + 1] != 0) continue;
            if (units[i] == '\n') units[i] = 0xB6;
            else if (units[i] == '\r') units[i] = ' ';
        }
        // Made UTF-8, the text loses no character, so none of its trailing
        // question marks stands for one: they are all kept.
        text = Utf16Text(units, units.size() / 2);
    } else {
        for (const std::uint8_t byte : bytes.first(std::min(bytes.size(), kMaxSubstgText)))
            text.push_back(byte == 0 ? ' ' : (byte < 0x20 || byte >= 0x7F) ? '.' : static_cast<char>(byte));
    }
    if (text.empty()) return;
    out.append(indent + kSubstgTextIndent, ' ');
    out += text + "\n";
}

bool IsSubstgOfType(const std::u16string& name, std::string_view type) {
    return name.size() == kSubstgNameUnits && NameIs(std::u16string_view(name).substr(0, kSubstgPrefix.size()), "__substg1.0_") &&
           NameIs(std::u16string_view(name).substr(kSubstgNameUnits - 4), type);
}

void DescribeStream(const CCompoundFile& file, const CompoundEntry& entry, std::size_t depth, std::string& out) {
    // "(size: ?)" of the platform cannot occur here: the size is a field of
    // the entry itself.
    if (!file.StreamReadable(entry)) {
        out += "(Unavailable)\n";
        return;
    }
    AppendFormat(out, "(size: %lld)\n", static_cast<long long>(entry.nSize));
    const std::u16string& name = entry.strName;
    if (NameIs(name, "\5SummaryInformation") || NameIs(name, "\5DocumentSummaryInformation"))
        DescribePropertySet(file.ReadStream(entry, kMaxDescribedBytes), depth + kIndentStep, out);
    else if (NameIs(name, "\1CompObj"))
        DescribeCompObj(file.ReadStream(entry, kMaxDescribedBytes), depth, out);
    else if (IsSubstgOfType(name, "001E"))
        DescribeSubstgText(file.ReadStream(entry, kMaxDescribedBytes), false, depth, out);
    else if (IsSubstgOfType(name, "001F"))
        DescribeSubstgText(file.ReadStream(entry, kMaxDescribedBytes), true, depth, out);
}

const char* ErrorText(EChildError error) {
    switch (error) {
        case EChildError::Open: return "failed IStorage::OpenStorage";
        case EChildError::Enum: return "Failed IStorage::Enum";
        case EChildError::Next: return "failed IEnumSTATSTG::Next";
        case EChildError::None: break;
    }
    return "";
}

// One storage level at indentation depth: its children as found, then the
// error that ended their walk, if any.  A sub-storage that cannot be
// opened ends this level.
void ListStorage(CCompoundFile& file, const std::vector<std::uint32_t>& children, EChildError error,
                 std::size_t depth, std::string& out) {
    for (const std::uint32_t id : children) {
        CompoundEntry entry;
        if (!file.Entry(id, entry)) continue;
        const std::string name = ShownName(entry.strName);
        out.append(depth, ' ');
        const bool special = !entry.strName.empty() && entry.strName[0] == 5;
        if (entry.nType == static_cast<std::uint8_t>(EEntryType::Storage) && !special) {
            out += "\\" + name + "\n";
            std::vector<std::uint32_t> grandChildren;
            const EChildError inner = depth / kIndentStep + 1 >= kMaxStorageDepth
                                          ? EChildError::Open
                                          : file.Children(id, grandChildren);
            if (inner == EChildError::Open) {
                error = inner;
                break;
            }
            ListStorage(file, grandChildren, inner, depth + kIndentStep, out);
            continue;
        }
        out += name + "   \t";
        if (entry.nType == static_cast<std::uint8_t>(EEntryType::Stream)) DescribeStream(file, entry, depth, out);
        // A storage named with character 5 is not descended into; it ends
        // its line like any element that is no stream.
        else out += "\n";
    }
    if (error != EChildError::None) AppendFormat(out, "Error: %s\n", ErrorText(error));
}

// The root's children; a root whose first child is unusable fails as its
// enumeration does.
EChildError RootChildren(CCompoundFile& file, std::vector<std::uint32_t>& children) {
    const EChildError error = file.Children(CCompoundFile::kRootId, children);
    return error == EChildError::Open ? EChildError::Next : error;
}

}  // namespace

void ReportCompoundDocument(const IByteSource& source, EDetail, std::string& out) {
    out.clear();
    const Bytes head = ReadBlock(source, 0, kSignature.size());
    if (head.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), head.begin())) return;
    CCompoundFile file;
    if (const int status = file.Open(source); status != 0) {
        AppendFormat(out, "Feil %d", status);
        return;
    }
    std::vector<std::uint32_t> children;
    const EChildError error = RootChildren(file, children);
    ListStorage(file, children, error, 0, out);
}

int DescribeOutlookMessage(const IByteSource& source, std::string& out) {
    out.clear();
    CCompoundFile file;
    if (const int status = file.Open(source); status != 0) return -status;
    std::vector<std::uint32_t> children;
    RootChildren(file, children);
    CompoundEntry entry;
    for (const std::uint32_t id : children) {
        if (!file.Entry(id, entry) || entry.nType != static_cast<std::uint8_t>(EEntryType::Stream)) continue;
        if (NameIs(entry.strName, "__substg1.0_001A001E")) {
            const Bytes bytes = file.ReadStream(entry, kMaxMessageClass);
            if (bytes.empty()) continue;
            std::string text;
            AppendWindows1252AsUtf8(std::span(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0)), text);
            DotControlCharacters(text);
            out += "(" + text + ") ";
        }
    }
    for (const std::uint32_t id : children) {
        if (!file.Entry(id, entry) || !NameIs(entry.strName, "\5SummaryInformation")) continue;
        const Bytes bytes = file.ReadStream(entry, kMaxSummaryLookupBytes);
        const CByteReader set(bytes);
        for (const PropertySection& section : SectionsOf(set)) {
            if (section.kind != ESetKind::Summary) continue;
            const std::uint16_t codePage = CodePageOf(set, section);
            ForEachProperty(set, section, [&](const PropertyRef& p) {
                if (p.id != kApplicationNameId || !set.Has(p.valueAt + 4, 4)) return;
                if (p.type == kTypeLpstr) {
                    out += "(app: " + CodePageText(CountedValue(set, p.valueAt, 1), codePage) + ") ";
                } else if (p.type == kTypeBstr) {
                    const std::span<const std::uint8_t> units = CountedValue(set, p.valueAt, 1);
                    out += "(app2: " + Utf16Text(units, units.size() / 2) + ")";
                }
            });
            break;
        }
        break;
    }
    return 0;
}

}  // namespace quiddity
