#include "quantity/Quantity.h"
#include "quantity/Units.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

using namespace sapidoro;

namespace {

struct ScaleCase {
    const char *text;
    Rational factor;
    const char *expected;
};

const Rational kOneAndHalf{3, 2};

class ScaledText : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledText, IsWrittenTheItalianWay) {
    const ScaleCase &c = GetParam();
    EXPECT_EQ(ScaleQuantityText(c.text, c.factor), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, ScaledText,
    testing::Values(
        // Whole numbers, plain counts and their rest.
        ScaleCase{"2", kOneAndHalf, "3"}, ScaleCase{"1", kOneAndHalf, "1 e 1/2"},
        ScaleCase{"3 uova grandi", Rational{1, 3}, "1 uova grandi"},
        ScaleCase{"1", Rational{1, 10}, "1/4"}, ScaleCase{"7", Rational{1, 5}, "1 e 1/3"},
        ScaleCase{"11", Rational{6, 5}, "13"},
        // Decimals with comma or point, fractions, mixed numbers.
        ScaleCase{"1,5 Cucchiai", Rational{2, 1}, "3 Cucchiai"},
        ScaleCase{"0.5 l", Rational{3, 1}, "1,5 l"},
        ScaleCase{"1/2 Bicchiere", kOneAndHalf, "3/4 Bicchiere"},
        ScaleCase{"1/2 Bicchiere", Rational{4, 1}, "2 Bicchieri"},
        ScaleCase{"1 e 1/2 Bicchieri", Rational{1, 3}, "1/2 Bicchiere"},
        ScaleCase{"1 1/2 tazze", Rational{2, 1}, "3 tazze"},
        ScaleCase{"\xBD Bustina", Rational{2, 1}, "1 Bustina"},
        ScaleCase{"1\xBD kg", Rational{1, 3}, "500 g"},
        // Every kind of unit, singular and plural agreeing with the amount.
        ScaleCase{"1 Cucchiaio", Rational{2, 1}, "2 Cucchiai"},
        ScaleCase{"2 Cucchiai", Rational{1, 2}, "1 Cucchiaio"},
        ScaleCase{"1 Spicchio", Rational{3, 1}, "3 Spicchi"},
        ScaleCase{"2 Spicchi", Rational{1, 4}, "1/2 Spicchio"},
        ScaleCase{"1 Costa", Rational{2, 1}, "2 Coste"},
        ScaleCase{"5 Foglie", Rational{1, 5}, "1 Foglia"},
        ScaleCase{"1 Pizzico", Rational{2, 1}, "2 Pizzichi"},
        ScaleCase{"2 Tazzine", Rational{1, 2}, "1 Tazzina"},
        ScaleCase{"1 CUCCHIAINO", Rational{3, 1}, "3 CUCCHIAINI"},
        ScaleCase{"4 Fogli", Rational{1, 4}, "1 Foglio"},
        ScaleCase{"2 Rametti", Rational{3, 4}, "1 e 1/2 Rametti"},
        ScaleCase{"3 Filetti di acciuga", Rational{2, 3}, "2 Filetti di acciuga"},
        ScaleCase{"2 dl", Rational{5, 4}, "2,5 dl"}, ScaleCase{"1 etto", Rational{3, 1}, "3 etti"},
        // Grams and millilitres: sensible steps, 1000 as kg and l.
        ScaleCase{"300 g", Rational{4, 3}, "400 g"}, ScaleCase{"250 g", Rational{4, 3}, "330 g"},
        ScaleCase{"500 g", Rational{2, 1}, "1 kg"}, ScaleCase{"800 g", Rational{3, 2}, "1200 g"},
        ScaleCase{"1 kg", kOneAndHalf, "1,5 kg"}, ScaleCase{"1 kg", Rational{5, 3}, "1,65 kg"},
        ScaleCase{"1 kg", Rational{1, 4}, "250 g"}, ScaleCase{"500 ml", Rational{2, 1}, "1 l"},
        ScaleCase{"1 l", Rational{1, 3}, "330 ml"}, ScaleCase{"3 l", Rational{5, 4}, "3,75 l"},
        ScaleCase{"50 g", Rational{1, 3}, "17 g"}, ScaleCase{"12 g", Rational{1, 5}, "2,5 g"},
        ScaleCase{"1 g", Rational{1, 10}, "0,1 g"},
        ScaleCase{"300g di farina", Rational{1, 2}, "150g di farina"},
        ScaleCase{"1 Kg", Rational{3, 1}, "3 Kg"},
        ScaleCase{"2 grammi", Rational{1, 2}, "1 grammo"},
        // Unreadable amounts stay as written, never scaled.
        ScaleCase{"", Rational{2, 1}, ""}, ScaleCase{"q.b.", Rational{2, 1}, "q.b."},
        ScaleCase{"un pizzico", Rational{2, 1}, "un pizzico"},
        ScaleCase{"1-2", Rational{2, 1}, "1-2"}, ScaleCase{"1 o 2", Rational{2, 1}, "1 o 2"},
        ScaleCase{"1 e mezzo", Rational{2, 1}, "1 e mezzo"},
        ScaleCase{"1.000 g", Rational{2, 1}, "1.000 g"}, ScaleCase{"1/0", Rational{2, 1}, "1/0"},
        ScaleCase{"99999999999999999999 kg", Rational{2, 1}, "99999999999999999999 kg"},
        ScaleCase{"2\x01 g", Rational{2, 1}, "2\x01 g"}, ScaleCase{"2\tg", Rational{2, 1}, "2\tg"},
        // Scaling by one writes the text exactly as given.
        ScaleCase{"1,50  Cucchiai", Rational{1, 1}, "1,50  Cucchiai"}));

TEST(Quantity, ReadsAmountUnitAndRest) {
    const Quantity q = ParseQuantity("1 e 1/2 Cucchiai rasi");
    ASSERT_TRUE(q.readable);
    EXPECT_EQ(q.amount, (Rational{3, 2}));
    ASSERT_NE(q.unit, nullptr);
    EXPECT_EQ(q.unit->singular, "cucchiaio");
    EXPECT_EQ(q.rest, " rasi");
    // A word that only begins like a unit is not one.
    EXPECT_EQ(ParseQuantity("2 Costolette").unit, nullptr);
    EXPECT_EQ(ParseQuantity("1 limone").unit, nullptr);
}

TEST(Quantity, HostileTextsGiveATextAndNoUnit) {
    const std::string digits(1 << 20, '7');
    for (const std::string &text :
         {digits, digits + " kg", "1/" + digits, "0," + digits,
          std::string("9223372036854775807/1 g"), std::string("999999999999/999999999997 g")}) {
        const Quantity q = ParseQuantity(text);
        const std::string scaled = ScaleQuantityText(text, Rational{97, 99});
        if (!q.readable) {
            EXPECT_EQ(scaled, text);
        }
        EXPECT_FALSE(scaled.empty());
    }
    // The largest readable amount times the largest factor still gets written.
    EXPECT_EQ(ScaleQuantityText("999999999999 kg", Rational{100, 1}), "99999999999900 kg");
    EXPECT_EQ(ScaleQuantityText("999999999999/999999999989 l", Rational{100, 99}),
              ScaleQuantityText("999999999999/999999999989 l", Rational{100, 99}));
}

// Every quantity of the sample collection reads back unchanged and its unit is known.
TEST(Quantity, SampleCollectionReadsBackUnchanged) {
    std::ifstream file(SAPIDORO_SAMPLE_DATA "ricette.txt", std::ios::binary);
    ASSERT_TRUE(file) << "sample collection missing";
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::set<std::string> quantities;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\r', start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        const std::size_t separator = line.find(" ==== ");
        if (separator != std::string::npos) quantities.insert(line.substr(0, separator));
        start = end + 1;
        if (start < bytes.size() && bytes[start] == '\n') ++start;
    }
    ASSERT_GT(quantities.size(), 50u);
    for (const std::string &text : quantities) {
        const Quantity q = ParseQuantity(text);
        EXPECT_EQ(FormatQuantity(q), text);
        EXPECT_EQ(ScaleQuantityText(text, Rational{1, 1}), text);
        if (text.empty()) continue;
        EXPECT_TRUE(q.readable) << text;
        // Whatever follows the amount is a unit the grammar knows.
        EXPECT_TRUE(q.rest.empty()) << text;
        // Written anew it is the same text; twice and back again the same amount.
        EXPECT_EQ(FormatQuantity(ScaleQuantity(q, Rational{1, 1})), text);
        const std::string twice = FormatQuantity(ScaleQuantity(q, Rational{2, 1}));
        EXPECT_EQ(BaseAmount(ScaleQuantity(ParseQuantity(twice), Rational{1, 2})), BaseAmount(q))
            << text;
    }
}

}  // namespace
