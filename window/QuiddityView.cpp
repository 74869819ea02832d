#include "window/QuiddityView.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextCursor>

namespace quiddity {

namespace {

constexpr double kTwipsPerPoint = 20.0;

QColor ColourOf(std::uint32_t colour) {
    const quiddity::Rgb rgb = quiddity::SplitColour(colour);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A selection and a header face light enough for black text (contrast
// above 10:1) and distinct from the background.
constexpr QRgb kSelectionColour = qRgb(0xB4, 0xCC, 0xF0);
constexpr QRgb kHeaderColour = qRgb(0xDD, 0xDD, 0xEE);

}  // namespace

QPalette WithPaneColours(QPalette palette) {
    palette.setColor(QPalette::Base, ColourOf(kPaneBackground));
    palette.setColor(QPalette::AlternateBase, ColourOf(kPaneBackground));
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(kSelectionColour));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    return palette;
}

QPalette WithPaneHeaderColours(QPalette palette) {
    palette = WithPaneColours(palette);
    for (const QPalette::ColorRole face : {QPalette::Button, QPalette::Window})
        palette.setColor(face, QColor(kHeaderColour));
    for (const QPalette::ColorRole text : {QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(text, Qt::black);
    return palette;
}

CQuiddityView::CQuiddityView(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setPalette(WithPaneColours(palette()));
    setCurrentCharFormat(FormatOf(InitTextStyles().m_cfNormal));
}

QFont CQuiddityView::FontOf(const CTextStyle& style) {
    const QString face = QString::fromUtf8(style.face.data(), static_cast<qsizetype>(style.face.size()));
    QFont font;
    if (QFontDatabase::hasFamily(face)) {
        font.setFamily(face);
    } else if (style.face == "Courier New") {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else if (style.face == "Arial") {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);  // "System"
    }
    font.setPointSizeF(style.heightTwips / kTwipsPerPoint);
    font.setBold(style.bold);
    return font;
}

const QTextCharFormat& CQuiddityView::FormatOf(const CTextStyle& style) {
    const FormatKey key{style.face, style.heightTwips, style.bold, style.colour};
    auto found = m_formats.find(key);
    if (found == m_formats.end()) {
        QTextCharFormat format;
        format.setFont(FontOf(style));
        format.setForeground(ColourOf(style.colour));
        found = m_formats.emplace(key, format).first;
    }
    return found->second;
}

void CQuiddityView::BeginReport() {
    setUpdatesEnabled(false);
    clear();
    m_afterCr = false;
}

void CQuiddityView::AppendStyledText(std::string_view text, const CTextStyle& style) {
    // "\r\n", "\n" and a lone "\r" are each one line break; controls show as ".".
    const std::string utf8 = ToDisplayText(text);
    QString lines;
    lines.reserve(static_cast<qsizetype>(utf8.size()));
    for (const QChar c : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) {
        if (c == u'\n' && m_afterCr) {
            m_afterCr = false;
            continue;
        }
        m_afterCr = c == u'\r';
        lines.append(m_afterCr ? QChar(u'\n') : c);
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(lines, FormatOf(style));
}

void CQuiddityView::EndReport() {
    setTextCursor(QTextCursor(document()));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    setUpdatesEnabled(true);
}

void CQuiddityView::EmptyPane() {
    setUpdatesEnabled(false);
    clear();
    setUpdatesEnabled(true);
}

bool CQuiddityView::focusNextPrevChild(bool) {
    emit TabPressed();
    return true;
}

}  // namespace quiddity
