#include "common/Exception.h"
#include "support/TempDir.h"
#include "view/Calories.h"

#include <gtest/gtest.h>

#include <limits>

using namespace sapidoro;
using test::CrLf;
using Strings = std::vector<std::string>;

namespace {

struct Outcome {
    CalorieTotals totals;
    Strings notFound;
};

Outcome Compute(const std::string &table, const Strings &lines) {
    Outcome out;
    ComputeCalories(table, lines, out.totals,
                    [&](const std::string &line) { out.notFound.push_back(line); });
    return out;
}

}  // namespace

TEST(Calories, WorkedExample) {
    test::TempDir dir;
    const auto table =
        dir.write("ing.txt", CrLf({"Farina_ING == 200 === 700", "Uova_ING == 2 === 160"}));
    const Outcome out = Compute(table, {"200 ==== Farina", " ==== Sale", "2 ==== Uova"});
    EXPECT_EQ(out.totals.calorieSum, 860);
    EXPECT_EQ(out.totals.missingIngredientCount, 1);
    EXPECT_EQ(out.notFound, Strings{"0 ==== Sale"});
    const CalorieTexts four = ShowCalories(out.totals, 4);
    EXPECT_EQ(four.calories, "215");
    EXPECT_EQ(four.hint, "1 INGREDIENTI NON TROVATI)");
    EXPECT_EQ(four.label, " INGREDIENTI NON TROVATI: 1");
    EXPECT_EQ(ShowCalories(out.totals, 3).calories, "286");
}

TEST(Calories, LookupTakesTheFirstExactMatch) {
    test::TempDir dir;
    const auto path =
        dir.write("ing.txt", CrLf({"Farina_ING == 100 g === 350", "Farina_ING == 200 g === 700",
                                   "Farina_ING == 200 g === 999", "Uova_ING == 2 === 160",
                                   "Sale_ING == 0 === 0", "Olio_ING == 1 Cucchiaio === abc"}) +
                                 "Zucchero_ING == 10 g === 40");
    const auto calories = [&](const std::string &line) {
        const Outcome out = Compute(path, {line});
        return out.notFound.empty() ? std::optional<std::int64_t>(out.totals.calorieSum)
                                    : std::nullopt;
    };
    EXPECT_EQ(calories("200 g ==== Farina"), 700);
    EXPECT_EQ(calories("10 g ==== Zucchero"), 40);  // the last line counts too
    EXPECT_EQ(calories(" ==== Sale"), 0);
    EXPECT_FALSE(calories("200 G ==== Farina"));
    EXPECT_FALSE(calories("200  g ==== Farina"));
    EXPECT_FALSE(calories("200 g ==== farina"));
    EXPECT_THROW(calories("1 Cucchiaio ==== Olio"), EConvertError);
    EXPECT_THROW(Compute(dir.file("none.txt"), {" ==== Sale"}), EInOutError);
}

TEST(Calories, LookupKeysAndTheNotFoundForm) {
    test::TempDir dir;
    const auto table = dir.write(
        "ing.txt", CrLf({"Sale_ING == 0 === 0", "Farina_ING xx == 200 g === 700",
                         "Farina_ING == 200 g === 999", "Olio Senza Marcatore == 1 === 90",
                         "Pepe_ING == 1 pizzico === 1"}) +
                       "Burro_ING == 10 g === 75");  // the last line has no line end
    const Outcome out = Compute(
        table, {" ==== Sale", "200 g ==== Farina", "200 g ==== Farina", "Pepe", "1 ==== Olio",
                "1 Pizzico ==== Pepe", "10 g ==== Burro", "200 g ==== farina"});
    // Duplicate entries: the first counts; the same line twice counts twice; the last line of
    // the table is found; an entry without "_ING" is named by its whole line.
    EXPECT_EQ(out.totals.calorieSum, 0 + 700 + 700 + 75);
    EXPECT_EQ(out.totals.missingIngredientCount, 4);
    EXPECT_EQ(out.notFound,
              (Strings{"Pepe ==== ", "1 ==== Olio", "1 Pizzico ==== Pepe", "200 g ==== farina"}));
}

