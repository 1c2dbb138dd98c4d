#include "common/Cp1252.h"
#include "common/QtText.h"

#include <gtest/gtest.h>

using namespace sapidoro;

TEST(Cp1252, EveryByteRoundTripsThroughQString) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const QString text = FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));  // euro sign
    EXPECT_EQ(text[0x9C], QChar(0x0153));  // oe ligature
    EXPECT_EQ(text[0x81], QChar(0x0081));  // undefined bytes keep their value
    EXPECT_EQ(text[0xE8], QChar(0x00E8));  // e grave
    EXPECT_EQ(ToCp1252(text), all);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

// Texts with and without the bytes where Windows-1252 and Latin-1 differ convert alike.
TEST(Cp1252, TextsConvertByteForByteThroughTheTable) {
    for (const std::string &text :
         {std::string(), std::string("Pasta all'uovo"),
          std::string("Pur\xE8"
                      "e di patate"),
          std::string("\x80"), std::string("Caff\xE8 \x80 \x9C\x81 fine\x9F"),
          std::string(1, '\0') + "\xFF\x9D\x7F", std::string(300, '\x8C')}) {
        const QString converted = FromCp1252(text);
        ASSERT_EQ(converted.size(), static_cast<qsizetype>(text.size()));
        for (std::size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(converted[static_cast<qsizetype>(i)].unicode(),
                      Cp1252ToUnicode(static_cast<unsigned char>(text[i])))
                << "byte " << i << " of '" << text << "'";
    }
}

TEST(Cp1252, CharactersWithoutAByteBecomeQuestionMarks) {
    EXPECT_EQ(ToCp1252(QString::fromUtf8("\xE2\x86\x92 x")), "? x");  // arrow
    EXPECT_EQ(ToCp1252(QString::fromUtf8("a\xF0\x9F\x8D\x9D"
                                         "b")),
              "a?b");  // beyond the BMP
    EXPECT_EQ(Utf8ToCp1252("caff\xC3\xA8 \xE2\x82\xAC"), "caff\xE8 \x80");
}
