// How long the browser takes to list a folder of many files and show it
// sorted, and to write the report of one ordinary file.
//   list_folder_bench [FILE-COUNT]   (QT_QPA_PLATFORM=offscreen without a display)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "window/LeftView.h"
#include "window/LocationModel.h"
#include "window/MainFrame.h"

namespace {

constexpr int kDefaultFileCount = 100000;

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void RunEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int fileCount = argc > 1 ? std::atoi(argv[1]) : kDefaultFileCount;

    char pattern[] = "/tmp/quiddity-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const std::string folder = std::string(pattern) + "/";
    // Names, extensions and sizes vary so that every sort has work to do.
    static constexpr const char* kExtensions[] = {".txt", ".png", ".dat", "", ".tar.gz", ".c"};
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = folder + "File" + std::to_string((i * 7919) % fileCount) + kExtensions[i % 6];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) continue;
        if (::ftruncate(fd, static_cast<off_t>(i % 5000) * 997) != 0) std::perror("ftruncate");
        ::close(fd);
    }
    for (int i = 0; i < 20; ++i) ::mkdir((folder + "folder" + std::to_string(i)).c_str(), 0700);
    std::system(("cp " QUIDDITY_SAMPLE " '" + folder + "sample.png'").c_str());

    quiddity::CMainFrame frame;
    frame.show();
    // Let the start-up drive listing happen first, so it cannot land inside
    // a measurement.
    RunEventsFor(2 * quiddity::kStartUpDelay);

    QElapsedTimer timer;
    timer.start();
    frame.SetFolder(folder);
    frame.ListFolder();  // read, sort by name, fill, select, update the pane
    QApplication::processEvents();  // and paint
    const double listing = Milliseconds(timer);

    double sorts[3] = {};
    for (int column = 2; column >= 0; --column) {
        timer.restart();
        frame.SortByColumn(column);
        QApplication::processEvents();
        sorts[column] = Milliseconds(timer);
    }

    frame.SetViewType(quiddity::kViewInfo);
    const int row = frame.Model()->FindName("sample.png");
    frame.List()->SelectItem(row);
    timer.restart();
    frame.UpdateContentPane();
    QApplication::processEvents();
    const double report = Milliseconds(timer);

    // A held Down key: a repeat every 30 ms, 50 rows down, then let go.
    int updates = 0;
    QObject::connect(&frame, &quiddity::CMainFrame::ContentPaneUpdated, [&updates] { ++updates; });
    frame.List()->setFocus();
    for (int press = 0; press < 50; ++press) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(frame.List(), &down);
        RunEventsFor(30);
    }
    RunEventsFor(300);

    std::printf("files: %d (+20 folders)\n", fileCount);
    std::printf("list and show sorted by name: %.0f ms\n", listing);
    std::printf("sort by size: %.0f ms, by type: %.0f ms, by name: %.0f ms\n", sorts[2], sorts[1], sorts[0]);
    std::printf("rows: %d; report of one file (%s): %.1f ms\n", frame.Model()->rowCount(),
                frame.TypeField()->text().toUtf8().constData(), report);
    std::printf("50 rows down with the key held: %d report%s\n", updates, updates == 1 ? "" : "s");
    std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
    return listing < 1000.0 ? 0 : 1;
}
