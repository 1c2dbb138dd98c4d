// Times the main window's handlers on a large generated collection: each scope's search
// from the complete list (a click on `Ricerche`), the same search through the engine alone,
// with and without the progress bar, the reset, and the pick of the last recipe of the file
// beside the engine's lookup and calories. The peer of every scan is one `rg -c -i -F` pass
// with the same search string over the same file; ours and the peer's runs alternate.
//
// usage: handlers_bench [folder] [recipes] [runs]   (folder "" or none: a temporary one)

#include "app/ScanProgress.h"
#include "app/Unit1.h"
#include "collection/Generator.h"
#include "common/QtText.h"
#include "data/RecipeFile.h"
#include "search/Search.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"
#include "view/Calories.h"
#include "widgets/ProgressBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace sapidoro;
using namespace sapidoro::bench;

bool g_failed = false;  // an error report

struct Scenario {
    const char *scope;
    const char *searchString;
    SearchScope engineScope;
};

template <class Control>
Control *Child(const TForm1 &form, const char *name) {
    return form.findChild<Control *>(QString::fromLatin1(name));
}

}  // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const sapidoro::test::ErrorReports reports([](const QString &message) {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        g_failed = true;
    });

    QTemporaryDir scratch;
    std::string folder = argc > 1 && argv[1][0] != '\0' ? argv[1] : scratch.path().toStdString();
    if (folder.back() != '/') folder += '/';
    const int recipes = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    const std::string recipeFile = folder + "ricette.txt";
    if (!QFile::exists(QString::fromStdString(recipeFile)))
        bench::GenerateCollection(folder, recipes, 1);
    // The pick shows the fallback picture; the generated collection has none.
    QDir().mkpath(QString::fromStdString(folder + "immagini"));
    QFile::copy(QStringLiteral(SAPIDORO_SAMPLE_PICTURE),
                QString::fromStdString(folder + "immagini/noimage.jpg"));

    TForm1 form(QString::fromStdString(folder), nullptr);
    form.show();
    auto *results = Child<QComboBox>(form, "RicetteTrovate");
    auto *scope = Child<QComboBox>(form, "SelezioneAmbitoRicerca");
    auto *searchBox = Child<QComboBox>(form, "StringaDaCercare");
    auto *search = Child<QAbstractButton>(form, "Ricerche");
    auto *reset = Child<QAbstractButton>(form, "Inizializzazione");
    // Searches from the complete list find more than 2000 recipes: offer them all.
    Child<QCheckBox>(form, "CheckBox1")->setChecked(false);
    std::vector<std::string> complete;
    for (int i = 0; i < results->count(); ++i) complete.push_back(ToCp1252(results->itemText(i)));
    std::printf("collection: %s (%.1f MB, %zu recipes)\n", recipeFile.c_str(),
                QFile(QString::fromStdString(recipeFile)).size() / 1e6, complete.size());

    ProgressBar bar;
    bar.resize(184, 16);
    bar.show();
    const Scenario scenarios[] = {{"Ingredienti", "past", SearchScope::Ingredienti},
                                  {"Luogo", "Roma", SearchScope::Luogo},
                                  {"Nome", "pollo", SearchScope::Nome},
                                  {"Persone", "4", SearchScope::Persone},
                                  {"Piatto", "Primo", SearchScope::Piatto},
                                  {"Ricetta Adatta A", "bambini", SearchScope::RicettaAdattaA}};
    for (const Scenario &s : scenarios) {
        std::vector<double> engine, withBar, window, peer;
        std::size_t found = 0;
        for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
            peer.push_back(RunPeer({"rg", "-c", "-i", "-F", s.searchString, recipeFile}));
            engine.push_back(Time([&] {
                found =
                    SearchRecipes(recipeFile, s.engineScope, s.searchString, complete, true).size();
            }));
            withBar.push_back(Time([&] {
                bar.setRange(0, static_cast<int>(complete.size()));
                bar.setValue(0);
                ScanProgress progress(&bar);
                SearchRecipes(recipeFile, s.engineScope, s.searchString, complete, true,
                              [&progress] { progress.advance(); });
            }));
            reset->click();
            scope->setEditText(QString::fromLatin1(s.scope));
            searchBox->setEditText(QString::fromLatin1(s.searchString));
            window.push_back(Time([&] { search->click(); }));
            results->hidePopup();
            if (run < 0) engine.clear(), withBar.clear(), window.clear(), peer.clear();
        }
        const double rg = Median(peer);
        std::printf(
            "search %-16s \"%s\" (%zu found): engine %.1f ms (%.2f x rg), engine + progress bar "
            "%.1f ms (%+.1f %%), window click %.1f ms (%.2f x rg); rg -c -i -F %.1f ms\n",
            s.scope, s.searchString, found, Median(engine), Median(engine) / rg, Median(withBar),
            100 * (Median(withBar) - Median(engine)) / Median(engine), Median(window),
            Median(window) / rg, rg);
    }

    // The reset after a search that narrowed the list.
    std::vector<double> resets;
    for (int run = 0; run < runs; ++run) {
        scope->setEditText(QStringLiteral("Nome"));
        searchBox->setEditText(QStringLiteral("pollo"));
        search->click();
        results->hidePopup();
        resets.push_back(Time([&] { reset->click(); }));
    }
    std::printf("reset after a narrowing search: %.1f ms\n", Median(resets));

    // The pick of the last recipe of the file; the spinner starts elsewhere, so that the load
    // also sets it to the record's value.
    const std::string last = ListRecipeNames(recipeFile).names.back();
    const int row = results->findText(FromCp1252(last));
    auto *persons = Child<QWidget>(form, "Persone");
    std::vector<double> engine, window, peer;
    for (int run = -1; run < runs; ++run) {
        peer.push_back(RunPeer({"rg", "-c", "-F", last, recipeFile}));
        engine.push_back(Time([&] {
            const auto record = FindRecipe(recipeFile, last);
            CalorieTotals totals;
            ComputeCalories(folder + "ing.txt", record->ingredients, totals,
                            [](const std::string &) {});
        }));
        reset->click();
        persons->setProperty("value", 77);
        window.push_back(Time([&] {
            results->setCurrentIndex(row);
            emit results->activated(row);
        }));
        if (run < 0) engine.clear(), window.clear(), peer.clear();
    }
    const double rg = Median(peer);
    std::printf(
        "pick the last recipe: engine lookup + calories %.1f ms (%.2f x rg), window pick %.1f ms "
        "(%.2f x rg); rg -c -F <name> %.1f ms\n",
        Median(engine), Median(engine) / rg, Median(window), Median(window) / rg, rg);
    std::printf("runs: %d (medians)\n", runs);
    return g_failed ? 1 : 0;
}
