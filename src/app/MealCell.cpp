#include "app/MealCell.h"

#include "app/ErrorReport.h"

#include <QDataStream>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace sapidoro {

MealCell::MealCell(MenuCell cell, QWidget *parent) : QListWidget(parent), m_cell(cell) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(true);  // long recipe names stay readable in a narrow day
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        EventGuard::Run([&] { m_handlers.open(row(item)); });
    });
}

QString MealCell::MimeType() {
    return QStringLiteral("application/x-sapidoro-menu-entry");
}

QStringList MealCell::mimeTypes() const {
    return {MimeType()};
}

QMimeData *MealCell::mimeData(const QList<QListWidgetItem *> &items) const {
    if (items.isEmpty()) return nullptr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << m_cell.date << int(m_cell.meal) << row(items.constFirst());
    auto *entry = new QMimeData;
    entry->setData(MimeType(), bytes);
    return entry;
}

void MealCell::startDrag(Qt::DropActions) {
    QListWidgetItem *item = currentItem();
    if (item == nullptr) return;
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeData({item}));
    // The drop changes the plan and the window shows it anew: nothing is taken out here.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void MealCell::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasFormat(MimeType()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MealCell::dragMoveEvent(QDragMoveEvent *event) {
    if (!event->mimeData()->hasFormat(MimeType())) return event->ignore();
    event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction
                                                                  : Qt::MoveAction);
    event->accept();
}

void MealCell::dropEvent(QDropEvent *event) {
    if (!event->mimeData()->hasFormat(MimeType())) return event->ignore();
    QDataStream in(event->mimeData()->data(MimeType()));
    QDate day;
    int meal = -1;
    int index = -1;
    in >> day >> meal >> index;
    if (in.status() != QDataStream::Ok || !day.isValid() || meal < 0 || meal >= int(kMealCount) ||
        index < 0)
        return event->ignore();
    const bool copy = event->modifiers() & Qt::ControlModifier;
    event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    EventGuard::Run([&] { m_handlers.drop(MenuCell{day, Meal(meal)}, index, copy); });
}

void MealCell::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Delete && currentRow() >= 0) {
        const int index = currentRow();
        EventGuard::Run([&] { m_handlers.remove(index); });
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace sapidoro
