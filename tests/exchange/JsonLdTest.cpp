#include "exchange/Json.h"
#include "exchange/JsonLdReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>

using namespace sapidoro;
using Lines = std::vector<std::string>;

namespace {

const std::vector<std::string> kDishes = {"Dessert", "Primo"};
const std::string kSamples = SAPIDORO_EXCHANGE_SAMPLES;

}  // namespace

// One saved page per shape of the data: plain text steps, a `@graph`, sections, a JSON file.
TEST(JsonLdReader, ReadsEveryShapeOfRecipeData) {
    const ImportResult text = ReadWebRecipeFile(kSamples + "page-text.html", kDishes);
    EXPECT_EQ(text.stopMessage, "");
    ASSERT_EQ(text.recipes.size(), 1u);
    const RecipeRecord &spaghetti = text.recipes[0].record;
    EXPECT_EQ(spaghetti.name, "Spaghetti Al Pomodoro");
    EXPECT_EQ(spaghetti.dish, "Primo");
    EXPECT_EQ(spaghetti.persons, "4");
    EXPECT_EQ(spaghetti.ingredients, (Lines{"320 g ==== spaghetti", "400 g ==== pomodori pelati",
                                            "2 cucchiai ==== olio", "q.b. ==== basilico"}));
    EXPECT_EQ(spaghetti.preparation,
              (Lines{"Scaldare l'olio e unire i pomodori.", "Cuocere 15 minuti.",
                     "Scolare la pasta al dente e condire."}));
    EXPECT_EQ(text.recipes[0].picturePath, kSamples + "spaghetti.jpg");

    const ImportResult graph = ReadWebRecipeFile(kSamples + "page-graph.html", kDishes);
    ASSERT_EQ(graph.recipes.size(), 1u);
    const RecipeRecord &tiramisu = graph.recipes[0].record;
    EXPECT_EQ(tiramisu.name, "Tiramis\xF9");
    EXPECT_EQ(tiramisu.dish, "Dessert");
    EXPECT_EQ(tiramisu.persons, "6");
    EXPECT_EQ(tiramisu.ingredients,
              (Lines{"500 g ==== mascarpone", "4 ==== uova", " ==== Savoiardi"}));
    EXPECT_EQ(tiramisu.preparation, (Lines{"Montare i tuorli con lo zucchero.",
                                           "Unire il mascarpone.", "Riporre in frigo per 4 ore."}));
    // The address's file, in the folder the browser saved beside the page.
    EXPECT_EQ(graph.recipes[0].picturePath, kSamples + "page-graph_files/tiramisu.jpg");

    // A broken script is reported; the page's other script still gives its recipe.
    const ImportResult sections = ReadWebRecipeFile(kSamples + "page-sections.html", kDishes);
    EXPECT_NE(sections.stopMessage.find("Blocco JSON-LD 1"), std::string::npos);
    ASSERT_EQ(sections.recipes.size(), 1u);
    const RecipeRecord &pasta = sections.recipes[0].record;
    EXPECT_EQ(pasta.name, "Pasta & Fagioli");
    EXPECT_EQ(pasta.dish, "Primo");
    EXPECT_EQ(pasta.persons, "1");
    EXPECT_EQ(pasta.ingredients,
              (Lines{"250 g ==== fagioli borlotti", "1 l ==== brodo", "1/2 ==== cipolla"}));
    EXPECT_EQ(pasta.preparation,
              (Lines{"Il soffritto", "Tritare la cipolla.", "Rosolarla nell'olio.", "La cottura",
                     "Unire fagioli e brodo, cuocere un'ora."}));
    EXPECT_EQ(sections.recipes[0].picturePath, "");  // only on the network

    const ImportResult json = ReadWebRecipeFile(kSamples + "recipes.json", kDishes);
    ASSERT_EQ(json.recipes.size(), 2u);
    EXPECT_EQ(json.recipes[0].record.name, "Acqua Pazza");
    EXPECT_EQ(json.recipes[0].record.persons, "2");
    EXPECT_EQ(json.recipes[0].record.ingredients, (Lines{"1 ==== orata", "3 spicchi ==== aglio"}));
    EXPECT_EQ(json.recipes[0].record.preparation,
              (Lines{"Cuocere il pesce nell'acqua.", "Servire con il brodetto."}));
    EXPECT_EQ(json.recipes[1].record.name, "");
    EXPECT_EQ(json.recipes[1].problems, Lines{"La ricetta non ha un nome."});

    // A comma written as a character reference still parts the categories.
    const ImportResult reference =
        ReadWebRecipeText(R"({"@type":"Recipe","name":"X","recipeCategory":"primo&#44; Zuppe"})",
                          false, "", "", kDishes);
    EXPECT_EQ(reference.recipes.at(0).record.dish, "Primo");
}

