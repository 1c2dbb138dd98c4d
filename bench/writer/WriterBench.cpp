// Saving one edited recipe through the writer beside `dd ... bs=4M conv=fsync` copying the same
// file in the same run, and the window's lists after a save made through the editor beside a
// start-up on the new file. Prints medians in milliseconds and the ratios.
//
// usage: writer_bench [root] [runs] [sizes...]   (root "" or none: a temporary folder; sizes
//        default to 100000 1000000; the collection of size n is <root>/<n>/, generated when
//        missing)

#include "app/Unit1.h"
#include "collection/Generator.h"
#include "common/QtText.h"
#include "data/RecipeFile.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

bool g_failed = false;

// Changes the notes in the editor once it is open and saves, noting when "Salva" was pressed.
void SaveInEditor(const QString &notes, Clock::time_point &pressed) {
    QWidget *editor = QApplication::activeModalWidget();
    if (editor == nullptr || editor->objectName() != QStringLiteral("EditorRicetta")) {
        QTimer::singleShot(1, [&pressed, notes] { SaveInEditor(notes, pressed); });
        return;
    }
    editor->findChild<QLineEdit *>(QStringLiteral("CampoNote"))->setText(notes);
    pressed = Clock::now();
    editor->findChild<QDialogButtonBox *>()->buttons().constFirst()->click();
}

void MeasureSize(const std::string &folder, int runs) {
    const std::string path = RecipeFilePath(folder);
    const std::vector<std::string> names = ListRecipeNames(path).names;
    const std::string name = names[names.size() / 2];
    RecipeFields fields = FieldsOf(*FindRecipe(path, name));
    const std::string notes = fields.notes;
    std::vector<double> save, dd, startup, afterSave;
    for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
        dd.push_back(RunPeer(
            {"dd", "if=" + path, "of=" + folder + "copia", "bs=4M", "conv=fsync", "status=none"}));
        std::remove((folder + "copia").c_str());
        fields.notes = notes + (run % 2 ? " (provata)" : "");
        save.push_back(Time([&] { ReplaceRecipe(folder, CurrentIdentity(path), name, fields); }));

        std::unique_ptr<TForm1> form;
        startup.push_back(Time([&] {
            form = std::make_unique<TForm1>(QString::fromStdString(folder), nullptr);
            form->show();
            QApplication::processEvents();
        }));
        auto *results = form->findChild<QComboBox *>(QStringLiteral("RicetteTrovate"));
        results->setCurrentIndex(results->findText(FromCp1252(name)));
        emit results->activated(results->currentIndex());
        Clock::time_point pressed;
        SaveInEditor(QStringLiteral("Provata %1").arg(run), pressed);
        form->findChild<QAction *>(QStringLiteral("ModificaRicetta1"))->trigger();
        QApplication::processEvents();
        afterSave.push_back(Milliseconds(Clock::now() - pressed));
        if (run < 0) save.clear(), dd.clear(), startup.clear(), afterSave.clear();
    }
    const auto size = names.size();
    std::printf("save_one_recipe_%zu %.1f dd_conv_fsync %.1f ratio %.2f\n", size, Median(save),
                Median(dd), Median(save) / Median(dd));
    // The editor's save and the lists made again, beside a start-up on the same file.
    const double lists = Median(afterSave) - Median(save);
    std::printf("window_after_save_%zu %.1f lists %.1f startup %.1f ratio %.2f\n", size,
                Median(afterSave), lists, Median(startup), lists / Median(startup));
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
