// Times fresh processes from their spawn to their exit right after the main window is
// painted with every list filled: with a valid name cache, without one (the walk), and an
// empty Qt window's start-up (the floor), beside one `rg -c -F ':Ricette'` pass over the
// same file. The runs of the four alternate, so that all meet the same machine state; each
// figure is a median, given with its lowest and highest value and the load average.
//
// usage: name_cache_bench [root] [runs] [sizes...]   (root "" or none: a temporary folder)

#include "app/Translations.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "cache/NameCache.h"
#include "collection/Generator.h"
#include "search/NameCatalog.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QWindow>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sapidoro::bench;
using sapidoro::TForm1;

namespace {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(const QWidget &window) : m_window(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == &m_window)
            ++paints;
        return false;
    }

private:
    const QWidget &m_window;
};

bool ListsFilled(const QWidget &form) {
    const auto count = [&](const char *name) {
        return form.findChild<QComboBox *>(QString::fromLatin1(name))->count();
    };
    const int names = count("Nome");
    return names > 0 && count("RicetteTrovate") == names && count("RicetteTrovateScambio") == names;
}

// Shows `window` and leaves the process as soon as it is painted and `ready` holds; the
// teardown is left out, as a user does not wait for it.
template <class Ready>
int ShowAndLeave(QWidget &window, Ready ready) {
    const PaintCounter counter(window);
    window.showMaximized();
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (!(counter.paints > 0 && window.windowHandle()->isExposed() && ready())) {
        if (Clock::now() > deadline) return 1;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    std::fflush(stdout);
    ::_exit(0);
}

int Probe(int argc, char **argv, const std::string &mode, const std::string &folder) {
    QApplication application(argc, argv);
    if (mode == "--empty") {
        QWidget window;
        return ShowAndLeave(window, [] { return true; });
    }
    QApplication::setApplicationName(sapidoro::UiText(sapidoro::kApplicationTitle));
    sapidoro::InstallItalianTranslations();
    bool failed = false;
    const sapidoro::test::ErrorReports reports([&](const QString &message) {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        failed = true;
    });
    TForm1 form(QString::fromStdString(folder), nullptr);
    if (failed) return 1;
    return ShowAndLeave(form, [&] { return ListsFilled(form); });
}

// Runs this program with `args` and `cacheHome` as its cache folder; its wall time.
double RunSelf(const char *self, const std::vector<std::string> &args,
               const std::string &cacheHome) {
    std::vector<std::string> env;
    for (char **e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("XDG_CACHE_HOME=", 0) != 0) env.emplace_back(*e);
    env.push_back("XDG_CACHE_HOME=" + cacheHome);
    std::vector<char *> envp, argvs = {const_cast<char *>(self)};
    for (std::string &e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    for (const std::string &a : args) argvs.push_back(const_cast<char *>(a.c_str()));
    argvs.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argvs.data(), envp.data()) != 0)
        throw std::runtime_error("cannot run the measuring process");
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = Milliseconds(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("a measuring process failed");
    return ms;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " " + five;
}

void Report(const char *label, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("  %-26s median %8.1f ms   spread %8.1f - %8.1f\n", label, Median(values),
                values.front(), values.back());
}

}  // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    if (argc == 3) {
        const std::string mode = argv[1];
        if (mode == "--empty" || mode == "--startup") return Probe(argc, argv, mode, argv[2]);
    }
    QTemporaryDir scratch;
    std::string root = argc > 1 && argv[1][0] != '\0' ? argv[1] : scratch.path().toStdString();
    if (root.back() != '/') root += '/';
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};

    for (const int size : sizes) {
        const std::string folder = root + std::to_string(size) + "/";
        const std::string recipes = folder + "ricette.txt";
        const std::string withCache = folder + "cache-home", withoutCache = folder + "no-cache";
        QDir().mkpath(QString::fromStdString(folder));
        QDir().mkpath(QString::fromStdString(withoutCache));
        struct stat info {};
        if (stat(recipes.c_str(), &info) != 0) {
            sapidoro::bench::GenerateCollection(folder, size, 1);
            stat(recipes.c_str(), &info);
            ::sleep(4);  // a file written a moment ago gets no cache
        }
        // The cache as the program makes it, in the cache folder the probes are given.
        setenv("XDG_CACHE_HOME", withCache.c_str(), 1);
        {
            QCoreApplication app(argc, argv);
            const std::string cachePath = sapidoro::NameCachePath(folder);
            auto cached = sapidoro::ReadNameCache(cachePath, recipes);
            if (!cached) {
                const std::int64_t walkedAt = sapidoro::NameCacheClock();
                sapidoro::NameCatalog walked = sapidoro::NameCatalog::ListSorted(recipes);
                const double written =
                    Time([&] { sapidoro::WriteNameCache(cachePath, recipes, walked, walkedAt); });
                stat(cachePath.c_str(), &info);
                std::printf("cache written in %.1f ms\n", written);
            }
            struct stat cacheInfo {
            }, fileInfo{};
            stat(cachePath.c_str(), &cacheInfo);
            stat(recipes.c_str(), &fileInfo);
            std::printf("%d recipes: file %.1f MB, cache %.1f MB (%.3fx)\n", size,
                        fileInfo.st_size / 1e6, cacheInfo.st_size / 1e6,
                        double(cacheInfo.st_size) / double(fileInfo.st_size));
            std::unique_ptr<sapidoro::NameCatalog> read;
            const double readMs = Time([&] { read = sapidoro::ReadNameCache(cachePath, recipes); });
            if (!read) {
                std::fprintf(stderr, "no valid cache\n");
                return 1;
            }
            const double textsMs = Time([&] { read->makeDisplayTexts(); });
            // The cache's renewal after a save: the walk on the updater's thread and the write.
            const double renewMs = Time([&] {
                const std::int64_t walkedAt = sapidoro::NameCacheClock();
                sapidoro::NameCatalog walked = sapidoro::NameCatalog::ListSorted(recipes);
                sapidoro::WriteNameCache(cachePath, recipes, walked, walkedAt);
            });
            std::printf(
                "in process: cache read %.1f ms, display texts %.1f ms, renewal (walk, "
                "sort, write) %.1f ms\n",
                readMs, textsMs, renewMs);
        }
        std::vector<double> rg, empty, cached, walked;
        const std::string loadBefore = LoadAverage();
        for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
            rg.push_back(RunPeer({"rg", "-c", "-F", ":Ricette", recipes}));
            empty.push_back(RunSelf(argv[0], {"--empty", folder}, withoutCache));
            cached.push_back(RunSelf(argv[0], {"--startup", folder}, withCache));
            walked.push_back(RunSelf(argv[0], {"--startup", folder}, withoutCache));
            if (run < 0) rg.clear(), empty.clear(), cached.clear(), walked.clear();
        }
        std::printf("load average %s before, %s after; %d runs\n", loadBefore.c_str(),
                    LoadAverage().c_str(), runs);
        Report("rg -c -F ':Ricette'", rg);
        Report("empty Qt window", empty);
        Report("start-up, cache", cached);
        Report("start-up, walk", walked);
        const double rgMedian = Median(rg), floor = Median(empty), ours = Median(cached);
        std::printf("  cache / rg %.2fx; (cache - empty window) / rg %.2fx; walk / rg %.2fx\n",
                    ours / rgMedian, (ours - floor) / rgMedian, Median(walked) / rgMedian);
        std::fflush(stdout);
    }
    return 0;
}