// A picture is taken only from inside the page's folder, never through a link out of it.
TEST(JsonLdReader, PictureOnlyFromThePagesFolder) {
    test::TempDir dir;
    dir.write("fuori.jpg", "\xFF\xD8");
    ASSERT_EQ(::mkdir((dir.path() + "pagina").c_str(), 0700), 0);
    dir.write("pagina/dentro.jpg", "\xFF\xD8");
    ASSERT_EQ(
        ::symlink((dir.path() + "fuori.jpg").c_str(), (dir.path() + "pagina/link.jpg").c_str()), 0);
    const auto pictureOf = [&](const std::string &image) {
        const std::string page =
            "{\"@type\":\"Recipe\",\"name\":\"X\",\"image\":\"" + image + "\"}";
        const ImportResult result = ReadWebRecipeText(page, false, dir.path() + "pagina/", "p", {});
        return result.recipes.at(0).picturePath;
    };
    EXPECT_EQ(pictureOf("dentro.jpg"), dir.path() + "pagina/dentro.jpg");
    EXPECT_EQ(pictureOf("../fuori.jpg"), "");
    EXPECT_EQ(pictureOf("link.jpg"), "");
    EXPECT_EQ(pictureOf("/etc/passwd"), "");
}

// A page too large for a recipe page is refused before it is read.
TEST(JsonLdReader, HugePageIsRefusedUnread) {
    test::TempDir dir;
    const std::string path = dir.write("grande.html", "<html>");
    ASSERT_EQ(::truncate(path.c_str(), std::int64_t{2} << 30), 0);
    try {
        ReadWebRecipeFile(path, {});
        FAIL() << "read";
    } catch (const Exception &error) {
        EXPECT_EQ(error.message(),
                  "Il file \xC3\xA8 di 2048 MB: una pagina di ricette non supera 32 MB.");
    }
}

TEST(Json, HostileTextsGiveClearMessages) {
    const auto message = [](std::string_view text) {
        try {
            ParseJson(text);
        } catch (const EJsonError &error) {
            return error.message();
        }
        return std::string("parsed");
    };
    EXPECT_EQ(message(std::string(100000, '[') + std::string(100000, ']')),
              "Il JSON \xC3\xA8 annidato oltre 512 livelli.");
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
    EXPECT_EQ(message(objects), "Il JSON \xC3\xA8 annidato oltre 512 livelli.");
    EXPECT_EQ(message(std::string(511, '[') + std::string(511, ']')), "parsed");
    std::string many = "[";
    for (int i = 0; i < 1000001; ++i) many += "0,";
    many += "0]";
    EXPECT_NE(message(many).find("troppi"), std::string::npos);
    EXPECT_EQ(message("{\"a\": tru}"), "JSON non valido alla posizione 7: valore sconosciuto.");
    EXPECT_EQ(message("\"senza fine"), "JSON non valido alla posizione 12: stringa senza fine.");
    EXPECT_EQ(message("[1,]"), "JSON non valido alla posizione 4: valore sconosciuto.");

    // Escapes, surrogate pairs and invalid UTF-8 in strings.
    const JsonValue value = ParseJson("[\"\\u00e8\\ud83d\\ude00\\n\", \"\xFF\", -1.5e3]");
    EXPECT_EQ(value.items[0].text, "\xC3\xA8\xF0\x9F\x98\x80\n");
    EXPECT_EQ(value.items[1].text, "\xEF\xBF\xBD");
    EXPECT_EQ(value.items[2].text, "-1.5e3");
}
