// Saving one edited recipe through the writer beside `dd ... bs=4M conv=fsync` copying the same
// file in the same run, and the window's lists after the save (the reload the editor runs,
// the saved recipe shown) beside a start-up on the new file. Prints medians in milliseconds
// and the ratios.
//
// usage: writer_bench [root] [runs] [sizes...]   (root "" or none: a temporary folder; sizes
//        default to 100000 1000000; the collection of size n is <root>/<n>/, generated when
//        missing)

#include "app/Unit1.h"
#include "collection/Generator.h"
#include "data/RecipeFile.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

bool g_failed = false;

void MeasureSize(const std::string &folder, int runs) {
    const std::string path = RecipeFilePath(folder);
    const std::vector<std::string> names = ListRecipeNames(path).names;
    const std::string name = names[names.size() / 2];
    RecipeFields fields = FieldsOf(*FindRecipe(path, name));
    const std::string notes = fields.notes;
    const QString qfolder = QString::fromStdString(folder);
    // The window the user edits in, showing the recipe saved.
    TForm1 window(qfolder, nullptr);
    window.show();
    std::vector<double> save, dd, lists, startup;
    for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
        dd.push_back(RunPeer(
            {"dd", "if=" + path, "of=" + folder + "copia", "bs=4M", "conv=fsync", "status=none"}));
        std::remove((folder + "copia").c_str());
        fields.notes = notes + (run % 2 ? " (provata)" : "");
        save.push_back(Time([&] { ReplaceRecipe(folder, CurrentIdentity(path), name, fields); }));
        // What the editor does after its save: the lists read again, the recipe shown.
        lists.push_back(Time([&] {
            window.ReloadCollection(name);
            QApplication::processEvents();
        }));
        std::unique_ptr<TForm1> fresh;
        startup.push_back(Time([&] {
            fresh = std::make_unique<TForm1>(qfolder, nullptr);
            fresh->show();
            QApplication::processEvents();
        }));
        fresh.reset();
        if (run < 0) save.clear(), dd.clear(), lists.clear(), startup.clear();
    }
    const std::size_t size = names.size();
    std::printf("save_one_recipe_%zu %.1f dd_conv_fsync %.1f ratio %.2f\n", size, Median(save),
                Median(dd), Median(save) / Median(dd));
    std::printf("lists_after_save_%zu %.1f startup %.1f ratio %.2f\n", size, Median(lists),
                Median(startup), Median(lists) / Median(startup));
}

}  // namespace

int main(int argc, char **argv) {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication application(argc, argv);
    const sapidoro::test::ErrorReports reports([](const QString &message) {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        g_failed = true;
    });
    QTemporaryDir temporary;
    std::string root = argc > 1 && argv[1][0] != '\0' ? argv[1] : temporary.path().toStdString();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};
    for (int size : sizes) {
        const std::string folder = root + "/" + std::to_string(size) + "/";
        if (!QFileInfo::exists(QString::fromStdString(folder + "ricette.txt"))) {
            QDir().mkpath(QString::fromStdString(folder));
            GenerateCollection(folder, size, 1);
        }
        // The pick shows the picture of a recipe without one.
        QDir().mkpath(QString::fromStdString(folder + "immagini"));
        QFile::copy(QStringLiteral(SAPIDORO_SAMPLE_DATA "immagini/noimage.jpg"),
                    QString::fromStdString(folder + "immagini/noimage.jpg"));
        MeasureSize(folder, runs);
    }
    return g_failed ? 1 : 0;
}
