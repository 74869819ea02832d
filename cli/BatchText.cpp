#include "cli/BatchText.h"

#include <algorithm>

#include "core/ReportPane.h"
#include "report/InfoReport.h"

namespace quiddity {

namespace {

// Plain ASCII, nearly every name and type, is taken as it is.
void AppendPrintable(std::string& out, std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; })) out += text;
    else out += ToUtf8(EscapeControlCharacters(text));
}

}  // namespace

bool CPathListParser::Add(std::string_view bytes) {
    if (m_bRefused) return false;
    for (const char c : bytes) {
        if (c == '\n') {
            if (!m_strPath.empty()) m_paths.push_back(m_strPath);  // a copy holds just the path; the buffer is kept
            m_strPath.clear();
            ++m_nLine;
        } else if (c == '\0' || m_strPath.size() >= kMaxListLine) {
            m_bRefused = true;
            return false;
        } else {
            m_strPath += c;
        }
    }
    return true;
}

void CPathListParser::Finish() {
    if (!m_bRefused && !m_strPath.empty()) m_paths.push_back(std::move(m_strPath));
    m_strPath.clear();
}

void AppendTypeLine(std::string& out, std::string_view path, std::string_view type) {
    AppendPrintable(out, path);
    out += ": ";
    AppendPrintable(out, type);
    out += '\n';
}

}  // namespace quiddity
