#include "collection/Generator.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

// gen_collection <folder> <recipes> [seed]: writes ricette.txt, ing.txt and luoghi.txt.
int main(int argc, char **argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s <folder> <recipes> [seed]\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    const int recipes = std::atoi(argv[2]);
    const unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1;
    try {
        sapidoro::bench::GenerateCollection(folder, recipes, seed);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
