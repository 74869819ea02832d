#include "window/MainFrame.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QPainter>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/ContentViews.h"
#include "core/ReadOnlyFile.h"
#include "core/ShellType.h"
#include "core/Version.h"
#include "formats/FileSystemFacts.h"
#include "recognizer/Recognizer.h"
#include "window/AboutBox.h"
#include "window/LeftView.h"
#include "window/LocationModel.h"
#include "window/Network.h"
#include "window/QuiddityView.h"
#include "window/SettingsDialog.h"
#include "window/ShellActions.h"

namespace quiddity {

namespace {

constexpr int kListPaneWidth = 370;  // pixels, at start-up
constexpr int kMarkSize = 22;        // the program's mark in the picture bar

constexpr std::string_view kNewsText =
    "<h1>New Features\n"
    "<cond>Quicktime parsing\n"
    "JPEG2000, 3GPP, MP4 parsing\n"
    "ASF info\n"
    "JPG EXIF info\n"
    "TTF info\n"
    "LNK Shortcut file info\n"
    "Office formats\n"
    "Some Mac/Apple formats\n"
    "ISO, UDF, HFS disc images\n"
    "\n"
    "<pre>Identifies more than 250 filetypes and many subformats\n"
    "<h1>\nProject\n"
    "<cond>Quiddity is free software: README.md tells how to build, test and use it.\n";

constexpr std::string_view kKeyboardShortcuts =
    "<h1>\nKeyboard shortcuts\n\n<pre>"
    "CTRL+S\t\tShow special folders\n"
    "CTRL+D\t\tShow drives\n"
    "CTRL+G\t\tGo to\n"
    "CTRL+H\t\tHex view\n"
    "CTRL+T\t\tText view\n"
    "CTRL+F\t\tInfo view\n"
    "ENTER\t\tChange view\n"
    "TAB \t\tChange window\n"
    "BACKSPACE\tGo up one folder\n";

constexpr std::array<const char*, 3> kViewNames{"Hex", "Text", "Info"};

// The wait cursor, for as long as a file is being recognised.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { Restore(); }
    void Restore() {
        if (m_shown) QApplication::restoreOverrideCursor();
        m_shown = false;
    }

private:
    bool m_shown = true;
};

QString ToQString(std::string_view bytes) {
    const std::string utf8 = ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A text made from a file's bytes (a type may quote a title) as the panes show it.
QString ToDisplayQString(std::string_view bytes) {
    const std::string utf8 = ToDisplayText(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A path as the file system spells it.
std::string FromQString(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string Trimmed(const std::string& text, std::string_view characters) {
    const std::size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

// The folder with exactly one trailing "/".
std::string AsFolder(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path == "/" ? path : path + "/";
}

std::string CurrentDirectory() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string("/") : current.string();
}

// The system's and the desktop's small lists (mounts, user folders): read
// like an inspected file, so a FIFO or device put in their place never blocks.
std::string ReadSmallFile(const std::string& path) {
    constexpr std::size_t kMaxListBytes = 1 << 16;  // far more than any real list
    quiddity::CReadOnlyFile file;
    if (!file.Open(path)) return {};
    std::string text(kMaxListBytes, '\0');
    text.resize(file.ReadAt(0, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size())));
    return text;
}

// A folder on a share, \\server\share\path\, as the list holds it.
bool IsUncFolder(const std::string& folder) { return folder.starts_with("\\\\"); }

bool IsAccessDenied(int error) { return error == EACCES || error == EPERM; }

// A magnifying glass over a page: the program's own mark.
QPixmap ProgramMark() {
    QPixmap mark(kMarkSize, kMarkSize);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 90, 120), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 1.5, 13, 17));
    for (int line = 0; line < 4; ++line) painter.drawLine(QPointF(5, 5.5 + 3 * line), QPointF(13, 5.5 + 3 * line));
    painter.setPen(QPen(QColor(200, 0, 0), 2.2));
    painter.setBrush(QColor(238, 238, 255, 200));
    painter.drawEllipse(QPointF(12.5, 11.5), 5.5, 5.5);
    painter.drawLine(QPointF(16.5, 15.5), QPointF(20.5, 19.5));
    return mark;
}

}  // namespace

