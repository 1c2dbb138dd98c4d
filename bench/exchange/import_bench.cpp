// The whole import of a generated MealMaster file, from the file to the saved collection,
// beside `iconv -f CP437 -t CP1252` of the same file in the same run: medians, their ratio,
// and the import's peak memory (each import runs in a child process of its own).
//
//   import_bench <folder> <recipes> <runs>
#include "collection/MealMasterGenerator.h"
#include "exchange/CollectionRecipes.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportSave.h"
#include "exchange/MealMasterReader.h"
#include "timing/BenchTiming.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

// A reader of the file as the window makes one.
ImportReader MealMasterFileReader(const std::string &file, std::vector<std::string> dishes) {
    return [file, dishes = std::move(dishes)](const RecipeVisitor &visit) {
        return ReadMealMasterFile(file, dishes, visit);
    };
}

// The reading alone, from the file to the preview's list of recipes.
int ReadOnce(const std::string &, const std::string &file, int expected) {
    const ImportPlan plan(MealMasterFileReader(file, {}), {});
    return static_cast<int>(plan.size()) == expected ? 0 : 3;
}

// The import as the window runs it, with every name kept (renamed on a conflict).
int ImportOnce(const std::string &folder, const std::string &file, int expected) {
    const CollectionIndex collection = IndexCollection(folder + "ricette.txt");
    ImportPlan plan(MealMasterFileReader(file, collection.dishes), collection.names);
    if (!plan.reading().stopMessage.empty())
        std::fprintf(stderr, "%s\n", plan.reading().stopMessage.c_str());
    plan.setConflictChoice(NameConflict::Rename);
    const ImportSaved saved = SaveImport(folder, plan, nullptr);
    return static_cast<int>(saved.recipes) == expected ? 0 : 3;
}

struct ChildRun {
    double milliseconds;
    double cpuMilliseconds;  // user and system time: what other work on the machine leaves alone
    long peakKilobytes;
};

double CpuMilliseconds(const struct rusage &usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The peer, its output thrown away, with its wall and processor time.
ChildRun RunPeerProcess(const std::vector<std::string> &args) {
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char *> argv;
        for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::_Exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double elapsed = Milliseconds(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    return {elapsed, CpuMilliseconds(usage), usage.ru_maxrss};
}

using Work = int (*)(const std::string &, const std::string &, int);

ChildRun RunChild(Work work, const std::string &folder, const std::string &file, int expected) {
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 4;
        try {
            status = work(folder, file, expected);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "import failed: %s\n", e.what());
        }
        std::_Exit(status);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double elapsed = Milliseconds(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("import failed");
    return {elapsed, CpuMilliseconds(usage), usage.ru_maxrss};
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <folder> <recipes> <runs>\n", argv[0]);
        return 2;
    }
    try {
        std::string folder = argv[1];
        if (folder.back() != '/') folder += '/';
        const int recipes = std::atoi(argv[2]);
        const int runs = std::max(1, std::atoi(argv[3]));
        std::filesystem::create_directories(folder + "collection");
        const std::string file = folder + "import-" + std::to_string(recipes) + ".mmf";
        if (!std::filesystem::exists(file)) GenerateMealMaster(file, recipes, 1);
        const std::string collection = folder + "collection/";
        const std::string sample = SAPIDORO_SAMPLE_DATA "ricette.txt";

        std::vector<double> ours, reading, peer, oursCpu, readingCpu, peerCpu;
        long peak = 0, readingPeak = 0;
        for (int run = 0; run < runs; ++run) {
            std::filesystem::copy_file(sample, collection + "ricette.txt",
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::remove(collection + "ricette.txt~");
            const ChildRun iconv = RunPeerProcess({"iconv", "-f", "CP437", "-t", "CP1252", file});
            peer.push_back(iconv.milliseconds);
            peerCpu.push_back(iconv.cpuMilliseconds);
            const ChildRun child = RunChild(ImportOnce, collection, file, recipes);
            ours.push_back(child.milliseconds);
            oursCpu.push_back(child.cpuMilliseconds);
            peak = std::max(peak, child.peakKilobytes);
            const ChildRun read = RunChild(ReadOnce, collection, file, recipes);
            reading.push_back(read.milliseconds);
            readingCpu.push_back(read.cpuMilliseconds);
            readingPeak = std::max(readingPeak, read.peakKilobytes);
        }
        const double oursMedian = Median(ours), peerMedian = Median(peer);
        std::printf("file: %d recipes, %.1f MB\n", recipes,
                    static_cast<double>(std::filesystem::file_size(file)) / (1 << 20));
        std::printf("import to saved collection: median %.1f ms over %d runs\n", oursMedian, runs);
        std::printf("iconv -f CP437 -t CP1252: median %.1f ms\n", peerMedian);
        std::printf("ratio: %.2fx\n", oursMedian / peerMedian);
        std::printf("peak memory of the import: %.1f MB\n", static_cast<double>(peak) / 1024);
        std::printf(
            "processor time (user + system), medians: import %.1f ms, reading alone %.1f "
            "ms, iconv %.1f ms; ratios %.2fx and %.2fx\n",
            Median(oursCpu), Median(readingCpu), Median(peerCpu), Median(oursCpu) / Median(peerCpu),
            Median(readingCpu) / Median(peerCpu));
        std::printf(
            "reading alone (file to the preview's list): median %.1f ms, ratio %.2fx, peak %.1f "
            "MB\n",
            Median(reading), Median(reading) / peerMedian, static_cast<double>(readingPeak) / 1024);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
