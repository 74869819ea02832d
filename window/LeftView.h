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
    // The first selected row, or -1.
    int FirstSelected() const;
    // Marks the row, selects it and scrolls it into view.
    void SelectItem(int row);

signals:
    void SelectionMoved();     // a click on an item or a key other than the three below
    void BackspacePressed();
    void EnterPressed();       // Enter or a double click
    void TabPressed();
    // A right click, or the menu key on the current row; global is where
    // the context menu belongs on the screen.
    void RightClicked(QPoint global);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

}  // namespace quiddity
