// The one interface through which every report, page and view is written.
// Producers append styled runs at the end; the terminal, HTML and Qt panes
// (and the recording pane of the tests) implement it.
#pragma once

#include <string>
#include <string_view>

#include "core/TextStyle.h"

namespace quiddity {

class IReportPane {
public:
    virtual ~IReportPane() = default;
    // Empties the pane and holds its redrawing until EndReport.
    virtual void BeginReport() = 0;
    // Appends text in the given style at the end of the pane.  The text may be
    // empty; it is 8-bit text whose line ends are "\r\n" or "\n".
    virtual void AppendStyledText(std::string_view text, const CTextStyle& style) = 0;
    // Scrolls to the first line, puts the caret at 0 and releases redrawing.
    virtual void EndReport() = 0;
};

// Appends a text whose tags (<h1>, <cond>, <gray>, <fixgray>, <pre>, <oem>,
// <lt>, <gt>) switch the style, in runs of at most 20 characters.
void RenderMarkup(IReportPane& pane, const CTextStyles& styles, std::string_view text);

// Turns report bytes into UTF-8: valid UTF-8 passes unchanged, every other
// byte becomes its Latin-1 character, so no byte is dropped.
std::string ToUtf8(std::string_view bytes);

// The same, with every control or override character (IsControlOrOverride)
// shown as ".": what every pane writes, so no byte of an inspected file
// reaches a terminal as a command or reorders a line.  The panes add their
// own styling (terminal attributes, markup) after it.
std::string ToDisplayText(std::string_view bytes);

}  // namespace quiddity
