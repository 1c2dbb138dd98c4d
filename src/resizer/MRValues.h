#pragma once

#include <QSize>

#include <cstdint>
#include <vector>

class QFont;
class QObject;
class QWidget;

namespace sapidoro {

namespace resizer {

// Throws "No <name> property" unless `object`'s class has the property `name`.
void RequireProperty(const QObject *object, const char *name);
// True when `object`'s class has the property `name` and offers it to a form designer.
bool Publishes(const QObject *object, const char *name);
bool HasProperty(const QObject *object, const char *name);

int ReadInt(const QObject *object, const char *name);
void WriteInt(QObject *object, const char *name, int value);

// The area a widget's own children and scaled sizes are measured in: Qt places children
// from the widget's own corner and draws any frame inside it, so this is the whole widget;
// for a scroll area's viewport, the largest the viewport can be.
QSize ClientSize(const QWidget *widget);

// value / reference as a 32-bit float, the quotient formed in double precision.
float Ratio(int value, int reference);
// reference × ratio in double precision, cut toward zero (kept within the int range).
int Truncated(int reference, float ratio);
// Trunc(now × value / reference) in exact integer arithmetic (kept within the int range).
int ExactTruncated(int value, int reference, int now);
// reference × ratio in double precision, rounded to the nearest integer, halves to even.
int Rounded(int reference, float ratio);

// A font's size in whole points; a font given in pixels is converted at `pixelsPerInch`.
int FontSize(const QFont &font, int pixelsPerInch);
// Sets the size in points, keeping a font given in pixels a font given in pixels.
void SetFontSize(QFont &font, int size, int pixelsPerInch);
// a × b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c);

}  // namespace resizer

// Pairs of the value last applied and its ratio; an index out of range reads 0 and writes
// nothing.
class TMRLValues {
public:
    void Add(std::int32_t value, float ratio) { m_pairs.push_back({value, ratio}); }
    void Clear() { m_pairs.clear(); }
    int Count() const { return static_cast<int>(m_pairs.size()); }
    std::int32_t Value(int index) const;
    void SetValue(int index, std::int32_t value);
    float Ratio(int index) const;

private:
    struct Pair {
        std::int32_t value;
        float ratio;
    };
    std::vector<Pair> m_pairs;
};

// The last applied width, minimum and maximum of a header section, with their ratios.
struct TMRLSection {
    int LastWidth = 0;
    int LastMinWidth = 0;
    int LastMaxWidth = 0;
    float WidthRatio = 0;
    float MinWidthRatio = 0;
    float MaxWidthRatio = 0;
};
using TMRLSections = std::vector<TMRLSection>;

}  // namespace sapidoro
