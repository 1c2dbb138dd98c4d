#include "exchange/MealMasterReader.h"
#include "exchange/TextEncoding.h"

#include <gtest/gtest.h>

using namespace sapidoro;

namespace {

std::string Recipe(const std::string &name, const std::string &step) {
    return "MMMMM----- x\r\n\r\n      Title: " + name + "\r\n\r\n      1 c  Latte\r\n\r\n  " +
           step + "\r\nMMMMM\r\n";
}

}  // namespace

// The same Italian recipe in each encoding reads back as the same Windows-1252 fields.
TEST(Encoding, EachEncodingIsFoundAndConverted) {
    struct Case {
        const char *encoding;
        std::string name;
        std::string step;
    };
    const std::vector<Case> cases = {
        {"UTF-8", "Citt\xC3\xA0 Perch\xC3\xA9", "Cos\xC3\xAC \xC3\xA8 pi\xC3\xB9 buono"},
        {"Windows-1252", "Citt\xE0 Perch\xE9", "Cos\xEC \xE8 pi\xF9 buono"},
        {"DOS 437", "Citt\x85 Perch\x82", "Cos\x8D \x8A pi\x97 buono"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.encoding);
        const ImportResult result = ReadMealMasterText(Recipe(c.name, c.step), {});
        EXPECT_EQ(result.encoding, c.encoding);
        ASSERT_EQ(result.recipes.size(), 1u);
        EXPECT_EQ(result.recipes[0].record.name, "Citt\xE0 Perch\xE9");
        EXPECT_EQ(result.recipes[0].record.preparation[0], "Cos\xEC \xE8 pi\xF9 buono");
        EXPECT_TRUE(result.recipes[0].unwritable.empty());
    }
    // A byte-order mark, even on ASCII text, is UTF-8.
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBFplain"), SourceEncoding::Utf8);
    // The apostrophe of "d’oliva" in Windows-1252 is no DOS letter.
    EXPECT_EQ(DetectEncoding("d\x92oliva d\x92"
                             "aglio l\x92olio citt\xE0"),
              SourceEncoding::Cp1252);
}

// Characters outside Windows-1252 are written as "?" and named, recipe by recipe.
TEST(Encoding, UnwritableCharactersAreReported) {
    const ImportResult utf8 =
        ReadMealMasterText(Recipe("Cuore \xE2\x99\xA5", "ok") +
                               Recipe("Pulita \xC3\xA8", "\xE2\x98\xBA e \xE2\x99\xA5"),
                           {});
    ASSERT_EQ(utf8.recipes.size(), 2u);
    EXPECT_EQ(utf8.recipes[0].record.name, "Cuore ?");
    EXPECT_EQ(utf8.recipes[0].unwritable, std::vector<char32_t>{0x2665});
    EXPECT_EQ(utf8.recipes[1].record.preparation[0], "? e ?");
    EXPECT_EQ(utf8.recipes[1].unwritable, (std::vector<char32_t>{0x263A, 0x2665}));
    EXPECT_EQ(DescribeCharacter(0x263A), "\xC2\xAB\xE2\x98\xBA\xC2\xBB (U+263A)");

    // A DOS box drawing among the letters.
    const ImportResult dos = ReadMealMasterText(Recipe("Citt\x85 \xC4\xC4", "pi\x97"), {});
    ASSERT_EQ(dos.recipes.size(), 1u);
    EXPECT_EQ(dos.recipes[0].record.name, "Citt\xE0 ??");
    EXPECT_EQ(dos.recipes[0].unwritable, std::vector<char32_t>{0x2500});

    // Invalid UTF-8 later in a UTF-8 file is read byte by byte as Windows-1252.
    Cp1252Converter converter(SourceEncoding::Utf8);
    EXPECT_EQ(converter.convert("a\xC3\xA8 \xE8 \xF0\x9F"), "a\xE8 \xE8 \xF0\x9F");
    EXPECT_TRUE(converter.takeUnwritable().empty());
}
