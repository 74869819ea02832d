// One inspection of one item: writes the information report into a pane.
// The analyzers are members; each is defined in the unit of its format
// (formats/, executable/), reopens the file by its path and reads what it
// needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ReportPane.h"
#include "core/TextStyle.h"

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

class CFileInspector {
public:
    // folder ends in "/"; the full path is folder followed directly by name.
    CFileInspector(std::string fileName, std::string folder, IReportPane& pane, const CTextStyles& styles,
                   const CReportSwitches& switches);

    void BuildInfoReport();

    std::string FullPath() const { return m_szFolder + m_szFileName; }
    // The estimated type, for the info bar; empty when the report ended
    // before the recognizer ran.
    const std::string& TypeText() const { return m_strTypeText; }
    // The errno value when the recognizer could not open the file, else 0.
    int OpenError() const { return m_nOpenError; }
    bool Opened() const { return m_nOpenError == 0; }

    // Analyzers.  Each returns its text through `out`, given empty; a format
    // it does not recognise leaves it empty.
    void ReportNtfsInfo();  // appends its own lines; sets m_bIsDirectory
    void ReportCompoundDocument(const std::string& path, std::string& out, int flag);
    void ReportExif(const std::string& path, std::string& out);
    void ReportShellLink(const std::string& path, std::string& out, int flag);
    void ReportIsoMedia(const std::string& path, std::string& out, int flag);
    void ReportZipContents(const std::string& path, std::string& out);
    bool DescribeDiscImage(const std::string& path, std::string& out, int flag);
    void ReportExecutable();  // appends the checksum, version and executable sections

    std::string m_szFileName;
    std::string m_szFolder;
    IReportPane& m_pane;
    const CTextStyles& m_styles;
    CReportSwitches m_switches;
    std::string m_strExeDetails;
    std::uint32_t m_nAtomCounter = 0;
    bool m_bBackupPrivileges = false;
    bool m_bIsDirectory = false;

private:
    void Append(std::string_view text, const CTextStyle& style) { m_pane.AppendStyledText(text, style); }
    // Appends a heading and an analyzer's text, when the text is long
    // enough to hold more than a line break.
    void AppendSection(std::string_view heading, const std::string& text, const CTextStyle& style);
    void WriteExecutableTypeLines(const std::string& path);

    std::string m_strTypeText;
    int m_nOpenError = 0;
};

// Splits a path given by a user into the folder (absolute, ending in "/")
// and the item's name, so that folder + name names the same item.  "." and
// ".." are resolved to the folders they stand for; "/" gives folder "/"
// and an empty name.
void SplitInspectedPath(const std::string& path, std::string& folder, std::string& name);

// A name made safe to print as one line: each control character (a newline
// in a name could forge a line of the report or of the type list) becomes a
// "\ooo" octal escape, as file(1) writes it; every other byte is kept.
std::string EscapeControlCharacters(std::string_view name);

}  // namespace quiddity
