#include "common/AsciiCase.h"

#include <gtest/gtest.h>

using namespace sapidoro;

TEST(AsciiCase, OnlyTheTwentySixLettersChangeCase) {
    int raised = 0, lowered = 0;
    for (int i = 0; i < 256; ++i) {
        const auto byte = static_cast<unsigned char>(i);
        const bool lower = i >= 'a' && i <= 'z', upper = i >= 'A' && i <= 'Z';
        EXPECT_EQ(IsAsciiLetter(byte), lower || upper) << i;
        EXPECT_EQ(AsciiUpper(byte), lower ? i - 32 : i) << i;
        EXPECT_EQ(AsciiLower(byte), upper ? i + 32 : i) << i;
        raised += AsciiUpper(byte) != byte;
        lowered += AsciiLower(byte) != byte;
        // Signed bytes above 0x7F are negative and stay as they are.
        EXPECT_EQ(AsciiUpper(static_cast<char>(byte)), static_cast<char>(lower ? i - 32 : i));
    }
    EXPECT_EQ(raised, 26);
    EXPECT_EQ(lowered, 26);
    // Bytes 0x20 apart that are no letters do not fold: "@" and "`", "[" and "{".
    EXPECT_EQ(AsciiUpper('`'), '`');
    EXPECT_EQ(AsciiLower('@'), '@');
    EXPECT_EQ(AsciiUpper('\xE8'), '\xE8');
}

TEST(AsciiCase, WidgetTextsFoldTheSameLettersOnly) {
    // UTF-16 units: accented letters, also those with a case pair in Latin-1, stay.
    EXPECT_EQ(AsciiUpper(u'a'), u'A');
    EXPECT_EQ(AsciiLower(u'Z'), u'z');
    for (char16_t c : {u'è', u'È', u'à', u'ß', u'ÿ', u'Ÿ', u'\u0161', u'\uFF41'}) {
        EXPECT_EQ(AsciiUpper(c), c);
        EXPECT_EQ(AsciiLower(c), c);
        EXPECT_FALSE(IsAsciiLetter(c));
    }
}

TEST(AsciiCase, TextsFoldToUpperCase) {
    EXPECT_EQ(AsciiUpper(std::string_view("\xE0"
                                          "bc-xyz")),
              "\xE0"
              "BC-XYZ");
    EXPECT_EQ(AsciiUpper(std::string_view()), "");
    EXPECT_EQ(AsciiUpper(std::string_view("Pasta All'Uovo 200 G")), "PASTA ALL'UOVO 200 G");
}
