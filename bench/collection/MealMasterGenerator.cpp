#include "collection/MealMasterGenerator.h"

#include "collection/BenchRandom.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro::bench {

namespace {

// Texts in code page 437: \x85 à, \x8A è, \x82 é, \x8D ì, \x95 ò, \x97 ù.
const std::vector<std::string> kDishes = {"Primo",    "Secondo", "Antipasto", "Dessert",
                                          "Contorno", "Pesce",   "Carne",     "Zuppe"};
const std::vector<std::string> kTitleWords = {
    "Torta",    "Pasta",    "Risotto",   "Zuppa",   "Arrosto", "Insalata", "Crostata", "Frittata",
    "Polpette", "Sformato", "Vellutata", "Gnocchi", "Lasagne", "Focaccia", "Biscotti", "Tortino"};
const std::vector<std::string> kTitleTails = {"Della Nonna",     "Alla Citt\x85",   "Di Mezz\x8A",
                                              "Con Pi\x97 Erbe", "Al Forno",        "Di Stagione",
                                              "Del Luned\x8D",   "Perch\x82 S\x8D", "Della Festa",
                                              "Al Limone",       "Con Verdure",     "Rustica"};
const std::vector<std::string> kIngredients = {"Farina 00",
                                               "Zucchero semolato",
                                               "Uova",
                                               "Burro",
                                               "Latte intero",
                                               "Panna fresca",
                                               "Olio extravergine d'oliva",
                                               "Sale fino",
                                               "Pepe nero macinato",
                                               "Aglio",
                                               "Cipolla dorata",
                                               "Carote",
                                               "Sedano",
                                               "Prezzemolo tritato",
                                               "Basilico fresco",
                                               "Pomodori pelati",
                                               "Parmigiano grattugiato",
                                               "Riso Carnaroli",
                                               "Brodo vegetale",
                                               "Vino bianco secco",
                                               "Lievito per dolci",
                                               "Scorza di limone grattugiata",
                                               "Mozzarella",
                                               "Patate",
                                               "Zucchine",
                                               "Funghi porcini secchi",
                                               "Pancetta a dadini",
                                               "Noce moscata",
                                               "Cannella in polvere",
                                               "Cacao amaro",
                                               "Mandorle pelate e tostate",
                                               "Caff\x8A ristretto"};
const std::vector<std::string> kUnits = {"g ", "kg", "ml", "l ", "tb", "ts", "c ", "pn",
                                         "sl", "bn", "pk", "  ", "  ", "  ", "lg", "md"};
const std::vector<std::string> kAmounts = {"1",   "2",   "3",   "4",   "6",   "1/2", "1/4", "1 1/2",
                                           "100", "200", "250", "300", "500", "50",  "30",  "3/4"};
const std::vector<std::string> kSentences = {
    "Scaldare il forno a 180 gradi.",
    "Mescolare la farina con lo zucchero e le uova finch\x82 il composto \x8A liscio.",
    "Unire il burro fuso e lavorare ancora per qualche minuto.",
    "Cuocere a fuoco dolce, mescolando spesso, per venti minuti.",
    "Aggiustare di sale e pepe e servire ben caldo.",
    "Lasciare riposare in frigo per un'ora prima di servire.",
    "Tostare il riso nell'olio, sfumare con il vino e portare a cottura con il brodo.",
    "Tagliare le verdure a dadini e farle appassire in padella con poco olio.",
    "Versare in una teglia imburrata e infornare per quaranta minuti circa.",
    "Guarnire con il prezzemolo e un filo d'olio a crudo; \x8A ancora pi\x97 buono il giorno "
    "dopo."};

std::string Column(const std::string &amount, const std::string &unit, const std::string &name) {
    std::string line(7 - amount.size(), ' ');
    return line + amount + ' ' + unit + ' ' + name;
}

void Paragraph(std::string text, std::string &out) {
    while (text.size() > 76) {
        std::size_t cut = text.rfind(' ', 76);
        if (cut == std::string::npos || cut < 20) break;
        out += "  " + text.substr(0, cut) + "\r\n";
        text.erase(0, cut + 1);
    }
    out += "  " + text + "\r\n";
}

void Recipe(Random &random, int number, std::string &out) {
    out += "MMMMM----- Recipe generated for the Sapidoro import benchmark\r\n\r\n";
    out += "      Title: " + random.pick(kTitleWords) + ' ' + random.pick(kTitleTails) + ' ' +
           std::to_string(number) + "\r\n";
    out += " Categories: " + random.pick(kDishes) + ", Italiana\r\n";
    out += (random.below(4) == 0 ? "      Yield: " : "   Servings: ") +
           std::to_string(random.between(1, 12)) + "\r\n\r\n";
    const int count = random.between(4, 12);
    const auto ingredient = [&random] {
        return Column(random.pick(kAmounts), random.pick(kUnits), random.pick(kIngredients));
    };
    for (int i = 0; i < count; ++i) {
        if (random.below(5) == 0 && i + 1 < count) {
            std::string left = ingredient();
            left.resize(40, ' ');
            out += left + ' ' + ingredient() + "\r\n";
            ++i;
        } else if (random.below(12) == 0) {
            out += ingredient() + "\r\n" + Column("", "  ", "-a piacere") + "\r\n";
        } else {
            out += ingredient() + "\r\n";
        }
        if (i == count / 2 && random.below(6) == 0)
            out += "MMMMM--------------------PER LA SALSA---------------------\r\n";
    }
    out += "\r\n";
    const int paragraphs = random.between(1, 4);
    for (int p = 0; p < paragraphs; ++p) {
        std::string text = random.pick(kSentences);
        for (int s = random.between(0, 2); s > 0; --s) text += ' ' + random.pick(kSentences);
        Paragraph(text, out);
        out += "\r\n";
    }
    out += "MMMMM\r\n\r\n";
}

}  // namespace

void GenerateMealMaster(const std::string &path, int recipes, unsigned seed) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot write " + path);
    Random random(seed, 0xD1B54A32D192ED03ull);
    std::string chunk;
    for (int i = 1; i <= recipes; ++i) {
        Recipe(random, i, chunk);
        if (chunk.size() > (1u << 20)) {
            file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace sapidoro::bench
