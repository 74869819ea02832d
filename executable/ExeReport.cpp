// The checksum, version-information and executable sections of the report.
#include "core/ReadOnlyFile.h"
#include "executable/Checksum.h"
#include "executable/ExeAnalysis.h"

namespace quiddity {

namespace {

// Texts this short hold no more than a line break and are not shown.
constexpr std::size_t kChecksumMinimum = 4;
constexpr std::size_t kVersionMinimum = 4;
constexpr std::size_t kCluesMinimum = 4;
constexpr std::size_t kDetailsMinimum = 2;

}  // namespace

void WriteExecutableSections(ExeAnalysis& exe, const CReportSwitches& switches, IReportPane& pane,
                             const CTextStyles& styles) {
    if (exe.checksumText.size() >= kChecksumMinimum && switches.ShowChecksum) {
        exe.checksumText += "\n\n";
        pane.AppendStyledText("\nChecksum\n", styles.m_cfHeading);
        pane.AppendStyledText("CRC-32: ", styles.m_cfNormal);
        pane.AppendStyledText(exe.checksumText, styles.m_cfNormal);
    }
    if (exe.versionText.size() >= kVersionMinimum && switches.ShowVersionInfo) {
        exe.versionText += "\n\n";
        pane.AppendStyledText("Version information\n", styles.m_cfHeading);
        pane.AppendStyledText(exe.versionText, styles.m_cfNormal);
    }
    std::string combined = exe.stubClueText + exe.clueText;
    if (combined.size() > 2) combined += "\n";
    exe.detailsText += "\n";
    if (switches.ShowSpecial && (combined.size() >= kCluesMinimum || exe.detailsText.size() >= kDetailsMinimum)) {
        pane.AppendStyledText("Executable\n", styles.m_cfHeading);
        pane.AppendStyledText(combined, styles.m_cfNormal);
        pane.AppendStyledText(exe.detailsText, styles.m_cfFixed);
    }
}

void CFileInspector::ReportExecutable() {
    m_strExeDetails.clear();
    ExeAnalysis exe;
    exe.path = FullPath();
    {
        CReadOnlyFile file;
        // A file that cannot be opened gets no checksum rather than a false
        // 00000000, and no executable analysis.
        if (file.Open(exe.path)) {
            const CFileByteSource source(file);
            if (m_switches.ShowChecksum && file.Size() < kChecksumSizeLimit) {
                if (const std::optional<std::uint32_t> crc = ComputeFileCrc32(source))
                    AppendFormat(exe.checksumText, "%08X", *crc);
            }
            AnalyzeExecutable(source, exe);
        }
    }
    ReadVersionInfo(exe.path, exe);
    WriteClueLines(exe);
    WriteExecutableSections(exe, m_switches, m_pane, m_styles);
    m_strExeDetails = exe.detailsText;
}

}  // namespace quiddity
