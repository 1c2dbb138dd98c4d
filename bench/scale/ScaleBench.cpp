// The window-level figures at two collection sizes, each beside ripgrep in the same run:
// start-up to the window shown with every list filled (peer `rg -c -F ':Ricette'`) and each
// scope's search from the complete list, click to list shown (peer `rg -c -i -F <string>`).
// Beside the start-up, the reload (F5) after a one-byte change of the file (peer: the
// start-up's median of the same run). Prints the medians, the ratios to rg, the growth from the
// smaller to the larger size and the memory of each size. Each size runs in a process of its own,
// so that its memory is its own; missing collections are generated first.
//
// usage: scale_bench [root] [runs] [sizes...]   (root "" or none: a temporary folder;
//        sizes default to 100000 1000000; the collection of size n is <root>/<n>/)
//        scale_bench --measure <folder> <runs> [scope]   (one size, figures as "key value"
//        lines; with a scope, that scope's search only, for profiling)

#include "app/ErrorReport.h"
#include "app/Unit1.h"
#include "collection/Generator.h"
#include "support/ErrorReports.h"
#include "timing/BenchTiming.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char **environ;

namespace {

using namespace sapidoro::bench;

struct Scenario {
    const char *scope;
    const char *searchString;
};
constexpr Scenario kScenarios[] = {{"Ingredienti", "past"}, {"Luogo", "Roma"},
                                   {"Nome", "pollo"},       {"Persone", "4"},
                                   {"Piatto", "Primo"},     {"Ricetta Adatta A", "bambini"}};

bool g_failed = false;
std::string g_onlyScope;  // empty: every scope

// Memory of this process now (kB). `anonymous` is what the program holds of its own: no one
// else can use it and the system cannot take it back without swapping. `filePages` are the
// pages of mapped files that only this process maps now (the recipe file's kept mapping among
// them): the system's cache of those files, which it may drop at any time.
struct Memory {
    long anonymous = 0;
    long filePages = 0;
};
Memory MemoryNow() {
    std::ifstream in("/proc/self/smaps_rollup");
    long privatePages = 0, anonymous = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string key;
        long value = 0;
        if (!(fields >> key >> value)) continue;
        if (key == "Private_Clean:" || key == "Private_Dirty:") privatePages += value;
        if (key == "Anonymous:") anonymous = value;
    }
    return {anonymous, privatePages - anonymous};
}
void KeepPeak(Memory &peak) {
    const Memory now = MemoryNow();
    peak.anonymous = std::max(peak.anonymous, now.anonymous);
    peak.filePages = std::max(peak.filePages, now.filePages);
}

// Turns the case of one letter of a preparation line in the middle of the file, in place:
// the file changes, its size and its records stay.
void ChangeOneByte(const std::string &path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::streamoff middle = file.tellg() / 2;
    std::string window(1 << 20, '\0');
    file.seekg(middle);
    file.read(window.data(), static_cast<std::streamsize>(window.size()));
    window.resize(static_cast<std::size_t>(file.gcount()));
    file.clear();
    const std::string marker = "-Preparazione\r\n";
    std::size_t at = window.find(marker);
    while (at != std::string::npos && at + marker.size() < window.size() &&
           !std::isalpha(static_cast<unsigned char>(window[at + marker.size()])))
        at = window.find(marker, at + 1);
    if (at == std::string::npos || at + marker.size() >= window.size())
        throw std::runtime_error("no preparation line to change in " + path);
    at += marker.size();
    file.seekp(middle + static_cast<std::streamoff>(at));
    file.put(static_cast<char>(window[at] ^ 0x20));
    if (!file.flush()) throw std::runtime_error("cannot change " + path);
}

template <class Control>
Control *Child(const TForm1 &form, const char *name) {
    return form.findChild<Control *>(QString::fromLatin1(name));
}

