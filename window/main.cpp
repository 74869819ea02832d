// quiddity-gui: the file browser.  One optional argument, a file or folder
// to open at start-up ("." ".." and "/" included).
#include <QApplication>

#include "window/MainFrame.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quiddity"));
    const QStringList arguments = QApplication::arguments();
    quiddity::CMainFrame frame(arguments.size() > 1 ? arguments.at(1).toStdString() : std::string());
    frame.show();
    return QApplication::exec();
}
