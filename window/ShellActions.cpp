#include "window/ShellActions.h"

// GIO names a struct member "signals", which Qt defines as a keyword.
#undef signals
#include <gio/gio.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "window/Settings.h"

namespace quiddity {

namespace {

QString DecodePath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void OpenLocalUrl(const std::string& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(DecodePath(path))); }

}  // namespace

void CDesktopShellActions::Open(const std::string& path) { OpenLocalUrl(path); }

void CDesktopShellActions::Explore(const std::string& folder) { OpenLocalUrl(folder); }

// Linux has no "edit" verb: the desktop's default application for plain
// text is its editor.
void CDesktopShellActions::Edit(const std::string& path) {
    GAppInfo* editor = g_app_info_get_default_for_type("text/plain", FALSE);
    if (editor == nullptr) return;
    GFile* file = g_file_new_for_path(path.c_str());
    GList* files = g_list_append(nullptr, file);
    g_app_info_launch(editor, files, nullptr, nullptr);
    g_list_free(files);
    g_object_unref(file);
    g_object_unref(editor);
}

void CDesktopShellActions::OpenWithEditor(const std::string& editor, const std::string& path, const std::string& folder) {
    QStringList commandLine = EditorCommandLine(editor, path);
    if (commandLine.isEmpty()) {
        Edit(path);
        return;
    }
    const QString program = commandLine.takeFirst();
    QProcess::startDetached(program, commandLine, DecodePath(folder));
}

void CDesktopShellActions::CopyPath(const std::string& text) { QGuiApplication::clipboard()->setText(DecodePath(text)); }

QStringList EditorCommandLine(const std::string& editor, const std::string& path) {
    QStringList commandLine = QProcess::splitCommand(QString::fromStdString(editor));
    if (commandLine.isEmpty()) return {};
    if (commandLine.size() == 1 && commandLine.first() == QLatin1String(kDefaultEditor) &&
        QStandardPaths::findExecutable(commandLine.first()).isEmpty())
        return {};
    // One argument, blanks and all: the editor gets one file, not several.
    commandLine.append(DecodePath(path));
    return commandLine;
}

QString QuotedProgram(const QString& path) {
    if (!path.contains(u' ') && !path.contains(u'\t') && !path.contains(u'"')) return path;
    // Inside quotes, a literal quote is written three times.
    QString quoted = path;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\"\""));
    return u'"' + quoted + u'"';
}

}  // namespace quiddity
