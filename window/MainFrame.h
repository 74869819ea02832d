// The main window and the holder of all lasting state: the current folder,
// the view type and display flags, the report switches, the text styles,
// and the two panes.  Every action of the list runs here, when one of the
// frame's one-shot timers fires.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/InfoReport.h"
#include "core/TextStyle.h"
#include "network/NetworkLocations.h"
#include "window/Locations.h"
#include "window/Settings.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QLineEdit;
class QSplitter;
class QTimer;

namespace quiddity {

class CLeftView;
class CLocationModel;
class CQuiddityView;
class IShellActions;

// Where a path to open comes from: each trims it its own way.
enum class EPathSource { CommandLine, GoTo, Drop };

// The one-shot timers; a new request of a kind replaces a pending one.
enum ETimer : int {
    kTimerDrives = 2,
    kTimerUpdate = 4,
    kTimerGoUp = 5,
    kTimerOpen = 6,
    kTimerContextMenu = 7,
    kTimerOpenPath = 8,
};
inline constexpr int kTimerCount = 9;
inline constexpr int kStartUpDelay = 500;  // ms
inline constexpr int kListDelay = 100;
inline constexpr int kViewDelay = 50;
// A network listing that has not answered by then shows "(no answer from
// the network)"; the library gives up connecting after 10 s.
inline constexpr int kNoAnswerDelay = 12000;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // commandLinePath: the one path given on the command line, or empty.
    explicit CMainFrame(std::string commandLinePath = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Location list.
    void ShowDrives();
    void ListFolder();
    void ShowSpecialFolders();
    // 0 workgroups, 1 servers of a workgroup, 2 shares of a server, 3 opens a share.
    void ListNetwork(int level);
    void OpenSelectedItem();
    void GoUp();
    void OpenPath(std::string path, EPathSource source);
    void SortList();
    void SortByColumn(int column);
    void HeaderClicked(int column);
    void ShowSortIndicator();

    // Right pane.
    void UpdateContentPane();
    void ShowInfoReport();
    void ShowServerInfo();
    // The report or view of a file on the share folder listed.
    void ShowShareFile(const CListItem& item);
    void ShowStartPage();
    void ShowKeyboardShortcuts();
    void GoTo();
    void SetViewType(int viewType);
    void RedrawContentView();
    void ActivateOtherPane();

    // Settings, about box, context menu and its shell actions.
    void EditSettings();
    void ShowAbout();
    void SelectAll();
    void ShowContextMenu();
    void OpenItem();
    void EditItem();
    void OpenItemWithEditor();
    void CopyItemPath();
    void ExploreItem();

    void StartTimer(int timer, int delay);

    // State, for whoever drives the window (tests, the benchmark).
    const std::string& Folder() const { return m_szFolder; }
    void SetFolder(std::string folder) { m_szFolder = std::move(folder); }
    const std::string& Domain() const { return m_strDomain; }
    const std::string& Server() const { return m_strServer; }
    void SetNoAnswerDelay(int milliseconds) { m_nNoAnswerDelay = milliseconds; }
    int ViewType() const { return m_nViewType; }
    int SortMode() const { return m_nSortMode; }
    bool SortDescending() const { return m_bSortDescending; }
    CLeftView* List() const { return m_pList; }
    CQuiddityView* Pane() const { return m_pRichEdit; }
    CLocationModel* Model() const { return m_pModel; }
    QLineEdit* FileNameField() const { return m_pFileName; }
    QLineEdit* TypeField() const { return m_pType; }
    QLineEdit* ShellTypeField() const { return m_pShellType; }
    QAbstractButton* ViewButton(int viewType) const;
    QAction* ViewAction(int viewType) const { return m_viewActions[static_cast<std::size_t>(viewType)]; }
    QAction* OffsetsAction() const { return m_pOffsetsAction; }
    QAction* DosModeAction() const { return m_pDosModeAction; }
    const std::string& Editor() const { return m_strEditor; }
    const CReportSwitches& Switches() const { return m_switches; }
    // Tests record the shell actions instead of starting programs.
    void SetShellActions(std::unique_ptr<IShellActions> shell);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

signals:
    // After every run of UpdateContentPane.
    void ContentPaneUpdated();
    // After a network listing answered, or did not answer in time.
    void NetworkListed();

private:
    void BuildMenus();
    void BuildBars();
    void OnTimer(int timer);
    void SelectItem(int row);
    void EmptyPane();
    // The full path of the first selected item, if any.
    std::optional<std::string> SelectedItemPath() const;

    // Network listings: the list shows ".." and "(searching...)" until the
    // answer comes; a later request makes an earlier answer stale.
    using FNetworkListing = std::function<NetworkRows(CSmbSession&)>;
    using FNetworkAnswer = std::function<void(NetworkRows&)>;
    CSmbClient& Smb();
    void StartNetworkListing(FNetworkListing listing, FNetworkAnswer answer);
    void ShowNoAnswer();
    void ListShareFolder(bool retried);
    void ListShares(const std::string& server, bool retried);
    // Asks for credentials for server; then runs retry, once.
    void AskForCredentials(const std::string& server, std::function<void()> retry);
    void RestoreItemsBeforeSearch();
    // An smb:// URL or \\server\share\path given to OpenPath; folder when
    // it ends in a separator.
    void OpenNetworkLocation(const NetworkLocation& location, bool folder);

    std::string m_szFolder;
    std::string m_strDomain;
    std::string m_strServer;
    std::string m_commandLinePath;
    int m_nSortMode = kSortByName;
    bool m_bSortDescending = false;
    int m_nSortColumn = -1;  // the column whose sort the header shows, or -1
    int m_nViewType = kViewHex;
    bool m_bShowOffsets = false;
    bool m_bDosMode = false;
    bool m_bStartPage = false;
    bool m_bBackupPrivileges = false;
    std::string m_strEditor;
    CReportSwitches m_switches;
    QPoint m_ptRightClick;  // of the last right click, on the screen
    const CTextStyles& m_styles;
    std::unique_ptr<IShellActions> m_pShell;

    QSplitter* m_pSplitter = nullptr;
    CLeftView* m_pList = nullptr;
    CLocationModel* m_pModel = nullptr;
    CQuiddityView* m_pRichEdit = nullptr;
    QLineEdit* m_pFileName = nullptr;
    QLineEdit* m_pType = nullptr;
    QLineEdit* m_pShellType = nullptr;
    QButtonGroup* m_pViewButtons = nullptr;
    std::array<QAction*, 3> m_viewActions{};
    QAction* m_pOffsetsAction = nullptr;
    QAction* m_pDosModeAction = nullptr;
    std::array<QTimer*, kTimerCount> m_timers{};

    std::unique_ptr<CSmbClient> m_pSmb;  // started at the first network listing
    int m_nLastRequest = 0;
    int m_nPendingRequest = 0;  // the listing whose answer is awaited, or 0
    int m_nNoAnswerDelay = kNoAnswerDelay;
    QTimer* m_pNoAnswerTimer = nullptr;
    std::vector<CListItem> m_vecBeforeSearch;  // kept while a share list loads
    std::string m_strSelectBeforeSearch;
    std::string m_strSelectAfterListing;  // going up selects the folder left
};

}  // namespace quiddity
