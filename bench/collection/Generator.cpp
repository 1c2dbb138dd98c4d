#include "collection/Generator.h"

#include "collection/BenchRandom.h"
#include "common/Cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sapidoro::bench {

namespace {

using Words = std::vector<std::string>;

// The word lists are written in UTF-8 here and turned into Windows-1252 bytes once.
Words Cp1252(std::initializer_list<std::string_view> utf8) {
    Words out;
    for (std::string_view word : utf8) out.push_back(Utf8ToCp1252(word));
    return out;
}

struct Ingredient {
    std::string name;
    int kcalPer100g;
    std::vector<std::string> quantities;
};

struct Lists {
    Words bases = Cp1252({
        "Farina",
        "Zucchero",
        "Uova",
        "Burro",
        "Latte",
        "Panna",
        "Olio Extravergine D'Oliva",
        "Sale",
        "Pepe Nero",
        "Aglio",
        "Cipolla",
        "Carota",
        "Sedano",
        "Prezzemolo",
        "Basilico",
        "Rosmarino",
        "Salvia",
        "Alloro",
        "Timo",
        "Origano",
        "Maggiorana",
        "Menta",
        "Finocchio",
        "Pomodori",
        "Passata Di Pomodoro",
        "Concentrato Di Pomodoro",
        "Patate",
        "Zucchine",
        "Melanzane",
        "Peperoni",
        "Spinaci",
        "Bietole",
        "Cavolfiore",
        "Broccoli",
        "Carciofi",
        "Asparagi",
        "Piselli",
        "Fagioli Borlotti",
        "Fagioli Cannellini",
        "Ceci",
        "Lenticchie",
        "Funghi Porcini",
        "Funghi Champignon",
        "Tartufo Nero",
        "Radicchio",
        "Rucola",
        "Lattuga",
        "Zucca",
        "Porri",
        "Scalogno",
        "Spaghetti",
        "Penne",
        "Fusilli",
        "Tagliatelle",
        "Lasagne",
        "Pasta Sfoglia",
        "Pasta Brisée",
        "Gnocchi",
        "Riso Carnaroli",
        "Riso Arborio",
        "Orzo",
        "Farro",
        "Polenta",
        "Pane Raffermo",
        "Pangrattato",
        "Parmigiano Reggiano",
        "Pecorino Romano",
        "Grana Padano",
        "Mozzarella",
        "Ricotta",
        "Mascarpone",
        "Gorgonzola",
        "Fontina",
        "Scamorza",
        "Stracchino",
        "Burrata",
        "Prosciutto Crudo",
        "Prosciutto Cotto",
        "Pancetta",
        "Guanciale",
        "Salsiccia",
        "Speck",
        "Mortadella",
        "Bresaola",
        "Carne Macinata",
        "Vitello",
        "Manzo",
        "Maiale",
        "Agnello",
        "Coniglio",
        "Pollo",
        "Tacchino",
        "Anatra",
        "Faraona",
        "Petto Di Pollo",
        "Cosce Di Pollo",
        "Tonno",
        "Salmone",
        "Merluzzo",
        "Baccalà",
        "Pesce Spada",
        "Orata",
        "Branzino",
        "Acciughe",
        "Sardine",
        "Gamberi",
        "Calamari",
        "Seppie",
        "Polpo",
        "Cozze",
        "Vongole",
        "Capesante",
        "Limone",
        "Succo Di Limone",
        "Arance",
        "Mele",
        "Pere",
        "Fragole",
        "Ciliegie",
        "Pesche",
        "Albicocche",
        "Fichi",
        "Uva",
        "Banane",
        "Castagne",
        "Noci",
        "Nocciole",
        "Mandorle",
        "Pinoli",
        "Pistacchi",
        "Uvetta",
        "Cioccolato Fondente",
        "Cacao Amaro",
        "Caffè",
        "Tè Verde",
        "Miele",
        "Marmellata Di Albicocche",
        "Lievito Di Birra",
        "Lievito Per Dolci",
        "Vanillina",
        "Cannella",
        "Noce Moscata",
        "Zafferano",
        "Peperoncino",
        "Capperi",
        "Olive Nere",
        "Olive Verdi",
        "Aceto Balsamico",
        "Aceto Di Vino",
        "Vino Bianco",
        "Vino Rosso",
        "Marsala",
        "Rum",
        "Brodo Vegetale",
        "Brodo Di Carne",
        "Savoiardi",
        "Amaretti",
        "Panna Da Montare",
        "Yogurt Bianco",
        "Purè Di Patate",
        "Pâté Di Fegato",
    });
    Words qualifiers = Cp1252({
        "",          "Fresco",     "Secco",       "Surgelato",   "Biologico",   "Grattugiato",
        "Tritato",   "A Cubetti",  "Di Stagione", "Della Valle", "Di Montagna", "Affumicato",
        "Sott'Olio", "In Scatola", "Al Naturale", "Integrale",   "Tipo 00",     "Light",
        "Di Bufala", "Stagionato", "Dolce",       "Piccante",    "Novello",     "Già Pulito",
    });
    Words quantities = Cp1252({
        "100 g",       "200 g",       "250 g",      "300 g",      "500 g",        "50 g",
        "1 Kg",        "1 Cucchiaio", "2 Cucchiai", "3 Cucchiai", "1 Cucchiaino", "1 Pizzico",
        "1 Bicchiere", "1/2 Litro",   "1 Litro",    "1 Spicchio", "2 Spicchi",    "1",
        "2",           "3",           "4",          "6",          "1 Mazzetto",   "1 Rametto",
        "1 Tazza",     "1 Bustina",   "1 Noce",     "0",
    });
    Words dishNouns = Cp1252({
        "Risotto",      "Spaghetti",  "Penne",      "Tagliatelle", "Lasagne",      "Gnocchi",
        "Zuppa",        "Minestrone", "Vellutata",  "Crema",       "Torta",        "Crostata",
        "Biscotti",     "Budino",     "Semifreddo", "Tiramisù",    "Frittata",     "Sformato",
        "Polpette",     "Involtini",  "Arrosto",    "Spezzatino",  "Brasato",      "Scaloppine",
        "Cotolette",    "Filetto",    "Insalata",   "Bruschette",  "Crostini",     "Frittelle",
        "Sugo",         "Salsa",      "Pesto",      "Ragù",        "Frullato",     "Granita",
        "Sorbetto",     "Focaccia",   "Pizza",      "Calzone",     "Torta Salata", "Flan",
        "Timballo",     "Cannelloni", "Ravioli",    "Tortellini",  "Orecchiette",  "Bucatini",
        "Fritto Misto", "Grigliata",  "Carpaccio",  "Tartare",     "Parmigiana",   "Caponata",
        "Peperonata",   "Purè",       "Muffin",     "Ciambella",   "Strudel",      "Panna Cotta",
    });
    Words connectors = Cp1252({"Di", "Con", "Alle", "Al", "Ai", "Alla", "Allo", "Agli", "In"});
    Words styles = Cp1252({
        "",
        "",
        "",
        "",
        "Alla Romana",
        "Alla Milanese",
        "Alla Napoletana",
        "Alla Siciliana",
        "Alla Genovese",
        "Alla Toscana",
        "Alla Pugliese",
        "Alla Piemontese",
        "Alla Veneta",
        "Della Nonna",
        "Della Casa",
        "Del Contadino",
        "Al Forno",
        "Gratinati",
        "In Agrodolce",
        "Light",
        "Veloce",
        "Bimby",
        "Al Bimby",
        "Pentola A Pressione",
        "In Pentola A Pressione",
        "Al Cartoccio",
        "In Bianco",
        "Piccante",
        "Estiva",
        "Invernale",
        "Di Natale",
        "Di Pasqua",
        "Della Domenica",
        "Rustica",
        "Alla Crema",
        "Al Limone",
        "All'Arancia",
        "Al Tartufo",
    });
    Words dishes = Cp1252({"Antipasto", "Bevande", "Carne", "Contorno", "Dessert", "Pesce",
                           "Pollame", "Primo", "Salsa"});
    Words places = Cp1252({
        "Abruzzo",
        "Basilicata",
        "Calabria",
        "Campania",
        "Emilia-Romagna",
        "Friuli-Venezia Giulia",
        "Lazio",
        "Liguria",
        "Lombardia",
        "Marche",
        "Molise",
        "Piemonte",
        "Puglia",
        "Sardegna",
        "Sicilia",
        "Toscana",
        "Trentino-Alto Adige",
        "Umbria",
        "Valle D'Aosta",
        "Veneto",
        "Roma",
        "Milano",
        "Napoli",
        "Torino",
        "Palermo",
        "Genova",
        "Bologna",
        "Firenze",
        "Bari",
        "Catania",
        "Venezia",
        "Verona",
        "Messina",
        "Padova",
        "Trieste",
        "Brescia",
        "Parma",
        "Modena",
        "Reggio Emilia",
        "Perugia",
        "Livorno",
        "Cagliari",
        "Foggia",
        "Salerno",
        "Ferrara",
        "Sassari",
        "Siena",
        "Lecce",
        "Forlì",
        "Cefalù",
        "Sanremo",
        "Alba",
        "Asti",
        "Cremona",
        "Mantova",
        "Pavia",
    });
    Words notes = Cp1252({
        "Ricetta tipica di %P.",
        "Piatto tradizionale della cucina di %P, preparato nelle feste.",
        "La ricetta viene da una trattoria di %P; si può preparare anche il giorno prima.",
        "Da servire caldo, è perfetto per una cena tra amici.",
        "Variante di %P con meno grassi, più leggera ma altrettanto gustosa.",
        "Ricordo di una vacanza a %P.",
        "Una specialità di %P che piace a tutti.",
        "Si conserva in frigorifero per due giorni.",
        "Ottima anche fredda, il giorno dopo.",
        "Ricetta della nonna, originaria di %P: è un classico della domenica.",
    });
    Words steps = Cp1252({
        "Tritare finemente la cipolla e farla appassire in una padella con un filo d'olio.",
        "Aggiungere il resto degli ingredienti e mescolare bene finché il composto è omogeneo.",
        "Cuocere a fuoco lento per circa venti minuti, mescolando di tanto in tanto.",
        "Portare a ebollizione abbondante acqua salata e cuocere la pasta al dente.",
        "Scolare, condire con il sugo e servire subito ben caldo.",
        "Preriscaldare il forno a 180 gradi e imburrare una teglia.",
        "Versare il composto nella teglia, livellare e infornare per 40 minuti.",
        "Lasciare raffreddare prima di sformare; si può decorare con zucchero a velo.",
        "Montare le uova con lo zucchero finché il composto è chiaro e spumoso.",
        "Unire la farina setacciata poco alla volta, perché non si formino grumi.",
        "Lavare le verdure, tagliarle a pezzi regolari e lasciarle scolare.",
        "Rosolare la carne su tutti i lati, sfumare con il vino e lasciare evaporare.",
        "Coprire e cuocere per un'ora, aggiungendo brodo caldo se necessario.",
        "Aggiustare di sale e pepe, spolverare con il prezzemolo tritato.",
        "Pulire il pesce, eliminare le lische e sciacquarlo sotto l'acqua corrente.",
        "Disporre nel piatto da portata e guarnire a piacere; così sarà più bello da vedere.",
        "Tostare il riso nel burro, sfumare con il vino bianco e aggiungere il brodo un mestolo "
        "alla volta.",
        "A fine cottura mantecare con il burro e il formaggio grattugiato, poi lasciare riposare "
        "due minuti.",
        "Frullare tutto fino a ottenere una crema liscia; se è troppo densa aggiungere un po' "
        "d'acqua.",
        "Mettere in frigorifero per almeno tre ore prima di servire.",
    });
    Words markers = {"-Piatto", "-Ingrediente Principale", "-Persone", "-Note", "-Ingredienti"};
};

std::vector<Ingredient> MakeIngredients(const Lists &lists, Random &random) {
    std::vector<Ingredient> out;
    for (const std::string &base : lists.bases) {
        const int kcal = random.between(5, 900);
        const std::size_t variants = 3 + random.below(10);
        for (std::size_t v = 0; v < variants; ++v) {
            // The first variant is the plain name; the others take a distinct qualifier.
            const std::size_t q =
                v == 0 ? 0 : 1 + (v * 7 + random.below(3)) % (lists.qualifiers.size() - 1);
            std::string name = base;
            if (q != 0) name += " " + lists.qualifiers[q];
            bool seen = false;
            for (const Ingredient &i : out) seen = seen || i.name == name;
            if (seen) continue;
            Ingredient ingredient{std::move(name), kcal + random.between(-kcal / 5, kcal / 5), {}};
            const std::size_t count = 2 + random.below(5);
            for (std::size_t k = 0; k < count; ++k) {
                const std::string &quantity =
                    lists.quantities[random.below(lists.quantities.size())];
                bool known = false;
                for (const std::string &existing : ingredient.quantities)
                    known = known || existing == quantity;
                if (!known) ingredient.quantities.push_back(quantity);
            }
            out.push_back(std::move(ingredient));
        }
    }
    return out;
}

// Calories of a quantity text, from the ingredient's calories per 100 g.
int CaloriesOf(const Ingredient &ingredient, const std::string &quantity) {
    const int n = std::atoi(quantity.c_str());
    if (quantity == "0") return ingredient.kcalPer100g / 20;
    if (quantity.find(" g") != std::string::npos) return ingredient.kcalPer100g * n / 100;
    if (quantity.find("Kg") != std::string::npos) return ingredient.kcalPer100g * 10;
    if (quantity.find("Litro") != std::string::npos) return ingredient.kcalPer100g * 5;
    if (quantity.find("Cucchiai") != std::string::npos)
        return ingredient.kcalPer100g * 15 * n / 100;
    return ingredient.kcalPer100g * (n > 0 ? n : 1) / 4;
}

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void Line(std::string &out, std::string_view text) {
    out += text;
    out += "\r\n";
}

std::string RecipeName(const Lists &lists, const std::vector<Ingredient> &ingredients,
                       Random &random, std::string &mainIngredient) {
    const Ingredient &main = ingredients[random.skewed(ingredients.size())];
    mainIngredient = main.name;
    std::string name = random.pick(lists.dishNouns) + " " + random.pick(lists.connectors) + " " +
                       lists.bases[random.below(lists.bases.size())];
    if (random.chance(30)) name += " E " + lists.bases[random.below(lists.bases.size())];
    const std::string &style = random.pick(lists.styles);
    if (!style.empty()) name += " " + style;
    return name;
}

std::string Notes(const Lists &lists, Random &random) {
    std::string note = random.pick(lists.notes);
    const std::size_t at = note.find("%P");
    if (at != std::string::npos) note.replace(at, 2, random.pick(lists.places));
    if (random.chance(12)) note += " Adatta a Bambini piccoli.";
    return note;
}

std::string Persons(Random &random) {
    static const int common[] = {2, 4, 4, 4, 6, 6, 8};
    if (random.chance(80)) return std::to_string(common[random.below(std::size(common))]);
    return std::to_string(random.between(1, 20));
}

}  // namespace