CMainFrame::CMainFrame(std::string commandLinePath, QWidget* parent)
    : QMainWindow(parent),
      m_szFolder("/"),
      m_commandLinePath(std::move(commandLinePath)),
      m_styles(InitTextStyles()),
      m_pShell(std::make_unique<CDesktopShellActions>()) {
    const CSettings settings = LoadSettings();
    m_nViewType = settings.nViewType;
    m_strEditor = settings.strEditor;
    m_switches = settings.switches;
    setWindowTitle(QStringLiteral("Quiddity"));
    for (int timer = 0; timer < kTimerCount; ++timer) {
        auto* oneShot = new QTimer(this);
        oneShot->setSingleShot(true);
        connect(oneShot, &QTimer::timeout, this, [this, timer] { OnTimer(timer); });
        m_timers[static_cast<std::size_t>(timer)] = oneShot;
    }

    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pList = new CLeftView(m_pSplitter);
    m_pModel = new CLocationModel(this);
    m_pList->setModel(m_pModel);
    m_pRichEdit = new CQuiddityView(m_pSplitter);
    m_pSplitter->addWidget(m_pList);
    m_pSplitter->addWidget(m_pRichEdit);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({kListPaneWidth, 600});
    setCentralWidget(m_pSplitter);
    // The list shares the pane's background, and with it its black text.
    m_pList->setPalette(WithPaneColours(m_pList->palette()));
    m_pList->horizontalHeader()->setPalette(WithPaneHeaderColours(m_pList->horizontalHeader()->palette()));
    m_pModel->SetItems({{"Venter...", "", ""}});
    m_pNoAnswerTimer = new QTimer(this);
    m_pNoAnswerTimer->setSingleShot(true);
    connect(m_pNoAnswerTimer, &QTimer::timeout, this, &CMainFrame::ShowNoAnswer);

    connect(m_pList, &CLeftView::SelectionMoved, this, [this] { StartTimer(kTimerUpdate, kListDelay); });
    connect(m_pList, &CLeftView::BackspacePressed, this, [this] { StartTimer(kTimerGoUp, kListDelay); });
    connect(m_pList, &CLeftView::EnterPressed, this, [this] { StartTimer(kTimerOpen, kListDelay); });
    connect(m_pList, &CLeftView::TabPressed, this, &CMainFrame::ActivateOtherPane);
    connect(m_pList, &CLeftView::RightClicked, this, [this](QPoint global) {
        m_ptRightClick = global;
        StartTimer(kTimerContextMenu, kListDelay);
    });
    connect(m_pRichEdit, &CQuiddityView::TabPressed, this, &CMainFrame::ActivateOtherPane);
    m_pList->horizontalHeader()->setSortIndicatorShown(true);
    connect(m_pList->horizontalHeader(), &QHeaderView::sectionClicked, this, &CMainFrame::HeaderClicked);

    BuildBars();
    BuildMenus();
    setAcceptDrops(true);
    resize(1000, 640);

    ShowStartPage();
    m_bStartPage = true;
    m_nSortMode = kSortByName;
    if (m_commandLinePath.empty()) StartTimer(kTimerDrives, kStartUpDelay);
    else StartTimer(kTimerOpenPath, kStartUpDelay);
    ViewButton(m_nViewType)->setChecked(true);
    ViewAction(m_nViewType)->setChecked(true);
    m_pList->setFocus();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildBars() {
    QToolBar* pictureBar = addToolBar(QStringLiteral("Picture"));
    auto* mark = new QLabel(pictureBar);
    mark->setPixmap(ProgramMark());
    mark->setToolTip(QStringLiteral("Quiddity %1").arg(kQuiddityVersion));
    pictureBar->addWidget(mark);

    QToolBar* infoBar = addToolBar(QStringLiteral("Info"));
    auto makeField = [infoBar](int width, const QString& tip) {
        auto* field = new QLineEdit(infoBar);
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::ClickFocus);
        field->setMinimumWidth(width);
        field->setToolTip(tip);
        infoBar->addWidget(field);
        return field;
    };
    m_pFileName = makeField(200, QStringLiteral("File name"));
    m_pType = makeField(260, QStringLiteral("Type"));
    m_pShellType = makeField(200, QStringLiteral("Shell type"));
    m_pViewButtons = new QButtonGroup(this);
    m_pViewButtons->setExclusive(true);
    for (int view = kViewHex; view <= kViewInfo; ++view) {
        auto* button = new QToolButton(infoBar);
        button->setText(QString::fromLatin1(kViewNames[static_cast<std::size_t>(view)]));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        m_pViewButtons->addButton(button, view);
        infoBar->addWidget(button);
    }
    connect(m_pViewButtons, &QButtonGroup::idClicked, this, &CMainFrame::SetViewType);
}

