// Times the week's menu on a long plan over a large generated collection: the plan's file
// read, the shown week found and its calories summed (each recipe looked up through the main
// window's catalog), as the menu's window does when it opens; beside the main window's pick
// of one recipe on the same collection, in the same run.
//
// usage: menu_bench [folder] [recipes] [runs] [days]   (folder "" or none: a temporary one)

#include "app/Unit1.h"
#include "collection/BenchRandom.h"
#include "collection/Generator.h"
#include "common/QtText.h"
#include "menu/MenuCalories.h"
#include "menu/MenuStore.h"
#include "search/NameCatalog.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace sapidoro;
using namespace sapidoro::bench;

bool g_failed = false;  // an error report

struct Spread {
    double median, low, high;
};

Spread SpreadOf(const std::vector<double> &values) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return {Median(values), *low, *high};
}

void Report(const char *what, const std::vector<double> &values) {
    const Spread s = SpreadOf(values);
    std::printf("%-44s median %7.2f ms  (min %.2f, max %.2f)\n", what, s.median, s.low, s.high);
}

// A plan of `days` days centred on `today`: breakfast, lunch and dinner, one to three
// recipes each (about 20,000 entries over ten years), named from the collection.
MenuPlan GeneratePlan(const NameCatalog &catalog, QDate today, int days) {
    Random random(1, 0x4D454E55);
    MenuPlan plan;
    const QDate first = today.addDays(-days / 2);
    for (int day = 0; day < days; ++day) {
        for (const Meal meal : {Meal::Colazione, Meal::Pranzo, Meal::Cena}) {
            const int count = random.between(1, meal == Meal::Colazione ? 2 : 3);
            for (int i = 0; i < count; ++i) {
                const auto rank = static_cast<std::uint32_t>(random.below(catalog.size()));
                plan.Add({first.addDays(day), meal}, std::string(catalog.name(rank)),
                         random.between(1, 6));
            }
        }
    }
    return plan;
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
    const int recipes = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 9;
    const int days = argc > 4 ? std::atoi(argv[4]) : 3650;
    const std::string recipeFile = folder + "ricette.txt";
    if (!QFile::exists(QString::fromStdString(recipeFile)))
        bench::GenerateCollection(folder, recipes, 1);
    // The pick shows the fallback picture; the generated collection has none.
    QDir().mkpath(QString::fromStdString(folder + "immagini"));
    QFile::copy(QStringLiteral(SAPIDORO_SAMPLE_PICTURE),
                QString::fromStdString(folder + "immagini/noimage.jpg"));

    // The main window on the collection, as the menu's window finds it: its catalog built.
    TForm1 form(QString::fromStdString(folder), nullptr);
    form.show();
    const NameCatalog catalog = NameCatalog::List(recipeFile);
    const QDate today = QDate::currentDate();
    const QString planPath = scratch.path() + QStringLiteral("/menu/piano.txt");
    SaveMenuPlan(planPath, GeneratePlan(catalog, today, days), folder);
    std::printf("collection: %s (%.1f MB, %zu recipes); plan: %d days, %.2f MB\n",
                recipeFile.c_str(), QFile(QString::fromStdString(recipeFile)).size() / 1e6,
                catalog.size(), days, QFile(planPath).size() / 1e6);

    // The catalog builds its name index on the first lookup, once per collection load; the
    // main window's first pick pays it too. Timed apart, so that the runs show the menu's own.
    const double nameIndex = Time([&] { catalog.firstRecordOf(catalog.name(0)); });
    std::vector<double> load, week, total, pick;
    std::size_t entries = 0;
    double firstTotal = 0;  // the process's first load, its caches and allocator still cold
    double firstPick = 0;   // the window's first pick, which builds its own catalog's index
    std::int64_t average = 0;
    auto *results = form.findChild<QComboBox *>(QStringLiteral("RicetteTrovate"));
    auto *persons = form.findChild<QWidget *>(QStringLiteral("Persone"));
    for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
        LoadedMenuPlan loaded;
        WeekCalories calories;
        const auto start = Clock::now();
        load.push_back(Time([&] { loaded = LoadMenuPlan(planPath); }));
        week.push_back(Time([&] {
            MenuCalorieCalculator calculator(
                {CollectionRecipeFinder(recipeFile, &catalog), folder + "ing.txt", false});
            calories = calculator.Week(loaded.plan, today);
        }));
        total.push_back(Milliseconds(Clock::now() - start));
        if (!loaded.damage.isEmpty()) {
            std::fprintf(stderr, "error: %s\n", qPrintable(loaded.damage));
            return 1;
        }
        entries = loaded.plan.size();
        average = calories.averagePerDay;

        // The main window's pick of a recipe of the shown week, the spinner elsewhere first.
        const std::vector<MenuEntry> shown = loaded.plan.Week(today);
        const int row = results->findText(
            FromCp1252(shown[static_cast<std::size_t>(run + 1) % shown.size()].item.recipe));
        persons->setProperty("value", 77);
        pick.push_back(Time([&] {
            results->setCurrentIndex(row);
            emit results->activated(row);
        }));
        if (run < 0) firstTotal = total.back(), firstPick = pick.back();
        if (run < 0) load.clear(), week.clear(), total.clear(), pick.clear();
    }
    std::printf("plan entries: %zu; shown week's average: %lld calories per person per day\n",
                entries, static_cast<long long>(average));
    Report("plan file read", load);
    Report("shown week and its calories", week);
    Report("plan file to the week's calories (target 100)", total);
    std::printf("%-44s %7.2f ms\n", "the same, first in the process", firstTotal);
    std::printf("%-44s %7.2f ms\n", "catalog's name index (once per collection)", nameIndex);
    Report("main window: pick of one recipe", pick);
    std::printf("%-44s %7.2f ms\n", "the same, first in the process", firstPick);
    double loads[3] = {0, 0, 0};
    getloadavg(loads, 3);
    std::printf("runs: %d; load average %.2f %.2f %.2f\n", runs, loads[0], loads[1], loads[2]);
    return g_failed ? 1 : 0;
}
