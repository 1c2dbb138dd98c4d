#pragma once

#include "pageprinter/PageDocument.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>

#include <cstdint>

namespace sapidoro {

enum TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };

class PagePaintBox;
class TPPPrnPrgDlg;

// The page printer control: a scroll box that is also the document engine, so that every
// document operation and property is the engine's own; the control adds the page view and
// the print job's progress window, and takes its `Font` from the widget's font.
class TPagePrinter : public QScrollArea, public PageDocument {
    Q_OBJECT

public:
    explicit TPagePrinter(QWidget *parent = nullptr);
    ~TPagePrinter() override;

    PageDocument &Document() { return *this; }
    const PageDocument &Document() const { return *this; }

    // The widget's font is the document font: a change reaches the engine as a font change.
    using QScrollArea::setFont;
    // `Alignment` is the document's; the scroll box never moves its paint box by alignment.
    using PageDocument::setAlignment;

    // Handlers of the document events get the control as their sender.
    void setOnNewLine(TNotifyEvent<TPagePrinter> handler);
    void setOnNewPage(TNotifyEvent<TPagePrinter> handler);

    // Shows or updates the progress window; the message "<FINISH>" closes it.
    void UpdateProgress(const QString &message, int page, int first, int last) override;
    // The progress window while a job shows one.
    TPPPrnPrgDlg *ProgressWindow() const;

    // View properties.
    bool GradientBackground() const { return m_gradientBackground; }
    void setGradientBackground(bool value);
    QStringList &Lines() { return m_lines; }
    void setLines(const QStringList &value) { m_lines = value; }
    QColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &value);
    std::uint32_t ShadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(std::uint32_t value);
    bool ShowMargins() const { return m_showMargins; }
    void setShowMargins(bool value);
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

    void DocumentChanged(DocumentChange change) override;
    void ProcessPendingEvents() override;

private:
    friend class PagePaintBox;

    void FontChanged();
    void CloseProgressWindow();
    int ScreenResolutionX() const;
    int ScreenResolutionY() const;
    void FitPaintBox();

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
