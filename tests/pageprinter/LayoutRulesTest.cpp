#include "pageprinter/ColumnFormat.h"
#include "pageprinter/PageTokens.h"
#include "pageprinter/PageUnits.h"
#include "pageprinter/TextFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace sapidoro;

namespace {

// Every character 10 dots wide, "W" 30: enough to see the bisection and the breaks.
class FakeMeasure : public TextMeasure {
public:
    int TextWidth(QStringView text) const override {
        int width = 0;
        for (QChar c : text) width += c == u'W' ? 30 : 10;
        return width;
    }
};

}  // namespace

TEST(Units, RoundHalfToEvenAndSaturation) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(1e300), 1 << 28);
    EXPECT_EQ(RoundHalfEven(-1e300), -(1 << 28));
}

TEST(Units, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(10, 300, 72), 42);  // 41.67
    EXPECT_EQ(MulDiv(10, 600, 72), 83);  // 83.33
    EXPECT_EQ(MulDiv(13, 72, 96), 10);   // 9.75
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
}

TEST(Units, LengthsToDotsAndBackInBothUnits) {
    EXPECT_EQ(LengthToDots(1, muInches, 300), 300);
    EXPECT_EQ(LengthToDots(25.4, muMillimeters, 600), 600);
    EXPECT_EQ(LengthToDots(1.0 / 600, muInches, 300), 0);  // exactly half a dot: to even
    EXPECT_EQ(LengthToDots(3.0 / 600, muInches, 300), 2);  // one and a half dots: to even
    for (int dpi : {300, 600}) {
        for (int dots : {0, 1, 75, 2550, 3301}) {
            EXPECT_EQ(LengthToDots(DotsToLength(dots, muInches, dpi), muInches, dpi), dots);
            EXPECT_EQ(LengthToDots(DotsToLength(dots, muMillimeters, dpi), muMillimeters, dpi),
                      dots);
        }
    }
    EXPECT_DOUBLE_EQ(DotsToLength(150, muInches, 0), 0.5);  // no resolution: 300 dpi
    EXPECT_DOUBLE_EQ(DotsToLength(300, muMillimeters, 300), 25.4);
}

TEST(ColumnFormat, DecimalNumbersInTheLocaleNotation) {
    EXPECT_EQ(ParseDecimal(u"1.50", u'.'), 1.5);
    EXPECT_EQ(ParseDecimal(u" -2 ", u'.'), -2);
    EXPECT_EQ(ParseDecimal(u"1,5", u','), 1.5);
    EXPECT_EQ(ParseDecimal(u".5", u'.'), 0.5);
    EXPECT_EQ(ParseDecimal(u"2E1", u'.'), 20);
    for (const char16_t *bad : {u"", u"1,5", u"abc", u"1.5x", u"E5", u"-", u"1e", u"1 5"})
        EXPECT_FALSE(ParseDecimal(bad, u'.').has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(ColumnFormat, GeneralNotationIsShortest) {
    EXPECT_EQ(FormatGeneral(1.5, u'.'), "1.5");
    EXPECT_EQ(FormatGeneral(2, u'.'), "2");
    EXPECT_EQ(FormatGeneral(0, u'.'), "0");
    EXPECT_EQ(FormatGeneral(25.4, u'.'), "25.4");
    EXPECT_EQ(FormatGeneral(1 * 25.4 * 0.03937007874015748, u'.'), "1");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, u'.'), "0.3");
    EXPECT_EQ(FormatGeneral(-0.25, u','), "-0,25");
    EXPECT_EQ(FormatGeneral(0.00001, u'.'), "0.00001");
    EXPECT_EQ(FormatGeneral(0.0000015, u'.'), "1.5E-6");
    EXPECT_EQ(FormatGeneral(1e15, u'.'), "1E15");
    EXPECT_EQ(FormatGeneral(123456789012345.0, u'.'), "123456789012345");
    EXPECT_EQ(FormatFixed2(2.5, u'.'), "2.50");
    EXPECT_EQ(FormatFixed2(7.5 / 3, u','), "2,50");
}