void CMainFrame::BuildMenus() {
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->addAction(QStringLiteral("&Drives"), QKeySequence(Qt::CTRL | Qt::Key_D), this, &CMainFrame::ShowDrives);
    fileMenu->addAction(QStringLiteral("&Special folders"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                        &CMainFrame::ShowSpecialFolders);
    fileMenu->addAction(QStringLiteral("&Go to..."), QKeySequence(Qt::CTRL | Qt::Key_G), this, &CMainFrame::GoTo);
    fileMenu->addAction(QStringLiteral("Se&ttings..."), this, &CMainFrame::EditSettings);
    fileMenu->addSeparator();
    fileMenu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    static constexpr std::array<const char*, 3> kViewLabels{"&Hex view", "&Text view", "&Info view"};
    static constexpr std::array<Qt::Key, 3> kViewKeys{Qt::Key_H, Qt::Key_T, Qt::Key_F};
    for (int view = kViewHex; view <= kViewInfo; ++view) {
        const auto index = static_cast<std::size_t>(view);
        QAction* action = viewMenu->addAction(QString::fromLatin1(kViewLabels[index]), QKeySequence(Qt::CTRL | kViewKeys[index]),
                                              this, [this, view] { SetViewType(view); });
        action->setCheckable(true);
        views->addAction(action);
        m_viewActions[index] = action;
    }
    viewMenu->addSeparator();
    m_pOffsetsAction = viewMenu->addAction(QStringLiteral("Show &offsets"));
    m_pOffsetsAction->setCheckable(true);
    connect(m_pOffsetsAction, &QAction::toggled, this, [this](bool on) {
        m_bShowOffsets = on;
        RedrawContentView();
    });
    m_pDosModeAction = viewMenu->addAction(QStringLiteral("&DOS mode"));
    m_pDosModeAction->setCheckable(true);
    connect(m_pDosModeAction, &QAction::toggled, this, [this](bool on) {
        m_bDosMode = on;
        m_pOffsetsAction->setEnabled(!on);  // the DOS hex view writes no offsets
        RedrawContentView();
    });
    viewMenu->addSeparator();
    QMenu* sortMenu = viewMenu->addMenu(QStringLiteral("&Sort"));
    sortMenu->addAction(QStringLiteral("By &name"), this, [this] { SortByColumn(kSortByName); });
    sortMenu->addAction(QStringLiteral("By &type"), this, [this] { SortByColumn(kSortByType); });
    sortMenu->addAction(QStringLiteral("By &size"), this, [this] { SortByColumn(kSortBySize); });

    // F6 and Shift+F6: the next and the previous pane, of two.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &CMainFrame::ActivateOtherPane);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->addAction(QStringLiteral("&Keyboard shortcuts"), this, &CMainFrame::ShowKeyboardShortcuts);
    helpMenu->addAction(QStringLiteral("&About Quiddity"), this, &CMainFrame::ShowAbout);

    // Not in a menu: Ctrl+A acts on the right pane alone.
    auto* selectAll = new QAction(this);
    selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(selectAll, &QAction::triggered, this, &CMainFrame::SelectAll);
    addAction(selectAll);
}

QAbstractButton* CMainFrame::ViewButton(int viewType) const { return m_pViewButtons->button(viewType); }

void CMainFrame::StartTimer(int timer, int delay) { m_timers[static_cast<std::size_t>(timer)]->start(delay); }

void CMainFrame::OnTimer(int timer) {
    switch (timer) {
        case kTimerDrives: ShowDrives(); break;
        case kTimerUpdate: UpdateContentPane(); break;
        case kTimerGoUp: GoUp(); break;
        case kTimerOpen: OpenSelectedItem(); break;
        case kTimerContextMenu: ShowContextMenu(); break;
        case kTimerOpenPath: OpenPath(m_commandLinePath, EPathSource::CommandLine); break;
        default: break;
    }
}

void CMainFrame::SelectItem(int row) { m_pList->SelectItem(row); }

void CMainFrame::ActivateOtherPane() {
    if (m_pList->hasFocus()) m_pRichEdit->setFocus(Qt::TabFocusReason);
    else m_pList->setFocus(Qt::TabFocusReason);
}

// ---- Location list ----

void CMainFrame::ShowDrives() {
    setWindowTitle(QStringLiteral("Quiddity"));
    std::vector<CListItem> items;
    for (std::string& drive : MountedDrives(ReadSmallFile("/proc/self/mountinfo")))
        items.insert(items.begin(), CListItem{std::move(drive), std::string(kTypeDrive), {}});
    m_nSortMode = kSortByName;
    m_bSortDescending = false;
    SortItems(items, m_nSortMode);
    ShowSortIndicator();
    items.push_back({std::string(kNetworkEntry), std::string(kTypeDrive), {}});
    items.push_back({std::string(kSpecialFoldersEntry), std::string(kTypeDrive), {}});
    m_pModel->SetItems(std::move(items));
    SelectItem(0);
    if (m_bStartPage) {
        m_bStartPage = false;
        return;
    }
    UpdateContentPane();
}

void CMainFrame::ListFolder() {
    setWindowTitle(ToQString(m_szFolder));
    if (IsUncFolder(m_szFolder)) {
        ListShareFolder(false);
        return;
    }
    std::vector<CListItem> items;
    if (!ReadFolderItems(m_szFolder, items)) {
        m_pModel->SetItems({{"..", std::string(kTypeDir), {}}, {std::string(kNoFilesFound), {}, {}}});
        return;
    }
    m_pModel->SetItems(std::move(items));
    SortList();
    if (m_pList->SelectionMark() < 0) SelectItem(0);
    UpdateContentPane();
}

void CMainFrame::ShowSpecialFolders() {
    setWindowTitle(QStringLiteral("Special folders"));
    m_szFolder.clear();
    const char* configHome = GetEnvAnyCase("XDG_CONFIG_HOME");
    const char* home = GetEnvAnyCase("HOME");
    const std::string configFolder = configHome && *configHome ? configHome : std::string(home ? home : "") + "/.config";
    m_pModel->SetItems(SpecialFolderItems(GetEnvAnyCase, ReadSmallFile(configFolder + "/user-dirs.dirs")));
    m_nSortMode = kSortByLabel;
    m_bSortDescending = false;
    SortList();
    m_nSortMode = kSortByType;
    SelectItem(0);
}

CSmbClient& CMainFrame::Smb() {
    if (!m_pSmb) m_pSmb = std::make_unique<CSmbClient>();
    return *m_pSmb;
}

void CMainFrame::StartNetworkListing(FNetworkListing listing, FNetworkAnswer answer) {
    const int id = ++m_nLastRequest;
    m_nPendingRequest = id;
    m_pModel->SetItems({{"..", std::string(kTypeDir), {}}, {std::string(kSearching), {}, {}}});
    SelectItem(0);
    m_pList->setCursor(Qt::WaitCursor);
    m_pNoAnswerTimer->start(m_nNoAnswerDelay);
    RunOnNetwork<NetworkRows>(Smb(), this, std::move(listing), [this, id, answer = std::move(answer)](NetworkRows rows) {
        if (id != m_nPendingRequest) return;  // a later request replaced it, or it came too late
        m_nPendingRequest = 0;
        m_pNoAnswerTimer->stop();
        m_pList->unsetCursor();
        answer(rows);
        emit NetworkListed();
    });
}

void CMainFrame::ShowNoAnswer() {
    m_nPendingRequest = 0;
    m_pList->unsetCursor();
    m_pModel->SetItems({{"..", std::string(kTypeDir), {}}, {std::string(kNoAnswer), {}, {}}});
    SelectItem(0);
    emit NetworkListed();
}

void CMainFrame::RestoreItemsBeforeSearch() {
    m_pModel->SetItems(std::move(m_vecBeforeSearch));
    m_vecBeforeSearch.clear();
    const int row = m_pModel->FindName(m_strSelectBeforeSearch);
    if (row >= 0) SelectItem(row);
}

void CMainFrame::AskForCredentials(const std::string& server, std::function<void()> retry) {
    auto* dialog = new CCredentialsDialog(ToQString(server), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, server, retry = std::move(retry)] {
        const SmbCredentials credentials = dialog->Credentials();
        // Queued before the retry, so the retry uses them.
        Smb().Post([server, credentials](CSmbSession& session) { session.SetCredentials(server, credentials); });
        retry();
    });
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
}

