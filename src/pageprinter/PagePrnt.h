#pragma once

#include "pageprinter/PageDocument.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace sapidoro {

enum TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };

class PagePaintBox;
class TPPPrnPrgDlg;

// The page printer control: a scroll box that owns a document engine (`Document()`) and shows
// its current page. Every document operation and property is the engine's, forwarded here;
// the control adds the page view and the print job's progress window, and takes its `Font`
// from the widget's font.
class TPagePrinter : public QScrollArea, private PrintProgress {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TPagePrinter &sender)>;

    explicit TPagePrinter(QWidget *parent = nullptr);
    ~TPagePrinter() override;

    PageDocument &Document() { return m_document; }
    const PageDocument &Document() const { return m_document; }

    // Property values set between these two calls are only stored, as when a form is loaded;
    // Loaded() then measures the device again and starts an empty page list.
    void BeginLoading() { m_document.BeginLoading(); }
    void Loaded();

    // Document building.
    void BeginDoc() { m_document.BeginDoc(); }
    void EndDoc() { m_document.EndDoc(); }
    int NewPage() { return m_document.NewPage(); }
    int NewLine() { return m_document.NewLine(); }
    void Write(const QString &text) { m_document.Write(text); }
    void WriteLine(const QString &text) { m_document.WriteLine(text); }
    void WriteTableLine(const QString &text) { m_document.WriteTableLine(text); }

    // The print job, with the progress window while `ShowProgress` is set.
    bool Print() { return m_document.Print(); }
    // Shows or updates the progress window; the message "<FINISH>" closes it.
    void UpdateProgress(const QString &message, int page, int first, int last) override;
    // The Cancel button's handler.
    void RequestCancel() { m_document.RequestCancel(); }
    // The progress window while a job shows one.
    TPPPrnPrgDlg *ProgressWindow() const;

    // Document state.
    bool Printing() const { return m_document.Printing(); }
    int PageCount() const { return m_document.PageCount(); }
    const PagePicture &Page(int pageNumber) const { return m_document.Page(pageNumber); }
    int PageNumber() const { return m_document.PageNumber(); }
    void setPageNumber(int pageNumber) { m_document.setPageNumber(pageNumber); }
    int LineNumber() const { return m_document.LineNumber(); }
    int LineHeight() const { return m_document.LineHeight(); }
    int CurrentX() const { return m_document.CurrentX(); }
    int CurrentY() const { return m_document.CurrentY(); }
    bool DecoratingPage() const { return m_document.DecoratingPage(); }
    const PrinterTextMetrics &PrinterFontMetrics() const { return m_document.PrinterFontMetrics(); }
    const DocumentCanvas &PageCanvas() const { return m_document.PageCanvas(); }

    // Units and page geometry, computed from the printer on every use.
    int ResolutionX() const { return m_document.ResolutionX(); }
    int ResolutionY() const { return m_document.ResolutionY(); }
    std::int32_t DeviceDotsX(double length) const { return m_document.DeviceDotsX(length); }
    std::int32_t DeviceDotsY(double length) const { return m_document.DeviceDotsY(length); }
    double UnitsFromDotsX(double dots) const { return m_document.UnitsFromDotsX(dots); }
    double UnitsFromDotsY(double dots) const { return m_document.UnitsFromDotsY(dots); }
    double PageWidth() const { return m_document.PageWidth(); }
    double PageHeight() const { return m_document.PageHeight(); }
    double PrintableOffsetX() const { return m_document.PrintableOffsetX(); }
    double PrintableOffsetY() const { return m_document.PrintableOffsetY(); }
    double PrintableWidth() const { return m_document.PrintableWidth(); }
    double PrintableHeight() const { return m_document.PrintableHeight(); }
    int TextAreaLeft() const { return m_document.TextAreaLeft(); }
    int TextAreaTop() const { return m_document.TextAreaTop(); }
    int TextAreaRightInset() const { return m_document.TextAreaRightInset(); }
    int TextAreaBottomInset() const { return m_document.TextAreaBottomInset(); }
    int TextWidth() const { return m_document.TextWidth(); }
    int TextHeight() const { return m_document.TextHeight(); }
    double WidthBetweenMargins() const { return m_document.WidthBetweenMargins(); }

    void ScalePageFont() { m_document.ScalePageFont(); }
    void RefreshDeviceMetrics() { m_document.RefreshDeviceMetrics(); }
    void PreparePage() { m_document.PreparePage(); }
    ColumnSpec ParseColumnSpec(QStringView entry) const {
        return m_document.ParseColumnSpec(entry);
    }
    QString NormalizeColumnFormat(const QString &format, bool convert) const {
        return m_document.NormalizeColumnFormat(format, convert);
    }
    QString ExpandTokens(const QString &text) const { return m_document.ExpandTokens(text); }

    // Published properties.
    bool AbortOnCancel() const { return m_document.AbortOnCancel(); }
    void setAbortOnCancel(bool value) { m_document.setAbortOnCancel(value); }
    TAlignment Alignment() const { return m_document.Alignment(); }
    void setAlignment(TAlignment value) { m_document.setAlignment(value); }
    bool AutoFooterFont() const { return m_document.AutoFooterFont(); }
    void setAutoFooterFont(bool value) { m_document.setAutoFooterFont(value); }
    bool AutoHeaderFont() const { return m_document.AutoHeaderFont(); }
    void setAutoHeaderFont(bool value) { m_document.setAutoHeaderFont(value); }
    bool Collate() const { return m_document.Collate(); }
    void setCollate(bool value) { m_document.setCollate(value); }
    std::uint32_t Copies() const { return m_document.Copies(); }
    void setCopies(std::uint32_t value) { m_document.setCopies(value); }
    double DefaultColWidth() const { return m_document.DefaultColWidth(); }
    void setDefaultColWidth(double value) { m_document.setDefaultColWidth(value); }
    QString FileName() const { return m_document.FileName(); }
    void setFileName(const QString &value) { m_document.setFileName(value); }
    const QFont &Font() const { return m_document.Font(); }
    QString Footer() const { return m_document.Footer(); }
    void setFooter(const QString &value) { m_document.setFooter(value); }
    const QFont &FooterFont() const { return m_document.FooterFont(); }
    void setFooterFont(const QFont &value) { m_document.setFooterFont(value); }
    QString FooterFormat() const { return m_document.FooterFormat(); }
    void setFooterFormat(const QString &value) { m_document.setFooterFormat(value); }
    QString FriendlyFooter() const { return m_document.FriendlyFooter(); }
    void setFriendlyFooter(const QString &value) { m_document.setFriendlyFooter(value); }
    QString FriendlyHeader() const { return m_document.FriendlyHeader(); }
    void setFriendlyHeader(const QString &value) { m_document.setFriendlyHeader(value); }
    std::uint32_t FromPage() const { return m_document.FromPage(); }
    void setFromPage(std::uint32_t value) { m_document.setFromPage(value); }
    bool GradientBackground() const { return m_gradientBackground; }
    void setGradientBackground(bool value);
    QString Header() const { return m_document.Header(); }
    void setHeader(const QString &value) { m_document.setHeader(value); }
    const QFont &HeaderFont() const { return m_document.HeaderFont(); }
    void setHeaderFont(const QFont &value) { m_document.setHeaderFont(value); }
    QString HeaderFormat() const { return m_document.HeaderFormat(); }
    void setHeaderFormat(const QString &value) { m_document.setHeaderFormat(value); }
    QStringList &Lines() { return m_lines; }
    void setLines(const QStringList &value) { m_lines = value; }
    TLineSpacing LineSpacing() const { return m_document.LineSpacing(); }
    void setLineSpacing(TLineSpacing value) { m_document.setLineSpacing(value); }
    double MarginBottom() const { return m_document.MarginBottom(); }
    void setMarginBottom(double value) { m_document.setMarginBottom(value); }
    double MarginLeft() const { return m_document.MarginLeft(); }
    void setMarginLeft(double value) { m_document.setMarginLeft(value); }
    double MarginRight() const { return m_document.MarginRight(); }
    void setMarginRight(double value) { m_document.setMarginRight(value); }
    double MarginTop() const { return m_document.MarginTop(); }
    void setMarginTop(double value) { m_document.setMarginTop(value); }
    // The four margins at once, in the order top, bottom, left, right.
    void setMargins(double top, double bottom, double left, double right) {
        m_document.setMargins(top, bottom, left, right);
    }
    TMeasureUnit MeasureUnit() const { return m_document.MeasureUnit(); }
    void setMeasureUnit(TMeasureUnit value) { m_document.setMeasureUnit(value); }
    void setOnNewLine(TNotifyEvent handler);
    void setOnNewPage(TNotifyEvent handler);
    TPrinterOrientation Orientation() const { return m_document.Orientation(); }
    void setOrientation(TPrinterOrientation value) { m_document.setOrientation(value); }
    double PageBorderOffset() const { return m_document.PageBorderOffset(); }
    void setPageBorderOffset(double value) { m_document.setPageBorderOffset(value); }
    TPageBorders PageBorders() const { return m_document.PageBorders(); }
    void setPageBorders(TPageBorders value) { m_document.setPageBorders(value); }
    bool PrintToFile() const { return m_document.PrintToFile(); }
    void setPrintToFile(bool value) { m_document.setPrintToFile(value); }
    QString ProgressMessage() const { return m_document.ProgressMessage(); }
    void setProgressMessage(const QString &value) { m_document.setProgressMessage(value); }
    QColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &value);
    std::uint32_t ShadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(std::uint32_t value);
    bool ShowCancel() const { return m_document.ShowCancel(); }
    void setShowCancel(bool value) { m_document.setShowCancel(value); }
    bool ShowMargins() const { return m_showMargins; }
    void setShowMargins(bool value);
    bool ShowProgress() const { return m_document.ShowProgress(); }
    void setShowProgress(bool value) { m_document.setShowProgress(value); }
    QString TableFormat() const { return m_document.TableFormat(); }
    void setTableFormat(const QString &value) { m_document.setTableFormat(value); }
    bool TableGrid() const { return m_document.TableGrid(); }
    void setTableGrid(bool value) { m_document.setTableGrid(value); }
    std::uint32_t TabSize() const { return m_document.TabSize(); }
    void setTabSize(std::uint32_t value) { m_document.setTabSize(value); }
    QString Title() const { return m_document.Title(); }
    void setTitle(const QString &value) { m_document.setTitle(value); }
    QChar TokenSeparator() const { return m_document.TokenSeparator(); }
    void setTokenSeparator(QChar value) { m_document.setTokenSeparator(value); }
    std::uint32_t ToPage() const { return m_document.ToPage(); }
    void setToPage(std::uint32_t value) { m_document.setToPage(value); }
    bool WordWrap() const { return m_document.WordWrap(); }
    void setWordWrap(bool value) { m_document.setWordWrap(value); }
    TZoomLocation ZoomLocation() const { return m_zoomLocation; }
    void setZoomLocation(TZoomLocation value) { m_zoomLocation = value; }
    std::uint32_t ZoomPercent() const { return m_zoomPercent; }
    void setZoomPercent(std::uint32_t value);

    // The on-screen view. `Color` is the end colour of the background gradient.
    QColor Color() const;
    void setColor(const QColor &value);
    std::int32_t ScreenDotsX(double length) const;
    std::int32_t ScreenDotsY(double length) const;
    std::int32_t ZoomedScreenDotsX(double length) const;
    std::int32_t ZoomedScreenDotsY(double length) const;
    int ViewPageWidth() const;
    int ViewPageHeight() const;
    void UpdateScrollRanges();
    int HorzScrollRange() const { return m_horzRange; }
    int VertScrollRange() const { return m_vertRange; }
    QWidget *PaintBox() const;
    // Paints the view on `painter`, a painter on the paint box; leaves its pen in `Color`.
    void PaintPage(QPainter &painter);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class PagePaintBox;

    void FontChanged();
    void DocumentChanged(DocumentChange change);
    void ProcessPendingEvents() override;
    void CloseProgressWindow();
    int ScreenResolutionX() const;
    int ScreenResolutionY() const;
    void FitPaintBox();

    PageDocument m_document;

    // View properties.
    bool m_gradientBackground = true;
    QStringList m_lines;
    QColor m_shadowColor;
    std::uint32_t m_shadowOffset = 5;
    bool m_showMargins = true;
    TZoomLocation m_zoomLocation = zlTopLeft;
    std::uint32_t m_zoomPercent = 25;

    int m_horzRange = 0;
    int m_vertRange = 0;
    bool m_creating = true;
    PagePaintBox *m_paintBox = nullptr;
    QPointer<TPPPrnPrgDlg> m_progressWindow;
    QPointer<QWidget> m_activeBeforeProgress;  // gets the focus back when the window closes
    QElapsedTimer m_progressPainted;
};

}  // namespace sapidoro
