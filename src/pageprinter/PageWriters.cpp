#include "pageprinter/PageDocument.h"

#include <QStringList>

#include <vector>

namespace sapidoro {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

void PageDocument::BeginDoc() {
    RefreshDeviceMetrics();
    // Without room for text the writers would put every line or character on a page of its own.
    if (TextWidth() <= 0) throw EPagePrinter("The left and right margins leave no room for text");
    if (TextHeight() <= 0) throw EPagePrinter("The top and bottom margins leave no room for text");
    m_documentOpen = true;
    m_decoratingPage = false;
    try {
        if (m_printToFile) {
            ScalePageFont();
            m_outputFile.Create(m_fileName);
            m_fileOutputOpen = true;
        } else {
            StartFreshPageList();
            StartPageInList();
        }
        ScalePageFont();
        m_pageNumber = 1;
        PreparePage();
    } catch (...) {
        // A document that could not be opened is not left open: the properties that are
        // locked while printing (file name, margins) can be corrected at once.
        AbandonDocument();
        throw;
    }
}

void PageDocument::AbandonDocument() {
    m_documentOpen = false;
    m_decoratingPage = false;
    if (m_fileOutputOpen) {
        m_fileOutputOpen = false;
        try {
            m_outputFile.Close();
        } catch (const Exception &) {
            // The error that abandoned the document is the one to report.
        }
    }
    if (!m_printToFile) StartScratchPage();
}

void PageDocument::EndDoc() {
    m_documentOpen = false;
    if (m_printToFile) {
        m_fileOutputOpen = false;
        m_outputFile.Close();
        return;
    }
    FinishCurrentPage();
    StartScratchPage();
    m_pageNumber = PageCount() > 0 ? 1 : 0;
    DocumentChanged(DocumentChange::PageGeometry);
}

int PageDocument::NewPage() {
    if (m_fileOutputOpen) {
        WriteToFile(QStringLiteral("\f") + kLineEnd);
    } else {
        StartPageInList();
    }
    ++m_pageNumber;
    PreparePage();
    return m_pageNumber;
}

int PageDocument::NewLine() {
    m_x = 0;
    m_y += m_lineHeight;
    if (m_fileOutputOpen || m_decoratingPage || m_y + m_lineHeight < TextHeight()) {
        if (m_fileOutputOpen) WriteToFile(kLineEnd);
        ++m_lineNumber;
    } else {
        NewPage();
    }
    FireNewLine();
    return m_lineNumber;
}

void PageDocument::FireNewLine() {
    if (m_onNewLine) m_onNewLine(*this);
}

void PageDocument::Write(const QString &text) {
    const QString expanded = text.contains(u'\t') ? ExpandTabs(text, m_tabSize) : text;
    const int w = m_canvas.TextWidth(expanded);
    if (w > TextWidth() - m_x && expanded.size() > 1) {
        if (m_wordWrap) {
            WrapWrite(expanded);
        } else {
            Write(FitText(expanded, TextWidth() - m_x, m_canvas));
        }
        return;
    }
    if (m_y + m_lineHeight >= TextHeight() && !m_fileOutputOpen) NewPage();
    if (m_fileOutputOpen) {
        WriteToFile(expanded);
    } else {
        m_canvas.TextOut(TextAreaLeft() + m_x, TextAreaTop() + m_y, expanded);
    }
    m_x += w;
}

void PageDocument::WrapWrite(const QString &text) {
    // A blank at a break stays at the start of the next line; the last piece leaves the line open.
    QString rest = text;
    while (!rest.isEmpty()) {
        WrapPiece piece = TakePiece(rest, TextWidth() - m_x, false, m_canvas);
        rest = std::move(piece.rest);
        Write(piece.piece);
        if (!rest.isEmpty()) NewLine();
    }
}

void PageDocument::WriteLine(const QString &text) {
    const QString expanded = text.contains(u'\t') ? ExpandTabs(text, m_tabSize) : text;
    const int w = m_canvas.TextWidth(expanded);
    if (w > TextWidth() && expanded.size() > 1) {
        m_x = 0;
        if (m_wordWrap) {
            WrapWriteLine(expanded);
        } else {
            WriteLine(FitText(expanded, TextWidth(), m_canvas));
        }
        return;
    }
    switch (m_alignment) {
        case taRightJustify:
            m_x = TextWidth() - w;
            break;
        case taCenter:
            m_x = (TextWidth() - w) / 2;
            break;
        case taLeftJustify:
            m_x = 0;
            break;
    }
    if (m_y + m_lineHeight >= TextHeight() && !m_fileOutputOpen) NewPage();
    if (m_fileOutputOpen) {
        WriteBlanksToFile(m_x);
        WriteToFile(expanded);
    } else {
        m_canvas.TextOut(TextAreaLeft() + m_x, TextAreaTop() + m_y, expanded);
    }
    NewLine();
}

void PageDocument::WrapWriteLine(const QString &text) {
    // Each wrapped line is aligned by itself; the blank at a break is dropped.
    QString rest = text;
    while (!rest.isEmpty()) {
        WrapPiece piece = TakePiece(rest, TextWidth() - m_x, true, m_canvas);
        rest = std::move(piece.rest);
        WriteLine(piece.piece);
    }
}

void PageDocument::WriteTableLine(const QString &text) {
    const QStringList specs = SplitAtSeparator(m_tableFormat, m_tokenSeparator);
    QStringList cells = SplitAtSeparator(text, m_tokenSeparator);
    std::vector<ColumnSpec> columns;
    columns.reserve(specs.size());
    for (const QString &entry : specs) columns.push_back(ParseColumnSpec(entry));
    while (cells.size() < specs.size()) cells.append(QString());

    const int innerMargin = DirectResolutionX() / 300 * 6;
    bool firstLine = m_tableGrid;
    for (;;) {
        bool moreText = false;
        m_x = TextAreaLeft();
        for (qsizetype i = 0; i < specs.size(); ++i) {
            const ColumnSpec &column = columns[i];
            const bool cellLines = m_tableGrid && column.width >= 0;
            const int columnWidth = DeviceDotsX(std::abs(column.width));
            QString cell = cells[i];
            if (cell.contains(QStringLiteral("{$"))) cell = ExpandTokens(cell);

            QString piece;
            if (m_wordWrap) {
                WrapPiece wrap = TakePiece(cell, columnWidth, false, m_canvas);
                const qsizetype lineFeed = wrap.piece.indexOf(u'\n');
                if (lineFeed >= 0) {
                    const QString after = wrap.piece.mid(lineFeed + 1);
                    wrap.rest = wrap.rest.isEmpty() ? after : after + u' ' + wrap.rest;
                    wrap.piece.truncate(lineFeed);
                }
                piece = std::move(wrap.piece);
                cells[i] = std::move(wrap.rest);
                if (!cells[i].isEmpty()) moreText = true;
            } else {
                piece = FitText(cell, columnWidth, m_canvas);
                cells[i].clear();
            }

            const int pieceWidth = m_canvas.TextWidth(piece);
            int offset = 0;
            if (column.align == ColumnAlign::Right) {
                offset = columnWidth - pieceWidth;
            } else if (column.align == ColumnAlign::Center) {
                offset = (columnWidth - pieceWidth) / 2;
            }
            if (pieceWidth < columnWidth - innerMargin) {
                if (column.align == ColumnAlign::Right) offset -= innerMargin;
                if (column.align == ColumnAlign::Left) offset += innerMargin;
            }

            if (m_fileOutputOpen) {
                WriteBlanksToFile(offset);
                m_outputFile.Write(piece);
                WriteBlanksToFile(columnWidth - offset - pieceWidth);
                m_outputFile.Flush();
            } else {
                m_canvas.TextOut(m_x + offset, TextAreaTop() + m_y, piece);
            }
            if (cellLines) DrawCellLines(m_x, columnWidth, firstLine, true, false);
            m_x += columnWidth;
        }
        firstLine = false;
        if (!moreText) break;
        NewLine();
    }

    if (m_tableGrid) {
        int x = TextAreaLeft();
        for (const ColumnSpec &column : columns) {
            const int columnWidth = DeviceDotsX(std::abs(column.width));
            if (column.width >= 0) DrawCellLines(x, columnWidth, false, false, true);
            x += columnWidth;
        }
    }
    if (!(m_decoratingPage && !m_fileOutputOpen)) NewLine();
}

void PageDocument::DrawCellLines(int x, int width, bool top, bool sides, bool bottom) {
    // The cell's upper edge sits above the text by the font's external leading, spaced like the
    // lines.
    const int leading = PrinterFontMetrics().ExternalLeading;
    int lift = leading;
    switch (m_lineSpacing) {
        case lsHalfSpace:
            lift = leading / 2;
            break;
        case lsSingleSpace:
            break;
        case lsSingleAndAHalf:
            lift = RoundHalfEven(leading * 1.5);
            break;
        case lsDoubleSpace:
            lift = 2 * leading;
            break;
    }
    const int upper = TextAreaTop() + m_y - lift;
    const int lower = upper + m_lineHeight;
    if (sides) {
        m_canvas.setPenWidth(DirectResolutionX() / 300 * 2);
        m_canvas.Line(x, upper, x, lower);
        m_canvas.Line(x + width, upper, x + width, lower);
    }
    if (top || bottom) {
        m_canvas.setPenWidth(DirectResolutionY() / 300 * 2);
        if (top) m_canvas.Line(x, upper, x + width, upper);
        if (bottom) m_canvas.Line(x, lower, x + width, lower);
    }
}

int PageDocument::DirectResolutionX() const {
    return Printer().GetDeviceCaps(DeviceCap::LOGPIXELSX);
}

int PageDocument::DirectResolutionY() const {
    return Printer().GetDeviceCaps(DeviceCap::LOGPIXELSY);
}

int PageDocument::BlankWidth() const {
    return m_canvas.TextWidth(u" ");
}

void PageDocument::WriteToFile(const QString &text) {
    m_outputFile.Write(text);
    m_outputFile.Flush();
}

void PageDocument::WriteBlanksToFile(int dots) {
    const int blank = BlankWidth();
    if (blank <= 0 || dots < blank) return;
    m_outputFile.Write(QString(dots / blank, u' '));
}

}  // namespace sapidoro
