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

// The bucket sort against a plain stable sort by `CompareNames`; a place marked apart must
// hold a name that compares unequal to the one before it.
void ExpectOrderOfAStableComparisonSort(const std::vector<std::string> &names) {
    std::vector<std::uint32_t> reference(names.size());
    std::iota(reference.begin(), reference.end(), 0u);
    std::stable_sort(reference.begin(), reference.end(), [&](std::uint32_t a, std::uint32_t b) {
        return CompareNames(names[a], names[b]) < 0;
    });
    std::vector<std::uint8_t> apart;
    ASSERT_EQ(SortedOrder({names.begin(), names.end()}, &apart), reference);
    ASSERT_EQ(apart.size(), names.size());
    for (std::size_t i = 1; i < names.size(); ++i) {
        if (apart[i] == 0) continue;
        ASSERT_NE(CompareNames(names[reference[i - 1]], names[reference[i]]), 0)
            << "'" << names[reference[i - 1]] << "' and '" << names[reference[i]] << "'";
    }
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
    // Names longer than a comparison converts on the stack, too: a shared long beginning.
    const std::string longBeginning(300, 'a');
    std::vector<std::string> names;
    for (int i = 0; i < 20000; ++i) {
        const std::string head = i % 10 == 0 ? longBeginning : std::string();
        const std::string a = head + text(), b = (i % 20 == 0 ? std::string() : head) + text();
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
    // The longer list is sorted in two parts at once.
    for (const int count : {6000, 70000}) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            std::string s = stems[stem(random)];
            for (int k = length(random); k > 0; --k) s.push_back(alphabet[pick(random)]);
            names.push_back(s);
        }
        for (int i = 0; i < 300; ++i) names.push_back(names[static_cast<std::size_t>(i) * 7]);
        ExpectOrderOfAStableComparisonSort(names);
    }
}

// Beginnings shared past one and two windows of ranks, large groups of equal names, plain
// or accented, in case variants, and chains of names that each extend the one before.
TEST(Collation, SortedOrderOfLongBeginningsAndLargeGroupsOfEqualNames) {
    std::mt19937 random(23);
    const auto pick = [&](const std::vector<std::string> &from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const std::string beyondOne = "Tortellini di fagioli borlotti e panna al limone ";
    const std::string beyondTwo = beyondOne + "con salsa di pomodoro fresco e basilico ";
    const std::vector<std::string> tails = {"", "a", "A", "b", "\xE0", "e", "E\xE8", " ", "-"};
    std::vector<std::string> longBeginnings;
    for (int i = 0; i < 3000; ++i) {
        std::string name = pick({beyondOne, beyondTwo, "TORTELLINI DI FAGIOLI BORLOTTI E PANNA "});
        for (int k = i % 5; k > 0; --k) name += pick(tails);
        longBeginnings.push_back(name);
    }
    // Small groups, sorted by comparison, whose names go on alike past two windows.
    std::vector<std::string> smallLongGroups;
    for (int i = 0; i < 200; ++i)
        smallLongGroups.push_back(std::to_string(i % 20) + " " + beyondTwo + pick(tails) +
                                  pick(tails));
    std::vector<std::string> equalGroups;
    for (int i = 0; i < 2000; ++i)
        equalGroups.push_back(pick({"Pasta", "pasta", "PASTA", "Past\xE0", "Zuppa d'orzo",
                                    "Zuppa d'Orzo", beyondTwo + "\xE8", beyondTwo + "e"}));
    std::vector<std::string> chains;
    for (int length = 1; length <= 300; ++length) {
        chains.push_back(std::string(static_cast<std::size_t>(length), 'x'));
        chains.push_back(std::string(static_cast<std::size_t>(length), 'X') + "y");
    }
    std::shuffle(chains.begin(), chains.end(), random);
    // Few names, with bytes without a rank among those that the first ranks would settle.
    const std::vector<std::string> fewUnranked = {
        "ab\x01"
        "e",
        "abd",
        "ab\x01"
        "c",
        "ABD",
        "ab\x80x",
        "abz",
        "ab",
        "Ab\x01"};
    for (const auto &names : {longBeginnings, smallLongGroups, equalGroups, chains, fewUnranked}) {
        SCOPED_TRACE(names.front());
        ExpectOrderOfAStableComparisonSort(names);
    }
}
