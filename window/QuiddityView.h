// The right-hand pane: a read-only rich-text view without wrapping, on the
// pane's light blue background, written through the report interface.
#pragma once

#include <QTextCharFormat>
#include <QTextEdit>

#include <map>
#include <tuple>

#include "core/ReportPane.h"

namespace quiddity {

// The pane's colours on a palette: its light blue background with black
// text, and a selection and column headers that stay readable on it, so
// that a dark desktop palette leaves every text of the pane and the list
// readable.  Roles not named here follow the desktop.
QPalette WithPaneColours(QPalette palette);
// The same for the list's column headers, drawn as buttons.
QPalette WithPaneHeaderColours(QPalette palette);

class CQuiddityView : public QTextEdit, public IReportPane {
    Q_OBJECT
public:
    explicit CQuiddityView(QWidget* parent = nullptr);

    // Redrawing stays held from BeginReport to EndReport.
    void BeginReport() override;
    void AppendStyledText(std::string_view text, const CTextStyle& style) override;
    void EndReport() override;
    // Empties the pane without moving it.
    void EmptyPane();

    // The font a style is shown in, after falling back from faces the
    // system lacks.
    static QFont FontOf(const CTextStyle& style);

signals:
    void TabPressed();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    const QTextCharFormat& FormatOf(const CTextStyle& style);

    using FormatKey = std::tuple<std::string_view, int, bool, std::uint32_t>;
    std::map<FormatKey, QTextCharFormat> m_formats;
    bool m_afterCr = false;  // the last run ended in "\r": a "\n" next is the same line break
};

}  // namespace quiddity