int Measure(int argc, char **argv, const std::string &folder, int runs) {
    // The offscreen platform's notes on every popup would bury the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication application(argc, argv);
    const sapidoro::test::ErrorReports reports([](const QString &message) {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        g_failed = true;
    });
    const std::string recipes = folder + "ricette.txt";
    const QString qfolder = QString::fromStdString(folder);
    Memory peak;
    std::vector<double> startup, freeing, rgStartup, reload;
    for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache and the fonts
        rgStartup.push_back(RunPeer({"rg", "-c", "-F", ":Ricette", recipes}));
        const auto start = Clock::now();
        auto form = std::make_unique<TForm1>(qfolder, nullptr);
        form->show();
        QApplication::processEvents();
        startup.push_back(Milliseconds(Clock::now() - start));
        KeepPeak(peak);
        // The reload (F5) after a one-byte change, on the same file in the same moment.
        ChangeOneByte(recipes);
        reload.push_back(Time([&] {
            Child<QAction>(*form, "Ricarica1")->trigger();
            QApplication::processEvents();
        }));
        KeepPeak(peak);
        freeing.push_back(Time([&] { form.reset(); }));
        if (run < 0) startup.clear(), freeing.clear(), rgStartup.clear(), reload.clear();
        // The next start-up finds the file at rest again, as a user's is.
        ::sleep(4);
    }
    // An even number of changes leaves the collection as it was generated.
    if ((runs + 1) % 2 != 0) ChangeOneByte(recipes), ::sleep(4);
    std::printf("startup %f %f\n", Median(startup), Median(rgStartup));
    std::printf("reload_after_1_byte %f %f\n", Median(reload), Median(startup));
    std::printf("closing %f 0\n", Median(freeing));

    TForm1 form(qfolder, nullptr);
    form.show();
    QApplication::processEvents();
    auto *results = Child<QComboBox>(form, "RicetteTrovate");
    auto *scope = Child<QComboBox>(form, "SelezioneAmbitoRicerca");
    auto *searchBox = Child<QComboBox>(form, "StringaDaCercare");
    auto *search = Child<QAbstractButton>(form, "Ricerche");
    auto *reset = Child<QAbstractButton>(form, "Inizializzazione");
    // Searches from the complete list find more than 2000 recipes: offer them all.
    Child<QCheckBox>(form, "CheckBox1")->setChecked(false);
    for (const Scenario &s : kScenarios) {
        if (!g_onlyScope.empty() && g_onlyScope != s.scope) continue;
        std::vector<double> window, peer;
        for (int run = -1; run < runs; ++run) {
            peer.push_back(RunPeer({"rg", "-c", "-i", "-F", s.searchString, recipes}));
            reset->click();
            scope->setEditText(QString::fromLatin1(s.scope));
            searchBox->setEditText(QString::fromLatin1(s.searchString));
            window.push_back(Time([&] {
                search->click();
                QApplication::processEvents();
            }));
            results->hidePopup();
            KeepPeak(peak);
            if (run < 0) window.clear(), peer.clear();
        }
        std::string key = std::string("search:") + s.scope;
        std::replace(key.begin(), key.end(), ' ', '_');
        std::printf("%s %f %f\n", key.c_str(), Median(window), Median(peer));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_kb %ld 0\nanonymous_kb %ld 0\nfile_pages_kb %ld 0\n", usage.ru_maxrss,
                peak.anonymous, peak.filePages);
    return g_failed ? 1 : 0;
}

// Runs this program on one folder and reads its figures.
std::map<std::string, std::pair<double, double>> MeasureInChild(const char *self,
                                                                const std::string &folder,
                                                                int runs) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string runText = std::to_string(runs);
    std::vector<char *> args = {const_cast<char *>(self), const_cast<char *>("--measure"),
                                const_cast<char *>(folder.c_str()),
                                const_cast<char *>(runText.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) throw std::runtime_error("cannot run the measuring process");
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) g_failed = true;
    std::map<std::string, std::pair<double, double>> figures;
    std::istringstream lines(output);
    std::string key;
    double ours = 0, peer = 0;
    while (lines >> key >> ours >> peer) figures[key] = {ours, peer};
    return figures;
}

}  // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--measure") {
        if (argc == 5) g_onlyScope = argv[4];
        std::string folder = argv[2];
        return Measure(argc, argv, folder.back() == '/' ? folder : folder + '/',
                       std::atoi(argv[3]));
    }
    QTemporaryDir scratch;
    std::string root = argc > 1 && argv[1][0] != '\0' ? argv[1] : scratch.path().toStdString();
    if (root.back() != '/') root += '/';
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};

    std::vector<std::map<std::string, std::pair<double, double>>> all;
    for (const int size : sizes) {
        const std::string folder = root + std::to_string(size) + "/";
        struct stat info {};
        if (stat((folder + "ricette.txt").c_str(), &info) != 0) {
            QDir().mkpath(QString::fromStdString(folder));
            std::printf("generating %d recipes in %s\n", size, folder.c_str());
            std::fflush(stdout);
            sapidoro::bench::GenerateCollection(folder, size, 1);
            stat((folder + "ricette.txt").c_str(), &info);
            // A file written in the last seconds gets no record table: the figures are those
            // of a collection at rest, as a user's is.
            ::sleep(4);
        }
        std::printf("%d recipes: %s (%.1f MB)\n", size, folder.c_str(), info.st_size / 1e6);
        std::fflush(stdout);
        all.push_back(MeasureInChild(argv[0], folder, runs));
    }
    std::printf("\n%-28s", "figure (median ms)");
    for (const int size : sizes) std::printf(" | %8d: ours   rg  ratio", size);
    if (sizes.size() > 1) std::printf(" | growth ours (rg)");
    std::printf("\n");
    for (const auto &[key, unused] : all.front()) {
        if (key.find("_kb") != std::string::npos) continue;
        std::printf("%-28s", key.c_str());
        for (auto &figures : all) {
            const auto [ours, peer] = figures[key];
            if (peer > 0)
                std::printf(" | %14.1f %6.1f %5.2fx", ours, peer, ours / peer);
            else
                std::printf(" | %14.1f %6s %6s", ours, "-", "-");
        }
        if (sizes.size() > 1) {
            const auto first = all.front()[key], last = all.back()[key];
            std::printf(" | %5.1fx", first.first > 0 ? last.first / first.first : 0.0);
            if (first.second > 0) std::printf(" (%4.1fx)", last.second / first.second);
        }
        std::printf("\n");
    }
    const std::pair<const char *, const char *> memoryKeys[] = {
        {"peak_rss_kb", "peak resident (MB)"},
        {"anonymous_kb", "peak private anonymous (MB)"},
        {"file_pages_kb", "peak file pages mapped (MB)"}};
    for (const auto &[key, label] : memoryKeys) {
        std::printf("%-28s", label);
        for (auto &figures : all) std::printf(" | %26.1f", figures[key].first / 1024);
        std::printf("\n");
    }
    std::printf("runs: %d per figure (medians), rg run as a process on the same file\n", runs);
    return g_failed ? 1 : 0;
}
