#include "support/RandomRecipes.h"

#include <iterator>
#include <vector>

namespace sapidoro::test {

namespace {

std::string RandomLine(std::mt19937 &random) {
    static const std::string pieces[] = {"a",
                                         "Sale",
                                         " === ",
                                         "\n",
                                         "\xE8",
                                         ":R",
                                         "-P",
                                         "\x1A",
                                         "past",
                                         ":Ricette",
                                         " ",
                                         "-Preparazione",
                                         std::string(90, 'p')};
    std::string line;
    for (int n = static_cast<int>(random() % 5); n > 0; --n)
        line += pieces[random() % std::size(pieces)];
    return line;
}

}  // namespace

std::string RandomCollection(std::mt19937 &random, bool strayNameLines) {
    std::string file = ":Ricette\r\n";
    for (int r = static_cast<int>(random() % 40); r > 0; --r) {
        std::vector<std::string> lines = {
            "-Nome",  RandomLine(random), "-Piatto",     RandomLine(random),
            "-I",     RandomLine(random), "-Persone",    random() % 2 ? "4" : "2",
            "-Luogo", RandomLine(random), "-Ingredienti"};
        for (int i = static_cast<int>(random() % 6); i > 0; --i)
            lines.push_back(RandomLine(random) + " === " + RandomLine(random));
        lines.push_back("-Preparazione");
        lines.push_back(RandomLine(random));
        lines.push_back(":Ricette");
        for (const std::string &line : lines) {
            if (random() % 80 == 0) continue;
            if (strayNameLines && random() % 60 == 0) file += "-Nome\r\n";
            file += line;
            file += random() % 6 == 0 ? "\r" : "\r\n";
        }
    }
    // Now and then no Ctrl-Z may end the file early: a lone byte 26 is cleared.
    if (random() % 3 != 0) {
        for (char &c : file) c = c == '\x1A' ? 'z' : c;
    }
    return file;
}

}  // namespace sapidoro::test
