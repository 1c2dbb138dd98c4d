#include "resizer/MRValues.h"

#include "common/Exception.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QMetaProperty>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace sapidoro::resizer {

namespace {

int ClampToInt(double value) {
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, low, high));
}

}  // namespace

bool HasProperty(const QObject *object, const char *name) {
    return object->metaObject()->indexOfProperty(name) >= 0;
}

void RequireProperty(const QObject *object, const char *name) {
    if (!HasProperty(object, name)) throw Exception(std::string("No ") + name + " property");
}

bool Publishes(const QObject *object, const char *name) {
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    return index >= 0 && meta->property(index).isDesignable();
}

int ReadInt(const QObject *object, const char *name) {
    return object->property(name).toInt();
}

void WriteInt(QObject *object, const char *name, int value) {
    if (object->property(name).toInt() != value) object->setProperty(name, value);
}

QSize ClientSize(const QWidget *widget) {
    // A scroll area's content is measured against the whole viewport area: the scroll bars
    // come and go after the content is placed (Qt decides that later), so they are left out.
    const auto *area = qobject_cast<const QAbstractScrollArea *>(widget->parentWidget());
    if (area != nullptr && area->viewport() == widget) return area->maximumViewportSize();
    return widget->size();
}

float Ratio(int value, int reference) {
    return static_cast<float>(static_cast<double>(value) / static_cast<double>(reference));
}

int Truncated(int reference, float ratio) {
    return ClampToInt(std::trunc(static_cast<double>(reference) * static_cast<double>(ratio)));
}

int ExactTruncated(int value, int reference, int now) {
    if (reference == 0) return 0;
    const std::int64_t quotient = static_cast<std::int64_t>(value) * now / reference;
    return static_cast<int>(std::clamp<std::int64_t>(quotient, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int Rounded(int reference, float ratio) {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    return ClampToInt(std::nearbyint(static_cast<double>(reference) * static_cast<double>(ratio)));
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    return ClampToInt(std::round(static_cast<double>(a) * b / c));
}

int FontSize(const QFont &font, int pixelsPerInch) {
    if (font.pixelSize() > 0) return MulDiv(font.pixelSize(), 72, pixelsPerInch);
    return static_cast<int>(std::lround(font.pointSizeF()));
}

void SetFontSize(QFont &font, int size, int pixelsPerInch) {
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, MulDiv(size, pixelsPerInch, 72)));
    else
        font.setPointSize(std::max(1, size));
}

}  // namespace sapidoro::resizer

namespace sapidoro {

std::int32_t TMRLValues::Value(int index) const {
    return index >= 0 && index < Count() ? m_pairs[static_cast<std::size_t>(index)].value : 0;
}

void TMRLValues::SetValue(int index, std::int32_t value) {
    if (index >= 0 && index < Count()) m_pairs[static_cast<std::size_t>(index)].value = value;
}

float TMRLValues::Ratio(int index) const {
    return index >= 0 && index < Count() ? m_pairs[static_cast<std::size_t>(index)].ratio : 0;
}

}  // namespace sapidoro
