// Decodes a photograph-like JPEG made by ImageMagick through the picture control, with the
// main window's settings and with TrueColor, each beside djpeg writing a BMP with the same
// options in the same run. Prints one figure per line: medians in ms and our/djpeg ratio.
//
// Wall time is the figure; CPU time (user + system) is printed beside it, since djpeg's wall
// time includes starting a process and writing its file. TMPDIR chooses where djpeg writes.
//
// Usage: picture_bench [--size WIDTHxHEIGHT] [--runs N]   (default 1732x1155, 9 runs)
#include "picture/JpgImg.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

struct Timing {
    double wallMs = -1;
    double cpuMs = -1;
};

double Ms(const timeval &time) {
    return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Runs a program to its end; wall and CPU time in milliseconds, negative on failure.
Timing TimedRun(const std::vector<std::string> &command) {
    std::vector<char *> argv;
    for (const std::string &arg : command) argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
            Ms(usage.ru_utime) + Ms(usage.ru_stime)};
}

template <class F>
Timing TimedCall(F &&call) {
    const double cpuStart = ProcessCpuMs();
    const auto start = Clock::now();
    call();
    return {std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
            ProcessCpuMs() - cpuStart};
}

struct Setting {
    const char *name;
    bool trueColour;
    std::vector<std::string> djpegOptions;
};

}  // namespace

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string size = "1732x1155";
    int runs = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--size")
            size = argv[i + 1];
        else if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    QApplication application(argc, argv);

    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    const std::string photo = folder + "photo.jpg";
    const std::string bmp = folder + "djpeg.bmp";
    // Plasma gives smooth colour fields with detail at every scale; the noise adds grain.
    if (TimedRun({"convert", "-seed", "7", "-size", size, "plasma:fractal", "-blur", "0x1",
                  "-attenuate", "0.4", "+noise", "Gaussian", "-quality", "90", "-sampling-factor",
                  "2x2", photo})
            .wallMs < 0) {
        std::fprintf(stderr, "picture_bench: ImageMagick convert failed (install imagemagick)\n");
        return 1;
    }

    const std::vector<Setting> settings = {
        {"main_window", false, {"-colors", "256", "-dct", "int", "-dither", "fs"}},
        {"true_colour", true, {"-dct", "int"}},
    };
    std::printf("picture %s, %d runs each\n", size.c_str(), runs);
    for (const Setting &setting : settings) {
        sapidoro::TJPEGImage image;
        if (setting.trueColour) image.setNumOfColors(sapidoro::TNumOfColors::TrueColor);
        std::vector<std::string> djpeg = {"djpeg"};
        djpeg.insert(djpeg.end(), setting.djpegOptions.begin(), setting.djpegOptions.end());
        djpeg.insert(djpeg.end(), {"-bmp", "-outfile", bmp, photo});

        std::vector<double> oursWall, oursCpu, theirsWall, theirsCpu;
        for (int run = 0; run < runs; ++run) {
            // Alternate, so that both see the same machine load.
            const Timing ours =
                TimedCall([&] { image.setFileName(QString::fromStdString(photo)); });
            const Timing theirs = TimedRun(djpeg);
            if (theirs.wallMs < 0) {
                std::fprintf(stderr, "picture_bench: djpeg failed (install libjpeg-turbo-progs)\n");
                return 1;
            }
            oursWall.push_back(ours.wallMs);
            oursCpu.push_back(ours.cpuMs);
            theirsWall.push_back(theirs.wallMs);
            theirsCpu.push_back(theirs.cpuMs);
        }
        const double wall = Median(oursWall), peerWall = Median(theirsWall);
        const double cpu = Median(oursCpu), peerCpu = Median(theirsCpu);
        std::printf("jpeg_%s_ms %.2f\n", setting.name, wall);
        std::printf("jpeg_%s_djpeg_ms %.2f\n", setting.name, peerWall);
        std::printf("jpeg_%s_ratio %.3f\n", setting.name, wall / peerWall);
        std::printf("jpeg_%s_cpu_ms %.2f\n", setting.name, cpu);
        std::printf("jpeg_%s_djpeg_cpu_ms %.2f\n", setting.name, peerCpu);
        std::printf("jpeg_%s_cpu_ratio %.3f\n", setting.name, cpu / peerCpu);
    }
    return 0;
}
