#include "pageprinter/ColumnFormat.h"
#include "pageprinter/PageTokens.h"
#include "pageprinter/PageUnits.h"
#include "pageprinter/TextFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

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
    for (const char16_t *bad : {u"u", u"_s1,5", u"abc", u"1.5x", u"E5", u"-u", u"_s1e", u"1 5"})
        EXPECT_FALSE(ParseDecimal(bad, u'.').has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(ColumnFormat, GeneralNotationIsShortest) {
    EXPECT_EQ(FormatGeneral(1.5, u'.'), u"1.5"_s);
    EXPECT_EQ(FormatGeneral(2, u'.'), u"2"_s);
    EXPECT_EQ(FormatGeneral(0, u'.'), u"0"_s);
    EXPECT_EQ(FormatGeneral(25.4, u'.'), u"25.4"_s);
    EXPECT_EQ(FormatGeneral(1 * 25.4 * 0.03937007874015748, u'.'), u"1"_s);
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, u'.'), u"0.3"_s);
    EXPECT_EQ(FormatGeneral(-0.25, u','), u"-0,25"_s);
    EXPECT_EQ(FormatGeneral(0.00001, u'.'), u"0.00001"_s);
    EXPECT_EQ(FormatGeneral(0.0000015, u'.'), u"1.5E-6"_s);
    EXPECT_EQ(FormatGeneral(1e15, u'.'), u"1E15"_s);
    EXPECT_EQ(FormatGeneral(123456789012345.0, u'.'), u"123456789012345"_s);
    EXPECT_EQ(FormatFixed2(2.5, u'.'), u"2.50"_s);
    EXPECT_EQ(FormatFixed2(7.5 / 3, u','), u"2,50"_s);
}

TEST(ColumnFormat, SpecsAndNormalisation) {
    EXPECT_EQ(NormalizeColumnFormat(u"2|>1.50|^"_s, u'|', 0, u'.'), u"<2|>1.5|^0"_s);
    EXPECT_EQ(NormalizeColumnFormat(u""_s, u'|', 1, u'.'), u""_s);
    EXPECT_EQ(NormalizeColumnFormat(u"^"_s, u'|', 1.25, u'.'), u"^1.25"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"abc"_s, u'|', 3, u'.'), u"<3"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"-2"_s, u'|', 0, u'.'), u"<-2"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"|"_s, u'|', 1, u'.'), u"<1|<1"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"1;>2"_s, u';', 0, u'.'), u"<1;>2"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"1,5|>2"_s, u'|', 0, u','), u"<1,5|>2"_s);
    EXPECT_EQ(NormalizeColumnFormat(u"<1|>2"_s, u'|', 0, u'.', 25.4), u"<25.4|>50.8"_s);

    const ColumnSpec right = ParseColumnSpec(u">1.5", 0, u'.');
    EXPECT_EQ(right.align, ColumnAlign::Right);
    EXPECT_EQ(right.width, 1.5);
    const ColumnSpec centred = ParseColumnSpec(u"^x", 2, u'.');
    EXPECT_EQ(centred.align, ColumnAlign::Center);
    EXPECT_EQ(centred.width, 2);
    EXPECT_EQ(ParseColumnSpec(u"-2", 0, u'.').width, -2);
    EXPECT_EQ(SplitAtSeparator(u""_s, u'|'), QStringList{QString()});
    EXPECT_EQ(SplitAtSeparator(u"a||b|"_s, u'|'), (QStringList{u"a"_s, u""_s, u"b"_s, u""_s}));
}

TEST(Tokens, ReplaceAllDoesNotSearchInsertedText) {
    EXPECT_EQ(ReplaceAll(u"ab ab"_s, u"ab"_s, u"abab"_s), u"abab abab"_s);
    EXPECT_EQ(ReplaceAll(u"{$PAGE}"_s, u"{$PAGE}"_s, u"{$PAGE}{$PAGE}"_s), u"{$PAGE}{$PAGE}"_s);
    EXPECT_EQ(ReplaceAll(u"aaa"_s, u"aa"_s, u"b"_s), u"ba"_s);
    EXPECT_EQ(ReplaceAll(u"Page"_s, u"page"_s, u"x"_s), u"Page"_s);
}

TEST(Tokens, ExpandsEveryTokenCaseSensitive) {
    TokenValues values;
    values.line = 7;
    values.page = 3;
    values.date = u"1/2/03"_s;
    values.time = u"04:05:06"_s;
    values.title = u"T {$PAGE}"_s;
    EXPECT_EQ(ExpandTokens(u"{$PAGE}/{$PAGE}"_s, values), u"3/3"_s);
    EXPECT_EQ(ExpandTokens(u"{$page} {$LINE}"_s, values), u"{$page} 7"_s);
    EXPECT_EQ(ExpandTokens(u"{$DATE} {$TIME}"_s, values), u"1/2/03 04:05:06"_s);
    // The title comes last, so a token inside it stays as it is.
    EXPECT_EQ(ExpandTokens(u"{$TITLE}"_s, values), u"T {$PAGE}"_s);
}