TEST(Calories, DivisionTruncatesTowardZero) {
    CalorieTotals totals{7, 0};
    EXPECT_EQ(ShowCalories(totals, 4).calories, "1");
    EXPECT_EQ(ShowCalories(totals, 8).calories, "0");
    EXPECT_EQ(ShowCalories(totals, 1).calories, "7");
    totals.calorieSum = -7;
    EXPECT_EQ(ShowCalories(totals, 4).calories, "-1");
    totals = {};
    const CalorieTexts empty = ShowCalories(totals, 4);
    EXPECT_EQ(empty.calories, "0");
    EXPECT_EQ(empty.hint, "0 INGREDIENTI NON TROVATI)");
    EXPECT_EQ(empty.label, " INGREDIENTI NON TROVATI: 0");
}

TEST(Calories, LargeSumsDoNotWrap) {
    test::TempDir dir;
    const auto table = dir.write(
        "ing.txt", CrLf({"Grasso_ING == 1 === 2147483647", "Debito_ING == 1 === -2147483648"}));
    const Outcome big = Compute(table, {"1 ==== Grasso", "1 ==== Grasso", "1 ==== Grasso"});
    EXPECT_EQ(big.totals.calorieSum, 3 * std::int64_t{2147483647});
    EXPECT_EQ(ShowCalories(big.totals, 3).calories, "2147483647");
    const Outcome low = Compute(table, {"1 ==== Debito", "1 ==== Debito"});
    EXPECT_EQ(low.totals.calorieSum, -2 * std::int64_t{2147483648});
}

TEST(Calories, NoLinesNeverOpensTheTable) {
    test::TempDir dir;
    const Outcome out = Compute(dir.file("ing.txt"), {});
    EXPECT_EQ(out.totals.calorieSum, 0);
    EXPECT_EQ(out.totals.missingIngredientCount, 0);
}

TEST(Calories, MissingTableFailsAtTheFirstLine) {
    test::TempDir dir;
    Outcome out;
    out.totals.calorieSum = 0;
    try {
        ComputeCalories(dir.file("ing.txt"), {"1 ==== Uova", "2 ==== Uova"}, out.totals,
                        [&](const std::string &line) { out.notFound.push_back(line); });
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(out.totals.missingIngredientCount, 2);
    EXPECT_TRUE(out.notFound.empty());
}

TEST(Calories, BadCaloriesFailAtTheLineThatMatchesThemAndKeepWhatCameBefore) {
    test::TempDir dir;
    // "Olio" is read while "Farina" is looked up, but converted only when a line matches it.
    const auto table = dir.write(
        "ing.txt",
        CrLf({"Olio_ING == 1 === abc", "Farina_ING == 200 === 700", "Uova_ING == 2 === 1x"}));
    Outcome out;
    try {
        ComputeCalories(table, {"7 ==== Sale", "200 ==== Farina", "1 ==== Olio", "2 ==== Uova"},
                        out.totals, [&](const std::string &line) { out.notFound.push_back(line); });
        FAIL() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(out.totals.calorieSum, 700);
    EXPECT_EQ(out.totals.missingIngredientCount, 3);
    EXPECT_EQ(out.notFound, Strings{"7 ==== Sale"});
}

TEST(Calories, LazyTableAnswersLikeAFreshPassForEveryLine) {
    test::TempDir dir;
    // Entries found early, late, twice, after a miss, and in a table cut by Ctrl-Z.
    const auto table = dir.write("ing.txt", CrLf({"A_ING == 1 === 1", "B_ING == 1 === 10",
                                                  "A_ING == 1 === 100", "C_ING == 1 === 1000"}) +
                                                "\x1A" + "D_ING == 1 === 5\r\n");
    CalorieTableReader reader(table);
    EXPECT_EQ(reader.FindCalories("B", "1"), "10");
    EXPECT_EQ(reader.FindCalories("A", "1"), "1");
    EXPECT_FALSE(reader.FindCalories("D", "1"));
    EXPECT_EQ(reader.FindCalories("C", "1"), "1000");
    EXPECT_FALSE(reader.FindCalories("B", "2"));
    EXPECT_EQ(reader.FindCalories("A", "1"), "1");

    const auto empty = dir.write("empty.txt", "");
    CalorieTableReader none(empty);
    EXPECT_FALSE(none.FindCalories("", "0"));
}