void CMainFrame::ListNetwork(int level) {
    const int row = m_pList->SelectionMark();
    const std::string selected = row >= 0 ? m_pModel->Item(row).name : std::string();
    switch (level) {
        case 0:
            m_strDomain.clear();
            setWindowTitle(QStringLiteral("Nework - Domains"));
            m_szFolder.clear();
            StartNetworkListing(ListDomains, [this](NetworkRows& rows) {
                rows.items.insert(rows.items.begin(), CListItem{"..", std::string(kTypeDir), {}});
                m_pModel->SetItems(std::move(rows.items));
                SelectItem(0);
            });
            break;
        case 1: {
            m_szFolder.clear();
            if (m_strDomain.empty()) m_strDomain = selected;
            setWindowTitle(m_strDomain.empty() ? QStringLiteral("Network - Servers")
                                               : ToQString(m_strDomain) + QStringLiteral(" - Servers"));
            const std::string domain = m_strDomain;
            StartNetworkListing([domain](CSmbSession& session) { return ListServers(session, domain); },
                                [this, domain](NetworkRows& rows) {
                                    m_pModel->SetItems(std::move(rows.items));
                                    SelectItem(0);
                                    if (rows.error == 0) return;
                                    auto* box = new QMessageBox(QMessageBox::NoIcon, QString(),
                                                                QStringLiteral("Error code %1\nDomain %2")
                                                                    .arg(rows.error)
                                                                    .arg(ToQString(domain)),
                                                                QMessageBox::Ok, this);
                                    box->setAttribute(Qt::WA_DeleteOnClose);
                                    box->setWindowModality(Qt::WindowModal);
                                    box->show();
                                });
            break;
        }
        case 2:
            ListShares(ServerAddress(selected), false);
            break;
        case 3:
            m_szFolder = "\\\\" + m_strServer + "\\" + selected + "\\";
            ListFolder();
            break;
        default: break;
    }
}

