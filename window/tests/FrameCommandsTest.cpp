// The frame's commands without a display: the settings store and dialog,
// the about box, select all, the context menu and the shell actions it
// starts.  The settings live in the run's own XDG_CONFIG_HOME (TestMain).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Version.h"
#include "window/AboutBox.h"
#include "window/LeftView.h"
#include "window/LocationModel.h"
#include "window/MainFrame.h"
#include "window/QuiddityView.h"
#include "window/Settings.h"
#include "window/SettingsDialog.h"
#include "window/ShellActions.h"

using namespace quiddity;

namespace {

constexpr int kSettle = 250;  // longer than every timer of the frame

QString SettingsFile() { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Larkspur/Quiddity.conf"); }

void WriteText(const QString& path, const QByteArray& text, bool executable = false) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(text), text.size());
    file.close();
    if (executable) QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

QByteArray ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The store as another program (or the user's editor) leaves it.
void WriteStore(const QByteArray& values) { WriteText(SettingsFile(), "[Settings]\n" + values); }

// Runs act on the modal dialog of type Dialog once the code under test has
// opened it; a missing dialog is closed and fails the test, never hangs it.
template <class Dialog>
void WhenModal(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog == nullptr) {
            if (modal != nullptr) modal->close();
            QFAIL("the expected dialog did not open");
        }
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();  // a failed check must not leave it open
    });
}

// The action texts of a menu, without their shortcut marks; "" for a separator.
QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << QString(action->text()).remove(u'&');
    return texts;
}

// The context menus the frame has open.
QList<QMenu*> OpenMenus(const CMainFrame& frame) { return frame.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly); }

class CRecordingShell final : public IShellActions {
public:
    explicit CRecordingShell(std::vector<std::string>& calls) : m_calls(calls) {}
    void Open(const std::string& path) override { m_calls.push_back("Open " + path); }
    void Edit(const std::string& path) override { m_calls.push_back("Edit " + path); }
    void Explore(const std::string& folder) override { m_calls.push_back("Explore " + folder); }
    void OpenWithEditor(const std::string& editor, const std::string& path, const std::string& folder) override {
        m_calls.push_back("OpenWithEditor " + editor + "|" + path + "|" + folder);
    }
    void CopyPath(const std::string& text) override { m_calls.push_back("CopyPath " + text); }

private:
    std::vector<std::string>& m_calls;
};

// A program that writes its working folder and its arguments, one a line,
// to its own path followed by ".args".
constexpr char kRecorderScript[] =
    "#!/bin/sh\n"
    "{ pwd; for argument in \"$@\"; do echo \"$argument\"; done; } > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n";

}  // namespace

class CFrameCommandsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_folder;  // ends in "/"
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::string> m_calls;

    // A frame past its start-up, listing the test folder, with recorded shell actions.
    CMainFrame& FrameInFolder() {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->SetShellActions(std::make_unique<CRecordingShell>(m_calls));
        m_frame->show();
        QTest::qWait(kStartUpDelay + 100);
        m_frame->SetFolder(m_folder);
        m_frame->ListFolder();
        return *m_frame;
    }

    // A right click as the window system delivers it: the press, the context
    // menu event that follows it, the release.
    void RightClick(CMainFrame& frame, const std::string& name) {
        QWidget* viewport = frame.List()->viewport();
        const QPoint point = frame.List()->visualRect(frame.Model()->index(frame.Model()->FindName(name), 0)).center();
        QTest::mousePress(viewport, Qt::RightButton, {}, point);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
        QApplication::sendEvent(viewport, &event);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, point);
    }

    // Right-clicks the item and waits for its context menu; null when none comes.
    QMenu* ContextMenuOf(CMainFrame& frame, const std::string& name) {
        RightClick(frame, name);
        QTest::qWait(kSettle);
        const QList<QMenu*> menus = OpenMenus(frame);
        return menus.isEmpty() ? nullptr : menus.first();
    }

    static void Close(QMenu* menu) {
        menu->close();
        QTest::qWait(10);  // the menu deletes itself later
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path().toStdString() + "/";
        WriteText(m_dir.filePath("readme.txt"), "read me\n");
        WriteText(m_dir.filePath("a b.txt"), "blanks\n");
        QVERIFY(QDir(m_dir.path()).mkdir("sub"));
        // Nothing may have found a settings file yet.
        QVERIFY(SettingsFile().startsWith(QDir::tempPath()));
    }

    void init() {
        QFile::remove(SettingsFile());
        m_calls.clear();
    }

    void cleanup() { m_frame.reset(); }

    // ---- The store ----

    void emptyStoreGivesTheDefaults() {
        const CSettings settings = LoadSettings();
        QCOMPARE(settings.nViewType, static_cast<int>(kViewHex));
        QCOMPARE(settings.strEditor, std::string("notepad"));
        for (const SwitchSetting& value : kSwitchSettings) QVERIFY(settings.switches.*value.member);
        CMainFrame frame;
        QVERIFY(frame.ViewButton(kViewHex)->isChecked());
        frame.SetViewType(kViewInfo);
        QVERIFY(!QFile::exists(SettingsFile()));  // neither reading nor switching views writes
    }

    void storedViewActsAtStartAndOddValuesFallBack() {
        WriteStore("Viewtype=2\nEditor=vim\nShowExe=0\nShowChecksum=abc\nShowSpecial=5\n");
        {
            CMainFrame frame;
            QCOMPARE(frame.ViewType(), static_cast<int>(kViewInfo));
            QVERIFY(frame.ViewButton(kViewInfo)->isChecked());
            QVERIFY(frame.ViewAction(kViewInfo)->isChecked());
            QCOMPARE(frame.Editor(), std::string("vim"));
            QVERIFY(!frame.Switches().ShowExe);
            QVERIFY(frame.Switches().ShowChecksum);  // no number: the default
            QVERIFY(frame.Switches().ShowSpecial);   // any number but 0 is on
        }
        // A view that does not exist is the hex view, and nothing crashes.
        for (const QByteArray& odd : {QByteArray("7"), QByteArray("-1"), QByteArray("abc"), QByteArray("")}) {
            WriteStore("Viewtype=" + odd + "\n");
            CMainFrame frame;
            QCOMPARE(frame.ViewType(), static_cast<int>(kViewHex));
            QVERIFY(frame.ViewButton(kViewHex)->isChecked());
        }
    }

    // ---- The settings dialog ----

    void saveWritesTheEightValues() {
        CMainFrame& frame = FrameInFolder();
        WhenModal<COppsett>([](COppsett& dialog) {
            QCOMPARE(dialog.EditorField()->text(), QStringLiteral("notepad"));
            QVERIFY(dialog.ViewButton(kViewHex)->isChecked());
            dialog.EditorField()->setText(QStringLiteral("my editor --wait"));
            dialog.SwitchBox(3)->setChecked(false);  // ShowChecksum
            dialog.ViewButton(kViewText)->click();
            dialog.SaveButton()->click();
        });
        frame.EditSettings();
        QCOMPARE(ReadText(SettingsFile()),
                 QByteArray("[Settings]\nEditor=my editor --wait\nShowChecksum=0\nShowEstimated=1\nShowExe=1\n"
                            "ShowFileInfo=1\nShowSpecial=1\nShowVersionInfo=1\nViewtype=1\n"));
        QCOMPARE(frame.Editor(), std::string("my editor --wait"));
        QVERIFY(!frame.Switches().ShowChecksum);
        QVERIFY(frame.Switches().ShowExe);
        // The stored view waits for the next start.
        QCOMPARE(frame.ViewType(), static_cast<int>(kViewHex));
        CMainFrame next;
        QCOMPARE(next.ViewType(), static_cast<int>(kViewText));
    }

    void cancelKeepsTheEditorButRereadsTheSwitches() {
        WriteStore("Editor=vim\nViewtype=7\nShowExe=0\n");
        CMainFrame& frame = FrameInFolder();
        const QByteArray changed = "[Settings]\nEditor=vim\nShowVersionInfo=0\n";
        WhenModal<COppsett>([&changed](COppsett& dialog) {
            QCOMPARE(dialog.EditorField()->text(), QStringLiteral("vim"));
            QVERIFY(!dialog.SwitchBox(2)->isChecked());      // ShowExe
            QVERIFY(dialog.ViewButton(kViewHex)->isChecked());  // 7 reads as hex
            dialog.EditorField()->setText(QStringLiteral("emacs"));
            WriteText(SettingsFile(), changed);  // behind the dialog's back
            dialog.reject();
        });
        frame.EditSettings();
        QCOMPARE(frame.Editor(), std::string("vim"));
        QVERIFY(!frame.Switches().ShowVersionInfo);
        QVERIFY(frame.Switches().ShowExe);
        QCOMPARE(ReadText(SettingsFile()), changed);
    }

    void defaultThenSaveStoresNotepad() {
        WriteStore("Editor=vim\n");
        CMainFrame frame;
        WhenModal<COppsett>([](COppsett& dialog) {
            dialog.DefaultButton()->click();
            QCOMPARE(dialog.EditorField()->text(), QStringLiteral("notepad"));
            dialog.SaveButton()->click();
        });
        frame.EditSettings();
        QCOMPARE(frame.Editor(), std::string("notepad"));
        QVERIFY(ReadText(SettingsFile()).contains("\nEditor=notepad\n"));
    }

    void browsePicksAProgramThatStaysWhole() {
        const QString program = m_dir.filePath("my editor");
        WriteText(program, kRecorderScript, true);
        COppsett dialog("notepad");
        WhenModal<QFileDialog>([&program](QFileDialog& chooser) {
            QCOMPARE(chooser.windowTitle(), QStringLiteral("Choose editor"));
            QCOMPARE(chooser.fileMode(), QFileDialog::ExistingFile);
            chooser.selectFile(program);
            static_cast<QDialog&>(chooser).accept();  // as the Open button does
        });
        dialog.BrowseButton()->click();
        QCOMPARE(dialog.EditorField()->text(), u'"' + program + u'"');
        const QStringList commandLine = EditorCommandLine(dialog.EditorField()->text().toStdString(), "/x/a b.txt");
        QCOMPARE(commandLine, (QStringList{program, QStringLiteral("/x/a b.txt")}));
        QCOMPARE(QProcess::splitCommand(QuotedProgram(QStringLiteral("/opt/say \"hi\""))), QStringList{"/opt/say \"hi\""});
    }

    // ---- Commands ----

    void aboutShowsTheBuildAndQt() {
        CMainFrame frame;
        WhenModal<CAboutDlg>([](CAboutDlg& about) {
            QCOMPARE(about.Title()->text(), QStringLiteral("Quiddity Version ") + QLatin1String(kQuiddityVersion));
            const QString description = about.Description()->toPlainText();
            QVERIFY(description.contains(QRegularExpression(R"(\nCompiled: \w{3} \d\d \d{4} \d\d:\d\d:\d\d Qt: )")));
            QVERIFY(description.endsWith(QStringLiteral(" Qt: ") + QLatin1String(qVersion())));
            about.accept();
        });
        frame.ShowAbout();
    }

    void selectAllActsOnThePaneAlone() {
        CMainFrame& frame = FrameInFolder();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.ShowKeyboardShortcuts();
        frame.List()->setFocus();
        QTRY_VERIFY(frame.List()->hasFocus());
        QTest::keyClick(frame.List(), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!frame.Pane()->textCursor().hasSelection());
        frame.Pane()->setFocus();
        QTRY_VERIFY(frame.Pane()->hasFocus());
        QTest::keyClick(frame.Pane(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(frame.Pane()->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'),
                 frame.Pane()->toPlainText());
        // The pane copies with its own keys.
        QApplication::clipboard()->clear();
        QTest::keyClick(frame.Pane(), Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().contains("BACKSPACE\tGo up one folder"));
    }

    // ---- The context menu ----

    void contextMenuKinds() {
        QCOMPARE(ContextMenuKind({"/", "(drive)", ""}), EMenu::None);
        QCOMPARE(ContextMenuKind({"WORKGROUP", "(domain)", ""}), EMenu::None);
        QCOMPARE(ContextMenuKind({"..", "(dir)", ""}), EMenu::None);
        QCOMPARE(ContextMenuKind({"sub", "(dir)", ""}), EMenu::Folder);
        QCOMPARE(ContextMenuKind({"readme.txt", ".txt", "1 KB"}), EMenu::File);
        QCOMPARE(ContextMenuKind({"(no files found)", "", ""}), EMenu::File);
        QCOMPARE(ContextMenuKind({"(Local)", "(server)", ""}), EMenu::File);
    }

    void twoQuickRightClicksOpenOneMenu() {
        CMainFrame& frame = FrameInFolder();
        RightClick(frame, "readme.txt");
        QTest::qWait(kListDelay / 2);
        RightClick(frame, "readme.txt");
        QTest::qWait(kListDelay / 2 + 20);
        QVERIFY(OpenMenus(frame).isEmpty());  // the second click restarted the wait
        QTest::qWait(kSettle);
        const QList<QMenu*> menus = OpenMenus(frame);
        QCOMPARE(menus.size(), 1);
        QMenu* menu = menus.first();
        QVERIFY(menu->isVisible());
        QCOMPARE(Texts(*menu), (QStringList{"Shell", "", "Open with editor", "Copy path", "", "Cancel"}));
        QCOMPARE(Texts(*menu->actions().first()->menu()), (QStringList{"Open", "Edit"}));
        // Shown where the click was.
        const QRect row = frame.List()->visualRect(frame.Model()->index(frame.Model()->FindName("readme.txt"), 0));
        QCOMPARE(menu->pos(), frame.List()->viewport()->mapToGlobal(row.center()));
        menu->actions().last()->trigger();  // Cancel does nothing
        Close(menu);
        QVERIFY(m_calls.empty());
        QCOMPARE(frame.Model()->Item(frame.List()->FirstSelected()).name, std::string("readme.txt"));
    }

    void noMenuForParentsAndDrives() {
        CMainFrame& frame = FrameInFolder();
        QVERIFY(ContextMenuOf(frame, "..") == nullptr);
        frame.ShowDrives();
        QVERIFY(ContextMenuOf(frame, "/") == nullptr);
    }

    void fileMenuActionsGetTheFullPath() {
        WriteStore("Editor=my editor --wait\n");
        CMainFrame& frame = FrameInFolder();
        // The item's menu, or its Shell submenu, runs the command named.
        auto choose = [&](const std::string& name, const QString& submenu, const QString& command) {
            QMenu* menu = ContextMenuOf(frame, name);
            QVERIFY(menu != nullptr);
            QMenu* holder = submenu.isEmpty() ? menu : menu->actions().at(Texts(*menu).indexOf(submenu))->menu();
            holder->actions().at(Texts(*holder).indexOf(command))->trigger();
            Close(menu);
        };
        choose("readme.txt", {}, "Copy path");
        choose("readme.txt", "Shell", "Open");
        choose("a b.txt", "Shell", "Edit");
        choose("a b.txt", {}, "Open with editor");
        const std::vector<std::string> expected{
            "CopyPath \"" + m_folder + "readme.txt\"",
            "Open " + m_folder + "readme.txt",
            "Edit " + m_folder + "a b.txt",
            "OpenWithEditor my editor --wait|" + m_folder + "a b.txt|" + m_folder,
        };
        QCOMPARE(m_calls, expected);
    }

    void folderMenuExploresTheFolderOnly() {
        CMainFrame& frame = FrameInFolder();
        // From the menu key: the menu opens on the current row.
        const int row = frame.Model()->FindName("sub");
        frame.List()->SelectItem(row);
        QWidget* viewport = frame.List()->viewport();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), viewport->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(viewport, &key);
        QTest::qWait(kSettle);
        QCOMPARE(OpenMenus(frame).size(), 1);
        QMenu* menu = OpenMenus(frame).first();
        QCOMPARE(menu->pos(), viewport->mapToGlobal(frame.List()->visualRect(frame.Model()->index(row, 0)).center()));
        QCOMPARE(Texts(*menu), (QStringList{"Explore", "", "Cancel"}));
        menu->actions().first()->trigger();
        Close(menu);
        QCOMPARE(m_calls, std::vector<std::string>{"Explore " + m_folder + "sub"});
    }

    // ---- The desktop's actions ----

    void editorCommandLines() {
        QCOMPARE(EditorCommandLine("my editor --wait", "/x/a b.txt"), (QStringList{"my", "editor", "--wait", "/x/a b.txt"}));
        QVERIFY(EditorCommandLine("", "/x/y").isEmpty());
        // "notepad", the stored default, names no program here: the desktop's editor serves.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        QVERIFY(EditorCommandLine("notepad", "/x/y").isEmpty());
        QCOMPARE(EditorCommandLine("notepad -n", "/x/y"), (QStringList{"notepad", "-n", "/x/y"}));
        // Where a notepad is installed, it is the editor.
        WriteText(m_dir.filePath("bin/notepad"), kRecorderScript, true);
        qputenv("PATH", QFile::encodeName(m_dir.filePath("bin")) + ":/nonexistent");
        QCOMPARE(EditorCommandLine("notepad", "/x/y"), (QStringList{"notepad", "/x/y"}));
        qputenv("PATH", path);
    }

    void desktopActionsStartTheEditors() {
        CDesktopShellActions shell;
        const std::string file = m_folder + "a b.txt";
        // The configured editor: its own arguments, then the path as one.
        const QString editor = m_dir.filePath("my editor");
        WriteText(editor, kRecorderScript, true);
        shell.OpenWithEditor("\"" + editor.toStdString() + "\" --wait", file, m_folder + "sub/");
        QTRY_COMPARE(ReadText(editor + ".args"), QByteArray((m_folder + "sub\n--wait\n" + file + "\n").c_str()));

        // "notepad" missing: the desktop's default application for text.
        const QString textEditor = m_dir.filePath("texteditor");
        WriteText(textEditor, kRecorderScript, true);
        const QString data = qEnvironmentVariable("XDG_DATA_HOME");
        WriteText(data + "/applications/quiddity-test-editor.desktop",
                  "[Desktop Entry]\nType=Application\nName=Test editor\nMimeType=text/plain;\nExec=" +
                      QFile::encodeName(textEditor) + " %f\n");
        WriteText(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list",
                  "[Default Applications]\ntext/plain=quiddity-test-editor.desktop\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/usr/bin:/bin");
        shell.OpenWithEditor("notepad", file, m_folder);
        qputenv("PATH", path);
        QTRY_VERIFY(ReadText(textEditor + ".args").endsWith(QByteArray(("\n" + file + "\n").c_str())));

        // The clipboard takes the path as UTF-8 text.
        shell.CopyPath("\"" + m_folder + "caf\xC3\xA9.txt\"");
        QCOMPARE(QApplication::clipboard()->text(), u'"' + m_dir.path() + QString::fromUtf8("/caf\u00E9.txt\""));
    }
};

int RunFrameCommandsTest(int argc, char** argv) {
    CFrameCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FrameCommandsTest.moc"
