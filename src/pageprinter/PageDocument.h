#pragma once

#include "pageprinter/ColumnFormat.h"
#include "pageprinter/PagePicture.h"
#include "pageprinter/PageUnits.h"
#include "pageprinter/Printer.h"
#include "pageprinter/TextOutputFile.h"

#include <QFlags>
#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>

namespace sapidoro {

// Every refusal of the page printer.
class EPagePrinter : public EPrinter {
public:
    using EPrinter::EPrinter;
};

// The user cancelled a print job.
class ECancelPrinting : public EPagePrinter {
public:
    using EPagePrinter::EPagePrinter;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TLineSpacing { lsHalfSpace, lsSingleSpace, lsSingleAndAHalf, lsDoubleSpace };
enum TPageBorder { pbTop = 0x1, pbBottom = 0x2, pbLeft = 0x4, pbRight = 0x8 };
using TPageBorders = QFlags<TPageBorder>;

// What a view of the document has to redo after a change.
enum class DocumentChange {
    Repaint,       // the page shown or its margins changed
    PageGeometry,  // the sheet, the page shown or the page list changed: ranges and repaint
};

// An event handler, given the object that fired it.
template <class Sender>
using TNotifyEvent = std::function<void(Sender &sender)>;

// The document engine of the page printer, without any window: builds a document line by line
// into pages recorded in printer dots (or into a text file), with word wrap, tabs, tables,
// headers, footers and page borders, and keeps the pages. Lengths are in `MeasureUnit`,
// positions in printer dots.
class PageDocument {
public:
    PageDocument();
    virtual ~PageDocument();
    PageDocument(const PageDocument &) = delete;
    PageDocument &operator=(const PageDocument &) = delete;

    // Property values set between these two calls are only stored, as when a form is loaded;
    // Loaded() then measures the device again and starts an empty page list.
    void BeginLoading();
    void Loaded();
    bool IsLoading() const { return m_loading; }

    // Document building.
    void BeginDoc();
    void EndDoc();
    int NewPage();
    int NewLine();
    void Write(const QString &text);
    void WriteLine(const QString &text);
    void WriteTableLine(const QString &text);

    // The print job: sends the stored pages to the printer. False when the user cancelled.
    bool Print();
    // The Cancel button of the progress window: the job stops at the start of the next page.
    void RequestCancel() { m_cancelRequested = true; }
    bool CancelRequested() const { return m_cancelRequested; }
    // Shows the progress of page `page` of the range `first` to `last` while a job sends it;
    // the message "<FINISH>" ends the showing. A document without a view shows nothing.
    virtual void UpdateProgress(const QString &message, int page, int first, int last);

