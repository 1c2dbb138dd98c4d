#include "pageprinter/PageDocument.h"

#include "pageprinter/RecordingDevice.h"

#include <cstdlib>

namespace sapidoro {

PageDocument::PageDocument() {
    m_font = QFont(QStringLiteral("Courier New"));
    m_font.setPointSize(10);
    m_font.setWeight(QFont::Normal);
    m_font.setItalic(false);
    m_font.setUnderline(false);
    m_font.setStrikeOut(false);
    FontChanged();

    Printer().setTitle(QString());
    if (Printer().Available() && !Printer().Printing()) Printer().setOrientation(poPortrait);

    setMarginTop(PrintableOffsetY());
    setMarginBottom(PrintableOffsetY());
    setMarginLeft(PrintableOffsetX());
    setMarginRight(PrintableOffsetX());
}

PageDocument::~PageDocument() {
    FinishCurrentPage();
}

void PageDocument::DocumentChanged(DocumentChange) {}

void PageDocument::BeginLoading() {
    m_loading = true;
}

void PageDocument::Loaded() {
    m_loading = false;
    RefreshDeviceMetrics();
    StartFreshPageList();
    StartScratchPage();
    DocumentChanged(DocumentChange::PageGeometry);
}

void PageDocument::setFont(const QFont &font) {
    if (font == m_font) return;
    m_font = font;
    FontChanged();
}

void PageDocument::setScreenResolution(int screenDpiY) {
    if (screenDpiY == m_screenDpiY) return;
    m_screenDpiY = screenDpiY;
    // Only a font given in pixels has a size that depends on the screen.
    if (m_font.pointSizeF() <= 0) FontChanged();
}

void PageDocument::FontChanged() {
    ScalePageFont();
    ForgetPrinterFontMetrics();
    RecomputeLineHeight();
    if (m_autoHeaderFont) m_headerFont = m_font;
    if (m_autoFooterFont) m_footerFont = m_font;
}

int PageDocument::PointSizeOfFont() const {
    if (m_font.pointSizeF() > 0) return qRound(m_font.pointSizeF());
    // A font given in pixels has its size in points at the screen's resolution.
    return MulDiv(m_font.pixelSize(), 72, m_screenDpiY);
}

void PageDocument::ScalePageFont() {
    QFont pageFont = m_font;
    pageFont.setPixelSize(std::max(1, MulDiv(PointSizeOfFont(), ResolutionY(), 72)));
    // Whole-dot advances, as a printer driver reports them, so measuring and drawing agree.
    pageFont.setHintingPreference(QFont::PreferFullHinting);
    m_canvas.setFont(pageFont);
}

void PageDocument::ForgetPrinterFontMetrics() {
    m_measuredFont = m_canvas.Font();
    m_fontMetricsKnown = false;
}

const PrinterTextMetrics &PageDocument::PrinterFontMetrics() const {
    if (m_fontMetricsKnown) return m_fontMetrics;
    // Without a printer the font is measured at the fallback resolution, with no error raised
    // and caught on every change of the font.
    if (Printer().Available()) {
        try {
            m_fontMetrics = Printer().TextMetrics(m_measuredFont);
            m_fontMetricsKnown = true;
            return m_fontMetrics;
        } catch (const EPrinter &) {
        }
    }
    const DotsDevice device(kFallbackResolution, kFallbackResolution, 1, 1);
    m_fontMetrics = MeasureTextMetrics(m_measuredFont, &device);
    m_fontMetricsKnown = true;
    return m_fontMetrics;
}

void PageDocument::RecomputeLineHeight() {
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

void PageDocument::setLineSpacing(TLineSpacing value) {
    m_lineSpacing = value;
    RecomputeLineHeight();
}

std::unique_ptr<PagePicture> PageDocument::NewPagePicture() const {
    return std::make_unique<PagePicture>(DeviceDotsX(PageWidth() - PrintableOffsetX()),
                                         DeviceDotsY(PageHeight() - PrintableOffsetY()));
}

void PageDocument::FinishCurrentPage() {
    m_canvas.Release();
}

void PageDocument::StartPageInList() {
    FinishCurrentPage();
    m_pages.push_back(NewPagePicture());
    m_canvas.Attach(m_pages.back().get());
    m_canvas.setPenWidth(1);
    m_canvas.setPenColor(Qt::black);
    ScalePageFont();
}

void PageDocument::StartScratchPage() {
    // The scratch page only measures: nothing drawn on it is ever shown or printed.
    FinishCurrentPage();
    m_canvas.setPenWidth(1);
    m_canvas.setPenColor(Qt::black);
    ScalePageFont();
}

void PageDocument::StartFreshPageList() {
    FinishCurrentPage();
    m_pages.clear();
    m_pageNumber = 0;
}

void PageDocument::setPageNumber(int pageNumber) {
    if (pageNumber >= 1 && pageNumber <= PageCount()) {
        m_pageNumber = pageNumber;
        DocumentChanged(DocumentChange::PageGeometry);
        return;
    }
    if (m_loading || PageCount() == 0) {
        m_pageNumber = 0;
        return;
    }
    throw EPagePrinter("PageNumber must be between 1 and " + std::to_string(PageCount()));
}

void PageDocument::RefuseWhilePrinting(const char *message) const {
    if (Printing()) throw EPagePrinter(message);
}

void PageDocument::setAutoHeaderFont(bool value) {
    if (value == m_autoHeaderFont) return;
    m_autoHeaderFont = value;
    if (value && !m_loading) m_headerFont = m_font;
}

void PageDocument::setAutoFooterFont(bool value) {
    if (value == m_autoFooterFont) return;
    m_autoFooterFont = value;
    if (value && !m_loading) m_footerFont = m_font;
}

void PageDocument::setCopies(std::uint32_t value) {
    m_copies = static_cast<std::int32_t>(value) <= 0 ? 1 : value;
}

void PageDocument::setFromPage(std::uint32_t value) {
    if (value == m_fromPage) return;
    m_fromPage = value;
    if (m_fromPage > m_toPage) m_toPage = m_fromPage;
}

void PageDocument::setToPage(std::uint32_t value) {
    if (value == m_toPage) return;
    m_toPage = value;
    if (m_toPage < m_fromPage) m_fromPage = m_toPage;
}

void PageDocument::setFileName(const QString &value) {
    if (value == m_fileName) return;
    RefuseWhilePrinting("Can't change FileName while printing");
    // Trimmed of blanks and control characters at both ends.
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && value[first].unicode() <= u' ') ++first;
    while (last > first && value[last - 1].unicode() <= u' ') --last;
    m_fileName = value.mid(first, last - first);
}

void PageDocument::setPrintToFile(bool value) {
    if (value == m_printToFile) return;
    RefuseWhilePrinting("Can't change PrintToFile while printing");
    m_printToFile = value;
}

QString PageDocument::Title() const {
    return Printer().Title();
}

void PageDocument::setTitle(const QString &value) {
    Printer().setTitle(value);
}

TPrinterOrientation PageDocument::Orientation() const {
    return Printer().Available() ? Printer().Orientation() : poPortrait;
}

void PageDocument::setOrientation(TPrinterOrientation value) {
    RefuseWhilePrinting("Unable to change orientation while printing");
    if (Printer().Available()) Printer().setOrientation(value);
    DocumentChanged(DocumentChange::PageGeometry);
}

void PageDocument::setTableFormat(const QString &value) {
    m_tableFormat = NormalizeColumnFormat(value, false);
}

void PageDocument::setHeaderFormat(const QString &value) {
    m_headerFormat = NormalizeColumnFormat(value, false);
}

void PageDocument::setFooterFormat(const QString &value) {
    m_footerFormat = NormalizeColumnFormat(value, false);
}

}  // namespace sapidoro
