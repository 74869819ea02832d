#include "window/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/Version.h"
#include "window/BuildStamp.h"

namespace quiddity {

namespace {

constexpr char kDescription[] =
    "Quiddity decides what a file is from its bytes, never from its name. For the file selected in the list it "
    "shows a hex dump, the text, or an information report: file-system facts, the estimated type from several "
    "hundred content signatures, the analysis of DOS, Windows and OS/2 executables, version strings, a CRC-32, "
    "and the inner structure of many formats. It opens every file for reading only.\n\n"
    "Compiled: %1 %2 Qt: %3";

}  // namespace

std::string VersionText() { return "Version " + std::string(kQuiddityVersion); }

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quiddity"));
    m_pTitle = new QLabel(QStringLiteral("Quiddity %1").arg(QString::fromStdString(VersionText())), this);
    QFont titleFont = m_pTitle->font();
    titleFont.setBold(true);
    m_pTitle->setFont(titleFont);
    auto* line1 = new QLabel(QString::fromUtf8(kAboutLine1.data(), static_cast<qsizetype>(kAboutLine1.size())), this);
    auto* line2 = new QLabel(QString::fromUtf8(kAboutLine2.data(), static_cast<qsizetype>(kAboutLine2.size())), this);
    m_pDescription = new QPlainTextEdit(this);
    m_pDescription->setReadOnly(true);
    m_pDescription->setPlainText(QString::fromLatin1(kDescription)
                                     .arg(QLatin1String(kBuildDate), QLatin1String(kBuildTime),
                                          QLatin1String(qVersion())));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTitle);
    layout->addWidget(line1);
    layout->addWidget(line2);
    layout->addWidget(m_pDescription);
    layout->addWidget(buttons);
    resize(460, 300);
}

}  // namespace quiddity