    // Document state.
    bool Printing() const { return m_documentOpen || m_fileOutputOpen; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const PagePicture &Page(int pageNumber) const { return *m_pages.at(pageNumber - 1); }
    int PageNumber() const { return m_pageNumber; }
    void setPageNumber(int pageNumber);
    int LineNumber() const { return m_lineNumber; }
    int LineHeight() const { return m_lineHeight; }
    int CurrentX() const { return m_x; }
    int CurrentY() const { return m_y; }
    bool DecoratingPage() const { return m_decoratingPage; }
    // Measured on first use after a change, since the window builds its page printer long
    // before anything is printed.
    const PrinterTextMetrics &PrinterFontMetrics() const;
    const DocumentCanvas &PageCanvas() const { return m_canvas; }

    // Units and page geometry, computed from the printer on every use.
    int ResolutionX() const;
    int ResolutionY() const;
    std::int32_t DeviceDotsX(double length) const;
    std::int32_t DeviceDotsY(double length) const;
    double UnitsFromDotsX(double dots) const;
    double UnitsFromDotsY(double dots) const;
    double PageWidth() const;
    double PageHeight() const;
    double PrintableOffsetX() const;
    double PrintableOffsetY() const;
    double PrintableWidth() const { return PageWidth() - 2 * PrintableOffsetX(); }
    double PrintableHeight() const { return PageHeight() - 2 * PrintableOffsetY(); }
    int TextAreaLeft() const { return DeviceDotsX(m_marginLeft - PrintableOffsetX()); }
    int TextAreaTop() const { return DeviceDotsY(m_marginTop - PrintableOffsetY()); }
    int TextAreaRightInset() const { return DeviceDotsX(m_marginRight - PrintableOffsetX()); }
    int TextAreaBottomInset() const { return DeviceDotsY(m_marginBottom - PrintableOffsetY()); }
    int TextWidth() const;
    int TextHeight() const;
    double WidthBetweenMargins() const { return PageWidth() - m_marginLeft - m_marginRight; }

    void ScalePageFont();
    void RefreshDeviceMetrics();
    void PreparePage();
    ColumnSpec ParseColumnSpec(QStringView entry) const;
    QString NormalizeColumnFormat(const QString &format, bool convert) const;
    QString ExpandTokens(const QString &text) const;

    // The document font. A font given in pixels is turned into points at `screenDpiY`, the
    // resolution of the screen the owner shows on.
    const QFont &Font() const { return m_font; }
    void setFont(const QFont &font);
    void setScreenResolution(int screenDpiY);

    // Properties.
    bool AbortOnCancel() const { return m_abortOnCancel; }
    void setAbortOnCancel(bool value) { m_abortOnCancel = value; }
    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment value) { m_alignment = value; }
    bool AutoFooterFont() const { return m_autoFooterFont; }
    void setAutoFooterFont(bool value);
    bool AutoHeaderFont() const { return m_autoHeaderFont; }
    void setAutoHeaderFont(bool value);
    bool Collate() const { return m_collate; }
    void setCollate(bool value) { m_collate = value; }
    std::uint32_t Copies() const { return m_copies; }
    void setCopies(std::uint32_t value);
    double DefaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(double value) { m_defaultColWidth = value; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &value);
    QString Footer() const { return m_footer; }
    void setFooter(const QString &value) { m_footer = value; }
    const QFont &FooterFont() const { return m_footerFont; }
    void setFooterFont(const QFont &value) { m_footerFont = value; }
    QString FooterFormat() const { return m_footerFormat; }
    void setFooterFormat(const QString &value);
    QString FriendlyFooter() const { return m_friendlyFooter; }
    void setFriendlyFooter(const QString &value);
    QString FriendlyHeader() const { return m_friendlyHeader; }
    void setFriendlyHeader(const QString &value);
    std::uint32_t FromPage() const { return m_fromPage; }
    void setFromPage(std::uint32_t value);
    QString Header() const { return m_header; }
    void setHeader(const QString &value) { m_header = value; }
    const QFont &HeaderFont() const { return m_headerFont; }
    void setHeaderFont(const QFont &value) { m_headerFont = value; }
    QString HeaderFormat() const { return m_headerFormat; }
    void setHeaderFormat(const QString &value);
    TLineSpacing LineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(TLineSpacing value);
    double MarginBottom() const { return m_marginBottom; }
    void setMarginBottom(double value);
    double MarginLeft() const { return m_marginLeft; }
    void setMarginLeft(double value);
    double MarginRight() const { return m_marginRight; }
    void setMarginRight(double value);
    double MarginTop() const { return m_marginTop; }
    void setMarginTop(double value);
    // The four margins at once, in the order top, bottom, left, right.
    void setMargins(double top, double bottom, double left, double right);
    TMeasureUnit MeasureUnit() const { return m_measureUnit; }
    void setMeasureUnit(TMeasureUnit value);
    void setOnNewLine(TNotifyEvent<PageDocument> handler) { m_onNewLine = std::move(handler); }
    void setOnNewPage(TNotifyEvent<PageDocument> handler) { m_onNewPage = std::move(handler); }
    TPrinterOrientation Orientation() const;
    void setOrientation(TPrinterOrientation value);
    double PageBorderOffset() const { return m_pageBorderOffset; }
    void setPageBorderOffset(double value) { m_pageBorderOffset = value; }
    TPageBorders PageBorders() const { return m_pageBorders; }
    void setPageBorders(TPageBorders value) { m_pageBorders = value; }
    bool PrintToFile() const { return m_printToFile; }
    void setPrintToFile(bool value);
    QString ProgressMessage() const { return m_progressMessage; }
    void setProgressMessage(const QString &value) { m_progressMessage = value; }
    bool ShowCancel() const { return m_showCancel; }
    void setShowCancel(bool value) { m_showCancel = value; }
    bool ShowProgress() const { return m_showProgress; }
    void setShowProgress(bool value) { m_showProgress = value; }
    QString TableFormat() const { return m_tableFormat; }
    void setTableFormat(const QString &value);
    bool TableGrid() const { return m_tableGrid; }
    void setTableGrid(bool value) { m_tableGrid = value; }
    std::uint32_t TabSize() const { return m_tabSize; }
    void setTabSize(std::uint32_t value) { m_tabSize = value; }
    QString Title() const;
    void setTitle(const QString &value);
    QChar TokenSeparator() const { return m_tokenSeparator; }
    void setTokenSeparator(QChar value) { m_tokenSeparator = value; }
    std::uint32_t ToPage() const { return m_toPage; }
    void setToPage(std::uint32_t value);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value) { m_wordWrap = value; }

protected:
    // A view hears here of the changes it must show; the engine alone shows nothing.
    virtual void DocumentChanged(DocumentChange change);
    // Lets pending window events run between pages, so that a click on Cancel is seen.
    virtual void ProcessPendingEvents();

private:
    // Font and metrics.
    void FontChanged();
    // The page font as scaled now is the one to measure.
    void ForgetPrinterFontMetrics();
    void RecomputeLineHeight();
    int PointSizeOfFont() const;
    // Pages.
    void FinishCurrentPage();
    void StartPageInList();
    void StartScratchPage();
    std::unique_ptr<PagePicture> NewPagePicture() const;
    void StartFreshPageList();
    // Writers.
    void AbandonDocument();
    void WrapWrite(const QString &text);
    void WrapWriteLine(const QString &text);
    void DrawCellLines(int x, int width, bool top, bool sides, bool bottom);
    int BlankWidth() const;
    int DirectResolutionX() const;
    int DirectResolutionY() const;
    void WriteToFile(const QString &text);
    void WriteBlanksToFile(int dots);
    void FireNewLine();
    // Decoration.
    void DrawPageBorders();
    void RebuildFriendly(bool header);
    QChar DecimalSeparator() const;
    void RefuseWhilePrinting(const char *message) const;
    // Print job.
    void SendPages(const TPageList &pages, int first, int last);
    void SendPage(const PagePicture &page, int pageNumber, int first, int last, bool lastCall);
    void EndPrintJob(int savedCopies);

