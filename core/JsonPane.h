// A pane that writes a report as data: its sections, each a heading and the
// lines under it, in report order, for one JSON object per inspected item.
// The text is exactly what the plain pane writes; only the heading style is
// read, to tell where a section begins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/TextPanes.h"

namespace quiddity {

// The version of the objects' layout, written in every object; it grows
// only when a field changes its meaning or goes.
inline constexpr int kJsonVersion = 1;

struct CReportSection {
    std::string strHeading;
    std::vector<std::string> vecLines;
};

class CJsonPane : public CTextPaneBase {
public:
    void BeginReport() override;
    void Clear() override;
    void AppendStyledText(std::string_view text, const CTextStyle& style) override;
    // The sections of the report written since BeginReport; the blank lines
    // that part sections are left out, the ones inside a section kept.
    std::vector<CReportSection> Sections() const;

private:
    struct Mark {
        std::size_t nHeading;  // where the heading starts in Text()
        std::size_t nBody;     // where its body starts
    };
    std::vector<Mark> m_vecMarks;
};

// The fields of one item's object, in the order they are written.  Texts
// may hold any bytes: each is written as valid UTF-8 (Latin-1 taken for
// what is not UTF-8), the type with the panes' rule for control
// characters.  Empty texts are left out, except the type.
struct CJsonItem {
    std::string_view strPath{};
    std::string_view strType{};
    std::string_view strShellType{};
    std::string_view strMimeType{};
    // The report's sections; nullptr in a type list.
    const CJsonPane* pReport = nullptr;
    // The errno value when the item could not be inspected, else 0.
    int nError = 0;
};

// One JSON object on one line, with its line end.
std::string JsonLine(const CJsonItem& item);

}  // namespace quiddity