void GenerateCollection(const std::string &folder, int recipes, unsigned seed) {
    Random random(seed, 0x9E3779B97F4A7C15ull);
    const Lists lists;
    const std::vector<Ingredient> ingredients = MakeIngredients(lists, random);

    std::string table;
    for (const Ingredient &ingredient : ingredients) {
        for (const std::string &quantity : ingredient.quantities) {
            Line(table, ingredient.name + "_ING == " + quantity +
                            " === " + std::to_string(CaloriesOf(ingredient, quantity)));
        }
    }
    WriteFile(folder + "ing.txt", table);

    std::string places;
    for (const std::string &place : lists.places) Line(places, place);
    WriteFile(folder + "luoghi.txt", places);

    std::string file;
    file.reserve(static_cast<std::size_t>(recipes) * 1700);
    Line(file, ":Ricette");
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (int r = 0; r < recipes; ++r) {
        std::string mainIngredient;
        std::string name = RecipeName(lists, ingredients, random, mainIngredient);
        const bool last = r + 1 == recipes;
        // A few names repeat an earlier one; the last record's name is always its own.
        if (!last && !names.empty() && random.chance(1)) name = random.pick(names);
        while (last && taken.count(name)) name += " Bis";
        taken.insert(name);
        names.push_back(name);

        Line(file, "-Nome");
        Line(file, name);
        Line(file, lists.markers[0]);
        Line(file, random.pick(lists.dishes));
        Line(file, lists.markers[1]);
        Line(file, mainIngredient);
        Line(file, lists.markers[2]);
        Line(file, Persons(random));
        Line(file, lists.markers[3]);
        Line(file, Notes(lists, random));
        Line(file, lists.markers[4]);
        const int lines = random.between(5, 25);
        for (int i = 0; i < lines; ++i) {
            const Ingredient &ingredient = ingredients[random.skewed(ingredients.size())];
            std::string quantity =
                ingredient.quantities[random.below(ingredient.quantities.size())];
            if (quantity == "0" || random.chance(3))
                quantity.clear();  // " ==== Sale"
            else if (random.chance(4))
                quantity = random.pick(lists.quantities);  // maybe unknown
            Line(file, quantity + " ==== " + ingredient.name);
        }
        Line(file, "-Preparazione");
        const int steps = random.between(2, 8);
        for (int i = 0; i < steps; ++i) Line(file, random.pick(lists.steps));
        Line(file, ":Ricette");
    }
    WriteFile(folder + "ricette.txt", file);
}

}  // namespace sapidoro::bench