TEST(Tokens, FriendlyHeaderCodes) {
    const QDateTime moment(QDate(2003, 2, 1), QTime(4, 5, 6));
    const FriendlyValues values{moment, u"C:\\docs\\report.txt"_s};
    FriendlyFormat f = ApplyFriendlyFormat(u"&lReport&c&p&r&d"_s, u'|', 7.5, u'.', values);
    EXPECT_EQ(f.text, u"Report|{$PAGE}|"_s + LocaleShortDate(moment));
    EXPECT_EQ(f.format, u"<2.50|^2.50|>2.50"_s);

    f = ApplyFriendlyFormat(u"&lA&rB"_s, u'|', 7, u'.', values);
    EXPECT_EQ(f.text, u"A|B"_s);
    EXPECT_EQ(f.format, u"<3.50|>3.50"_s);
    f = ApplyFriendlyFormat(u""_s, u'|', 7.5, u'.', values);
    EXPECT_EQ(f.text, u""_s);
    EXPECT_EQ(f.format, u"<7.50"_s);
    f = ApplyFriendlyFormat(u"a&&b&zc&"_s, u'|', 1, u'.', values);
    EXPECT_EQ(f.text, u"a&b c"_s);
    // A column code after text that had no column yet opens a left column first.
    f = ApplyFriendlyFormat(u"x&ry"_s, u';', 3, u',', values);
    EXPECT_EQ(f.text, u"x;y"_s);
    EXPECT_EQ(f.format, u"<1,50;>1,50"_s);
    f = ApplyFriendlyFormat(u"&f|&F|&i|&t|&T|&D"_s, u'#', 1, u'.', values);
    EXPECT_EQ(f.text, u"report.txt|C:\\docs\\report.txt|{$TITLE}|"_s + LocaleShortTime(moment) +
                          u"|"_s + LocaleLongTime(moment) + u"|"_s + LocaleLongDate(moment));
    EXPECT_EQ(ApplyFriendlyFormat(u"[&f]"_s, u'|', 1, u'.', FriendlyValues{moment, u""_s}).text,
              u"[ ]"_s);
    EXPECT_EQ(FileNameWithoutFolder(u"/tmp/out.txt"_s), u"out.txt"_s);
    EXPECT_EQ(FileNameWithoutFolder(u"A:x"_s), u"x"_s);
    EXPECT_FALSE(LocaleLongTime(moment).contains(u"UTC"_s));
}

TEST(TextFit, TabsExpandToTheNextStop) {
    EXPECT_EQ(ExpandTabs(u"ab\tc"_s, 8), u"ab      c"_s);
    EXPECT_EQ(ExpandTabs(u"abcdefgh\tc"_s, 8), u"abcdefgh        c"_s);
    EXPECT_EQ(ExpandTabs(u"\t\t"_s, 4), u"        "_s);
    EXPECT_EQ(ExpandTabs(u"a\tb"_s, 1), u"a b"_s);
    EXPECT_EQ(ExpandTabs(u"a\tb\t"_s, 0), u"a b "_s);
}

TEST(TextFit, BisectionFindsTheLongestPrefixThatFits) {
    const FakeMeasure m;
    EXPECT_EQ(FitText(u"abcdef"_s, 60, m), u"abcdef"_s);
    EXPECT_EQ(FitText(u"abcdef"_s, 59, m), u"abcde"_s);
    EXPECT_EQ(FitText(u"abcdef"_s, 30, m), u"abc"_s);
    EXPECT_EQ(FitText(u"abcdef"_s, 31, m), u"abc"_s);
    EXPECT_EQ(FitText(u"Wabc"_s, 10, m), u"W"_s);  // never shorter than one character
    EXPECT_EQ(FitText(u"abcdef"_s, -5, m), u"a"_s);
    EXPECT_EQ(FitText(u"aWaaaaaaa"_s, 45, m), u"aW"_s);
    for (int width = 10; width <= 200; width += 7) {
        const QString text = u"the quick brown fox jumps over"_s;
        const QString fit = FitText(text, width, m);
        EXPECT_LE(m.TextWidth(fit), width);
        if (fit.size() < text.size()) {
            EXPECT_GT(m.TextWidth(text.left(fit.size() + 1)), width);
        }
    }
}

TEST(TextFit, PiecesBreakAtBlanks) {
    const FakeMeasure m;
    WrapPiece p = TakePiece(u"hello world"_s, 80, false, m);
    EXPECT_EQ(p.piece, u"hello "_s);
    EXPECT_EQ(p.rest, u"world"_s);
    p = TakePiece(u"hello world"_s, 50, false, m);  // the blank follows the piece
    EXPECT_EQ(p.piece, u"hello"_s);
    EXPECT_EQ(p.rest, u" world"_s);
    p = TakePiece(u"hello world"_s, 50, true, m);
    EXPECT_EQ(p.rest, u"world"_s);
    p = TakePiece(u"abcdefgh"_s, 50, true, m);  // no blank: hard break inside the word
    EXPECT_EQ(p.piece, u"abcde"_s);
    EXPECT_EQ(p.rest, u"fgh"_s);
    p = TakePiece(u"ab\ncdefgh"_s, 60, false, m);  // control characters break too
    EXPECT_EQ(p.piece, u"ab\n"_s);
    EXPECT_EQ(p.rest, u"cdefgh"_s);
    p = TakePiece(u"short"_s, 500, true, m);
    EXPECT_EQ(p.piece, u"short"_s);
    EXPECT_EQ(p.rest, u""_s);
}
