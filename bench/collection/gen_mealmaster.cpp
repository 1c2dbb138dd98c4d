#include "collection/MealMasterGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

// gen_mealmaster <file> <recipes> [seed]: writes a MealMaster file in code page 437.
int main(int argc, char **argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s <file> <recipes> [seed]\n", argv[0]);
        return 2;
    }
    const unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1;
    try {
        sapidoro::bench::GenerateMealMaster(argv[1], std::atoi(argv[2]), seed);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
