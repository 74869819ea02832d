// The settings dialog: the editor, the six report switches and the
// start-up view.  It reads the switches and the view from the store when it
// opens and writes all eight on Save; the editor text comes from the frame.
#pragma once

#include <QDialog>

#include <array>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quiddity {

class COppsett : public QDialog {
    Q_OBJECT
public:
    explicit COppsett(std::string editor, QWidget* parent = nullptr);

    // After Save, the editor as saved; otherwise the text the dialog was given.
    const std::string& Editor() const { return m_strEditor; }

    QLineEdit* EditorField() const { return m_pEditorField; }
    QPushButton* BrowseButton() const { return m_pBrowse; }
    QPushButton* DefaultButton() const { return m_pDefault; }
    QCheckBox* SwitchBox(std::size_t index) const { return m_switchBoxes[index]; }
    QAbstractButton* ViewButton(int viewType) const;
    QPushButton* SaveButton() const { return m_pSave; }

private:
    void Browse();
    void Save();

    std::string m_strEditor;
    QLineEdit* m_pEditorField = nullptr;
    QPushButton* m_pBrowse = nullptr;
    QPushButton* m_pDefault = nullptr;
    std::array<QCheckBox*, 6> m_switchBoxes{};
    QButtonGroup* m_pViews = nullptr;
    QPushButton* m_pSave = nullptr;
};

}  // namespace quiddity
