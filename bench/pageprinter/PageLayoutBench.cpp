// Lays out a 100-page document of mixed text (word-wrapped paragraphs, tabbed lines, table
// rows) with the page printer on an in-memory 600 dpi printer, and the same text with
// QTextDocument on pages of the same size; both paint their pages onto a recording device.
// Prints the median of several runs of each and their ratio.
//
// Usage: pageprinter_bench [runs]
#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePrnt.h"
#include "pageprinter/RecordingDevice.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace sapidoro;

namespace {

constexpr int kDpi = 600;
constexpr int kTargetPages = 100;

struct Item {
    enum Kind { Paragraph, Tabbed, TableRow };
    Kind kind;
    QString text;
};

// A deterministic stream of Italian-looking words.
class Words {
public:
    QString Next() {
        static const char *const kWords[] = {
            "farina",     "uova",       "zucchero",
            "burro",      "latte",      "sale",
            "pepe",       "olio",       "aglio",
            "cipolla",    "pomodoro",   "basilico",
            "prezzemolo", "mescolare",  "cuocere",
            "forno",      "padella",    "minuti",
            "lentamente", "aggiungere", "precipitevolissimevolmente",
            "e",          "a",          "di",
            "con",        "il",         "la",
            "per",        "quanto",     "basta"};
        m_state = m_state * 1103515245u + 12345u;
        return QString::fromLatin1(kWords[(m_state >> 16) % (sizeof kWords / sizeof *kWords)]);
    }

private:
    unsigned m_state = 1;
};

std::vector<Item> MakeItems(int count) {
    Words words;
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        Item item;
        const int kind = i % 10;
        if (kind < 5) {
            item.kind = Item::Paragraph;
            const int length = 40 + (i * 37) % 90;
            for (int w = 0; w < length; ++w)
                item.text += (w ? QStringLiteral(" ") : QString()) + words.Next();
        } else if (kind < 7) {
            item.kind = Item::Tabbed;
            item.text =
                words.Next() + u'\t' + words.Next() + QStringLiteral("\t\t") + QString::number(i);
        } else {
            item.kind = Item::TableRow;
            item.text = words.Next() + u' ' + words.Next() + u'|' + QString::number(i * 7) + u'|' +
                        words.Next() + u' ' + words.Next() + u' ' + words.Next();
        }
        items.push_back(item);
    }
    return items;
}

QFont PageFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    return font;
}

void WriteWithPagePrinter(TPagePrinter &pp, const std::vector<Item> &items) {
    pp.BeginDoc();
    for (const Item &item : items) {
        if (item.kind == Item::TableRow) {
            pp.WriteTableLine(item.text);
        } else {
            pp.WriteLine(item.text);
        }
    }
    pp.EndDoc();
}

// The same text as one QTextDocument: table rows become tab-separated lines.
QString DocumentText(const std::vector<Item> &items) {
    QString text;
    for (const Item &item : items) {
        QString line = item.text;
        if (item.kind == Item::TableRow) line.replace(u'|', u'\t');
        text += line + u'\n';
    }
    return text;
}

double Milliseconds(const std::function<void()> &work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    TMemoryPrinter::Sheet sheet{kDpi, kDpi, kDpi * 17 / 2, kDpi * 11, kDpi / 4, kDpi / 4};
    SetPrinter(std::make_unique<TMemoryPrinter>(sheet));
    TPagePrinter pp;
    pp.setFont(PageFont());
    pp.setMargins(1, 1, 1, 1);
    pp.setTableFormat(QStringLiteral("2.5|>1|^3"));

    // Find how many items fill 100 pages.
    std::vector<Item> items;
    for (int count = 100;; count += 100) {
        items = MakeItems(count);
        WriteWithPagePrinter(pp, items);
        if (pp.PageCount() >= kTargetPages) break;
    }
    while (items.size() > 1) {
        items.pop_back();
        WriteWithPagePrinter(pp, items);
        if (pp.PageCount() < kTargetPages) {
            items = MakeItems(static_cast<int>(items.size()) + 1);
            break;
        }
    }
    WriteWithPagePrinter(pp, items);
    const int pages = pp.PageCount();
    const int width = pp.TextWidth();
    const int height = pp.TextHeight();

    QFont documentFont = PageFont();
    documentFont.setPixelSize(MulDiv(10, kDpi, 72));
    documentFont.setHintingPreference(QFont::PreferFullHinting);
    const QString documentText = DocumentText(items);
    const qreal blank = pp.PageCanvas().TextWidth(u" ");

    DotsDevice device(kDpi, kDpi, width, height);
    std::vector<double> layoutOnly, layoutAndPaint, peer;
    int peerPages = 0;
    for (int run = 0; run < runs; ++run) {
        layoutOnly.push_back(Milliseconds([&] { WriteWithPagePrinter(pp, items); }));
        layoutAndPaint.push_back(Milliseconds([&] {
            WriteWithPagePrinter(pp, items);
            for (int page = 1; page <= pp.PageCount(); ++page) {
                QPainter painter(&device);
                pp.Page(page).Play(painter);
            }
            device.ClearCalls();
        }));
        peer.push_back(Milliseconds([&] {
            QTextDocument document;
            document.setDefaultFont(documentFont);
            document.setDocumentMargin(0);
            QTextOption option = document.defaultTextOption();
            option.setTabStopDistance(8 * blank);
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            document.setDefaultTextOption(option);
            document.setPlainText(documentText);
            // Lines advance by the page printer's line height, so both fill the same pages.
            QTextCursor cursor(&document);
            cursor.select(QTextCursor::Document);
            QTextBlockFormat spacing;
            spacing.setLineHeight(pp.LineHeight(), QTextBlockFormat::FixedHeight);
            cursor.mergeBlockFormat(spacing);
            document.setPageSize(QSizeF(width, height));
            peerPages = document.pageCount();
            for (int page = 0; page < peerPages; ++page) {
                QPainter painter(&device);
                painter.translate(0, -page * height);
                document.drawContents(&painter, QRectF(0, page * height, width, height));
            }
            device.ClearCalls();
        }));
    }

    const double ours = Median(layoutAndPaint);
    const double theirs = Median(peer);
    std::printf("items %zu, page printer pages %d, QTextDocument pages %d, %d runs, %d dpi\n",
                items.size(), pages, peerPages, runs, kDpi);
    std::printf("pageprinter layout (median ms)              %.2f\n", Median(layoutOnly));
    std::printf("pageprinter layout + paint (median ms)      %.2f\n", ours);
    std::printf("QTextDocument layout + paint (median ms)    %.2f\n", theirs);
    std::printf("ratio QTextDocument / pageprinter           %.2f\n", theirs / ours);
    return 0;
}
