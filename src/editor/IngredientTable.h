#pragma once

#include <QTableWidget>

namespace sapidoro {

// The editor's table of ingredient lines (quantity, ingredient). Tab from the last cell adds
// a row, unless that row is still empty, when it leaves the table; Tab and Shift+Tab never
// wrap round to the other end.
class IngredientTable : public QTableWidget {
public:
    explicit IngredientTable(QWidget *parent = nullptr);

    // Appends a row and returns its number.
    int appendRow(const QString &quantity, const QString &ingredient);
    // Puts the cursor into `row`'s first cell and starts editing it.
    void editRow(int row);
    bool rowEmpty(int row) const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // Set where a Tab of the cell editor found no cell to go to: the focus leaves the table.
    bool m_leaving = false;
};

}  // namespace sapidoro
