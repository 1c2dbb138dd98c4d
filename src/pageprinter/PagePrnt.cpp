#include "pageprinter/PagePrnt.h"

#include "pageprinter/PageView.h"
#include "pageprinter/PgPrnPrg.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <limits>

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
    m_document.setProgress(this);
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

void TPagePrinter::UpdateProgress(const QString &message, int page, int first, int last) {
    if (!ShowProgress() || message == u"<FINISH>") {
        CloseProgressWindow();
        return;
    }
    if (!m_progressWindow) {
        m_activeBeforeProgress = QApplication::activeWindow();
        m_progressWindow = new TPPPrnPrgDlg(this);
        connect(m_progressWindow->btnCancel, &QPushButton::clicked, this,
                [this] { RequestCancel(); });
        if (!ShowCancel()) m_progressWindow->HideCancel();
    }
    TPPPrnPrgDlg &window = *m_progressWindow;
    // Brought forward as it appears; later pages leave the user's window order alone.
    if (!window.isVisible()) {
        window.show();
        window.raise();
        window.activateWindow();
    }
    window.setWindowTitle(Title());
    window.lblStatus->setText(message.isEmpty() ? QStringLiteral("Sending Pages To Printer")
                                                : message);
    const qint64 steps = qint64(Copies()) * (last - first + 1);
    window.ProgBar->setMaximum(
        static_cast<int>(std::min<qint64>(steps, std::numeric_limits<int>::max())));
    window.StepIt();
    window.lblPageNumber->setText(ProgressPageText(page, first, last, Copies()));
    if (window.isVisible()) window.repaint();
}

TPPPrnPrgDlg *TPagePrinter::ProgressWindow() const {
    return m_progressWindow;
}

void TPagePrinter::CloseProgressWindow() {
    if (!m_progressWindow) return;
    if (m_progressWindow->isVisible()) m_progressWindow->hide();
    delete m_progressWindow;
    // The focus goes back to the window the page printer sits in, else to the one that had it.
    QWidget *back = window()->isVisible() ? window() : m_activeBeforeProgress.data();
    if (back != nullptr && back->isVisible()) back->activateWindow();
    m_activeBeforeProgress = nullptr;
}

void TPagePrinter::ProcessPendingEvents() {
    QApplication::processEvents();
}

}  // namespace sapidoro
