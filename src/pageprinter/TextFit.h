#pragma once

#include <QString>
#include <QStringView>

namespace sapidoro {

// Width of a text in device dots, in some font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int TextWidth(QStringView text) const = 0;
};

// Replaces each tab by the blanks up to the next multiple of `tabSize` (at least one blank);
// a tab size of 0 has no tab stops, so a tab becomes one blank.
QString ExpandTabs(const QString &text, unsigned tabSize);

// The longest prefix of `text` not wider than `width`, found by bisection; never shorter than
// one character, even when that character is wider.
QString FitText(const QString &text, int width, const TextMeasure &measure);

// A piece of a line to be wrapped and what is left of the text after it.
struct WrapPiece {
    QString piece;
    QString rest;
};

// Takes as much of `text` as fits `width`, breaking after the last blank or control
// character; `dropBlank` removes the blank at which the break falls from the rest.
WrapPiece TakePiece(const QString &text, int width, bool dropBlank, const TextMeasure &measure);

}  // namespace sapidoro
