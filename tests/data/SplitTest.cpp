#include "common/Exception.h"
#include "data/IntConvert.h"
#include "data/Split.h"

#include <gtest/gtest.h>

using namespace sapidoro;

TEST(Split, TextBeforeAndAfterTheFirstSeparator) {
    EXPECT_EQ(TextBefore(" ==== Sale", " ==== "), "");
    EXPECT_EQ(TextAfter(" ==== Sale", " ==== "), "Sale");
    EXPECT_EQ(TextBefore("Sale", " ==== "), "Sale");
    EXPECT_EQ(TextAfter("Sale", " ==== "), "");
    EXPECT_EQ(TextAfter("1 Cucchiaio ==== Succo Di Limone", " ==="), "= Succo Di Limone");
    EXPECT_EQ(TextBefore("a|b|c", "|"), "a");
    EXPECT_EQ(TextAfter("a|b|c", "|"), "b|c");
    EXPECT_EQ(TextBefore("Farina_ing == 1", "_ING"), "Farina_ing == 1");
    EXPECT_EQ(TextBefore("abc", ""), "abc");
    EXPECT_EQ(TextAfter("abc", ""), "");
}

TEST(Split, TextAfterKeepsAtMost255Characters) {
    const std::string rest(300, 'x');
    EXPECT_EQ(TextAfter("k=" + rest, "=").size(), 255u);
    EXPECT_EQ(TextAfter("k=" + std::string(255, 'y'), "=").size(), 255u);
}

TEST(IntConvert, AcceptsBlanksSignAndDigitsWithin32Bits) {
    EXPECT_EQ(StrToInt("4"), 4);
    EXPECT_EQ(StrToInt("  -12"), -12);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char *bad : {"", " ", "4 ", "x", "1.5", "2147483648", "-", "12a", "--1"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.message(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(IntConvert, MessageShowsWindows1252TextAsUtf8) {
    try {
        StrToInt("quattro\xE8");
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), "'quattro\xC3\xA8' is not a valid integer value");
    }
}
