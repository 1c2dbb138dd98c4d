#include "pageprinter/PageDocument.h"

#include "pageprinter/PageTokens.h"

#include <QDateTime>

namespace sapidoro {

void PageDocument::setFriendlyHeader(const QString &value) {
    m_friendlyHeader = value;
    if (!m_loading) RebuildFriendly(true);
}

void PageDocument::setFriendlyFooter(const QString &value) {
    m_friendlyFooter = value;
    if (!m_loading) RebuildFriendly(false);
}

void PageDocument::RebuildFriendly(bool header) {
    const FriendlyValues values{QDateTime::currentDateTime(), m_fileName};
    const FriendlyFormat result =
        ApplyFriendlyFormat(header ? m_friendlyHeader : m_friendlyFooter, m_tokenSeparator,
                            WidthBetweenMargins(), DecimalSeparator(), values);
    if (header) {
        m_header = result.text;
        setHeaderFormat(result.format);
    } else {
        m_footer = result.text;
        setFooterFormat(result.format);
    }
}

QString PageDocument::ExpandTokens(const QString &text) const {
    TokenValues values;
    values.line = m_lineNumber;
    values.page = m_pageNumber;
    const QDateTime now = QDateTime::currentDateTime();
    if (text.contains(QStringLiteral("{$DATE}"))) values.date = LocaleShortDate(now);
    if (text.contains(QStringLiteral("{$TIME}"))) values.time = LocaleLongTime(now);
    if (text.contains(QStringLiteral("{$TITLE}"))) values.title = Title();
    return sapidoro::ExpandTokens(text, values);
}

void PageDocument::PreparePage() {
    m_x = 0;
    m_y = 0;
    m_lineNumber = 0;
    if (m_onNewPage) m_onNewPage(*this);

    const int savedX = m_x;
    const int savedY = m_y;
    const int savedLineNumber = m_lineNumber;
    const QString savedTableFormat = m_tableFormat;
    const bool savedTableGrid = m_tableGrid;
    const QFont savedFont = m_font;
    const bool savedAutoHeaderFont = m_autoHeaderFont;
    const bool savedAutoFooterFont = m_autoFooterFont;
    m_tableGrid = false;
    m_autoHeaderFont = false;
    m_autoFooterFont = false;
    m_decoratingPage = true;

    const auto restore = [&] {
        m_decoratingPage = false;
        m_tableFormat = savedTableFormat;
        m_tableGrid = savedTableGrid;
        setFont(savedFont);
        m_autoHeaderFont = savedAutoHeaderFont;
        m_autoFooterFont = savedAutoFooterFont;
    };
    try {
        if (!m_header.isEmpty()) {
            setFont(m_headerFont);
            const int band = m_pageBorders.testFlag(pbTop)
                                 ? DeviceDotsY(m_marginTop - m_pageBorderOffset)
                                 : DeviceDotsY(m_marginTop);
            m_y = (band - m_lineHeight) / 2 - DeviceDotsY(m_marginTop);
            if (TextAreaTop() + m_y < 0) m_y = -TextAreaTop();
            m_tableFormat = m_headerFormat;
            WriteTableLine(m_header);
        }
        if (!m_footer.isEmpty()) {
            setFont(m_footerFont);
            if (m_pageBorders.testFlag(pbBottom)) {
                m_y = DeviceDotsY(m_pageBorderOffset) + TextHeight() +
                      (DeviceDotsY(m_marginBottom - m_pageBorderOffset) - m_lineHeight) / 2;
            } else {
                m_y = TextHeight() + (DeviceDotsY(m_marginBottom) - m_lineHeight) / 2;
            }
            const int printableHeight = DeviceDotsY(PrintableHeight());
            if (TextAreaTop() + m_y + m_lineHeight > printableHeight)
                m_y = printableHeight - TextAreaTop() - m_lineHeight;
            m_tableFormat = m_footerFormat;
            WriteTableLine(m_footer);
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();

    m_x = savedX;
    m_y = savedY;
    m_lineNumber = savedLineNumber;
    FireNewLine();
    DrawPageBorders();
}

void PageDocument::DrawPageBorders() {
    // Pen widths come from the printer itself: without one, starting a page fails here.
    const int horizontalPen = Printer().GetDeviceCaps(DeviceCap::LOGPIXELSY) / 300 * 2;
    const int verticalPen = Printer().GetDeviceCaps(DeviceCap::LOGPIXELSX) / 300 * 2;
    const int left = TextAreaLeft();
    const int top = TextAreaTop();
    const int width = TextWidth();
    const int height = TextHeight();
    const int b = DeviceDotsY(m_pageBorderOffset);
    const int d = DeviceDotsX(m_pageBorderOffset);
    m_canvas.setPenWidth(horizontalPen);
    if (m_pageBorders.testFlag(pbTop)) m_canvas.Line(left - b, top - b, left + width + b, top - b);
    if (m_pageBorders.testFlag(pbBottom))
        m_canvas.Line(left - b, top + height + b, left + width + b, top + height + b);
    m_canvas.setPenWidth(verticalPen);
    if (m_pageBorders.testFlag(pbLeft))
        m_canvas.Line(left - d, top - d, left - d, top + height + d);
    if (m_pageBorders.testFlag(pbRight))
        m_canvas.Line(left + width + d, top - d, left + width + d, top + height + d);
}

}  // namespace sapidoro