void CMainFrame::ListShares(const std::string& server, bool retried) {
    m_strServer = server;
    setWindowTitle(ToQString(server) + QStringLiteral(" - Shares"));
    if (!retried) {
        m_vecBeforeSearch = m_pModel->Items();
        const int row = m_pList->SelectionMark();
        m_strSelectBeforeSearch = row >= 0 ? m_pModel->Item(row).name : std::string();
    }
    const NetworkLocation location{ENetworkLevel::Shares, server, {}, {}};
    StartNetworkListing([location](CSmbSession& session) { return quiddity::ListShares(session, location); },
                        [this, server, retried](NetworkRows& rows) {
                            if (rows.error == 0) {
                                m_vecBeforeSearch.clear();
                                m_pModel->SetItems(std::move(rows.items));
                                SelectItem(0);
                                return;
                            }
                            // On failure the list keeps its old items.
                            RestoreItemsBeforeSearch();
                            if (IsAccessDenied(rows.error) && !retried) {
                                m_vecBeforeSearch = m_pModel->Items();
                                AskForCredentials(server, [this, server] { ListShares(server, true); });
                            }
                        });
}

void CMainFrame::ListShareFolder(bool retried) {
    NetworkLocation location;
    ParseNetworkLocation(m_szFolder, ENetworkLevel::Shares, location);
    const std::string folder = m_szFolder;
    StartNetworkListing([location](CSmbSession& session) { return quiddity::ListShareFolder(session, location); },
                        [this, location, folder, retried](NetworkRows& rows) {
                            const std::string selectAfterListing = std::move(m_strSelectAfterListing);
                            m_strSelectAfterListing.clear();
                            if (rows.error != 0 || rows.items.empty()) {
                                m_pModel->SetItems({{"..", std::string(kTypeDir), {}}, {std::string(kNoFilesFound), {}, {}}});
                                if (IsAccessDenied(rows.error) && !retried)
                                    AskForCredentials(location.server, [this, folder] {
                                        m_szFolder = folder;
                                        ListShareFolder(true);
                                    });
                                return;
                            }
                            m_pModel->SetItems(std::move(rows.items));
                            SortList();
                            const int row = m_pModel->FindName(selectAfterListing);
                            if (row >= 0) SelectItem(row);
                            if (m_pList->SelectionMark() < 0) SelectItem(0);
                            UpdateContentPane();
                        });
}

void CMainFrame::OpenSelectedItem() {
    const int row = m_pList->SelectionMark();
    if (row < 0) return;
    const CListItem item = m_pModel->Item(row);
    if (item.type == kTypeDir) {
        if (item.name == "..") {
            GoUp();
            return;
        }
        // In the special-folders view the Name is a full path.
        if (IsUncFolder(m_szFolder)) m_szFolder += item.name + "\\";
        else m_szFolder = AsFolder(m_szFolder + item.name);
        ListFolder();
    } else if (item.type == kTypeDomain) {
        ListNetwork(1);
    } else if (item.type == kTypeServer) {
        ListNetwork(2);
    } else if (item.type == kTypeShare) {
        ListNetwork(3);
    } else if (item.type == kTypeDrive) {
        if (item.name == kSpecialFoldersEntry) {
            ShowSpecialFolders();
        } else if (item.name == kNetworkEntry) {
            ListNetwork(0);
        } else {
            m_szFolder = item.name;
            ListFolder();
        }
    } else {
        SetViewType((m_nViewType + 1) % 3);
    }
}

void CMainFrame::GoUp() {
    std::string path = m_szFolder;
    if (IsUncFolder(path)) {
        while (!path.empty() && path.back() == '\\') path.pop_back();
        const std::size_t separators = path.size() > 3 ? std::count(path.begin() + 3, path.end(), '\\') : 0;
        if (separators == 0) {
            // \\server: the servers of the chosen workgroup, or the workgroups.
            m_szFolder.clear();
            ListNetwork(m_strDomain.empty() ? 0 : 1);
            return;
        }
        const std::size_t slash = path.rfind('\\');
        const std::string child = path.substr(slash + 1);
        if (separators == 1) {
            // \\server\share: the shares of the server, which level 2 takes
            // from the selected item.
            m_szFolder = path.substr(0, slash);
            m_pModel->Insert(0, {path.substr(2, slash - 2), std::string(kTypeServer), {}});
            m_pList->SelectItem(0);
            ListNetwork(2);
            return;
        }
        m_szFolder = path.substr(0, slash + 1);
        m_strSelectAfterListing = child;
        ListFolder();
        return;
    }
    while (!path.empty() && path.back() == '/') path.pop_back();
    if (path.empty()) {
        ShowDrives();
        return;
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        ShowDrives();
        return;
    }
    const std::string child = path.substr(slash + 1);
    m_szFolder = path.substr(0, slash + 1);
    ListFolder();
    const int row = m_pModel->FindName(child);
    if (row >= 0) SelectItem(row);
    UpdateContentPane();
}

