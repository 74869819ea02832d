// The about box and the texts it shares with the start page.
#pragma once

#include <QDialog>

#include <string>
#include <string_view>

class QLabel;
class QPlainTextEdit;

namespace quiddity {

// The project's two lines, on the start page and in the about box.
inline constexpr std::string_view kAboutLine1 = "Tells what a file is from its contents, not from its name.";
inline constexpr std::string_view kAboutLine2 = "A file browser for Linux, built on Qt 6.";

// "Version 0.1.0".
std::string VersionText();

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QPlainTextEdit* Description() const { return m_pDescription; }
    QLabel* Title() const { return m_pTitle; }

private:
    QPlainTextEdit* m_pDescription = nullptr;
    QLabel* m_pTitle = nullptr;
};

}  // namespace quiddity
