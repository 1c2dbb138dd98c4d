// Reading a saved recipe page from its file to the preview's recipes, for generated pages of
// a few sizes up to 2 MB, beside `xmllint --html --noout` (libxml2's whole-page parse) of the
// same file in the same run: medians and their ratio.
//
//   web_page_bench <folder> <runs>
#include "exchange/JsonLdReader.h"
#include "timing/BenchTiming.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

// A recipe's JSON-LD as sites write it: HTML and references in the texts, a yield in words,
// amounts after the names, groups of ingredients.
std::string RecipeScript(int ingredients, int steps) {
    std::string json = R"({"@context":"https://schema.org","@type":["Recipe"],)"
                       R"("name":"<strong>Torta della nonna</strong> &amp; crema",)"
                       R"("recipeYield":"Serves 8","recipeCategory":"Dessert",)"
                       R"("recipeIngredient":[)";
    for (int i = 0; i < ingredients; ++i) {
        if (i % 10 == 0) json += "\"Per l&#39;impasto " + std::to_string(i / 10) + ":\",";
        json += i % 2 ? "\"Farina 00 " + std::to_string(100 + i) + " g\","
                      : "\"" + std::to_string(i + 1) + " cucchiai di zucchero<br>Latte q.b.\",";
    }
    json += R"("Sale q.b."],"recipeInstructions":[)";
    for (int i = 0; i < steps; ++i)
        json +=
            std::string(i ? "," : "") + R"({"@type":"HowToStep","text":"<p>Passo )" +
            std::to_string(i + 1) +
            R"(: mescolare la farina con le uova&nbsp;e lo zucchero, poi cuocere )"
            R"(<a href=\"/forno\">in forno</a> a 180&deg;C.</p><p>Servire ti&egrave;pida.</p>"})";
    return json + "]}";
}

// A saved page of about `bytes`: head, the recipe's script, and a body of articles.
std::string Page(std::size_t bytes, int ingredients, int steps) {
    std::string page =
        "<!DOCTYPE html><html lang=\"it\"><head><meta charset=\"utf-8\"><title>Torta</title>"
        "<script type=\"application/ld+json\">" +
        RecipeScript(ingredients, steps) + "</script><script>var x = '<p>';</script></head><body>";
    for (int i = 0; page.size() < bytes; ++i)
        page += "<div class=\"post\"><h2>Commento " + std::to_string(i) +
                "</h2><p>Buonissima, l&#39;ho rifatta pi\xC3\xB9 volte &mdash; grazie!</p>"
                "<ul><li><a href=\"/r/" +
                std::to_string(i) + "\">Un'altra ricetta</a></li></ul></div>\n";
    return page + "</body></html>\n";
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <runs>\n", argv[0]);
        return 2;
    }
    try {
        std::string folder = argv[1];
        if (folder.back() != '/') folder += '/';
        std::filesystem::create_directories(folder);
        const int runs = std::max(1, std::atoi(argv[2]));
        const struct {
            const char *label;
            std::size_t bytes;
            int ingredients, steps;
        } pages[] = {{"page-100k", 100u << 10, 30, 12},
                     {"page-2m", 2u << 20, 30, 12},
                     {"page-2m-large-recipe", 2u << 20, 3000, 1500}};
        for (const auto &p : pages) {
            const std::string file = folder + p.label + ".html";
            std::ofstream(file, std::ios::binary) << Page(p.bytes, p.ingredients, p.steps);
            std::vector<double> ours, peer;
            std::size_t lines = 0;
            for (int run = 0; run < runs; ++run) {
                peer.push_back(RunPeer({"xmllint", "--html", "--noout", "--nonet", file}));
                ours.push_back(Time([&] {
                    const ImportResult result = ReadWebRecipeFile(file, {});
                    if (result.recipes.size() != 1 || !result.stopMessage.empty())
                        throw std::runtime_error("the page's recipe was not read");
                    lines = result.recipes[0].record.ingredients.size() +
                            result.recipes[0].record.preparation.size();
                }));
            }
            std::printf(
                "%s (%.2f MB, %zu recipe lines): reading median %.2f ms over %d runs; "
                "xmllint --html median %.2f ms; ratio %.2fx\n",
                p.label, static_cast<double>(std::filesystem::file_size(file)) / (1 << 20), lines,
                Median(ours), runs, Median(peer), Median(ours) / Median(peer));
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
