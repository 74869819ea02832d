#include "report/InfoReport.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/ReadOnlyFile.h"
#include "core/ShellType.h"
#include "core/TextFormat.h"
#include "executable/Elf.h"
#include "executable/ExeProbe.h"
#include "formats/CompoundDocument.h"
#include "formats/Exif.h"
#include "formats/IsoMedia.h"
#include "formats/NtfsInfo.h"
#include "formats/ShellLink.h"
#include "formats/TrueTypeNames.h"
#include "formats/ZipContents.h"
#include "recognizer/Recognizer.h"

namespace quiddity {

namespace {

// Sections shorter than these are left out: an analyzer that found nothing
// may still have written a line break.
constexpr std::size_t kCompoundDocumentMinimum = 2;
constexpr std::size_t kSectionMinimum = 3;
// The executable texts hold no more than a line break below these.
constexpr std::size_t kChecksumMinimum = 4;
constexpr std::size_t kVersionMinimum = 4;
constexpr std::size_t kCluesMinimum = 4;
constexpr std::size_t kDetailsMinimum = 2;

// The sections that differ only by heading, style and analyzer, in the
// order the report shows them; each is shown when its text reaches
// kSectionMinimum.
struct PlainSection {
    std::string_view heading;
    CTextStyle CTextStyles::*style;
    void (*analyze)(const IByteSource& source, const CItemPlace& place, std::string& out);
};

constexpr PlainSection kPlainSections[] = {
    {"True Type Font\n", &CTextStyles::m_cfNormal,
     [](const IByteSource& source, const CItemPlace&, std::string& out) {
         ReadTrueTypeNames(source, EDetail::Full, out);
     }},
    {"EXIF metadata\n", &CTextStyles::m_cfFixed,
     [](const IByteSource& source, const CItemPlace&, std::string& out) { ReportExif(source, out); }},
    {"Link (Shortcut)\n", &CTextStyles::m_cfFixed,
     [](const IByteSource& source, const CItemPlace& place, std::string& out) {
         ReportShellLink(source, place, EDetail::Full, out);
     }},
    {"ISO base media (Quicktime/3GPP/JPEG2000)\n", &CTextStyles::m_cfNormal,
     [](const IByteSource& source, const CItemPlace&, std::string& out) {
         ReportIsoMedia(source, EDetail::Full, out);
     }},
};

}  // namespace

CFileInspector::CFileInspector(std::string fileName, std::string folder, IReportPane& pane,
                               const CTextStyles& styles, const CReportSwitches& switches, bool backupPrivileges)
    : m_place{std::move(folder), std::move(fileName)}, m_pane(pane), m_styles(styles), m_switches(switches) {
    m_result.bBackupPrivileges = backupPrivileges;
}

bool CFileInspector::BeginItem() {
    const std::string fileLine = "File: " + EscapeControlCharacters(m_place.strName) +
                                 "\nPath: " + EscapeControlCharacters(m_place.strFolder) + "\n";
    m_pane.BeginReport();
    if (m_place.strName == "..") {
        m_pane.EndReport();
        return false;
    }
    Append("\nFile info\n", m_styles.m_cfHeading);
    Append(fileLine, m_styles.m_cfNormal);
    return true;
}

CReportResult CFileInspector::BuildInfoReport() {
    if (!BeginItem()) return m_result;
    std::string text;
    const bool isDirectory =
        ReportNtfsInfo(m_place, m_switches.ShowFileInfo ? EDetail::Full : EDetail::Short, m_result.bBackupPrivileges, text);
    Append(m_switches.ShowFileInfo ? text : "\n", m_styles.m_cfFixed);
    if (isDirectory) {
        m_result.strMimeType = "inode/directory";
        m_pane.EndReport();
        return m_result;
    }

    // The one opening of the file for the whole report; an item that cannot
    // be opened gives every analyzer no bytes.
    CReadOnlyFile file;
    const bool opened = file.Open(m_place.FullPath());
    const CFileByteSource fileSource(file);
    const CMemoryByteSource noBytes;
    if (!opened) m_result.nOpenError = file.Error();
    WriteTypeAndContents(opened ? static_cast<const IByteSource&>(fileSource) : noBytes, opened);
    m_pane.EndReport();
    return m_result;
}

CReportResult CFileInspector::BuildInfoReport(const IByteSource* source, std::string_view fileInformation) {
    if (!BeginItem()) return m_result;
    Append(m_switches.ShowFileInfo ? fileInformation : "\n", m_styles.m_cfFixed);
    const CMemoryByteSource noBytes;
    WriteTypeAndContents(source != nullptr ? *source : noBytes, source != nullptr);
    m_pane.EndReport();
    return m_result;
}

CReportResult CFileInspector::BuildContentReport(const IByteSource& source) {
    m_pane.BeginReport();
    WriteTypeAndContents(source, true);
    m_pane.EndReport();
    return m_result;
}

CReportResult CFileInspector::BuildStreamReport(const IByteSource& source, std::string_view streamName) {
    m_pane.BeginReport();
    Append("\nFile info\n", m_styles.m_cfHeading);
    Append(Format("File: %.*s\nFilesize normal.: %llu bytes\n\n", static_cast<int>(streamName.size()), streamName.data(),
                  static_cast<unsigned long long>(source.Size())),
           m_styles.m_cfNormal);
    WriteTypeAndContents(source, true);
    m_pane.EndReport();
    return m_result;
}

void CFileInspector::WriteTypeAndContents(const IByteSource& source, bool opened) {
    LookUpShellType(ShellTypeKey(m_place.strName), m_result.strShellType);
    if (m_switches.ShowEstimated) {
        Append("Estimated type\n", m_styles.m_cfHeading);
        Append("Shell type: ", m_styles.m_cfGray);
        Append(m_result.strShellType, m_styles.m_cfGray);
    }
    if (opened) {
        EstimateFileType(source, m_result.strTypeText);
        m_result.strMimeType = GuessMimeType(m_place.strName, ReadBlock(source, 0, kMimeHeadSize));
    } else {
        m_result.strTypeText = "(couldn't open the file)";
    }
    if (m_switches.ShowEstimated) {
        Append("\nType: ", m_styles.m_cfNormal);
        Append(m_result.strTypeText, m_styles.m_cfNormal);
        Append("\n\n", m_styles.m_cfNormal);
    }
    WriteContentSections(source, opened);
}

void CFileInspector::WriteContentSections(const IByteSource& source, bool opened) {
    std::string text;
    if (m_switches.ShowSpecial) {
        ReportCompoundDocument(source, EDetail::Full, text);
        if (text.size() >= kCompoundDocumentMinimum) {
            Append("OLE2 Compound Document\n", m_styles.m_cfHeading);
            Append(text, m_styles.m_cfFixed);
            Append("\n\n", m_styles.m_cfFixed);  // continues in the style at the end
        }
    }
    if (m_switches.ShowExe) WriteExecutableTypeLines(source);

    for (const PlainSection& section : kPlainSections) {
        text.clear();
        section.analyze(source, m_place, text);
        if (text.size() < kSectionMinimum) continue;
        Append(section.heading, m_styles.m_cfHeading);
        Append(text, m_styles.*section.style);
    }
    text.clear();
    ReportZipContents(source, text);
    if (text.size() >= kSectionMinimum) {
        Append("ZIP archive\n", m_styles.m_cfHeading);
        RenderMarkup(m_pane, m_styles, text);
    }
    // An unopened file gets no checksum rather than a false 00000000.
    if (!opened) return;
    ExeAnalysis exe = ReportExecutable(source, m_switches.ShowChecksum);
    WriteExecutableSections(exe);
    m_result.strExeDetails = exe.detailsText;
    if (!m_switches.ShowSpecial) return;
    text.clear();
    ReportElf(source, text);
    if (text.size() >= kSectionMinimum) {
        Append("ELF executable\n", m_styles.m_cfHeading);
        Append(text + "\n", m_styles.m_cfFixed);
    }
}

void CFileInspector::WriteExecutableTypeLines(const IByteSource& source) {
    const ExeProbeResult probe = ExeTypeProbe(source);
    std::string first;
    if (probe.isPE) first = "Exetype1: PE";
    else if (probe.kind > EExeKind::Other) first = Format("Exetype1: %d", static_cast<int>(probe.kind));
    else if (probe.isMZ) first = "Exetype1: DOS";
    if (probe.kind == EExeKind::Other) first += Format(" (%04X)", probe.NewHeaderSignature() & 0xFFFF);
    if (!first.empty()) {
        first += "\n";
        Append("Executable file\n", m_styles.m_cfHeading);
        Append(first, m_styles.m_cfNormal);
    }

    const std::uint32_t v = QueryExeType(probe);
    if (v == 0) return;
    // The heading as the program has always written it, cut short: it only
    // appears when the probe saw no executable but the type query did.
    if (first.empty()) Append("Executable fil\n", m_styles.m_cfHeading);
    const unsigned low = v & 0xFFFF;
    const unsigned high = v >> 16;
    const int major = static_cast<int>(v >> 24);
    const int minor = static_cast<int>((v >> 16) & 0xFF);
    std::string second;
    if (high == 0 && low == kExeTypePe) second = "Exetype2: Windows Console";
    else if (high == 0 && low == kExeTypeMz) second = "Exetype2: DOS";
    else if (high == 0) second = Format("Exetype2: Unknown (0x%04X 0x%04X)", 0u, low);
    else if (low == kExeTypeNe) second = Format("Exetype2: Win16 v%d.%d", major, minor);
    else if (low == kExeTypePe) second = Format("Exetype2: Win32 v%d.%d", major, minor);
    else second = Format("Exetype2: Unknown (0x%08X) v%d.%d", v, major, minor);
    Append(second + "\n\n", m_styles.m_cfNormal);
}

void CFileInspector::WriteExecutableSections(ExeAnalysis& exe) {
    if (exe.checksumText.size() >= kChecksumMinimum && m_switches.ShowChecksum) {
        exe.checksumText += "\n\n";
        Append("\nChecksum\n", m_styles.m_cfHeading);
        Append("CRC-32: ", m_styles.m_cfNormal);
        Append(exe.checksumText, m_styles.m_cfNormal);
    }
    if (exe.versionText.size() >= kVersionMinimum && m_switches.ShowVersionInfo) {
        exe.versionText += "\n\n";
        Append("Version information\n", m_styles.m_cfHeading);
        Append(exe.versionText, m_styles.m_cfNormal);
    }
    std::string combined = exe.stubClueText + exe.clueText;
    if (combined.size() > 2) combined += "\n";
    exe.detailsText += "\n";
    if (m_switches.ShowSpecial &&
        (combined.size() >= kCluesMinimum || exe.detailsText.size() >= kDetailsMinimum)) {
        Append("Executable\n", m_styles.m_cfHeading);
        Append(combined, m_styles.m_cfNormal);
        Append(exe.detailsText, m_styles.m_cfFixed);
    }
}

void SplitInspectedPath(const std::string& path, std::string& folder, std::string& name) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    std::string parent = slash == std::string::npos ? "." : trimmed.substr(0, slash == 0 ? 1 : slash);
    name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (trimmed == "/") {
        folder = "/";
        name.clear();
        return;
    }
    if (name == "." || name == "..") {
        // Name the folder itself, from its parent.
        if (char* real = ::realpath(trimmed.c_str(), nullptr)) {
            const std::string resolved = real;
            std::free(real);
            if (resolved == "/") {
                folder = "/";
                name.clear();
                return;
            }
            return SplitInspectedPath(resolved, folder, name);
        }
    }
    // The folder is resolved; the last component is kept as given, so a
    // symbolic link is inspected as a link.
    if (char* real = ::realpath(parent.c_str(), nullptr)) {
        parent = real;
        std::free(real);
    }
    folder = parent.back() == '/' ? parent : parent + "/";
}

std::string EscapeControlCharacters(std::string_view name) {
    std::string printable;
    printable.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const ReportCharacter c = DecodeReportCharacter(name.substr(i));
        const std::string_view bytes = name.substr(i, c.length);
        i += c.length;
        if (c.codePoint == '\\') {
            printable += "\\\\";
            continue;
        }
        // TAB, LF and CR are controls here too: each would break the line.
        if (c.codePoint >= 0x20 && !IsControlOrOverride(c.codePoint)) {
            printable += bytes;
            continue;
        }
        for (const char b : bytes) {
            const auto byte = static_cast<unsigned char>(b);
            const char escape[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                   static_cast<char>('0' + ((byte >> 3) & 7)), static_cast<char>('0' + (byte & 7))};
            printable.append(escape, sizeof escape);
        }
    }
    return printable;
}

}  // namespace quiddity
