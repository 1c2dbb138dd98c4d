#include "widgets/LongText.h"

#include "common/QtText.h"

#include <QByteArray>
#include <QLineEdit>
#include <QVariant>

#include <algorithm>

namespace sapidoro {

namespace {

constexpr QChar kEllipsis(kCutMark);
// The whole text of a field that shows it cut, in its data bytes.
constexpr char kWholeTextProperty[] = "sapidoroWholeText";

}  // namespace

QString ShownText(const QString &whole, qsizetype limit) {
    if (whole.size() <= limit) return whole;
    // A cut never splits a surrogate pair.
    QString shown = whole.left(whole.at(limit - 1).isHighSurrogate() ? limit - 1 : limit);
    shown += kEllipsis;
    return shown;
}

QString FieldShownText(const QString &whole) {
    return whole.size() <= kLongTextLimit ? whole : ShownText(whole, kFieldCutLength);
}

bool MayBeCut(const QString &shown) {
    // A field's cut holds `kFieldCutLength` characters, or one fewer before a surrogate pair.
    const qsizetype prefix = shown.size() - 1;
    return (prefix >= kLongTextLimit - 1 || prefix == kFieldCutLength ||
            prefix == kFieldCutLength - 1) &&
           shown.back() == kEllipsis;
}

// Only a text longer than `kLongTextLimit` is ever shown cut.
bool IsCutOf(const QString &shown, const QString &whole) {
    const qsizetype prefix = shown.size() - 1;
    return MayBeCut(shown) && whole.size() > std::max(prefix, kLongTextLimit) &&
           QStringView(whole).left(prefix) == QStringView(shown).left(prefix);
}

bool IsCutOf(const QString &shown, std::string_view wholeCp1252) {
    const auto prefix = static_cast<std::size_t>(shown.size() - 1);
    return MayBeCut(shown) &&
           wholeCp1252.size() > std::max(prefix, static_cast<std::size_t>(kLongTextLimit)) &&
           FromCp1252(wholeCp1252.substr(0, prefix)) == QStringView(shown).left(shown.size() - 1);
}

void SetFieldText(QLineEdit *field, std::string_view cp1252) {
    const bool cut = cp1252.size() > static_cast<std::size_t>(kLongTextLimit);
    field->setProperty(
        kWholeTextProperty,
        cut ? QVariant(QByteArray(cp1252.data(), static_cast<qsizetype>(cp1252.size())))
            : QVariant());
    field->setText(FieldShownText(cp1252));
}

std::string FieldText(const QLineEdit *field) {
    const QString shown = field->text();
    if (MayBeCut(shown)) {
        // The whole text counts while the field still shows it; any other text replaced it.
        const QByteArray whole = field->property(kWholeTextProperty).toByteArray();
        const std::string_view bytes(whole.constData(), static_cast<std::size_t>(whole.size()));
        if (IsCutOf(shown, bytes)) return std::string(bytes);
    }
    return ToCp1252(shown);
}

}  // namespace sapidoro
