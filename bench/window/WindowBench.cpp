// Times the main window's start-up on a large generated collection (the window built
// offscreen with every list filled, then shown) beside one read of the recipe file by
// `cat` and one `rg -c -F ':Ricette'` pass over it, and the drop-down of the result list
// of every recipe. Each figure is the median of several runs; ours and the peers' runs
// alternate so that all see the same machine state.
//
// usage: window_bench [folder] [recipes] [runs]   (folder "" or none: a temporary one)

#include "app/Unit1.h"
#include "collection/Generator.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace sapidoro::bench;

bool g_failed = false;  // an error report or a list that did not drop down

struct Figures {
    std::vector<double> cat, rg, created, shown, dropDown;
};

void RunOnce(const QString &folder, const std::string &recipes, Figures &f) {
    f.cat.push_back(RunPeer({"cat", recipes}));
    f.rg.push_back(RunPeer({"rg", "-c", "-F", ":Ricette", recipes}));

    const auto start = Clock::now();
    auto form = std::make_unique<TForm1>(folder, nullptr);
    f.created.push_back(Milliseconds(Clock::now() - start));
    form->show();
    QApplication::processEvents();
    f.shown.push_back(Milliseconds(Clock::now() - start));

    auto *results = form->findChild<QComboBox *>(QStringLiteral("RicetteTrovate"));
    const auto dropStart = Clock::now();
    results->showPopup();
    QApplication::processEvents();
    f.dropDown.push_back(Milliseconds(Clock::now() - dropStart));
    if (!results->view()->isVisible()) {
        std::fprintf(stderr, "the list did not drop down\n");
        g_failed = true;
    }
    results->hidePopup();
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
    // No folder (or an empty one named): a fresh temporary folder.
    std::string folder = argc > 1 && argv[1][0] != '\0' ? argv[1] : scratch.path().toStdString();
    if (folder.back() != '/') folder += '/';
    const int recipes = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;

    struct stat info {};
    const std::string recipeFile = folder + "ricette.txt";
    if (stat(recipeFile.c_str(), &info) != 0) {
        sapidoro::bench::GenerateCollection(folder, recipes, 1);
        stat(recipeFile.c_str(), &info);
    }
    std::printf("collection: %s (%.1f MB)\n", recipeFile.c_str(), info.st_size / 1e6);

    Figures f;
    const QString qfolder = QString::fromStdString(folder);
    RunOnce(qfolder, recipeFile, f);  // warms the page cache and the fonts
    f = {};
    for (int i = 0; i < runs; ++i) RunOnce(qfolder, recipeFile, f);

    const double rg = Median(f.rg);
    std::printf("peer cat ricette.txt > /dev/null: %.1f ms\n", Median(f.cat));
    std::printf("peer rg -c -F ':Ricette' ricette.txt: %.1f ms\n", rg);
    std::printf("start-up, TForm1 built with every list filled: %.1f ms (%.2f x rg)\n",
                Median(f.created), Median(f.created) / rg);
    std::printf("start-up, TForm1 built and shown: %.1f ms (%.2f x rg)\n", Median(f.shown),
                Median(f.shown) / rg);
    std::printf("drop-down of RicetteTrovate (every recipe): %.2f ms\n", Median(f.dropDown));
    std::printf("runs: %d (medians)\n", runs);
    return g_failed ? 1 : 0;
}
