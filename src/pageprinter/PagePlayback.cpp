#include "pageprinter/PagePlayback.h"

#include "pageprinter/PageDocument.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace sapidoro {

QPageLayout SheetLayout(const PageDocument &document) {
    // The sheet in printer dots, as the pages were measured against it.
    const double widthInches =
        static_cast<double>(document.DeviceDotsX(document.PageWidth())) / document.ResolutionX();
    const double heightInches =
        static_cast<double>(document.DeviceDotsY(document.PageHeight())) / document.ResolutionY();
    const QPageSize size(QSizeF(widthInches, heightInches), QPageSize::Inch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

void PlayStoredPages(const PageDocument &document, QPagedPaintDevice &device) {
    const int pages = document.PageCount();
    if (pages == 0) return;
    QPainter painter(&device);
    if (!painter.isActive()) throw Exception("Impossibile disegnare le pagine sul dispositivo");
    painter.scale(static_cast<double>(device.logicalDpiX()) / document.ResolutionX(),
                  static_cast<double>(device.logicalDpiY()) / document.ResolutionY());
    const QPoint printableCorner(document.DeviceDotsX(document.PrintableOffsetX()),
                                 document.DeviceDotsY(document.PrintableOffsetY()));
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) device.newPage();
        document.Page(page).Play(painter, printableCorner);
    }
}

void WriteStoredPagesAsPdf(const PageDocument &document, QIODevice &output, const QString &title) {
    QPdfWriter writer(&output);
    writer.setResolution(document.ResolutionX());
    writer.setPageLayout(SheetLayout(document));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Sapidoro 1.3"));
    PlayStoredPages(document, writer);
}

}  // namespace sapidoro
