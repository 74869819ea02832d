#include "window/SettingsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "window/Settings.h"
#include "window/ShellActions.h"

namespace quiddity {

namespace {

constexpr std::array<const char*, 3> kViewLabels{"&Hex", "&Text", "&Info"};

}  // namespace

COppsett::COppsett(std::string editor, QWidget* parent) : QDialog(parent), m_strEditor(std::move(editor)) {
    setWindowTitle(QStringLiteral("Settings"));
    const CSettings stored = LoadSettings();

    auto* editorRow = new QHBoxLayout;
    auto* editorLabel = new QLabel(QStringLiteral("&Editor:"), this);
    m_pEditorField = new QLineEdit(QString::fromStdString(m_strEditor), this);
    m_pEditorField->setMinimumWidth(280);
    m_pEditorField->setToolTip(QStringLiteral("A program and its arguments; the file is added as the last argument"));
    editorLabel->setBuddy(m_pEditorField);
    m_pBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_pDefault = new QPushButton(QStringLiteral("De&fault"), this);
    for (QPushButton* button : {m_pBrowse, m_pDefault}) button->setAutoDefault(false);
    editorRow->addWidget(editorLabel);
    editorRow->addWidget(m_pEditorField, 1);
    editorRow->addWidget(m_pBrowse);
    editorRow->addWidget(m_pDefault);
    connect(m_pBrowse, &QPushButton::clicked, this, &COppsett::Browse);
    connect(m_pDefault, &QPushButton::clicked, this, [this] { m_pEditorField->setText(QLatin1String(kDefaultEditor)); });

    auto* sections = new QGroupBox(QStringLiteral("Report sections"), this);
    auto* sectionsLayout = new QVBoxLayout(sections);
    for (std::size_t index = 0; index < kSwitchSettings.size(); ++index) {
        auto* box = new QCheckBox(QString::fromLatin1(kSwitchSettings[index].label), sections);
        box->setChecked(stored.switches.*kSwitchSettings[index].member);
        sectionsLayout->addWidget(box);
        m_switchBoxes[index] = box;
    }

    auto* views = new QGroupBox(QStringLiteral("View at start-up"), this);
    auto* viewsLayout = new QHBoxLayout(views);
    m_pViews = new QButtonGroup(this);
    for (int view = kViewHex; view <= kViewInfo; ++view) {
        auto* button = new QRadioButton(QString::fromLatin1(kViewLabels[static_cast<std::size_t>(view)]), views);
        m_pViews->addButton(button, view);
        viewsLayout->addWidget(button);
    }
    m_pViews->button(stored.nViewType)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_pSave = buttons->button(QDialogButtonBox::Save);
    connect(buttons, &QDialogButtonBox::accepted, this, &COppsett::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(editorRow);
    layout->addWidget(sections);
    layout->addWidget(views);
    layout->addWidget(buttons);
}

QAbstractButton* COppsett::ViewButton(int viewType) const { return m_pViews->button(viewType); }

// Linux programs carry no extension, so the chooser shows every file.
void COppsett::Browse() {
    const QFileInfo current(QProcess::splitCommand(m_pEditorField->text()).value(0));
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Choose editor"),
                                                      current.isAbsolute() ? current.path() : QString());
    if (!path.isEmpty()) m_pEditorField->setText(QuotedProgram(path));
}

void COppsett::Save() {
    CSettings settings;
    settings.strEditor = m_pEditorField->text().toStdString();
    for (std::size_t index = 0; index < kSwitchSettings.size(); ++index)
        settings.switches.*kSwitchSettings[index].member = m_switchBoxes[index]->isChecked();
    settings.nViewType = std::max(static_cast<int>(kViewHex), m_pViews->checkedId());
    SaveSettings(settings);
    m_strEditor = settings.strEditor;
    accept();
}

}  // namespace quiddity
