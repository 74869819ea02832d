// The network levels of the browser against a real Samba server, without a
// display.  Run through tests/network/samba-env.sh, which starts the server
// in a network namespace of its own; skipped without it.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "window/LeftView.h"
#include "window/LocationModel.h"
#include "window/MainFrame.h"
#include "window/Network.h"
#include "window/QuiddityView.h"

using namespace quiddity;

namespace {

// Longer than any answer of the private server; far shorter than a test's limit.
constexpr int kAnswerWait = 15000;

std::vector<std::string> Names(const CMainFrame& frame) {
    std::vector<std::string> names;
    for (const CListItem& item : frame.Model()->Items()) names.push_back(item.name);
    return names;
}

std::string SelectedName(const CMainFrame& frame) {
    const int row = frame.List()->SelectionMark();
    return row < 0 ? std::string() : frame.Model()->Item(row).name;
}

void Select(CMainFrame& frame, const std::string& name) {
    const int row = frame.Model()->FindName(name);
    QVERIFY2(row >= 0, name.c_str());
    frame.List()->SelectItem(row);
}

// Runs action, which starts a network listing, and waits for its answer.
template <typename FAction>
bool Listed(CMainFrame& frame, FAction action) {
    QSignalSpy listed(&frame, &CMainFrame::NetworkListed);
    action();
    return listed.wait(kAnswerWait);
}

CCredentialsDialog* OpenDialog(const CMainFrame& frame) {
    for (CCredentialsDialog* dialog : frame.findChildren<CCredentialsDialog*>())
        if (dialog->isVisible()) return dialog;
    return nullptr;
}

}  // namespace

class CNetworkWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CMainFrame> m_frame;

    // A frame past its start-up drive listing.
    void NewFrame() {
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
        QVERIFY(QTest::qWaitFor([&] { return m_frame->Model()->Items().back().name == "Special folders"; }));
    }

    // A share folder opened directly, as going up from deeper would.
    void OpenFolder(CMainFrame& frame, const std::string& unc) {
        frame.SetFolder(unc);
        QVERIFY(Listed(frame, [&] { frame.ListFolder(); }));
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("QUIDDITY_SAMBA_ROOT")) QSKIP("runs only inside tests/network/samba-env.sh");
    }

    void cleanup() { m_frame.reset(); }

    void fromNetworkToTheReportOfAFileOnAShare() {
        NewFrame();
        CMainFrame& frame = *m_frame;
        Select(frame, "Network");
        QSignalSpy listed(&frame, &CMainFrame::NetworkListed);
        frame.OpenSelectedItem();
        // While the level loads: its way back, the note and the wait cursor.
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "(searching...)"}));
        QCOMPARE(frame.List()->cursor().shape(), Qt::WaitCursor);
        QVERIFY(listed.wait(kAnswerWait));
        QCOMPARE(frame.List()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(frame.windowTitle(), QStringLiteral("Nework - Domains"));
        QCOMPARE(Names(frame),
                 (std::vector<std::string>{"..", "QUIDDITYTEST", "(workgroup browsing is not available on this network)"}));

        Select(frame, "QUIDDITYTEST");
        QVERIFY(Listed(frame, [&] { frame.OpenSelectedItem(); }));
        QCOMPARE(frame.windowTitle(), QStringLiteral("QUIDDITYTEST - Servers"));
        QCOMPARE(Names(frame), (std::vector<std::string>{"(Local)"}));
        QCOMPARE(SelectedName(frame), std::string("(Local)"));

        // The server summary completes once the shares are counted.
        frame.SetViewType(kViewInfo);
        frame.UpdateContentPane();
        QVERIFY(frame.Pane()->toPlainText().startsWith("\nServer information\nServer: (Local)\n"));
        QVERIFY(QTest::qWaitFor(
            [&] { return frame.Pane()->toPlainText().contains("Shares: 3, workgroup: QUIDDITYTEST, address: 127.0.0.1"); },
            kAnswerWait));

        // "(Local)" is this machine.
        QVERIFY(Listed(frame, [&] { frame.OpenSelectedItem(); }));
        QCOMPARE(frame.windowTitle(), QStringLiteral("127.0.0.1 - Shares"));
        QCOMPARE(frame.Server(), std::string("127.0.0.1"));
        QCOMPARE(Names(frame), (std::vector<std::string>{"secret", "share2", "share1"}));
        QCOMPARE(frame.Model()->Item(2).size, std::string("First public share"));

        Select(frame, "share1");
        QVERIFY(Listed(frame, [&] { frame.OpenSelectedItem(); }));
        QCOMPARE(frame.Folder(), std::string("\\\\127.0.0.1\\share1\\"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("\\\\127.0.0.1\\share1\\"));
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "folder", "hello32.exe"}));

        // The report of the file on the share, as of the local file from
        // its estimated type on.
        Select(frame, "hello32.exe");
        frame.UpdateContentPane();
        QCOMPARE(frame.TypeField()->text(), QStringLiteral("Executable file PE"));
        const QString pane = frame.Pane()->toPlainText();
        // The Path line escapes backslashes, as it does in every report, so
        // that a name's octal escapes cannot be misread.
        QVERIFY(pane.startsWith(R"(
File info
File: hello32.exe
Path: \\\\127.0.0.1\\share1\\
)"));
        std::ifstream in(std::string(QUIDDITY_FIXTURES) + "/../golden/pe/hello32.exe.report");
        const QString golden = QString::fromStdString({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        const qsizetype from = golden.indexOf("Estimated type");
        QVERIFY(from > 0);
        QCOMPARE(pane.mid(pane.indexOf("Estimated type")).trimmed(), golden.mid(from).trimmed());

        frame.SetViewType(kViewHex);
        frame.UpdateContentPane();
        QVERIFY(frame.Pane()->toPlainText().startsWith("MZ"));
    }

    void goingUpFromAShare() {
        NewFrame();
        CMainFrame& frame = *m_frame;
        // A file given as a URL: its folder, with it selected.
        QVERIFY(Listed(frame, [&] { frame.OpenPath("smb://127.0.0.1/share1/folder/inner.txt", EPathSource::CommandLine); }));
        QCOMPARE(frame.Folder(), std::string("\\\\127.0.0.1\\share1\\folder\\"));
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "inner.txt"}));
        QCOMPARE(SelectedName(frame), std::string("inner.txt"));

        // Up from a folder: the share, with the folder just left selected.
        QVERIFY(Listed(frame, [&] { frame.GoUp(); }));
        QCOMPARE(frame.Folder(), std::string("\\\\127.0.0.1\\share1\\"));
        QCOMPARE(SelectedName(frame), std::string("folder"));

        // Up from the share: the server's shares.
        QVERIFY(Listed(frame, [&] { frame.GoUp(); }));
        QCOMPARE(frame.Folder(), std::string("\\\\127.0.0.1"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("127.0.0.1 - Shares"));
        QCOMPARE(Names(frame), (std::vector<std::string>{"secret", "share2", "share1"}));

        // Up from the server, no workgroup chosen: the workgroups.
        QVERIFY(Listed(frame, [&] { frame.GoUp(); }));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Nework - Domains"));
        QVERIFY(frame.Folder().empty());
    }

    void refusedShareAsksForCredentialsAndTriesOnce() {
        NewFrame();
        CMainFrame& frame = *m_frame;
        OpenFolder(frame, "\\\\127.0.0.1\\secret\\");
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "(no files found)"}));
        CCredentialsDialog* dialog = OpenDialog(frame);
        QVERIFY(dialog != nullptr);

        // A wrong password is tried once, then the folder stays empty.
        dialog->UserField()->setText("quser");
        dialog->PasswordField()->setText("wrong");
        QVERIFY(Listed(frame, [&] { dialog->accept(); }));
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "(no files found)"}));
        QTest::qWait(100);
        QVERIFY(OpenDialog(frame) == nullptr);

        // Opening it again asks again; the right password opens it.
        OpenFolder(frame, "\\\\127.0.0.1\\secret\\");
        dialog = OpenDialog(frame);
        QVERIFY(dialog != nullptr);
        dialog->UserField()->setText("quser");
        dialog->PasswordField()->setText("quidditypw");
        QVERIFY(Listed(frame, [&] { dialog->accept(); }));
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "private.txt"}));

        // A server that cannot be reached leaves the share list as it was.
        // (Another address of the loopback range: the library would take
        // 127.0.0.1 on any port for the server it is connected to.)
        QVERIFY(Listed(frame, [&] { frame.GoUp(); }));
        const std::vector<std::string> shares = Names(frame);
        frame.Model()->Insert(0, {"127.0.0.2:4446", "(server)", {}});
        frame.List()->SelectItem(0);
        QVERIFY(Listed(frame, [&] { frame.ListNetwork(2); }));
        QCOMPARE(Names(frame).size(), shares.size() + 1);
        QCOMPARE(SelectedName(frame), std::string("127.0.0.2:4446"));
    }

    void silentServerNeverBlocksTheWindow() {
        // A port that takes connections and never answers them.
        const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(listener >= 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(0x7F000002);  // 127.0.0.2: no connection to reuse
        QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 4), 0);
        socklen_t length = sizeof address;
        QCOMPARE(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
        const std::string server = "127.0.0.2:" + std::to_string(ntohs(address.sin_port));

        NewFrame();
        CMainFrame& frame = *m_frame;
        frame.SetNoAnswerDelay(1000);
        frame.Model()->Insert(0, {server, "(server)", {}});
        frame.List()->SelectItem(0);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);
        QVERIFY(Listed(frame, [&] { frame.ListNetwork(2); }));
        // The event loop ran all along: about 20 ticks in that second.
        QVERIFY2(ticks >= 10, std::to_string(ticks).c_str());
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "(no answer from the network)"}));
        QCOMPARE(frame.List()->cursor().shape(), Qt::ArrowCursor);

        // The answer that comes late, once the port closes, is dropped.
        QSignalSpy listed(&frame, &CMainFrame::NetworkListed);
        ::close(listener);
        QTest::qWait(500);
        QCOMPARE(listed.count(), 0);
        QCOMPARE(Names(frame), (std::vector<std::string>{"..", "(no answer from the network)"}));
    }
};

QTEST_MAIN(CNetworkWindowTest)
#include "NetworkWindowTest.moc"
