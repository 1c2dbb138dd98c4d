#include "editor/IngredientTable.h"

namespace sapidoro {

IngredientTable::IngredientTable(QWidget *parent) : QTableWidget(0, 2, parent) {}

int IngredientTable::appendRow(const QString &quantity, const QString &ingredient) {
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, new QTableWidgetItem(quantity));
    setItem(row, 1, new QTableWidgetItem(ingredient));
    return row;
}

void IngredientTable::editRow(int row) {
    setFocus(Qt::OtherFocusReason);
    setCurrentCell(row, 0);
    editItem(item(row, 0));
}

bool IngredientTable::rowEmpty(int row) const {
    for (int column = 0; column < columnCount(); ++column) {
        const QTableWidgetItem *cell = item(row, column);
        if (cell != nullptr && !cell->text().isEmpty()) return false;
    }
    return true;
}

QModelIndex IngredientTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const int lastRow = rowCount() - 1;
    if (action == MoveNext && current.isValid() && current.row() == lastRow &&
        current.column() == columnCount() - 1) {
        if (rowEmpty(lastRow)) {
            m_leaving = true;
            return {};
        }
        return model()->index(appendRow(QString(), QString()), 0);
    }
    if (action == MovePrevious && current.isValid() && current.row() == 0 &&
        current.column() == 0) {
        m_leaving = true;
        return {};
    }
    m_leaving = false;
    return QTableWidget::moveCursor(action, modifiers);
}

void IngredientTable::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    m_leaving = false;
    QTableWidget::closeEditor(editor, hint);
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if (m_leaving && (forward || hint == QAbstractItemDelegate::EditPreviousItem)) {
        m_leaving = false;
        // Past the table's own cells: on to the control beside it, as Tab does elsewhere.
        QWidget::focusNextPrevChild(forward);
    }
}

}  // namespace sapidoro
