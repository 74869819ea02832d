// Panes that write a report as text: plain (styles dropped), ANSI terminal
// text, and a self-contained HTML page.  They collect into a string; the
// caller decides where it goes.  Every byte of the report passes through
// ToDisplayText first: the panes' own attributes and tags are the only
// controls and markup in their output.
#pragma once

#include <string>
#include <string_view>

#include "core/ReportPane.h"

namespace quiddity {

// Shared by the text panes: UTF-8 conversion and the pane's rule that
// "\r\n", "\n" and a lone "\r" are each one line break.
class CTextPaneBase : public IReportPane {
public:
    void BeginReport() override {}
    void EndReport() override {}
    const std::string& Text() const { return m_out; }
    virtual void Clear() { m_out.clear(); m_afterCr = false; }

protected:
    // Appends text with its line ends made "\n"; escapeHtml writes the
    // characters HTML reserves as entities.
    void AppendLines(std::string_view text, bool escapeHtml);
    std::string m_out;

private:
    bool m_afterCr = false;
};

class CPlainTextPane : public CTextPaneBase {
public:
    void AppendStyledText(std::string_view text, const CTextStyle& style) override;
};

class CAnsiPane : public CTextPaneBase {
public:
    void AppendStyledText(std::string_view text, const CTextStyle& style) override;
    void EndReport() override;

private:
    bool m_styled = false;  // an attribute is switched on and must be reset
};

class CHtmlPane : public CTextPaneBase {
public:
    void BeginReport() override;
    void AppendStyledText(std::string_view text, const CTextStyle& style) override;
    void EndReport() override;
    // A page is its head, the reports (each Text() between BeginReport and
    // EndReport), and its tail, so a page of many reports is written as it
    // goes rather than held whole.
    static std::string PageHead(std::string_view title);
    static constexpr std::string_view kPageTail = "</body></html>\n";
    // text as HTML: display text with the reserved characters as entities.
    static std::string Escape(std::string_view text);
};

}  // namespace quiddity