void CMainFrame::OpenPath(std::string path, EPathSource source) {
    // A dropped name is exact; typed ones may come quoted.
    path = Trimmed(path, source == EPathSource::Drop ? " " : " \"");
    if (NetworkLocation location; ParseNetworkLocation(path, ENetworkLevel::Shares, location)) {
        OpenNetworkLocation(location, path.ends_with('/') || path.ends_with('\\'));
        return;
    }
    if (source == EPathSource::CommandLine && (path == "." || path == ".." || path == "/")) {
        std::string folder = "/";
        if (path != "/") folder = CurrentDirectory();
        if (path == "..") folder = std::filesystem::path(folder).parent_path().string();
        m_szFolder = AsFolder(folder);
        ListFolder();
        return;
    }
    std::error_code error;
    std::string full;
    if (!path.empty()) full = std::filesystem::absolute(path, error).lexically_normal().string();
    struct stat st {};
    if (path.empty() || error || ::stat(full.c_str(), &st) != 0) {
        ShowDrives();
        return;
    }
    full = AsFolder(full);
    if (S_ISDIR(st.st_mode)) {
        m_szFolder = full;
        ListFolder();
        return;
    }
    full.pop_back();
    const std::size_t slash = full.rfind('/');
    const std::string name = full.substr(slash + 1);
    m_szFolder = full.substr(0, slash + 1);
    ListFolder();
    const int row = m_pModel->FindName(name);
    if (row >= 0) SelectItem(row);
    StartTimer(kTimerUpdate, kListDelay);
}

void CMainFrame::OpenNetworkLocation(const NetworkLocation& location, bool folder) {
    if (location.level == ENetworkLevel::Domains) {
        ListNetwork(0);
        return;
    }
    if (location.level != ENetworkLevel::Folder) {
        // Level 2 takes the server from the selected item.
        m_pModel->Insert(0, {location.server, std::string(kTypeServer), {}});
        m_pList->SelectItem(0);
        ListNetwork(2);
        return;
    }
    m_strServer = location.server;
    NetworkLocation parent = location;
    if (!folder && !location.path.empty()) {
        // A file: its folder is listed with it selected.
        const std::size_t slash = location.path.rfind('/');
        m_strSelectAfterListing = location.path.substr(slash == std::string::npos ? 0 : slash + 1);
        parent.path = slash == std::string::npos ? std::string() : location.path.substr(0, slash);
    }
    m_szFolder = UncFolder(parent);
    ListFolder();
}

void CMainFrame::GoTo() {
    // Whatever closes the dialog, its text is opened: an empty one shows the drives.
    const QString text = QInputDialog::getText(this, QStringLiteral("Go to"), QStringLiteral("File or folder:"),
                                               QLineEdit::Normal, ToQString(m_szFolder));
    m_strDomain.clear();
    OpenPath(FromQString(text), EPathSource::GoTo);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// Only the first of the dropped files is opened.
void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    raise();
    activateWindow();
    OpenPath(FromQString(urls.first().toLocalFile()), EPathSource::Drop);
}

void CMainFrame::SortList() {
    const int row = m_pList->SelectionMark();
    const std::string selected = row >= 0 ? m_pModel->Item(row).name : std::string();
    m_pModel->Sort(m_nSortMode, m_bSortDescending);
    if (row >= 0) SelectItem(m_pModel->FindName(selected));
    ShowSortIndicator();
}

