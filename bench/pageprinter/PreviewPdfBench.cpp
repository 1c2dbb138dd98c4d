// A 30-page recipe printout laid out by the page printer (on an in-memory 300 dpi A4 printer),
// then opened in a print preview with its first page rendered, and exported to PDF; beside
// the same text through QTextDocument into QPrintPreviewWidget and QPdfWriter on the same sheet.
// Prints the median of several runs of each road and their ratio.
//
// Usage: pageprinter_preview_bench [runs]
#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePlayback.h"
#include "pageprinter/PagePrnt.h"
#include "timing/BenchTiming.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

// The labelled lines of a long recipe: about 30 pages at 15 points.
QStringList RecipeLines() {
    QStringList lines = {"NOME: Timballo di maccheroni alla napoletana",
                         "PIATTO: Primo",
                         "INGREDIENTE PRINCIPALE: Pasta",
                         "PERSONE: 8",
                         "CALORIE PER PERSONA: 912",
                         "NOTE: Napoli",
                         "INGREDIENTI: "};
    for (int i = 1; i <= 190; ++i)
        lines << QString("%1 g ==== ingrediente numero %2 della ricetta").arg(i * 5).arg(i);
    lines << "PREPARAZIONE: ";
    for (int i = 1; i <= 690; ++i)
        lines << QString("Passo %1: mescolare con cura, poi lasciar riposare il composto.").arg(i);
    return lines;
}

void Compose(TPagePrinter &pp, const QStringList &lines) {
    pp.BeginDoc();
    pp.NewLine();
    pp.NewLine();
    QFont font = pp.font();
    font.setPointSize(16);
    font.setBold(true);
    pp.setFont(font);
    pp.Write(lines[0]);
    font.setBold(false);
    pp.setFont(font);
    pp.NewLine();
    pp.NewLine();
    font.setPointSize(15);
    pp.setFont(font);
    for (qsizetype i = 1; i < lines.size(); ++i) pp.WriteLine(lines[i]);
    pp.EndDoc();
}

QTextDocument *PeerDocument(const QStringList &lines, QObject *parent) {
    auto *doc = new QTextDocument(parent);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(15);
    doc->setDefaultFont(font);
    doc->setPlainText(lines.join(u'\n'));
    return doc;
}

void FirstPageOfPreview(QPrintPreviewWidget &preview) {
    preview.resize(800, 1000);
    preview.updatePreview();
    QImage image(800, 1000, QImage::Format_RGB32);
    preview.render(&image);
}

}  // namespace

int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    SetPrinter(
        std::make_unique<TMemoryPrinter>(TMemoryPrinter::Sheet{300, 300, 2480, 3508, 71, 71}));
    const QStringList lines = RecipeLines();
    TPagePrinter pp;
    pp.setMargins(1.0 / 6, 1.0 / 6, 71.0 / 300, 71.0 / 300);

    std::vector<double> ownPreview, peerPreview, ownPdf, peerPdf;
    int pages = 0, peerPages = 0;
    for (int run = 0; run < runs; ++run) {
        ownPreview.push_back(Time([&] {
            Compose(pp, lines);
            QPrinter printer(QPrinter::HighResolution);
            printer.setFullPage(true);
            printer.setPageLayout(SheetLayout(pp.Document()));
            QPrintPreviewWidget preview(&printer);
            QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                             [&](QPrinter *target) { PlayStoredPages(pp.Document(), *target); });
            FirstPageOfPreview(preview);
            pages = preview.pageCount();
        }));
        peerPreview.push_back(Time([&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setPageLayout(SheetLayout(pp.Document()));
            QObject owner;
            QTextDocument *doc = PeerDocument(lines, &owner);
            QPrintPreviewWidget preview(&printer);
            QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                             [&](QPrinter *target) { doc->print(target); });
            FirstPageOfPreview(preview);
            peerPages = preview.pageCount();
        }));
        ownPdf.push_back(Time([&] {
            Compose(pp, lines);
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            WriteStoredPagesAsPdf(pp.Document(), buffer, QStringLiteral("Timballo"));
        }));
        peerPdf.push_back(Time([&] {
            QObject owner;
            QTextDocument *doc = PeerDocument(lines, &owner);
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setResolution(300);
            writer.setPageLayout(SheetLayout(pp.Document()));
            doc->print(&writer);
        }));
    }
    std::printf("pages: page printer %d, QTextDocument %d\n", pages, peerPages);
    const auto report = [](const char *what, const std::vector<double> &own,
                           const std::vector<double> &peer) {
        const double a = Median(own), b = Median(peer);
        std::printf("%s: page printer %.1f ms, QTextDocument %.1f ms, ratio %.2f\n", what, a, b,
                    a / b);
    };
    report("preview, first page", ownPreview, peerPreview);
    report("PDF export", ownPdf, peerPdf);
    return 0;
}
