#include "exchange/JsonLdReader.h"
#include "exchange/JsonLdWriter.h"

#include <gtest/gtest.h>

using namespace sapidoro;
using Lines = std::vector<std::string>;

namespace {

const Lines kAny = {"*"};

struct PageCase {
    const char *kind;
    std::string script;  // the text of the page's JSON-LD script
    std::string name;
    std::string persons;
    Lines ingredients = kAny;  // kAny: not looked at in this row
    Lines preparation = kAny;
    std::size_t problems = 0;
};

std::string Recipe(const std::string &members) {
    return R"({"@context":"https://schema.org","@type":"Recipe",)" + members + "}";
}

}  // namespace

// One small page of our own for each kind of text real pages hold, read as a person reading
// the page would.
TEST(WebPages, EachKindReadsAsThePageShowsIt) {
    const PageCase cases[] = {
        {"HTML in texts",
         Recipe(R"("name":"<h1>Torta <em>di</em> mele</h1>",
                "recipeIngredient":["<p>200 g farina</p><p>3 <strong>uova</strong></p>",
                                    "1 pizzico di sale<br/>2 mele"],
                "recipeInstructions":"<p>Mescolare\n   bene.</p><p>Cuocere <a href=\"/f\">in forno</a><br>Servire</p>")"),
         "Torta di mele",
         "1",
         {"200 g ==== farina", "3 ==== uova", "1 pizzico ==== sale", "2 ==== mele"},
         {"Mescolare bene.", "Cuocere in forno", "Servire"}},
        {"raw breaks, trailing commas, \\'",
         "{\"@type\":\"Recipe\",\"name\":\"Pane\tnero\",\"recipeIngredient\":[\"500 g farina\n"
         "10 g lievito\",],\"recipeInstructions\":[\"Impastare\r\nL\\'impasto riposa\",],}",
         "Pane nero",
         "1",
         {"500 g ==== farina", "10 g ==== lievito"},
         {"Impastare", "L'impasto riposa"}},
        {"CDATA, a second object, text after",
         "//<![CDATA[\n" + Recipe(R"("name":"Uno")") + "\n" + Recipe(R"("name":"Due")") +
             ";window.x = 1;\n//]]>",
         "Uno", "1"},
        {"HTML comment around the script", "<!--\n" + Recipe(R"("name":"Tre")") + "\n-->", "Tre",
         "1"},
        {"character references",
         Recipe(R"("name":"Cr&egrave;me br&ucirc;l&eacute;e &amp; P&amp;atilde;o",
                "recipeIngredient":["200&nbsp;g zucchero","1 cucchiaio di Gew&uuml;rztraminer",
                                    "Pa&ntilde;o &#8364;1 &#x263A; &oacute;&auml;"])"),
         "Cr\xE8me br\xFBl\xE9"
         "e & P\xE3o",
         "1",
         {"200 g ==== zucchero", "1 cucchiaio ==== Gew\xFCrztraminer",
          " ==== Pa\xF1o \x80"
          "1 ? \xF3\xE4"},
         {},
         0},
        {"@type address and case", R"({"@type":"http://schema.org/Recipe","name":"A"})", "A", "1"},
        {"@type in a list", R"({"@type":["Thing","RECIPE"],"name":"B"})", "B", "1"},
        {"Serves 4", Recipe(R"("name":"Y","recipeYield":"Serves 4")"), "Y", "4"},
        {"YIELD dash", Recipe(R"("name":"Y","recipeYield":"YIELD \u2014 4 servings")"), "Y", "4"},
        {"Makes 12", Recipe(R"("name":"Y","recipeYield":"Makes 12 cookies")"), "Y", "12"},
        {"a range", Recipe(R"("name":"Y","recipeYield":"4-6 persone")"), "Y", "4"},
        {"a number", Recipe(R"("name":"Y","recipeYield":6)"), "Y", "6"},
        {"a list", Recipe(R"("name":"Y","recipeYield":["porzioni","8","8 porzioni"])"), "Y", "8"},
        {"QuantitativeValue",
         Recipe(
             R"("name":"Y","recipeYield":{"@type":"QuantitativeValue","value":3,"unitText":"servings"})"),
         "Y", "3"},
        {"a weight", Recipe(R"("name":"Y","recipeYield":"750 g di crema")"), "Y", "1", kAny, kAny,
         1},
        {"a volume", Recipe(R"("name":"Y","recipeYield":"1 litro")"), "Y", "1", kAny, kAny, 1},
        {"ingredient groups and amounts after the name",
         Recipe(R"("name":"G","recipeIngredient":[
                ["Per la pasta:", "Farina 00 300 g", "Uova 3"],
                {"@type":"HowToSection","name":"Per la salsa","itemListElement":[
                    {"text":"Latte intero 200 ml"}, "Farina 00 q.b.", "Farina 00", "Farina tipo 1"]}])"),
         "G",
         "1",
         {"Per la pasta", "300 g ==== Farina 00", "3 ==== Uova", "Per la salsa",
          "200 ml ==== Latte intero", "q.b. ==== Farina 00", " ==== Farina 00",
          " ==== Farina tipo 1"}},
        {"line separators",
         Recipe("\"name\":\"Riga\xE2\x80\xA8nuova\",\"recipeInstructions\":"
                "\"Uno\xE2\x80\xA8"
                "Due\xE2\x80\xA9Tre\""),
         "Riga nuova",
         "1",
         {},
         {"Uno", "Due", "Tre"}},
    };
    for (const PageCase &c : cases) {
        SCOPED_TRACE(c.kind);
        const std::string page = "<html><head><script type=\"application/ld+json\">" + c.script +
                                 "</script></head><body><p>x</p></body></html>";
        const ImportResult result = ReadWebRecipeText(page, true, "", "", {});
        EXPECT_EQ(result.stopMessage, "");
        ASSERT_FALSE(result.recipes.empty());
        const ImportedRecipe &recipe = result.recipes[0];
        EXPECT_EQ(recipe.record.name, c.name);
        EXPECT_EQ(recipe.record.persons, c.persons);
        if (c.ingredients != kAny) {
            EXPECT_EQ(recipe.record.ingredients, c.ingredients);
        }
        if (c.preparation != kAny) {
            EXPECT_EQ(recipe.record.preparation, c.preparation);
        }
        EXPECT_EQ(recipe.problems.size(), c.problems);
    }
    // A second object after the value is read too.
    const std::string twice = Recipe(R"("name":"Uno")") + "\n" + Recipe(R"("name":"Due")") + " x";
    EXPECT_EQ(ReadWebRecipeText(twice, false, "", "", {}).recipes.size(), 2u);
}

// JSON strings carry plain text: an export writes "&" as it is, and other pages' last
// "Note:" step stays a step, while our own export gives it back to its field.
TEST(WebPages, ExportWritesPlainTextAndOnlyOwnLabelsAreTaken) {
    RecipeRecord recipe;
    recipe.name = "Sale & Pepe";
    recipe.persons = "2";
    recipe.notes = "Buona & facile";
    recipe.preparation = {"Unire."};
    const std::string json = WriteJsonLd({recipe});
    EXPECT_EQ(json.find("&amp;"), std::string::npos);
    EXPECT_NE(json.find("\"Sale & Pepe\""), std::string::npos);
    const ImportResult own = ReadWebRecipeText(json, false, "", "", {});
    EXPECT_EQ(own.recipes.at(0).record.notes, "Buona & facile");

    const ImportResult foreign = ReadWebRecipeText(
        Recipe(R"("name":"F","recipeInstructions":["Cuocere.","Note: servire calda"])"), false, "",
        "", {});
    EXPECT_EQ(foreign.recipes.at(0).record.notes, "");
    EXPECT_EQ(foreign.recipes.at(0).record.preparation, (Lines{"Cuocere.", "Note: servire calda"}));
}
