#include "core/InfoReport.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/ShellType.h"
#include "core/TextFormat.h"
#include "executable/ExeProbe.h"
#include "formats/TrueTypeNames.h"
#include "recognizer/Recognizer.h"

namespace quiddity {

namespace {

// Sections shorter than these are left out: an analyzer that found nothing
// may still have written a line break.
constexpr std::size_t kCompoundDocumentMinimum = 2;
constexpr std::size_t kSectionMinimum = 3;

}  // namespace

CFileInspector::CFileInspector(std::string fileName, std::string folder, IReportPane& pane,
                               const CTextStyles& styles, const CReportSwitches& switches)
    : m_szFileName(std::move(fileName)), m_szFolder(std::move(folder)), m_pane(pane), m_styles(styles),
      m_switches(switches) {}

void CFileInspector::BuildInfoReport() {
    const std::string fileLine =
        "File: " + EscapeControlCharacters(m_szFileName) + "\nPath: " + EscapeControlCharacters(m_szFolder) + "\n";
    m_pane.BeginReport();
    if (m_szFileName == "..") {
        m_pane.EndReport();
        return;
    }
    Append("\nFile info\n", m_styles.m_cfHeading);
    Append(fileLine, m_styles.m_cfNormal);
    ReportNtfsInfo();
    if (m_bIsDirectory) {
        m_pane.EndReport();
        return;
    }

    if (m_switches.ShowEstimated) {
        Append("Estimated type\n", m_styles.m_cfHeading);
        Append("Shell type: ", m_styles.m_cfGray);
        std::string shellType;
        if (LookUpShellType(ShellTypeKey(m_szFileName), shellType)) Append(shellType, m_styles.m_cfGray);
    }
    const std::string path = FullPath();
    EstimateFileType(path, m_strTypeText, &m_nOpenError);
    if (m_switches.ShowEstimated) {
        Append("\nType: ", m_styles.m_cfNormal);
        Append(m_strTypeText, m_styles.m_cfNormal);
        Append("\n\n", m_styles.m_cfNormal);
    }

    std::string text;
    if (m_switches.ShowSpecial) {
        ReportCompoundDocument(path, text, 1);
        if (text.size() >= kCompoundDocumentMinimum) {
            Append("OLE2 Compound Document\n", m_styles.m_cfHeading);
            Append(text, m_styles.m_cfFixed);
            Append("\n\n", m_styles.m_cfFixed);  // continues in the style at the end
        }
    }
    if (m_switches.ShowExe) WriteExecutableTypeLines(path);

    text.clear();
    ReadTrueTypeNames(path, text, true);
    AppendSection("True Type Font\n", text, m_styles.m_cfNormal);
    text.clear();
    ReportExif(path, text);
    AppendSection("EXIF metadata\n", text, m_styles.m_cfFixed);
    text.clear();
    ReportShellLink(path, text, 1);
    AppendSection("Link (Shortcut)\n", text, m_styles.m_cfFixed);
    text.clear();
    ReportIsoMedia(path, text, 1);
    AppendSection("ISO base media (Quicktime/3GPP/JPEG2000)\n", text, m_styles.m_cfNormal);
    text.clear();
    ReportZipContents(path, text);
    if (text.size() >= kSectionMinimum) {
        Append("ZIP archive\n", m_styles.m_cfHeading);
        RenderMarkup(m_pane, m_styles, text);
    }
    ReportExecutable();
    m_pane.EndReport();
}

void CFileInspector::AppendSection(std::string_view heading, const std::string& text, const CTextStyle& style) {
    if (text.size() < kSectionMinimum) return;
    Append(heading, m_styles.m_cfHeading);
    Append(text, style);
}

void CFileInspector::WriteExecutableTypeLines(const std::string& path) {
    const ExeProbeResult probe = ExeTypeProbe(path);
    std::string first;
    if (probe.isPE) first = "Exetype1: PE";
    else if (probe.kind > 1) first = Format("Exetype1: %d", probe.kind);
    else if (probe.isMZ) first = "Exetype1: DOS";
    if (probe.kind == 1) first += Format(" (%04X)", probe.NewHeaderSignature() & 0xFFFF);
    if (!first.empty()) {
        first += "\n";
        Append("Executable file\n", m_styles.m_cfHeading);
        Append(first, m_styles.m_cfNormal);
    }

    const std::uint32_t v = QueryExeType(probe);
    if (v == 0) return;
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
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            printable += c;
            continue;
        }
        const char escape[] = {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                               static_cast<char>('0' + (byte & 7))};
        printable.append(escape, sizeof escape);
    }
    return printable;
}

}  // namespace quiddity
