#include "core/JsonPane.h"

#include <cstring>
#include <nlohmann/json.hpp>

namespace quiddity {

namespace {

bool IsBlank(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

// The lines of a stretch of plain text without the blank lines around it.
std::vector<std::string> LinesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    while (!lines.empty() && IsBlank(lines.back())) lines.pop_back();
    std::size_t leading = 0;
    while (leading < lines.size() && IsBlank(lines[leading])) ++leading;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(leading));
    return lines;
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \n");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \n") - first + 1));
}

}  // namespace

void CJsonPane::BeginReport() { Clear(); }

void CJsonPane::Clear() {
    CTextPaneBase::Clear();
    m_vecMarks.clear();
}

void CJsonPane::AppendStyledText(std::string_view text, const CTextStyle& style) {
    if (style.id == EStyle::Heading && !text.empty()) {
        // A heading may come in several runs (markup writes short ones): a
        // run continues the heading until its line is complete or body text
        // has followed it.
        bool continues = false;
        if (!m_vecMarks.empty() && m_vecMarks.back().nBody == m_out.size()) {
            const std::string_view heading = std::string_view(m_out).substr(m_vecMarks.back().nHeading);
            continues = Trimmed(heading).empty() || heading.back() != '\n';
        }
        if (!continues) m_vecMarks.push_back({m_out.size(), m_out.size()});
        AppendLines(text, false);
        m_vecMarks.back().nBody = m_out.size();
        return;
    }
    AppendLines(text, false);
}

std::vector<CReportSection> CJsonPane::Sections() const {
    std::vector<CReportSection> sections;
    const std::string_view all = m_out;
    // Text before the first heading (a content view has none) makes a
    // section without a heading.
    const std::size_t firstHeading = m_vecMarks.empty() ? all.size() : m_vecMarks.front().nHeading;
    if (std::vector<std::string> lines = LinesOf(all.substr(0, firstHeading)); !lines.empty())
        sections.push_back({std::string(), std::move(lines)});
    for (std::size_t i = 0; i < m_vecMarks.size(); ++i) {
        const Mark& mark = m_vecMarks[i];
        const std::size_t end = i + 1 < m_vecMarks.size() ? m_vecMarks[i + 1].nHeading : all.size();
        // A heading is one line: should a heading run hold more, the rest
        // goes to the section's lines.
        std::vector<std::string> lines = LinesOf(all.substr(mark.nHeading, mark.nBody - mark.nHeading));
        std::string heading = lines.empty() ? std::string() : std::move(lines.front());
        if (!lines.empty()) lines.erase(lines.begin());
        for (std::string& line : LinesOf(all.substr(mark.nBody, end - mark.nBody))) lines.push_back(std::move(line));
        sections.push_back({Trimmed(heading), std::move(lines)});
    }
    return sections;
}

std::string JsonLine(const CJsonItem& item) {
    nlohmann::ordered_json object;
    object["version"] = kJsonVersion;
    object["path"] = ToUtf8(item.strPath);
    object["type"] = ToDisplayText(item.strType);
    if (item.pReport != nullptr) object["shellType"] = ToDisplayText(item.strShellType);
    if (!item.strMimeType.empty()) object["mimeType"] = ToUtf8(item.strMimeType);
    if (item.pReport != nullptr) {
        nlohmann::ordered_json sections = nlohmann::ordered_json::array();
        for (const CReportSection& section : item.pReport->Sections())
            sections.push_back({{"heading", section.strHeading}, {"lines", section.vecLines}});
        object["sections"] = std::move(sections);
    }
    if (item.nError != 0) {
        const char* name = ::strerrorname_np(item.nError);
        object["error"] = {{"name", name != nullptr ? name : "E?"}, {"message", std::strerror(item.nError)}};
    }
    // Every text is valid UTF-8 already; replacing is the quiet answer should
    // one not be, where the default would throw.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace quiddity