TEST(ColumnFormat, SpecsAndNormalisation) {
    EXPECT_EQ(NormalizeColumnFormat("2|>1.50|^", u'|', 0, u'.'), "<2|>1.5|^0");
    EXPECT_EQ(NormalizeColumnFormat("", u'|', 1, u'.'), "");
    EXPECT_EQ(NormalizeColumnFormat("^", u'|', 1.25, u'.'), "^1.25");
    EXPECT_EQ(NormalizeColumnFormat("abc", u'|', 3, u'.'), "<3");
    EXPECT_EQ(NormalizeColumnFormat("-2", u'|', 0, u'.'), "<-2");
    EXPECT_EQ(NormalizeColumnFormat("|", u'|', 1, u'.'), "<1|<1");
    EXPECT_EQ(NormalizeColumnFormat("1;>2", u';', 0, u'.'), "<1;>2");
    EXPECT_EQ(NormalizeColumnFormat("1,5|>2", u'|', 0, u','), "<1,5|>2");
    EXPECT_EQ(NormalizeColumnFormat("<1|>2", u'|', 0, u'.', 25.4), "<25.4|>50.8");

    const ColumnSpec right = ParseColumnSpec(u">1.5", 0, u'.');
    EXPECT_EQ(right.align, ColumnAlign::Right);
    EXPECT_EQ(right.width, 1.5);
    const ColumnSpec centred = ParseColumnSpec(u"^x", 2, u'.');
    EXPECT_EQ(centred.align, ColumnAlign::Center);
    EXPECT_EQ(centred.width, 2);
    EXPECT_EQ(ParseColumnSpec(u"-2", 0, u'.').width, -2);
    EXPECT_EQ(SplitAtSeparator("", u'|'), QStringList{QString()});
    EXPECT_EQ(SplitAtSeparator("a||b|", u'|'), (QStringList{"a", "", "b", ""}));
}

TEST(Tokens, ReplaceAllDoesNotSearchInsertedText) {
    EXPECT_EQ(ReplaceAll("ab ab", "ab", "abab"), "abab abab");
    EXPECT_EQ(ReplaceAll("{$PAGE}", "{$PAGE}", "{$PAGE}{$PAGE}"), "{$PAGE}{$PAGE}");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("Page", "page", "x"), "Page");
}

TEST(Tokens, ExpandsEveryTokenCaseSensitive) {
    TokenValues values;
    values.line = 7;
    values.page = 3;
    values.date = "1/2/03";
    values.time = "04:05:06";
    values.title = "T {$PAGE}";
    EXPECT_EQ(ExpandTokens("{$PAGE}/{$PAGE}", values), "3/3");
    EXPECT_EQ(ExpandTokens("{$page} {$LINE}", values), "{$page} 7");
    EXPECT_EQ(ExpandTokens("{$DATE} {$TIME}", values), "1/2/03 04:05:06");
    // The title comes last, so a token inside it stays as it is.
    EXPECT_EQ(ExpandTokens("{$TITLE}", values), "T {$PAGE}");
}

