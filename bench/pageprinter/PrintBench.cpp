// Prints a 100-page page printer document to the in-memory printer and to a Qt PDF printer,
// with and without the progress window, beside QTextDocument::print of the same text to the
// same PDF printer. Prints medians over several runs and their ratios; the progress window's
// cost also in the thread's processor time, which other programs on a busy machine disturb
// far less than the elapsed time.
//
// Usage: print_bench [runs]
#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePrnt.h"
#include "pageprinter/QtPrinter.h"
#include "timing/BenchTiming.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

constexpr int kTargetPages = 100;

QFont PageFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    return font;
}

// Numbered lines of recipe-like words, about as many as fill `pages` letter pages at 10 points.
QStringList MakeLines(int pages) {
    static const char *const kWords[] = {"farina", "uova",   "zucchero",  "burro",   "latte",
                                         "sale",   "pepe",   "olio",      "aglio",   "cipolla",
                                         "forno",  "minuti", "mescolare", "cuocere", "basta"};
    QStringList lines;
    unsigned state = 1;
    for (int i = 0; i < pages * 64; ++i) {
        QString line = QString::number(i + 1) + u'.';
        for (int w = 0; w < 9; ++w) {
            state = state * 1103515245u + 12345u;
            line += u' ' + QString::fromLatin1(kWords[(state >> 16) % 15]);
        }
        lines << line;
    }
    return lines;
}

std::unique_ptr<QPrinter> PdfPrinter(const QString &path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    return printer;
}

// Runs `work` and returns the processor time this thread spent on it, in milliseconds.
double CpuTime(const std::function<void()> &work) {
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
}

// Elapsed and processor time of one run.
void TimeBoth(const std::function<void()> &work, std::vector<double> &elapsed,
              std::vector<double> &cpu) {
    double spent = 0;
    elapsed.push_back(Time([&] { spent = CpuTime(work); }));
    cpu.push_back(spent);
}

void Build(TPagePrinter &pp, const QStringList &lines) {
    pp.BeginDoc();
    for (const QString &line : lines) pp.WriteLine(line);
    pp.EndDoc();
}

}  // namespace

int main(int argc, char **argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("out.pdf"));

    QStringList lines = MakeLines(kTargetPages);
    std::vector<double> memory, memoryProgress, toPdf, toPdfProgress, buildAndPdf, qtPrint;
    std::vector<double> memoryCpu, memoryProgressCpu, toPdfCpu, toPdfProgressCpu;
    int pages = 0;
    int qtPages = 0;
    {
        SetPrinter(std::make_unique<TMemoryPrinter>(TMemoryPrinter::Sheet{}));
        TPagePrinter pp;
        pp.setFont(PageFont());
        pp.setMargins(1, 1, 1, 1);
        while (true) {  // trimmed to exactly the target
            Build(pp, lines);
            if (pp.PageCount() <= kTargetPages) break;
            lines.removeLast();
        }
        pages = pp.PageCount();
        for (int run = 0; run < runs; ++run) {
            pp.setShowProgress(false);
            TimeBoth([&] { pp.Print(); }, memory, memoryCpu);
            pp.setShowProgress(true);
            TimeBoth([&] { pp.Print(); }, memoryProgress, memoryProgressCpu);
        }
    }
    {
        SetPrinter(std::make_unique<QtPrinter>(PdfPrinter(pdf)));
        TPagePrinter pp;
        pp.setFont(PageFont());
        pp.setMargins(1, 1, 1, 1);
        Build(pp, lines);
        for (int run = 0; run < runs; ++run) {
            pp.setShowProgress(false);
            TimeBoth([&] { pp.Print(); }, toPdf, toPdfCpu);
            pp.setShowProgress(true);
            TimeBoth([&] { pp.Print(); }, toPdfProgress, toPdfProgressCpu);
            pp.setShowProgress(false);
            buildAndPdf.push_back(Time([&] {
                Build(pp, lines);
                pp.Print();
            }));
        }
    }
    {
        const std::unique_ptr<QPrinter> printer = PdfPrinter(pdf);
        printer->setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
        for (int run = 0; run < runs; ++run) {
            qtPrint.push_back(Time([&] {
                QTextDocument document;
                document.setDefaultFont(PageFont());
                document.setPlainText(lines.join(u'\n'));
                document.print(printer.get());
            }));
        }
        QTextDocument document;
        document.setDefaultFont(PageFont());
        document.setPlainText(lines.join(u'\n'));
        document.documentLayout()->setPaintDevice(printer.get());
        document.setPageSize(printer->pageRect(QPrinter::DevicePixel).size());
        qtPages = document.pageCount();
    }

    const double m = Median(memory), mp = Median(memoryProgress);
    const double p = Median(toPdf), pp = Median(toPdfProgress), bp = Median(buildAndPdf);
    const double q = Median(qtPrint);
    std::printf("lines %lld, page printer pages %d, QTextDocument pages about %d, %d runs\n",
                static_cast<long long>(lines.size()), pages, qtPages, runs);
    std::printf("Print to memory printer (median ms)                  %.2f\n", m);
    std::printf("Print to memory printer, progress window (median ms) %.2f\n", mp);
    std::printf("Print to PDF printer (median ms)                     %.2f\n", p);
    std::printf("Print to PDF printer, progress window (median ms)    %.2f\n", pp);
    std::printf("build document + Print to PDF printer (median ms)    %.2f\n", bp);
    std::printf("QTextDocument::print to PDF printer (median ms)      %.2f\n", q);
    std::printf("ratio QTextDocument::print / Print to PDF            %.2f\n", q / p);
    std::printf("ratio QTextDocument::print / build + Print to PDF    %.2f\n", q / bp);
    std::printf("progress window cost, PDF job (%%)                    %.1f\n", 100 * (pp - p) / p);
    std::printf("progress window cost, memory job (%%)                 %.1f\n", 100 * (mp - m) / m);
    const double pc = Median(toPdfCpu), ppc = Median(toPdfProgressCpu);
    const double mc = Median(memoryCpu), mpc = Median(memoryProgressCpu);
    std::printf("processor time, PDF job without / with window (ms)  %.2f / %.2f\n", pc, ppc);
    std::printf("processor time, memory job without / with window (ms) %.2f / %.2f\n", mc, mpc);
    std::printf("progress window cost in processor time, PDF job (%%)    %.1f\n",
                100 * (ppc - pc) / pc);
    std::printf("progress window cost in processor time, memory job (%%) %.1f\n",
                100 * (mpc - mc) / mc);
    return 0;
}
