#include "pageprinter/TextFit.h"

namespace sapidoro {

namespace {

// Blanks and control characters are where lines may break.
bool IsBreakCharacter(QChar c) {
    return c.unicode() < 33;
}

}  // namespace

QString ExpandTabs(const QString &text, unsigned tabSize) {
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c != u'\t') {
            result += c;
            continue;
        }
        const qsizetype blanks =
            tabSize == 0 ? 1 : tabSize - static_cast<qsizetype>(result.size() % tabSize);
        result.append(QString(blanks, u' '));
    }
    return result;
}

QString FitText(const QString &text, int width, const TextMeasure &measure) {
    if (measure.TextWidth(text) <= width) return text;
    qsizetype lower = 1;
    qsizetype upper = text.size();
    qsizetype previous = 0;
    qsizetype middle = 0;
    for (;;) {
        middle = (lower + upper) / 2;
        const int w = measure.TextWidth(QStringView(text).left(middle));
        if (w > width) {
            upper = middle;
        } else if (w < width) {
            lower = middle;
        } else {
            lower = upper;
        }
        if (middle == previous || upper <= lower) break;
        previous = middle;
    }
    return text.left(middle);
}

WrapPiece TakePiece(const QString &text, int width, bool dropBlank, const TextMeasure &measure) {
    WrapPiece result;
    result.piece = FitText(text, width, measure);
    qsizetype cut = result.piece.size();
    if (cut < text.size()) {
        if (IsBreakCharacter(text[cut])) {
            result.rest = text.mid(dropBlank ? cut + 1 : cut);
            return result;
        }
        qsizetype last = cut - 1;
        while (last >= 0 && !IsBreakCharacter(result.piece[last])) --last;
        if (last >= 0) {
            cut = last + 1;
            result.piece.truncate(cut);
        }
    }
    result.rest = text.mid(cut);
    return result;
}

}  // namespace sapidoro
