#pragma once

#include "pageprinter/TextFit.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace sapidoro {

// One recorded drawing operation of a page, in printer dots from the top-left corner of the
// printable area.
struct PageOp {
    enum Kind { Text, Line };
    Kind kind = Text;
    QPoint from;       // Text: top-left corner of the text; Line: start
    QPoint to;         // Line: end
    int penWidth = 0;  // Line: 0 is the thinnest line the device draws
    QColor penColor;   // Line
    QString text;      // Text
    int font = 0;      // Text: index into the picture's fonts
};

// A recorded page: the drawing operations of one page at printer resolution, in order.
class PagePicture {
public:
    PagePicture(int widthDots, int heightDots) : m_width(widthDots), m_height(heightDots) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<PageOp> &Ops() const { return m_ops; }
    const QFont &FontOf(const PageOp &op) const { return m_fonts[op.font]; }

    void AddText(const QPoint &topLeft, const QString &text, const QFont &font);
    void AddLine(const QPoint &from, const QPoint &to, int penWidth, const QColor &color);

    // Draws the page with its origin at `origin`, one picture dot per unit of the painter.
    void Play(QPainter &painter, const QPoint &origin = QPoint()) const;

private:
    int m_width;
    int m_height;
    std::vector<PageOp> m_ops;
    std::vector<QFont> m_fonts;
};

// The stored pages of a document, in page order; page n is item n - 1. Shared, so that a print
// job keeps the pages it started with even if the document is rebuilt between its pages.
using TPageList = std::vector<std::shared_ptr<PagePicture>>;

// The drawing surface of a page: font, pen and the text and line calls of the writers. Without
// a page it only measures (the scratch page keeps nothing it is given).
class DocumentCanvas : public TextMeasure {
public:
    void Attach(PagePicture *page) { m_page = page; }
    void Release() { m_page = nullptr; }
    PagePicture *Page() const { return m_page; }

    // The font in device dots (pixel size set).
    void setFont(const QFont &font);
    const QFont &Font() const { return m_font; }

    int TextWidth(QStringView text) const override;
    void TextOut(int x, int y, const QString &text);

    void setPenWidth(int width) { m_penWidth = width; }
    int PenWidth() const { return m_penWidth; }
    void setPenColor(const QColor &color) { m_penColor = color; }
    void Line(int x1, int y1, int x2, int y2);

private:
    int Advance(QChar c) const;

    PagePicture *m_page = nullptr;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
    mutable std::array<int, 256> m_advances{};
    int m_penWidth = 0;
    QColor m_penColor = Qt::black;
};

}  // namespace sapidoro
