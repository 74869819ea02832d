// One inspection of one item: writes the information report into a pane.
// The driver opens the file once and hands that one byte source to the
// recognizer and to every analyzer, in a fixed order of sections.
#pragma once

#include <string>
#include <string_view>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"
#include "core/ReportPane.h"
#include "core/TextStyle.h"
#include "executable/ExeAnalysis.h"

namespace quiddity {

// The six switches that gate sections of the report; all on by default.
struct CReportSwitches {
    bool ShowFileInfo = true;
    bool ShowEstimated = true;
    bool ShowExe = true;
    bool ShowChecksum = true;
    bool ShowSpecial = true;
    bool ShowVersionInfo = true;
};

// What a report leaves behind for its caller.
struct CReportResult {
    // The estimated type, for the info bar; empty when the report ended
    // before the recognizer ran.
    std::string strTypeText;
    // The desktop's description of the name's extension and its MIME type
    // of the item (GuessMimeType); empty when it has none or was not read.
    std::string strShellType;
    std::string strMimeType;
    // The errno value when the file could not be opened, else 0.
    int nOpenError = 0;
    // The details text of the executable analysis.
    std::string strExeDetails;
    // Carried from one report to the next (see ReportNtfsInfo).
    bool bBackupPrivileges = false;
};

class CFileInspector {
public:
    // folder ends in "/"; the full path is folder followed directly by name.
    CFileInspector(std::string fileName, std::string folder, IReportPane& pane, const CTextStyles& styles,
                   const CReportSwitches& switches, bool backupPrivileges = false);

    // The whole report of the item, its file opened once.
    CReportResult BuildInfoReport();
    // The whole report of an item that is no local file (a file on a
    // share): its bytes come from source (null when it could not be
    // opened), its file-information block is given ready-made.
    CReportResult BuildInfoReport(const IByteSource* source, std::string_view fileInformation);
    // The report of bytes that are no file of their own (standard input, a
    // fuzzer's input): from the estimated type on, without the file block.
    CReportResult BuildContentReport(const IByteSource& source);
    // The same with a file block that names the stream and its size, for
    // bytes that stand for a file (standard input).
    CReportResult BuildStreamReport(const IByteSource& source, std::string_view streamName);

private:
    void Append(std::string_view text, const CTextStyle& style) { m_pane.AppendStyledText(text, style); }
    // Begins the report with the file line; false for "..", whose pane stays empty.
    bool BeginItem();
    void WriteTypeAndContents(const IByteSource& source, bool opened);
    void WriteContentSections(const IByteSource& source, bool opened);
    void WriteExecutableTypeLines(const IByteSource& source);
    void WriteExecutableSections(ExeAnalysis& exe);

    CItemPlace m_place;
    IReportPane& m_pane;
    const CTextStyles& m_styles;
    CReportSwitches m_switches;
    CReportResult m_result;
};

// Splits a path given by a user into the folder (absolute, ending in "/")
// and the item's name, so that folder + name names the same item.  "." and
// ".." are resolved to the folders they stand for; "/" gives folder "/"
// and an empty name.
void SplitInspectedPath(const std::string& path, std::string& folder, std::string& name);

// A name made safe to print as one line: each control or override
// character (IsControlOrOverride, and TAB, LF and CR: a newline in a name
// could forge a line of the report or of the type list) becomes "\ooo"
// octal escapes of its bytes, as file(1) writes them, and a backslash
// becomes "\\", so an escape always means the byte it names; every other
// byte is kept.
std::string EscapeControlCharacters(std::string_view name);

}  // namespace quiddity
