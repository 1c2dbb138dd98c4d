#include "common/Collation.h"
#include "common/QtText.h"

#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace sapidoro;

namespace {

QCollatorSortKey Key(const QCollator &collator, const std::string &text) {
    return collator.sortKey(FromCp1252(text));
}

}  // namespace

TEST(Collation, AlphabeticalWithoutRegardToCase) {
    std::vector<std::string> names{"zuppa",
                                   "Arrosto",
                                   "\xC8"
                                   "clair",
                                   "arancini",
                                   "Zucca",
                                   "Pasta",
                                   "pasta",
                                   "Bab\xE0",
                                   "Pasta al forno",
                                   "Pasta-fresca"};
    SortNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"arancini", "Arrosto", "Bab\xE0",
                                               "\xC8"
                                               "clair",
                                               "Pasta", "pasta", "Pasta al forno", "Pasta-fresca",
                                               "Zucca", "zuppa"}));
    EXPECT_EQ(CompareNames("pasta", "PASTA"), 0);
    EXPECT_LT(CompareNames("Pane", "pasta"), 0);
}

// The order must be the Italian collator's own, whatever shortcut the comparison takes.
TEST(Collation, AgreesWithTheItalianCollatorOnRandomTexts) {
    QCollator collator{QLocale(QLocale::Italian, QLocale::Italy)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const std::string alphabet =
        "aAbBeEzZ  09-.,'()&/\xE0\xE8\xE9\xEC\xF2\xF9\xC0\xC8\x80\x9C\x01\x7F";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 6);
    const auto text = [&] {
        std::string s;
        for (int i = length(random); i > 0; --i) s.push_back(alphabet[pick(random)]);
        return s;
    };
    std::vector<std::string> names;
    for (int i = 0; i < 20000; ++i) {
        const std::string a = text(), b = text();
        const int expected = Key(collator, a).compare(Key(collator, b));
        ASSERT_EQ(CompareNames(a, b), (expected > 0) - (expected < 0))
            << "'" << a << "' vs '" << b << "'";
        names.push_back(a);
    }
    SortNames(names);
    for (std::size_t i = 1; i < names.size(); ++i)
        ASSERT_LE(Key(collator, names[i - 1]).compare(Key(collator, names[i])), 0);
}

// The bucket sort must give the order of a plain stable sort by `CompareNames`, also for
// long shared beginnings, bytes without a rank, case and accent variants and equal names.
TEST(Collation, SortedOrderIsThatOfAStableComparisonSort) {
    const std::vector<std::string> stems = {"Pollo alla cacciatora con ",
                                            "pollo Alla Cacciatora con ",
                                            "Pollo all\xE0 ",
                                            "Torta",
                                            "",
                                            "Pasta e fagioli "};
    const std::string alphabet =
        "aAbBeE \xE8\xE9'-\x01\x80"
        "09";
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> stem(0, stems.size() - 1);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    std::vector<std::string> names;
    for (int i = 0; i < 6000; ++i) {
        std::string s = stems[stem(random)];
        for (int k = length(random); k > 0; --k) s.push_back(alphabet[pick(random)]);
        names.push_back(s);
    }
    for (int i = 0; i < 300; ++i) names.push_back(names[static_cast<std::size_t>(i) * 7]);
    std::vector<std::uint32_t> reference(names.size());
    std::iota(reference.begin(), reference.end(), 0u);
    std::stable_sort(reference.begin(), reference.end(), [&](std::uint32_t a, std::uint32_t b) {
        return CompareNames(names[a], names[b]) < 0;
    });
    EXPECT_EQ(SortedOrder({names.begin(), names.end()}), reference);
}