    // Properties.
    bool m_abortOnCancel = false;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoFooterFont = true;
    bool m_autoHeaderFont = true;
    bool m_collate = true;
    std::uint32_t m_copies = 1;
    double m_defaultColWidth = 0;
    QString m_fileName;
    QFont m_font;
    QString m_footer;
    QFont m_footerFont;
    QString m_footerFormat;
    QString m_friendlyFooter;
    QString m_friendlyHeader;
    std::uint32_t m_fromPage = 0;
    QString m_header;
    QFont m_headerFont;
    QString m_headerFormat;
    TLineSpacing m_lineSpacing = lsSingleSpace;
    double m_marginBottom = 0;
    double m_marginLeft = 0;
    double m_marginRight = 0;
    double m_marginTop = 0;
    TMeasureUnit m_measureUnit = muInches;
    TNotifyEvent<PageDocument> m_onNewLine;
    TNotifyEvent<PageDocument> m_onNewPage;
    double m_pageBorderOffset = 0;
    TPageBorders m_pageBorders;
    bool m_printToFile = false;
    QString m_progressMessage;
    bool m_showCancel = true;
    bool m_showProgress = true;
    QString m_tableFormat;
    bool m_tableGrid = false;
    std::uint32_t m_tabSize = 8;
    QChar m_tokenSeparator = u'|';
    std::uint32_t m_toPage = 0;
    bool m_wordWrap = true;

    // Document state.
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    int m_lineNumber = 0;
    int m_pageNumber = 0;
    bool m_documentOpen = false;
    bool m_decoratingPage = false;
    bool m_fileOutputOpen = false;
    bool m_loading = false;
    bool m_cancelRequested = false;
    int m_screenDpiY = 96;
    TextOutputFile m_outputFile;
    TPageList m_pages;
    DocumentCanvas m_canvas;
    mutable PrinterTextMetrics m_fontMetrics;
    mutable bool m_fontMetricsKnown = false;
    QFont m_measuredFont;  // the page font the metrics are of
};

}  // namespace sapidoro
