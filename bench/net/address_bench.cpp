// The import of a page from its address on the loopback address (fetch, character set,
// JSON-LD) beside reading the same page from its file plus `curl` of the same address, in the
// same run, interleaved: medians, spread (lowest and highest) and the load average.
//
//   address_bench <folder> <page kilobytes> <runs>
#include "exchange/JsonLdReader.h"
#include "net/PageText.h"
#include "net/WebFetch.h"
#include "support/LoopbackServer.h"
#include "timing/BenchTiming.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace sapidoro;
using namespace sapidoro::bench;

namespace {

// A recipe page of about `kilobytes`: the JSON-LD recipe, then paragraphs of text as comments
// and articles fill real pages.
std::string RecipePage(std::size_t kilobytes) {
    std::string page =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Torta</title>"
        "<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\","
        "\"@type\":\"Recipe\",\"name\":\"Torta di mele della nonna\",\"recipeYield\":\"8\","
        "\"recipeIngredient\":[";
    for (int i = 0; i < 40; ++i)
        page += (i ? "," : "") + std::string("\"") + std::to_string(10 + i) + " g ingrediente " +
                std::to_string(i) + "\"";
    page += "],\"recipeInstructions\":[";
    for (int i = 0; i < 30; ++i)
        page += (i ? "," : "") + std::string("{\"@type\":\"HowToStep\",\"text\":\"Passo numero ") +
                std::to_string(i) + ": mescolare con cura e attendere qualche minuto.\"}";
    page += "]}</script></head><body>";
    for (int i = 0; page.size() < kilobytes * 1024; ++i)
        page += "<p class=\"commento\">Commento " + std::to_string(i) +
                ": ottima ricetta, l'ho provata con le mele renette e \xC3\xA8 venuta "
                "benissimo; la prossima volta meno zucchero.</p>\n";
    return page + "</body></html>";
}

std::size_t Recipes(const ImportResult &result) {
    if (result.recipes.size() != 1) throw std::runtime_error("the page gave no recipe");
    return result.recipes.size();
}

struct Series {
    const char *name;
    std::vector<double> times;
    void print() const {
        const auto [low, high] = std::minmax_element(times.begin(), times.end());
        std::printf("%-28s median %8.2f ms  (lowest %.2f, highest %.2f)\n", name, Median(times),
                    *low, *high);
    }
};

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: address_bench <folder> <page kilobytes> <runs>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::size_t kilobytes = std::stoul(argv[2]);
    const int runs = std::stoi(argv[3]);
    try {
        std::filesystem::create_directories(folder);
        const std::string page = RecipePage(kilobytes);
        const std::string file = folder + "/pagina.html";
        std::ofstream(file, std::ios::binary) << page;

        test::LoopbackServer server;
        server.serve("/pagina.html",
                     test::Answer(200, "text/html; charset=utf-8",
                                  QByteArray(page.data(), static_cast<qsizetype>(page.size()))));
        const QUrl url = server.url(QStringLiteral("/pagina.html"));
        const std::string address = url.toString().toStdString();

        Series fileRead{"file read", {}}, curl{"curl", {}}, peer{"file read + curl", {}},
            addressImport{"address import", {}};
        const std::string before = LoadAverage();
        for (int run = 0; run < runs; ++run) {
            // Each measure goes first in turn, so that no one always finds the caches warm.
            double read = 0, fetch = 0, import = 0;
            for (int step = 0; step < 3; ++step) {
                switch ((run + step) % 3) {
                    case 0:
                        read = Time([&] { Recipes(ReadWebRecipeFile(file, {})); });
                        break;
                    case 1:
                        fetch = RunPeer({"curl", "-s", "-f", "-o", "/dev/null", address});
                        break;
                    default:
                    import = Time([&] {
                        QNetworkAccessManager manager;
                    const FetchedBody body =
                        FetchWebResource(manager, url, WebResource::Page, FetchLimits{});
                    const PageText text = PageTextAsUtf8(
                        std::string_view(body.bytes.constData(),
                                         static_cast<std::size_t>(body.bytes.size())),
                        body.contentType.toStdString());
                    Recipes(ReadWebRecipeText(text.utf8, true, {}, {}, {}));
                });
            }
        }
        fileRead.times.push_back(read);
        curl.times.push_back(fetch);
        peer.times.push_back(read + fetch);
        addressImport.times.push_back(import);
    }
    std::printf("page %zu KB, %d runs, load average before %s, after %s\n", page.size() / 1024,
                runs, before.c_str(), LoadAverage().c_str());
    for (const Series *series : {&fileRead, &curl, &peer, &addressImport}) series->print();
    std::printf("address import / (file read + curl): %.2f (target at most 1.5)\n",
                Median(addressImport.times) / Median(peer.times));
}
catch (const std::exception &error) {
    std::fprintf(stderr, "address_bench: %s\n", error.what());
    return 1;
}
return 0;
}
