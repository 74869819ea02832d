// The browser window without a display: listings, sorting, navigation, the
// timers that merge bursts, view switching and the content views as the
// pane shows them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QAbstractButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "window/LeftView.h"
#include "window/LocationModel.h"
#include "window/Locations.h"
#include "window/MainFrame.h"
#include "window/QuiddityView.h"

using namespace quiddity;

namespace {

// Longer than every timer of the frame, so that a pending action has run.
constexpr int kSettle = 250;

void WriteFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

// A file of the given size without writing its bytes.
void SparseFile(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::ftruncate(fd, size), 0);
    ::close(fd);
}

std::vector<std::string> Column(const CLocationModel& model, int column) {
    std::vector<std::string> texts;
    for (const CListItem& item : model.Items())
        texts.push_back(column == 0 ? item.name : column == 1 ? item.type : item.size);
    return texts;
}

std::string SelectedName(const CMainFrame& frame) {
    const int row = frame.List()->SelectionMark();
    return row < 0 ? std::string() : frame.Model()->Item(row).name;
}

QStringList PaneLines(const CMainFrame& frame) { return frame.Pane()->toPlainText().split(u'\n'); }

// The start-up drive listing has happened (it comes after half a second).
void WaitForDrives(const CMainFrame& frame) {
    QVERIFY(QTest::qWaitFor([&] { return frame.Model()->Items().back().name == "Special folders"; }));
}

}  // namespace

class CWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_folder;  // ends in "/"
    std::unique_ptr<CMainFrame> m_frame;

    // A frame past its start-up timer, showing the test folder.
    CMainFrame& FrameInFolder(const std::string& folder) {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
        WaitForDrives(*m_frame);
        m_frame->SetFolder(folder);
        m_frame->ListFolder();
        return *m_frame;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path().toStdString() + "/";
        // The listing example: a.TXT 500 bytes, b 2,000,000, c.dat empty.
        WriteFile(m_folder + "a.TXT", std::string(500, 'a'));
        SparseFile(m_folder + "b", 2000000);
        WriteFile(m_folder + "c.dat", "");
        QCOMPARE(::mkdir((m_folder + "sub").c_str(), 0700), 0);
        QCOMPARE(::mkdir((m_folder + "Zed").c_str(), 0700), 0);
        WriteFile(m_folder + "sub/inner.txt", "inner\n");
        WriteFile(m_folder + "twenty", "ABCDEFGHIJKLMNOPQRST");
        WriteFile(m_folder + "glyphs", std::string("\x80\x81", 2));
        WriteFile(m_folder + "lines", "A\r\n\r\nB\x01\x02\x03" + std::string(100, 'w'));
    }

    void cleanup() { m_frame.reset(); }

    // ---- Listing rules, without a window ----

    void sizeTexts() {
        QCOMPARE(SizeText(0), std::string("0 KB"));
        QCOMPARE(SizeText(1), std::string("1 KB"));
        QCOMPARE(SizeText(500), std::string("1 KB"));
        QCOMPARE(SizeText(1024), std::string("1 KB"));
        QCOMPARE(SizeText(2047), std::string("1 KB"));
        QCOMPARE(SizeText(2048), std::string("2 KB"));
        QCOMPARE(SizeText(1049600), std::string("1025 KB"));
        QCOMPARE(SizeText(1049601), std::string("1 MB"));
        QCOMPARE(SizeText(2000000), std::string("1 MB"));
        // Sizes past 4 GB are not cut to 32 bits.
        QCOMPARE(SizeText(5ULL << 30), std::string("5120 MB"));

        // And the listing reads them whole.
        QTemporaryDir big;
        SparseFile(big.path().toStdString() + "/disc.img", static_cast<off_t>(5) << 30);
        std::vector<CListItem> items;
        QVERIFY(ReadFolderItems(big.path().toStdString() + "/", items));
        QCOMPARE(items.back().size, std::string("5120 MB"));
    }

    void sizeComparison() {
        QVERIFY(CompareSizeTexts("900 KB", "2 MB") < 0);
        QVERIFY(CompareSizeTexts("2 MB", "900 KB") > 0);
        QVERIFY(CompareSizeTexts("10 KB", "9 KB") > 0);
        QVERIFY(CompareSizeTexts("9 kb", "9 KB") == 0);
        QVERIFY(CompareSizeTexts("", "9 KB") == 0);       // too short to compare
        QVERIFY(CompareSizeTexts("12 XY", "3 XY") > 0);      // same ending: by number
        QVERIFY(CompareSizeTexts("Path (3)", "Path (1)") == 0);  // "3)" and "1)" differ: no order
    }

    void directoriesComeFirstWhateverTheSort() {
        for (int mode : {0, 1, 2, 10, 7}) {
            std::vector<CListItem> items{{"a", "", "5 KB"}, {"zdir", "(dir)", ""}, {"B.txt", ".txt", "1 MB"},
                                         {"..", "(dir)", ""}, {"adir", "(dir)", ""}};
            SortItems(items, mode);
            QCOMPARE(items[0].type, std::string("(dir)"));
            QCOMPARE(items[1].type, std::string("(dir)"));
            QCOMPARE(items[2].type, std::string("(dir)"));
            if (mode == kSortByName) {
                QCOMPARE(items[0].name + items[1].name + items[2].name, std::string("..adirzdir"));
                QCOMPARE(items[3].name + items[4].name, std::string("aB.txt"));  // case ignored
            }
            if (mode == kSortBySize) QCOMPARE(items[3].name, std::string("a"));
            if (mode == 7) QCOMPARE(items[0].name + items[1].name + items[2].name, std::string("..zdiradir"));
        }
    }

    void drivesFromMountInfo() {
        QTemporaryDir stick(m_dir.path() + "/media XXXXXX");
        const std::string stickPath = stick.path().toStdString();
        std::string escaped;
        for (char c : stickPath) escaped += c == ' ' ? std::string("\\040") : std::string(1, c);
        const std::string info =
            "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
            "23 1 0:22 / /sys rw - sysfs sysfs rw\n"
            "24 23 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
            "25 1 0:5 / /dev rw - devtmpfs udev rw\n"
            "26 1 0:25 / /run rw - tmpfs tmpfs rw\n"
            "27 1 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n"
            "28 1 8:2 / /home rw shared:2 - ext4 /dev/sda2 rw\n"
            "29 1 8:3 / " + escaped + " rw - vfat /dev/sdb1 rw\n"
            "30 1 8:1 /var/lib/x/hosts /etc/hosts rw - ext4 /dev/sda1 rw\n"
            "31 1 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n";
        const std::vector<std::string> drives = MountedDrives(info);
        std::vector<std::string> expected{"/", "/home/", stickPath + "/"};
        QCOMPARE(drives, expected);
    }

    void specialFolders() {
        const std::map<std::string, std::string> env{
            {"HOME", "/home/ann"}, {"TMPDIR", " \"/var/tmp\"; "}, {"path", "/usr/bin::.:/bin"}, {"windir", ""}};
        auto getEnv = [&](const char* name) -> const char* {
            const auto found = env.find(name);
            return found == env.end() ? nullptr : found->second.c_str();
        };
        const std::vector<CListItem> items = SpecialFolderItems(
            getEnv, "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/\"\nXDG_VIDEOS_DIR=\"/srv/films/\"\n");
        std::vector<std::string> rows;
        for (const CListItem& item : items) {
            QCOMPARE(item.type, std::string("(dir)"));
            rows.push_back(item.name + " " + item.size);
        }
        // Each is inserted right below "..", so the last found comes first.
        const std::vector<std::string> expected{".. ", "/srv/films Videos", "/home/ann/Desktop Desktop", "/bin Path (2)",
                                                "/usr/bin Path (0)", "/var/tmp %TMPDIR%", "/home/ann %HOME%"};
        QCOMPARE(rows.size(), expected.size());
        for (std::size_t i = 0; i < rows.size(); ++i) QCOMPARE(QString::fromStdString(rows[i]), QString::fromStdString(expected[i]));
    }

    // ---- The frame ----

    void startPageStaysWhenTheDrivesArrive() {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
        QVERIFY(m_frame->Pane()->toPlainText().startsWith("\nQuiddity\nVersion "));
        QCOMPARE(m_frame->Model()->Item(0).name, std::string("Venter..."));
        QTest::qWait(kStartUpDelay - 200);
        QCOMPARE(m_frame->Model()->Item(0).name, std::string("Venter..."));  // not before half a second
        WaitForDrives(*m_frame);
        const std::vector<std::string> names = Column(*m_frame->Model(), 0);
        QCOMPARE(names.front(), std::string("/"));
        QCOMPARE(names[names.size() - 2], std::string("Network"));
        QCOMPARE(names.back(), std::string("Special folders"));
        QCOMPARE(SelectedName(*m_frame), std::string("/"));
        QVERIFY(m_frame->Pane()->toPlainText().contains("New Features"));
        QVERIFY(m_frame->Pane()->toPlainText().contains("Identifies more than 250 filetypes and many subformats"));
        QVERIFY(m_frame->Pane()->isReadOnly());
        QCOMPARE(m_frame->Pane()->lineWrapMode(), QTextEdit::NoWrap);
    }

    void folderListingShowsSizesAndTypes() {
        CMainFrame& frame = FrameInFolder(m_folder);
        QCOMPARE(frame.windowTitle().toStdString(), m_folder);
        const std::vector<std::string> names = Column(*frame.Model(), 0);
        const std::vector<std::string> expected{"..", "sub", "Zed", "a.TXT", "b", "c.dat", "glyphs", "lines", "twenty"};
        QCOMPARE(names, expected);
        const CLocationModel& model = *frame.Model();
        QCOMPARE(model.Item(3).type + "|" + model.Item(3).size, std::string(".TXT|1 KB"));
        QCOMPARE(model.Item(4).type + "|" + model.Item(4).size, std::string("|1 MB"));
        QCOMPARE(model.Item(5).type + "|" + model.Item(5).size, std::string(".dat|0 KB"));
        QCOMPARE(model.Item(1).type + "|" + model.Item(1).size, std::string("(dir)|"));
        QCOMPARE(SelectedName(frame), std::string(".."));
        QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Size"));
        QCOMPARE(frame.List()->columnWidth(0), 190);
    }

    void columnClickSortsBySizeWithFoldersFirst() {
        CMainFrame& frame = FrameInFolder(m_folder);
        frame.List()->SelectItem(frame.Model()->FindName("b"));
        QHeaderView* header = frame.List()->horizontalHeader();
        const QPoint sizeColumn(header->sectionViewportPosition(2) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeColumn);
        QCOMPARE(frame.SortMode(), static_cast<int>(kSortBySize));
        const std::vector<std::string> sizes = Column(*frame.Model(), 2);
        const std::vector<std::string> types = Column(*frame.Model(), 1);
        QCOMPARE(types[0] + types[1] + types[2], std::string("(dir)(dir)(dir)"));
        QCOMPARE(sizes[3], std::string("0 KB"));
        QCOMPARE(sizes.back(), std::string("1 MB"));
        QCOMPARE(SelectedName(frame), std::string("b"));  // the selection follows its item
    }

    void goingUpSelectsTheFolderLeft() {
        CMainFrame& frame = FrameInFolder(m_folder + "sub/");
        QCOMPARE(Column(*frame.Model(), 0), (std::vector<std::string>{"..", "inner.txt"}));
        frame.List()->setFocus();
        QTest::keyClick(frame.List(), Qt::Key_Backspace);
        QCOMPARE(frame.Folder(), m_folder + "sub/");  // nothing happens at once
        QTRY_COMPARE(frame.Folder(), m_folder);
        QCOMPARE(SelectedName(frame), std::string("sub"));
        QCOMPARE(frame.FileNameField()->text(), QStringLiteral("sub"));
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Folder"));

        // Enter on a folder opens it; ".." goes up again.
        QTest::keyClick(frame.List(), Qt::Key_Return);
        QTRY_COMPARE(frame.Folder(), m_folder + "sub/");
        QCOMPARE(SelectedName(frame), std::string(".."));
        QTest::keyClick(frame.List(), Qt::Key_Return);
        QTRY_COMPARE(frame.Folder(), m_folder);

        // From the root the drive list follows.
        frame.SetFolder("/");
        frame.GoUp();
        QCOMPARE(frame.Model()->Items().back().name, std::string("Special folders"));
    }

    void openPathOfAFileSelectsItAndShowsItsReport() {
        m_frame = std::make_unique<CMainFrame>();
        CMainFrame& frame = *m_frame;
        frame.show();
        WaitForDrives(frame);
        frame.SetViewType(kViewInfo);
        QSignalSpy updates(&frame, &CMainFrame::ContentPaneUpdated);
        frame.OpenPath(" \"" + m_folder + "sub/../a.TXT\" ", EPathSource::GoTo);
        QCOMPARE(frame.Folder(), m_folder);
        QCOMPARE(SelectedName(frame), std::string("a.TXT"));
        QTRY_VERIFY(frame.Pane()->toPlainText().contains("File: a.TXT"));
        QVERIFY(frame.Pane()->toPlainText().contains(QString::fromStdString("Path: " + m_folder)));
        QCOMPARE(frame.FileNameField()->text(), QStringLiteral("a.TXT"));
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Text file"));
        QCOMPARE(frame.Pane()->textCursor().position(), 0);
        QVERIFY(frame.Pane()->updatesEnabled());

        // A folder is listed; what does not exist shows the drives.
        frame.OpenPath(m_folder + "sub", EPathSource::GoTo);
        QCOMPARE(frame.Folder(), m_folder + "sub/");
        frame.OpenPath(m_folder + "missing", EPathSource::GoTo);
        QCOMPARE(frame.Model()->Items().back().name, std::string("Special folders"));
        QVERIFY(updates.count() >= 1);
    }

    void startingWithAFileShowsItInTheStartUpView() {
        m_frame = std::make_unique<CMainFrame>(m_folder + "twenty");
        CMainFrame& frame = *m_frame;
        frame.show();
        QVERIFY(frame.Pane()->toPlainText().startsWith("\nQuiddity\n"));
        QTRY_COMPARE(SelectedName(frame), std::string("twenty"));
        QTRY_VERIFY(frame.Pane()->toPlainText().startsWith("ABCDEFGHIJKLMNOP  41 42"));  // the hex view
        // A drive listing later updates the pane like any other: the start
        // page it would have kept is long gone.
        frame.ShowDrives();
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Drive"));
        QCOMPARE(frame.Pane()->toPlainText(), QString());
    }

    void droppedFileIsOpened() {
        CMainFrame& frame = FrameInFolder(m_folder + "sub/");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(m_folder + "c.dat")),
                      QUrl::fromLocalFile(QString::fromStdString(m_folder + "b"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &drop);
        QCOMPARE(frame.Folder(), m_folder);
        QCOMPARE(SelectedName(frame), std::string("c.dat"));
    }

    void commandLineDotsNameTheCurrentFolder() {
        m_frame = std::make_unique<CMainFrame>();
        const std::string saved = std::filesystem::current_path().string();
        QCOMPARE(::chdir((m_folder + "sub").c_str()), 0);
        m_frame->OpenPath(".", EPathSource::CommandLine);
        QCOMPARE(m_frame->Folder(), m_folder + "sub/");
        m_frame->OpenPath("..", EPathSource::CommandLine);
        QCOMPARE(m_frame->Folder(), m_folder);
        m_frame->OpenPath("/", EPathSource::CommandLine);
        QCOMPARE(m_frame->Folder(), std::string("/"));
        QCOMPARE(::chdir(saved.c_str()), 0);
    }

    void burstOfKeysMakesOneUpdate() {
        CMainFrame& frame = FrameInFolder(m_folder);
        QSignalSpy updates(&frame, &CMainFrame::ContentPaneUpdated);
        frame.List()->setFocus();
        for (int i = 0; i < 6; ++i) QTest::keyClick(frame.List(), Qt::Key_Down);
        QCOMPARE(SelectedName(frame), std::string("glyphs"));
        QTest::qWait(kSettle);
        QCOMPARE(updates.count(), 1);
        QCOMPARE(frame.FileNameField()->text(), QStringLiteral("glyphs"));
    }

    void viewSwitchesKeepButtonsAndMenuInStep() {
        CMainFrame& frame = FrameInFolder(m_folder);
        auto inStep = [&](int view) {
            for (int other = kViewHex; other <= kViewInfo; ++other) {
                QCOMPARE(frame.ViewButton(other)->isChecked(), other == view);
                QCOMPARE(frame.ViewAction(other)->isChecked(), other == view);
            }
            QCOMPARE(frame.ViewType(), view);
        };
        inStep(kViewHex);
        QTest::mouseClick(frame.ViewButton(kViewText), Qt::LeftButton);
        inStep(kViewText);
        frame.ViewAction(kViewInfo)->trigger();
        inStep(kViewInfo);
        frame.activateWindow();
        QTest::keyClick(&frame, Qt::Key_H, Qt::ControlModifier);
        inStep(kViewHex);
        QTest::keyClick(&frame, Qt::Key_T, Qt::ControlModifier);
        inStep(kViewText);
        QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier);
        inStep(kViewInfo);

        // Enter on a file advances the view: info, hex, text.
        frame.List()->SelectItem(frame.Model()->FindName("twenty"));
        QTest::keyClick(frame.List(), Qt::Key_Return);
        QTRY_COMPARE(frame.ViewType(), static_cast<int>(kViewHex));
        inStep(kViewHex);
        QTest::keyClick(frame.List(), Qt::Key_Enter);
        QTRY_COMPARE(frame.ViewType(), static_cast<int>(kViewText));
        inStep(kViewText);
    }

    void hexViewLinesAndOffsets() {
        CMainFrame& frame = FrameInFolder(m_folder);
        frame.List()->SelectItem(frame.Model()->FindName("twenty"));
        frame.UpdateContentPane();
        QStringList lines = PaneLines(frame);
        QCOMPARE(lines.at(0), QStringLiteral("ABCDEFGHIJKLMNOP  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 "));
        QCOMPARE(lines.at(1), QStringLiteral("QRST") + QString(12, u' ') + "  51 52 53 54 " + QString(36, u' '));
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Text file"));

        // The switches redraw the pane by themselves.
        frame.OffsetsAction()->trigger();
        QTRY_VERIFY(PaneLines(frame).at(1).startsWith("010:QRST"));
        QVERIFY(PaneLines(frame).at(0).startsWith("000:ABCD"));
        frame.DosModeAction()->trigger();  // DOS mode writes no offsets, so the switch is off meanwhile
        QTRY_VERIFY(PaneLines(frame).at(1).startsWith(" QRST"));
        QVERIFY(!frame.OffsetsAction()->isEnabled());
        frame.SetViewType(kViewText);
        frame.DosModeAction()->trigger();
        QVERIFY(frame.OffsetsAction()->isEnabled());
        QTRY_COMPARE(PaneLines(frame).at(0), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        frame.OffsetsAction()->trigger();
        frame.SetViewType(kViewHex);
        QTRY_VERIFY(PaneLines(frame).at(0).startsWith("ABCD"));
    }

    // Names in natural order, ".." first in every order, ties by name, a
    // second click reversing, and the header showing it.
    void listOrderByHeaderClicksAndHomeEnd() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        for (const char* name : {"10", "7950", "8", "1", "2", "b.txt", "C.TXT", "a.txt"}) WriteFile(folder + name, "x");
        for (const char* name : {"dir10", "dir9"}) QCOMPARE(::mkdir((folder + name).c_str(), 0700), 0);
        CMainFrame& frame = FrameInFolder(folder);
        using Names = std::vector<std::string>;
        QCOMPARE(Column(*frame.Model(), 0),
                 (Names{"..", "dir9", "dir10", "1", "2", "8", "10", "7950", "a.txt", "b.txt", "C.TXT"}));
        QHeaderView* header = frame.List()->horizontalHeader();
        auto click = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
        };
        click(1);  // by type: ".txt" and ".TXT" are one type, "" another
        QCOMPARE(Column(*frame.Model(), 0),
                 (Names{"..", "dir9", "dir10", "1", "2", "8", "10", "7950", "a.txt", "b.txt", "C.TXT"}));
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        click(1);
        QCOMPARE(Column(*frame.Model(), 0),
                 (Names{"..", "dir10", "dir9", "C.TXT", "b.txt", "a.txt", "7950", "10", "8", "2", "1"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(frame.SortDescending());
        click(0);  // another column starts ascending
        QCOMPARE(Column(*frame.Model(), 0).at(3), std::string("1"));
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        frame.List()->setFocus();
        QTest::keyClick(frame.List(), Qt::Key_End);
        QCOMPARE(SelectedName(frame), std::string("C.TXT"));
        QTRY_COMPARE(frame.FileNameField()->text(), QStringLiteral("C.TXT"));
        QTest::keyClick(frame.List(), Qt::Key_Home);
        QCOMPARE(SelectedName(frame), std::string(".."));
    }

    // Under a dark desktop palette every text on the fixed light background
    // keeps a contrast of at least 4.5:1 (WCAG AA); the rest of the window
    // follows the desktop.
    void darkPaletteLeavesTheListReadable() {
        const QPalette saved = QApplication::palette();
        QPalette dark;
        for (const auto& [role, colour] : std::initializer_list<std::pair<QPalette::ColorRole, QColor>>{
                 {QPalette::Window, QColor(0x2B, 0x2B, 0x2B)}, {QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE)},
                 {QPalette::Base, QColor(0x1E, 0x1E, 0x1E)},   {QPalette::AlternateBase, QColor(0x26, 0x26, 0x26)},
                 {QPalette::Text, QColor(0xF0, 0xF0, 0xF0)},   {QPalette::Button, QColor(0x35, 0x35, 0x35)},
                 {QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0)}, {QPalette::Highlight, QColor(0x15, 0x53, 0x9E)},
                 {QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF)}})
            dark.setColor(role, colour);
        QApplication::setPalette(dark);
        CMainFrame& frame = FrameInFolder(m_folder);
        const auto contrast = [](const QColor& a, const QColor& b) {
            const auto luminance = [](const QColor& c) {
                const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
                return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
            };
            const double la = luminance(a), lb = luminance(b);
            return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
        };
        struct Pair {
            const QWidget* widget;
            QPalette::ColorRole text, background;
        };
        const QWidget* header = frame.List()->horizontalHeader();
        for (const Pair& pair : {Pair{frame.List(), QPalette::Text, QPalette::Base},
                                 Pair{frame.List(), QPalette::HighlightedText, QPalette::Highlight},
                                 Pair{header, QPalette::ButtonText, QPalette::Button},
                                 Pair{header, QPalette::WindowText, QPalette::Window},
                                 Pair{frame.Pane(), QPalette::Text, QPalette::Base},
                                 Pair{frame.Pane(), QPalette::HighlightedText, QPalette::Highlight}}) {
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                const QPalette& palette = pair.widget->palette();
                const double ratio = contrast(palette.color(group, pair.text), palette.color(group, pair.background));
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(pair.widget->metaObject()->className()).arg(ratio)));
            }
        }
        QCOMPARE(frame.List()->palette().color(QPalette::Base), QColor(238, 238, 255));  // the fixed background stays
        QCOMPARE(frame.palette().color(QPalette::Window), QColor(0x2B, 0x2B, 0x2B));    // the frame is the desktop's
        m_frame.reset();
        QApplication::setPalette(saved);
    }

    void foldersDrivesAndNothingFound() {
        CMainFrame& frame = FrameInFolder(m_folder);
        frame.SetViewType(kViewInfo);
        frame.List()->SelectItem(frame.Model()->FindName("sub"));
        frame.UpdateContentPane();
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Folder"));
        QVERIFY(frame.Pane()->toPlainText().startsWith("\nFile info\nFile: sub\n"));
        QVERIFY(!frame.Pane()->toPlainText().contains("Estimated type"));

        // An unreadable folder shows ".." and "(no files found)".
        frame.SetFolder(m_folder + "missing/");
        frame.ListFolder();
        QCOMPARE(Column(*frame.Model(), 0), (std::vector<std::string>{"..", "(no files found)"}));

        // The network levels are tested in a namespace of their own
        // (NetworkWindowTest.cpp): opening them here would browse the
        // machine's real network.
        frame.ShowDrives();
        frame.List()->SelectItem(frame.Model()->FindName("Special folders"));
        frame.OpenSelectedItem();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Special folders"));
        QCOMPARE(frame.Model()->Item(0).name, std::string(".."));
        QCOMPARE(frame.SortMode(), static_cast<int>(kSortByType));
    }

    void fifoIsNeverOpened() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        QCOMPARE(::mkfifo((folder + "pipe").c_str(), 0600), 0);
        CMainFrame& frame = FrameInFolder(folder);
        QCOMPARE(frame.Model()->Item(1).size, std::string("0 KB"));
        frame.List()->SelectItem(1);
        frame.UpdateContentPane();  // would block forever if the pipe were opened
        QCOMPARE(frame.Pane()->toPlainText(), QStringLiteral("(unable to open file)"));
        frame.SetViewType(kViewText);
        frame.UpdateContentPane();
        QCOMPARE(frame.Pane()->toPlainText(), QStringLiteral("(Unable to open file)"));
    }

    void longPathsAreNotCut() {
        const std::string name(200, 'n');
        const std::string deep = m_folder + name + "/" + name + "/";
        QCOMPARE(::mkdir((m_folder + name).c_str(), 0700), 0);
        QCOMPARE(::mkdir(deep.c_str(), 0700), 0);
        WriteFile(deep + name + ".txt", "deep\n");
        CMainFrame& frame = FrameInFolder(deep);
        QCOMPARE(frame.Model()->Item(1).name, name + ".txt");
        frame.GoUp();
        QCOMPARE(frame.Folder(), m_folder + name + "/");
        QCOMPARE(SelectedName(frame), name);
        std::filesystem::remove_all(m_folder + name);
    }

    void keyboardShortcutsPage() {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->ShowKeyboardShortcuts();
        const QStringList lines = PaneLines(*m_frame);
        QCOMPARE(lines.at(1), QStringLiteral("Keyboard shortcuts"));
        QCOMPARE(lines.at(3), QStringLiteral("CTRL+S\t\tShow special folders"));
        QCOMPARE(lines.at(10), QStringLiteral("TAB \t\tChange window"));
        QCOMPARE(lines.at(11), QStringLiteral("BACKSPACE\tGo up one folder"));
    }

    void tabMovesBetweenThePanes() {
        CMainFrame& frame = FrameInFolder(m_folder);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.List()->setFocus();
        QTRY_VERIFY(frame.List()->hasFocus());
        QTest::keyClick(frame.List(), Qt::Key_Tab);
        QTRY_VERIFY(frame.Pane()->hasFocus());
        QTest::keyClick(frame.Pane(), Qt::Key_Tab);
        QTRY_VERIFY(frame.List()->hasFocus());
    }

    void paneLineEndsAndStyles() {
        CQuiddityView pane;
        const CTextStyles& styles = InitTextStyles();
        pane.BeginReport();
        QVERIFY(!pane.updatesEnabled());
        pane.AppendStyledText("one\r", styles.m_cfHeading);
        pane.AppendStyledText("\ntwo\r\nthree\rfour\n", styles.m_cfNormal);
        pane.AppendStyledText(std::string("caf\xE9", 4), styles.m_cfFixed);  // not UTF-8: Latin-1
        // controls, C1 (raw and UTF-8) and a right-to-left override show as "."
        pane.AppendStyledText("\x1b[2J\x9b\xC2\x85\xE2\x80\xAEx", styles.m_cfFixed);
        pane.EndReport();
        QVERIFY(pane.updatesEnabled());
        QCOMPARE(pane.toPlainText(), QString::fromUtf8("one\ntwo\nthree\nfour\ncaf\u00E9.[2J...x"));
        QTextCursor cursor(pane.document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(200, 0, 0));
        QCOMPARE(cursor.charFormat().fontPointSize(), 13.0);
        QVERIFY(cursor.charFormat().font().bold());
        QCOMPARE(pane.palette().color(QPalette::Base), QColor(238, 238, 255));
        QVERIFY(QFontInfo(CQuiddityView::FontOf(styles.m_cfFixed)).fixedPitch());
    }
};

int RunWindowTest(int argc, char** argv) {
    CWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowTest.moc"