// The header shows the column and direction of a column's sort; the special
// folders' order by label belongs to no column.
void CMainFrame::ShowSortIndicator() {
    m_nSortColumn = m_nSortMode >= kSortByName && m_nSortMode <= kSortBySize ? m_nSortMode : -1;
    m_pList->horizontalHeader()->setSortIndicator(m_nSortColumn,
                                                  m_bSortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CMainFrame::SortByColumn(int column) {
    m_nSortMode = column;
    m_bSortDescending = false;
    SortList();
}

// A second click on the column the list is sorted by reverses the order.
void CMainFrame::HeaderClicked(int column) {
    m_bSortDescending = column == m_nSortColumn && !m_bSortDescending;
    m_nSortMode = column;
    SortList();
}

// ---- Right pane ----

void CMainFrame::EmptyPane() { m_pRichEdit->EmptyPane(); }

void CMainFrame::UpdateContentPane() {
    const int row = m_pList->SelectionMark();
    if (row < 0) return;
    // Whatever follows, the start page is no longer what the pane shows, so
    // a later drive listing must not leave the pane alone for its sake.
    m_bStartPage = false;
    const CListItem item = m_pModel->Item(row);
    m_pFileName->setText(ToQString(item.name));
    m_pShellType->setText(QStringLiteral(" "));
    struct CMarker {
        std::string_view type;
        const char* label;
    };
    static constexpr std::array<CMarker, 5> kMarkers{{
        {kTypeDir, "Folder"}, {kTypeDrive, "Drive"}, {kTypeDomain, "Domain"}, {kTypeShare, "Share"}, {kTypeServer, "Server"},
    }};
    for (const CMarker& marker : kMarkers) {
        if (item.type != marker.type) continue;
        m_pType->setText(QString::fromLatin1(marker.label));
        if (marker.type == kTypeDir && m_nViewType == kViewInfo && !IsUncFolder(m_szFolder)) {
            ShowInfoReport();
        } else if (marker.type == kTypeServer && m_nViewType == kViewInfo) {
            ShowServerInfo();
        } else {
            EmptyPane();
        }
        emit ContentPaneUpdated();
        return;
    }
    if (IsNoteItem(item)) {
        m_pType->clear();
        emit ContentPaneUpdated();
        return;
    }

    CWaitCursor wait;
    if (IsUncFolder(m_szFolder)) {
        ShowShareFile(item);
        emit ContentPaneUpdated();
        return;
    }
    const std::string path = m_szFolder + item.name;
    std::string shellType;
    LookUpShellType(item.type, shellType);
    m_pShellType->setText(ToQString(shellType));
    if (m_nViewType == kViewInfo) {
        ShowInfoReport();
    } else {
        std::string type;
        EstimateFileType(path, type);
        m_pType->setText(ToDisplayQString(type));
        wait.Restore();
        if (m_nViewType == kViewHex) ShowHexView(*m_pRichEdit, m_styles, path, m_bShowOffsets, m_bDosMode);
        else if (m_bDosMode) ShowDosTextView(*m_pRichEdit, m_styles, path);
        else ShowTextView(*m_pRichEdit, m_styles, path);
    }
    emit ContentPaneUpdated();
}

void CMainFrame::ShowInfoReport() {
    const int row = m_pList->SelectionMark();
    if (row < 0) return;
    const CReportResult result =
        CFileInspector(m_pModel->Item(row).name, m_szFolder, *m_pRichEdit, m_styles, m_switches, m_bBackupPrivileges)
            .BuildInfoReport();
    m_bBackupPrivileges = result.bBackupPrivileges;
    if (!result.strTypeText.empty()) m_pType->setText(ToDisplayQString(result.strTypeText));
}

void CMainFrame::ShowShareFile(const CListItem& item) {
    std::string shellType;
    LookUpShellType(item.type, shellType);
    m_pShellType->setText(ToQString(shellType));
    NetworkLocation location;
    ParseNetworkLocation(m_szFolder + item.name, ENetworkLevel::Shares, location);
    int error = 0;
    const std::unique_ptr<CSmbByteSource> source = CSmbByteSource::Open(Smb(), SmbUrl(location, false), error);
    if (m_nViewType == kViewInfo) {
        FileSystemFacts facts;
        if (source) facts = source->Facts();
        else facts.openError = error;
        CFileInspector inspector(item.name, m_szFolder, *m_pRichEdit, m_styles, m_switches);
        const CReportResult result = inspector.BuildInfoReport(source.get(), FormatFileInformation(facts, false));
        m_pType->setText(ToQString(result.strTypeText));
        return;
    }
    std::string type = "(couldn't open the file)";
    if (source) EstimateFileType(*source, type);
    m_pType->setText(ToQString(type));
    if (m_nViewType == kViewHex) ShowHexView(*m_pRichEdit, m_styles, source.get(), m_bShowOffsets, m_bDosMode);
    else if (m_bDosMode) ShowDosTextView(*m_pRichEdit, m_styles, source.get());
    else ShowTextView(*m_pRichEdit, m_styles, source.get());
}

void CMainFrame::ShowServerInfo() {
    const int row = m_pList->SelectionMark();
    if (row < 0) return;
    const CListItem item = m_pModel->Item(row);
    const std::string server = ServerAddress(item.name);
    auto write = [this, item](const std::string& counts) {
        m_pRichEdit->BeginReport();
        m_pRichEdit->AppendStyledText("\nServer information\n", m_styles.m_cfHeading);
        m_pRichEdit->AppendStyledText("Server: " + item.name + "\nComment: " + item.size + "\n" + counts, m_styles.m_cfNormal);
        m_pRichEdit->EndReport();
    };
    write({});
    // The shares are counted and the address looked up on the worker; the
    // summary is completed if the server is still the one shown.
    const std::string domain = m_strDomain;
    RunOnNetwork<ServerSummary>(
        Smb(), this, [server](CSmbSession& session) { return SummarizeServer(session, server); },
        [this, item, domain, write](ServerSummary summary) {
            const int now = m_pList->SelectionMark();
            if (now < 0 || m_pModel->Item(now).name != item.name || m_nViewType != kViewInfo) return;
            const std::string& workgroup = domain.empty() ? summary.workgroup : domain;
            std::string counts = summary.error != 0 ? "Shares: unknown (" + std::string(std::strerror(summary.error)) + ")"
                                                    : "Shares: " + std::to_string(summary.shareCount);
            counts += ", workgroup: " + workgroup + ", address: " + (summary.address.empty() ? "unknown" : summary.address) + "\n";
            write(counts);
            emit ContentPaneUpdated();
        });
}

void CMainFrame::ShowStartPage() {
    m_pRichEdit->BeginReport();
    m_pRichEdit->AppendStyledText("\nQuiddity\n", m_styles.m_cfHeading);
    m_pRichEdit->AppendStyledText(VersionText() + "\n", m_styles.m_cfNormal);
    m_pRichEdit->AppendStyledText(std::string(kAboutLine1) + "\n", m_styles.m_cfNormal);
    m_pRichEdit->AppendStyledText(std::string(kAboutLine2) + "\n\n", m_styles.m_cfNormal);
    RenderMarkup(*m_pRichEdit, m_styles, kNewsText);
    m_pRichEdit->EndReport();
}

void CMainFrame::ShowKeyboardShortcuts() {
    m_pRichEdit->BeginReport();
    RenderMarkup(*m_pRichEdit, m_styles, kKeyboardShortcuts);
    m_pRichEdit->EndReport();
}

void CMainFrame::SetViewType(int viewType) {
    m_nViewType = viewType;
    ViewButton(viewType)->setChecked(true);
    ViewAction(viewType)->setChecked(true);
    StartTimer(kTimerUpdate, kViewDelay);
}

// The display switches change the hex and text views of a file only; the
// pane shows the change as a view command would, without waiting for the
// next update (and a start page stays).
void CMainFrame::RedrawContentView() {
    if (m_nViewType != kViewHex && m_nViewType != kViewText) return;
    const int row = m_pList->SelectionMark();
    if (row < 0) return;
    const CListItem& item = m_pModel->Item(row);
    if (item.type.starts_with('(') || item.name == kNoFilesFound) return;  // markers, not files
    StartTimer(kTimerUpdate, kViewDelay);
}

// ---- Settings, about box, context menu ----

void CMainFrame::EditSettings() {
    COppsett dialog(m_strEditor, this);
    dialog.exec();
    m_strEditor = dialog.Editor();
    // Even after Cancel: the store may have changed behind the dialog's back.
    // The start-up view is not read again: it acts at the next start.
    m_switches = ReadSwitches();
}

void CMainFrame::ShowAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

// Only the right pane has all of its text to select.
void CMainFrame::SelectAll() {
    if (m_pRichEdit->hasFocus()) m_pRichEdit->selectAll();
}

void CMainFrame::ShowContextMenu() {
    const int row = m_pList->FirstSelected();
    if (row < 0) return;
    const EMenu kind = ContextMenuKind(m_pModel->Item(row));
    if (kind == EMenu::None) return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (kind == EMenu::File) {
        QMenu* shell = menu->addMenu(QStringLiteral("&Shell"));
        shell->addAction(QStringLiteral("&Open"), this, &CMainFrame::OpenItem);
        shell->addAction(QStringLiteral("&Edit"), this, &CMainFrame::EditItem);
        menu->addSeparator();
        menu->addAction(QStringLiteral("Open with &editor"), this, &CMainFrame::OpenItemWithEditor);
        menu->addAction(QStringLiteral("&Copy path"), this, &CMainFrame::CopyItemPath);
    } else {
        menu->addAction(QStringLiteral("E&xplore"), this, &CMainFrame::ExploreItem);
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Cancel"));
    menu->popup(m_ptRightClick);
}

std::optional<std::string> CMainFrame::SelectedItemPath() const {
    const int row = m_pList->FirstSelected();
    if (row < 0) return std::nullopt;
    // In the special-folders view the folder is empty and the Name a full path.
    return m_szFolder + m_pModel->Item(row).name;
}

void CMainFrame::OpenItem() {
    if (const auto path = SelectedItemPath()) m_pShell->Open(*path);
}

void CMainFrame::EditItem() {
    if (const auto path = SelectedItemPath()) m_pShell->Edit(*path);
}

void CMainFrame::OpenItemWithEditor() {
    if (const auto path = SelectedItemPath()) m_pShell->OpenWithEditor(m_strEditor, *path, m_szFolder);
}

void CMainFrame::CopyItemPath() {
    if (const auto path = SelectedItemPath()) m_pShell->CopyPath("\"" + *path + "\"");
}

void CMainFrame::ExploreItem() {
    if (const auto path = SelectedItemPath()) m_pShell->Explore(*path);
}

void CMainFrame::SetShellActions(std::unique_ptr<IShellActions> shell) { m_pShell = std::move(shell); }

}  // namespace quiddity
