#include "pageprinter/PagePrnt.h"

#include "pageprinter/PageView.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QScrollBar>

namespace sapidoro {

TPagePrinter::TPagePrinter(QWidget *parent) : QScrollArea(parent) {
    resize(89, 115);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    m_paintBox = new PagePaintBox(*this);
    setWidget(m_paintBox);
    setWidgetResizable(false);  // the view sizes its paint box itself from the scroll ranges
    m_shadowColor = QApplication::palette().color(QPalette::Dark);

    setFont(m_document.Font());
    FontChanged();  // the font may equal the inherited one, which sends no change event
    m_document.setChangeListener([this](DocumentChange change) { DocumentChanged(change); });
    m_creating = false;
    Loaded();
}

TPagePrinter::~TPagePrinter() = default;

void TPagePrinter::Loaded() {
    m_document.Loaded();
    UpdateScrollRanges();
    update();
}

void TPagePrinter::changeEvent(QEvent *event) {
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) FontChanged();
}

void TPagePrinter::FontChanged() {
    m_document.setScreenResolution(logicalDpiY());
    m_document.setFont(font());
}

void TPagePrinter::DocumentChanged(DocumentChange change) {
    if (change == DocumentChange::PageGeometry) UpdateScrollRanges();
    update();
}

void TPagePrinter::setOnNewLine(TNotifyEvent handler) {
    if (!handler) {
        m_document.setOnNewLine({});
        return;
    }
    m_document.setOnNewLine(
        [this, handler = std::move(handler)](PageDocument &) { handler(*this); });
}

void TPagePrinter::setOnNewPage(TNotifyEvent handler) {
    if (!handler) {
        m_document.setOnNewPage({});
        return;
    }
    m_document.setOnNewPage(
        [this, handler = std::move(handler)](PageDocument &) { handler(*this); });
}

}  // namespace sapidoro
