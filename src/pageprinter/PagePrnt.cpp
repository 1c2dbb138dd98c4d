#include "pageprinter/PagePrnt.h"

#include "pageprinter/PageView.h"
#include "pageprinter/RecordingDevice.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QScrollBar>

#include <cstdlib>

namespace sapidoro {

TPagePrinter::TPagePrinter(QWidget *parent) : QScrollArea(parent) {
    resize(89, 115);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    m_paintBox = new PagePaintBox(*this);
    setWidget(m_paintBox);
    setWidgetResizable(true);
    m_shadowColor = QApplication::palette().color(QPalette::Dark);

    QFont defaultFont(QStringLiteral("Courier New"));
    defaultFont.setPointSize(10);
    defaultFont.setWeight(QFont::Normal);
    defaultFont.setItalic(false);
    defaultFont.setUnderline(false);
    defaultFont.setStrikeOut(false);
    setFont(defaultFont);
    FontChanged();  // the font may equal the inherited one, which sends no change event

    Printer().setTitle(QString());
    if (Printer().Available() && !Printer().Printing()) Printer().setOrientation(poPortrait);

    setMarginTop(PrintableOffsetY());
    setMarginBottom(PrintableOffsetY());
    setMarginLeft(PrintableOffsetX());
    setMarginRight(PrintableOffsetX());
    m_creating = false;
    Loaded();
}

TPagePrinter::~TPagePrinter() {
    FinishCurrentPage();
}

void TPagePrinter::BeginLoading() {
    m_loading = true;
}

void TPagePrinter::Loaded() {
    m_loading = false;
    RefreshDeviceMetrics();
    StartFreshPageList();
    StartScratchPage();
    UpdateScrollRanges();
    update();
}

void TPagePrinter::changeEvent(QEvent *event) {
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) FontChanged();
}

void TPagePrinter::FontChanged() {
    ScalePageFont();
    ReadPrinterFontMetrics();
    RecomputeLineHeight();
    if (m_autoHeaderFont) m_headerFont = font();
    if (m_autoFooterFont) m_footerFont = font();
}

int TPagePrinter::PointSizeOfFont() const {
    const QFont &f = font();
    if (f.pointSizeF() > 0) return qRound(f.pointSizeF());
    // A font given in pixels has its size in points at the screen's resolution.
    return MulDiv(f.pixelSize(), 72, logicalDpiY());
}

void TPagePrinter::ScalePageFont() {
    QFont pageFont = font();
    pageFont.setPixelSize(std::max(1, MulDiv(PointSizeOfFont(), ResolutionY(), 72)));
    // Whole-dot advances, as a printer driver reports them, so measuring and drawing agree.
    pageFont.setHintingPreference(QFont::PreferFullHinting);
    m_canvas.setFont(pageFont);
}

void TPagePrinter::ReadPrinterFontMetrics() {
    try {
        m_fontMetrics = Printer().TextMetrics(m_canvas.Font());
    } catch (const EPrinter &) {
        const DotsDevice device(kFallbackResolution, kFallbackResolution, 1, 1);
        m_fontMetrics = MeasureTextMetrics(m_canvas.Font(), &device);
    }
}

void TPagePrinter::RecomputeLineHeight() {
    const int h = std::abs(m_canvas.Font().pixelSize());
    switch (m_lineSpacing) {
        case lsHalfSpace:
            m_lineHeight = h / 2;
            break;
        case lsSingleSpace:
            m_lineHeight = h;
            break;
        case lsSingleAndAHalf:
            m_lineHeight = h + h / 2;
            break;
        case lsDoubleSpace:
            m_lineHeight = 2 * h;
            break;
    }
}

void TPagePrinter::setLineSpacing(TLineSpacing value) {
    m_lineSpacing = value;
    RecomputeLineHeight();
}

std::unique_ptr<PagePicture> TPagePrinter::NewPagePicture() const {
    return std::make_unique<PagePicture>(DeviceDotsX(PageWidth() - PrintableOffsetX()),
                                         DeviceDotsY(PageHeight() - PrintableOffsetY()));
}

void TPagePrinter::FinishCurrentPage() {
    m_canvas.Release();
}

void TPagePrinter::StartPageInList() {
    FinishCurrentPage();
    m_pages.push_back(NewPagePicture());
    m_canvas.Attach(m_pages.back().get());
    m_canvas.setPenWidth(1);
    m_canvas.setPenColor(Qt::black);
    ScalePageFont();
}

void TPagePrinter::StartScratchPage() {
    // The scratch page only measures: nothing drawn on it is ever shown or printed.
    FinishCurrentPage();
    m_canvas.setPenWidth(1);
    m_canvas.setPenColor(Qt::black);
    ScalePageFont();
}

void TPagePrinter::StartFreshPageList() {
    FinishCurrentPage();
    m_pages.clear();
    m_pageNumber = 0;
}

void TPagePrinter::RefuseWhilePrinting(const char *message) const {
    if (Printing()) throw EPagePrinter(message);
}

void TPagePrinter::setAutoHeaderFont(bool value) {
    if (value == m_autoHeaderFont) return;
    m_autoHeaderFont = value;
    if (value && !m_loading) m_headerFont = font();
}

void TPagePrinter::setAutoFooterFont(bool value) {
    if (value == m_autoFooterFont) return;
    m_autoFooterFont = value;
    if (value && !m_loading) m_footerFont = font();
}

void TPagePrinter::setCopies(std::uint32_t value) {
    m_copies = static_cast<std::int32_t>(value) <= 0 ? 1 : value;
}

void TPagePrinter::setFromPage(std::uint32_t value) {
    if (value == m_fromPage) return;
    m_fromPage = value;
    if (m_fromPage > m_toPage) m_toPage = m_fromPage;
}

void TPagePrinter::setToPage(std::uint32_t value) {
    if (value == m_toPage) return;
    m_toPage = value;
    if (m_toPage < m_fromPage) m_fromPage = m_toPage;
}

void TPagePrinter::setFileName(const QString &value) {
    if (value == m_fileName) return;
    RefuseWhilePrinting("Can't change FileName while printing");
    // Trimmed of blanks and control characters at both ends.
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && value[first].unicode() <= u' ') ++first;
    while (last > first && value[last - 1].unicode() <= u' ') --last;
    m_fileName = value.mid(first, last - first);
}

void TPagePrinter::setPrintToFile(bool value) {
    if (value == m_printToFile) return;
    RefuseWhilePrinting("Can't change PrintToFile while printing");
    m_printToFile = value;
}

QString TPagePrinter::Title() const {
    return Printer().Title();
}

void TPagePrinter::setTitle(const QString &value) {
    Printer().setTitle(value);
}

TPrinterOrientation TPagePrinter::Orientation() const {
    return Printer().Available() ? Printer().Orientation() : poPortrait;
}

void TPagePrinter::setOrientation(TPrinterOrientation value) {
    RefuseWhilePrinting("Unable to change orientation while printing");
    if (Printer().Available()) Printer().setOrientation(value);
    UpdateScrollRanges();
    update();
}

void TPagePrinter::setTableFormat(const QString &value) {
    m_tableFormat = NormalizeColumnFormat(value, false);
}

void TPagePrinter::setHeaderFormat(const QString &value) {
    m_headerFormat = NormalizeColumnFormat(value, false);
}

void TPagePrinter::setFooterFormat(const QString &value) {
    m_footerFormat = NormalizeColumnFormat(value, false);
}

}  // namespace sapidoro
