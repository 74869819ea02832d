// What the context menu does with a path: open it, edit it, show a folder
// in the file manager, start the configured editor on it, or put it on the
// clipboard.  Behind an interface, so that tests record the calls instead
// of starting programs.  Results are not examined: a failed action is silent.
#pragma once

#include <QStringList>

#include <string>

namespace quiddity {

class IShellActions {
public:
    virtual ~IShellActions() = default;
    // The desktop's default application for the file.
    virtual void Open(const std::string& path) = 0;
    // The desktop's text editor.
    virtual void Edit(const std::string& path) = 0;
    // The file manager, on a folder.
    virtual void Explore(const std::string& folder) = 0;
    // The editor command line of the settings, with the path as its last
    // argument, started in folder.
    virtual void OpenWithEditor(const std::string& editor, const std::string& path, const std::string& folder) = 0;
    virtual void CopyPath(const std::string& text) = 0;
};

class CDesktopShellActions final : public IShellActions {
public:
    void Open(const std::string& path) override;
    void Edit(const std::string& path) override;
    void Explore(const std::string& folder) override;
    void OpenWithEditor(const std::string& editor, const std::string& path, const std::string& folder) override;
    void CopyPath(const std::string& text) override;
};

// The program and its arguments that open path with the editor command line
// (split as a shell would, without running one; the path stays one
// argument).  Empty when the desktop's text editor serves instead: for an
// empty command line, and for the default "notepad" where no program of
// that name is on PATH.
QStringList EditorCommandLine(const std::string& editor, const std::string& path);

// A path made safe to use as a program in an editor command line: quoted
// when it holds a blank or a quote.
QString QuotedProgram(const QString& path);

}  // namespace quiddity
