#include "pageprinter/PagePrnt.h"

#include "common/VectorUnit.h"

#include "pageprinter/PageView.h"
#include "pageprinter/PgPrnPrg.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace sapidoro {

namespace {

// The time between two pictures of the screen the window is on.
qint64 FrameNanoseconds(const QWidget &window) {
    const QScreen *screen = window.screen();
    const qreal rate = screen != nullptr ? screen->refreshRate() : 0;
    return static_cast<qint64>(1e9 / (rate >= 1 ? rate : 60));
}

void SetTextIfChanged(QLabel *label, const QString &text) {
    if (label->text() != text) label->setText(text);
}

}  // namespace

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

    setFont(PageDocument::Font());
    FontChanged();  // the font may equal the inherited one, which sends no change event
    m_creating = false;
    Loaded();
}

TPagePrinter::~TPagePrinter() = default;

void TPagePrinter::changeEvent(QEvent *event) {
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) FontChanged();
}

void TPagePrinter::FontChanged() {
    setScreenResolution(logicalDpiY());
    PageDocument::setFont(font());
}

void TPagePrinter::DocumentChanged(DocumentChange change) {
    if (change == DocumentChange::PageGeometry) UpdateScrollRanges();
    update();
}

void TPagePrinter::setOnNewLine(TNotifyEvent<TPagePrinter> handler) {
    if (!handler) return PageDocument::setOnNewLine({});
    PageDocument::setOnNewLine(
        [this, handler = std::move(handler)](PageDocument &) { handler(*this); });
}

void TPagePrinter::setOnNewPage(TNotifyEvent<TPagePrinter> handler) {
    if (!handler) return PageDocument::setOnNewPage({});
    PageDocument::setOnNewPage(
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
        m_progressPainted.invalidate();
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
    // On screen, a change made less than a frame after the last paint could not be shown
    // before the next one anyway: it waits for that paint instead of painting on its own.
    const bool onScreen = window.windowHandle() != nullptr && window.windowHandle()->isExposed();
    const bool paintNow = !onScreen || !m_progressPainted.isValid() ||
                          m_progressPainted.nsecsElapsed() >= FrameNanoseconds(window);
    window.HoldPaints(true);
    if (window.windowTitle() != Title()) window.setWindowTitle(Title());
    SetTextIfChanged(window.lblStatus,
                     message.isEmpty() ? QStringLiteral("Sending Pages To Printer") : message);
    const qint64 steps = qint64(Copies()) * (last - first + 1);
    const int maximum = static_cast<int>(std::min<qint64>(steps, std::numeric_limits<int>::max()));
    if (window.ProgBar->maximum() != maximum) window.ProgBar->setMaximum(maximum);
    window.StepIt();
    SetTextIfChanged(window.lblPageNumber, ProgressPageText(page, first, last, Copies()));
    if (!paintNow) return;
    window.HoldPaints(false);
    // Repainted at once, every change of this page in one paint.
    if (window.isVisible()) window.repaint(window.ChangingArea());
    if (onScreen) m_progressPainted.start();
    ClearVectorUpperHalves();
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
    // The page goes to the printer next: its encoder's vector code must not pay for the paints.
    ClearVectorUpperHalves();
}

}  // namespace sapidoro
