#include "window/LeftView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace quiddity {

namespace {

constexpr int kColumnWidths[] = {190, 58, 102};

}  // namespace

CLeftView::CLeftView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // Rows of one fixed height: the view never measures 100,000 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(true);
}

void CLeftView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    for (int column = 0; column < 3; ++column) setColumnWidth(column, kColumnWidths[column]);
}

int CLeftView::SelectionMark() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int CLeftView::FirstSelected() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CLeftView::SelectItem(int row) {
    if (model() == nullptr || row < 0 || row >= model()->rowCount()) return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void CLeftView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Backspace: emit BackspacePressed(); return;
        case Qt::Key_Return:
        case Qt::Key_Enter: emit EnterPressed(); return;
        // The first and the last row (the table alone would go to the first
        // and last column of the current row, which are one and the same).
        case Qt::Key_Home:
        case Qt::Key_End:
            if (model() != nullptr && model()->rowCount() > 0)
                SelectItem(event->key() == Qt::Key_Home ? 0 : model()->rowCount() - 1);
            emit SelectionMoved();
            return;
        default:
            QTableView::keyPressEvent(event);
            emit SelectionMoved();
    }
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit SelectionMoved();
}

void CLeftView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) emit EnterPressed();
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid())
        global = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    emit RightClicked(global);
}

bool CLeftView::focusNextPrevChild(bool) {
    emit TabPressed();
    return true;
}

}  // namespace quiddity
