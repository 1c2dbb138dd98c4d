// Times the two ways of getting a data file's bytes to the line index: plain reads into one
// reused buffer (what the readers do, safe when another program shortens the file) and a
// mapping of the whole file indexed in place (which dies of SIGBUS when the file is shortened
// under it). Both index every byte for CRs, Ctrl-Z and the ":R" marker pair and count the
// separator lines, so that they do the same work. Runs alternate; figures are medians.
//
// usage: source_bench [file] [runs]

#include "scan/LineIndex.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace sapidoro;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBlock = 512 * 1024;

IndexPatterns SeparatorPattern() {
    IndexPatterns p;
    p.markers[0][0] = p.markers[1][0] = ':';
    p.markers[0][1] = p.markers[1][1] = 'R';
    return p;
}

// Counts the marker places of one indexed stretch.
std::size_t CountMarkers(const std::vector<std::uint64_t> &bits, std::size_t bytes) {
    std::size_t n = 0;
    for (std::size_t w = 0; w < (bytes + 63) / 64; ++w) n += CountBits(bits[w]);
    return n;
}

std::size_t ByReads(const char *path) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) throw std::runtime_error("cannot open");
    std::vector<char> buffer(kBlock + 128);
    std::vector<std::uint64_t> cr(kBlock / 64 + 2), marker(cr.size());
    const IndexPatterns patterns = SeparatorPattern();
    std::size_t found = 0;
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), kBlock);
        if (got <= 0) break;
        std::memset(buffer.data() + got, 0, 128);
        IndexLines(buffer.data(), 0, static_cast<std::size_t>(got),
                   {cr.data(), marker.data(), nullptr}, patterns);
        found += CountMarkers(marker, static_cast<std::size_t>(got));
    }
    close(fd);
    return found;
}

std::size_t ByMapping(const char *path) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) throw std::runtime_error("cannot open");
    struct stat st {};
    fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    void *map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED) throw std::runtime_error("cannot map");
    const char *bytes = static_cast<const char *>(map);
    std::vector<std::uint64_t> cr(kBlock / 64 + 2), marker(cr.size());
    const IndexPatterns patterns = SeparatorPattern();
    std::size_t found = 0;
    // Whole windows in place; the last partial one goes through a copy, as the index reads
    // whole chunks and a little beyond.
    std::size_t at = 0;
    for (; at + kBlock + 128 <= size; at += kBlock) {
        IndexLines(bytes + at, 0, kBlock, {cr.data(), marker.data(), nullptr}, patterns);
        found += CountMarkers(marker, kBlock);
    }
    std::vector<char> tail(bytes + at, bytes + size);
    const std::size_t rest = tail.size();
    tail.resize(rest + 256, 0);
    for (std::size_t t = 0; t < rest; t += kBlock) {
        const std::size_t n = std::min(kBlock, rest - t);
        IndexLines(tail.data() + t, 0, n, {cr.data(), marker.data(), nullptr}, patterns);
        found += CountMarkers(marker, n);
    }
    munmap(map, size);
    close(fd);
    return found;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv) {
    const char *path = argc > 1 ? argv[1] : "/tmp/sapidoro-bench-100k/ricette.txt";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 15;
    try {
        std::vector<double> reads, maps;
        std::size_t a = ByReads(path), b = ByMapping(path);  // warm both ways once
        for (int i = 0; i < runs; ++i) {
            auto start = Clock::now();
            a = ByReads(path);
            reads.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            start = Clock::now();
            b = ByMapping(path);
            maps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const double r = Median(reads), m = Median(maps);
        std::printf("plain reads, %zu KiB blocks, and index  %8.2f ms (%zu marker places)\n",
                    kBlock / 1024, r, a);
        std::printf("mapping indexed in place                 %8.2f ms (%zu marker places)\n", m,
                    b);
        std::printf("reads over mapping                       ratio %.2f\n", r / m);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "source_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
