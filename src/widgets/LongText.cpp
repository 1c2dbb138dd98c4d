#include "widgets/LongText.h"

#include "common/QtText.h"

#include <QByteArray>
#include <QLineEdit>
#include <QVariant>

namespace sapidoro {

namespace {

constexpr QChar kEllipsis(0x2026);
// The whole text of a field that shows a prefix, in its data bytes.
constexpr char kWholeTextProperty[] = "sapidoroWholeText";

}  // namespace

QString ShownText(const QString &whole) {
    if (whole.size() <= kLongTextLimit) return whole;
    // A cut never splits a surrogate pair.
    const qsizetype cut =
        whole.at(kLongTextLimit - 1).isHighSurrogate() ? kLongTextLimit - 1 : kLongTextLimit;
    QString shown = whole.left(cut);
    shown += kEllipsis;
    return shown;
}

QString ShownText(std::string_view cp1252) {
    // One byte per character: only the prefix is converted.
    if (cp1252.size() <= static_cast<std::size_t>(kLongTextLimit)) return FromCp1252(cp1252);
    QString shown = FromCp1252(cp1252.substr(0, static_cast<std::size_t>(kLongTextLimit)));
    shown += kEllipsis;
    return shown;
}

bool IsShownPrefix(const QString &shown) {
    return shown.size() >= kLongTextLimit && shown.size() <= kLongTextLimit + 1 &&
           shown.back() == kEllipsis;
}

void SetFieldText(QLineEdit *field, std::string_view cp1252) {
    const bool cut = cp1252.size() > static_cast<std::size_t>(kLongTextLimit);
    field->setProperty(
        kWholeTextProperty,
        cut ? QVariant(QByteArray(cp1252.data(), static_cast<qsizetype>(cp1252.size())))
            : QVariant());
    field->setText(ShownText(cp1252));
}

std::string FieldText(const QLineEdit *field) {
    const QString shown = field->text();
    if (IsShownPrefix(shown)) {
        // The whole text counts while the field still shows it; any other text replaced it.
        const QByteArray whole = field->property(kWholeTextProperty).toByteArray();
        const std::string_view bytes(whole.constData(), static_cast<std::size_t>(whole.size()));
        if (!whole.isEmpty() && ShownText(bytes) == shown) return std::string(bytes);
    }
    return ToCp1252(shown);
}

}  // namespace sapidoro
