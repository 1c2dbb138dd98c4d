// Prints a 100-page page printer document to the in-memory printer and to a Qt PDF printer,
// with and without the progress window, beside QTextDocument::print of the same text to the
// same PDF printer. Prints medians over several runs and their ratios; the progress window's
// cost also in the process's processor time, which other programs on a busy machine disturb
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

// Runs `work` and returns the processor time the process spent on it, in milliseconds: Qt's
// painting hands parts of its work to threads of its own, which count too.
double CpuTime(const std::function<void()> &work) {
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
}

// Elapsed and processor time of one run.
void TimeBoth(const std::function<void()> &work, std::vector<double> &elapsed,
              std::vector<double> &cpu) {
    double spent = 0;
    elapsed.push_back(Time([&] { spent = CpuTime(work); }));
    cpu.push_back(spent);
}

// One job without and one with the progress window, in turns first, so that neither always
// runs on caches the other has warmed or on a load that has just come or gone.
struct Pair {
    std::vector<double> elapsed, cpu, elapsedProgress, cpuProgress, cpuRatio;
    void Run(TPagePrinter &pp, int run) {
        for (int k = 0; k < 2; ++k) {
            const bool progress = (run + k) % 2 == 1;
            pp.setShowProgress(progress);
            TimeBoth([&] { pp.Print(); }, progress ? elapsedProgress : elapsed,
                     progress ? cpuProgress : cpu);
        }
        cpuRatio.push_back(cpuProgress.back() / cpu.back());
    }
    // The window's cost in processor time: the median of the ratios of neighbouring jobs.
    double CostPercent() const { return 100 * (Median(cpuRatio) - 1); }
};

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
    Pair memoryJobs, pdfJobs;
    std::vector<double> buildAndPdf, qtPrint;
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
        for (int run = 0; run < runs; ++run) memoryJobs.Run(pp, run);
    }
    {
        SetPrinter(std::make_unique<QtPrinter>(PdfPrinter(pdf)));
        TPagePrinter pp;
        pp.setFont(PageFont());
        pp.setMargins(1, 1, 1, 1);
        Build(pp, lines);
        for (int run = 0; run < runs; ++run) {
            pdfJobs.Run(pp, run);
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

    const double m = Median(memoryJobs.elapsed), mp = Median(memoryJobs.elapsedProgress);
    const double p = Median(pdfJobs.elapsed), pp = Median(pdfJobs.elapsedProgress);
    const double bp = Median(buildAndPdf);
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
    std::printf("processor time, PDF job without / with window (ms)  %.2f / %.2f\n",
                Median(pdfJobs.cpu), Median(pdfJobs.cpuProgress));
    std::printf("processor time, memory job without / with window (ms) %.2f / %.2f\n",
                Median(memoryJobs.cpu), Median(memoryJobs.cpuProgress));
    std::printf("progress window cost in processor time, PDF job (%%)    %.1f\n",
                pdfJobs.CostPercent());
    std::printf("progress window cost in processor time, memory job (%%) %.1f\n",
                memoryJobs.CostPercent());
    return 0;
}
