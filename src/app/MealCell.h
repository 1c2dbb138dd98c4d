#pragma once

#include "menu/MenuPlan.h"

#include <QDate>
#include <QListWidget>

#include <functional>

namespace sapidoro {

// The recipes of one meal of one day in the week's window; entries are dragged between cells
// (moved, or copied with Ctrl), removed with Delete and opened with a double click.
class MealCell : public QListWidget {
    Q_OBJECT

public:
    struct Handlers {
        std::function<void(int index)> remove;
        std::function<void(int index)> open;
        // The entry `index` of the cell `from`, moved or copied into this cell.
        std::function<void(const MenuCell &from, int index, bool copy)> drop;
    };

    explicit MealCell(MenuCell cell, QWidget *parent = nullptr);
    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }

    const MenuCell &cell() const { return m_cell; }
    void setDay(QDate day) { m_cell.date = day; }

    static QString MimeType();

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    MenuCell m_cell;
    Handlers m_handlers;
};

}  // namespace sapidoro
