// Runs the window's test classes in one process, with the user's
// configuration and data folders replaced by a folder of the run's own: the
// settings the tests save never reach the real ~/.config, and the
// desktop's default applications are the ones the tests set up.
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int RunWindowTest(int argc, char** argv);
int RunFrameCommandsTest(int argc, char** argv);

namespace {

// The settings file the program would use outside the tests.
QString UserSettingsFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = qEnvironmentVariable("HOME") + QStringLiteral("/.config");
    return config + QStringLiteral("/Larkspur/Quiddity.conf");
}

QString Fingerprint(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("absent");
    return QString::number(info.size()) + u' ' + info.lastModified().toString(Qt::ISODateWithMs);
}

}  // namespace

int main(int argc, char** argv) {
    const QString userSettings = UserSettingsFile();
    const QString before = Fingerprint(userSettings);
    // Set before anything reads them: Qt and GLib keep the first answer.
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));

    QApplication application(argc, argv);
    int failures = RunWindowTest(argc, argv);
    failures += RunFrameCommandsTest(argc, argv);
    if (Fingerprint(userSettings) != before) {
        std::fprintf(stderr, "FAIL: the tests changed the user's settings file %s\n", qPrintable(userSettings));
        ++failures;
    }
    return failures;
}
