// The location list on the left.  It acts on nothing itself: every click
// and key becomes a request to the frame, which acts when its timer fires.
#pragma once

#include <QTableView>

namespace quiddity {

class CLeftView : public QTableView {
    Q_OBJECT
public:
    explicit CLeftView(QWidget* parent = nullptr);
    // Also gives the three columns their widths.
    void setModel(QAbstractItemModel* model) override;

    // The row under the selection mark, or -1.
    int SelectionMark() const;
    // Marks the row, selects it and scrolls it into view.
    void SelectItem(int row);

signals:
    void SelectionMoved();     // a click on an item or a key other than the three below
    void BackspacePressed();
    void EnterPressed();       // Enter or a double click
    void TabPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

}  // namespace quiddity