TEST(Tokens, FriendlyHeaderCodes) {
    const QDateTime moment(QDate(2003, 2, 1), QTime(4, 5, 6));
    const FriendlyValues values{moment, "C:\\docs\\report.txt"};
    FriendlyFormat f = ApplyFriendlyFormat("&lReport&c&p&r&d", u'|', 7.5, u'.', values);
    EXPECT_EQ(f.text, "Report|{$PAGE}|" + LocaleShortDate(moment));
    EXPECT_EQ(f.format, "<2.50|^2.50|>2.50");

    f = ApplyFriendlyFormat("&lA&rB", u'|', 7, u'.', values);
    EXPECT_EQ(f.text, "A|B");
    EXPECT_EQ(f.format, "<3.50|>3.50");
    f = ApplyFriendlyFormat("", u'|', 7.5, u'.', values);
    EXPECT_EQ(f.text, "");
    EXPECT_EQ(f.format, "<7.50");
    f = ApplyFriendlyFormat("a&&b&zc&", u'|', 1, u'.', values);
    EXPECT_EQ(f.text, "a&b c");
    // A column code after text that had no column yet opens a left column first.
    f = ApplyFriendlyFormat("x&ry", u';', 3, u',', values);
    EXPECT_EQ(f.text, "x;y");
    EXPECT_EQ(f.format, "<1,50;>1,50");
    f = ApplyFriendlyFormat("&f|&F|&i|&t|&T|&D", u'#', 1, u'.', values);
    EXPECT_EQ(f.text, "report.txt|C:\\docs\\report.txt|{$TITLE}|" + LocaleShortTime(moment) + "|" +
                          LocaleLongTime(moment) + "|" + LocaleLongDate(moment));
    EXPECT_EQ(ApplyFriendlyFormat("[&f]", u'|', 1, u'.', FriendlyValues{moment, ""}).text, "[ ]");
    EXPECT_EQ(FileNameWithoutFolder("/tmp/out.txt"), "out.txt");
    EXPECT_EQ(FileNameWithoutFolder("A:x"), "x");
    EXPECT_FALSE(LocaleLongTime(moment).contains("UTC"));
}

TEST(TextFit, TabsExpandToTheNextStop) {
    EXPECT_EQ(ExpandTabs("ab\tc", 8), "ab      c");
    EXPECT_EQ(ExpandTabs("abcdefgh\tc", 8), "abcdefgh        c");
    EXPECT_EQ(ExpandTabs("\t\t", 4), "        ");
    EXPECT_EQ(ExpandTabs("a\tb", 1), "a b");
    EXPECT_EQ(ExpandTabs("a\tb\t", 0), "a b ");
}

TEST(TextFit, BisectionFindsTheLongestPrefixThatFits) {
    const FakeMeasure m;
    EXPECT_EQ(FitText("abcdef", 60, m), "abcdef");
    EXPECT_EQ(FitText("abcdef", 59, m), "abcde");
    EXPECT_EQ(FitText("abcdef", 30, m), "abc");
    EXPECT_EQ(FitText("abcdef", 31, m), "abc");
    EXPECT_EQ(FitText("Wabc", 10, m), "W");  // never shorter than one character
    EXPECT_EQ(FitText("abcdef", -5, m), "a");
    EXPECT_EQ(FitText("aWaaaaaaa", 45, m), "aW");
    for (int width = 10; width <= 200; width += 7) {
        const QString text = "the quick brown fox jumps over";
        const QString fit = FitText(text, width, m);
        EXPECT_LE(m.TextWidth(fit), width);
        if (fit.size() < text.size()) {
            EXPECT_GT(m.TextWidth(text.left(fit.size() + 1)), width);
        }
    }
}

TEST(TextFit, PiecesBreakAtBlanks) {
    const FakeMeasure m;
    WrapPiece p = TakePiece("hello world", 80, false, m);
    EXPECT_EQ(p.piece, "hello ");
    EXPECT_EQ(p.rest, "world");
    p = TakePiece("hello world", 50, false, m);  // the blank follows the piece
    EXPECT_EQ(p.piece, "hello");
    EXPECT_EQ(p.rest, " world");
    p = TakePiece("hello world", 50, true, m);
    EXPECT_EQ(p.rest, "world");
    p = TakePiece("abcdefgh", 50, true, m);  // no blank: hard break inside the word
    EXPECT_EQ(p.piece, "abcde");
    EXPECT_EQ(p.rest, "fgh");
    p = TakePiece("ab\ncdefgh", 60, false, m);  // control characters break too
    EXPECT_EQ(p.piece, "ab\n");
    EXPECT_EQ(p.rest, "cdefgh");
    p = TakePiece("short", 500, true, m);
    EXPECT_EQ(p.piece, "short");
    EXPECT_EQ(p.rest, "");
}
