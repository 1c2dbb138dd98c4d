#pragma once

#include <QPageLayout>
#include <QString>

class QIODevice;
class QPagedPaintDevice;

namespace sapidoro {

class PageDocument;

// The sheet the page printer lays its pages out on, portrait, without margins: what a
// preview or a PDF of its stored pages shows.
QPageLayout SheetLayout(const PageDocument &document);

// Plays the stored pages onto a paged device (a printer, a preview's printer, a PDF writer)
// one page per sheet, each from the corner of the printable area, scaled from the page
// printer's dots to the device's. The device must paint on the whole sheet (full page).
void PlayStoredPages(const PageDocument &document, QPagedPaintDevice &device);

// Writes the stored pages as a PDF document at the page printer's resolution, titled `title`.
// Raises the error report's exception with the reason when the output cannot be written.
void WriteStoredPagesAsPdf(const PageDocument &document, QIODevice &output, const QString &title);

}  // namespace sapidoro
