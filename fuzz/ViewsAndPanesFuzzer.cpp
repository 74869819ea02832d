// The content views and the text panes over hostile bytes: whatever a file
// holds, no pane writes a control it did not write itself.
#include <algorithm>

#include "FuzzSupport.h"
#include "core/ContentViews.h"
#include "core/JsonPane.h"
#include "core/ReportPane.h"

using namespace quiddity;

namespace {

// The text of every pane for the same runs, each checked.
void WriteThroughEachPane(const CTextStyle& style, std::string_view text, bool markup) {
    const CTextStyles& styles = InitTextStyles();
    CPlainTextPane plain;
    CAnsiPane ansi;
    CHtmlPane html;
    CJsonPane json;
    for (CTextPaneBase* pane : {static_cast<CTextPaneBase*>(&plain), static_cast<CTextPaneBase*>(&ansi),
                                static_cast<CTextPaneBase*>(&html), static_cast<CTextPaneBase*>(&json)}) {
        pane->BeginReport();
        if (markup) RenderMarkup(*pane, styles, text);
        else pane->AppendStyledText(text, style);
        pane->EndReport();
    }
    fuzz::RequireShownSafely(plain.Text());
    fuzz::RequireShownSafely(fuzz::WithoutOwnAttributes(ansi.Text()));
    fuzz::RequireShownSafely(html.Text());
    // the JSON object holds the same text, cut into sections, on one line
    const std::string line = JsonLine({.strPath = text, .strType = text, .pReport = &json});
    if (line.find('\n') != line.size() - 1) std::abort();
    for (const CReportSection& section : json.Sections()) {
        fuzz::RequireShownSafely(section.strHeading);
        for (const std::string& sectionLine : section.vecLines) fuzz::RequireShownSafely(sectionLine);
    }
}

}  // namespace

// The panes treat a long text as many short runs: past this, an input only
// costs time that more inputs would use better.
constexpr std::size_t kPaneInputLimit = 8192;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), std::min(size, kPaneInputLimit));
    const CTextStyles& styles = InitTextStyles();
    WriteThroughEachPane(styles.m_cfHeading, text, false);
    WriteThroughEachPane(styles.m_cfNormal, text, true);
    const std::span<const std::uint8_t> hexPart = bytes.first(std::min(size, kHexViewLimit));
    const std::span<const std::uint8_t> textPart = bytes.first(std::min(size, kTextViewLimit));
    WriteThroughEachPane(styles.m_cfFixed, BuildHexViewText(hexPart, size % 2 == 0), false);
    WriteThroughEachPane(kDosHexFont, BuildDosHexViewText(hexPart), false);
    WriteThroughEachPane(styles.m_cfFixed, BuildTextViewText(textPart), false);
    WriteThroughEachPane(kDosTextFont, BuildDosTextViewText(textPart), false);
    return 0;
}
