#include "widgets/LongText.h"

#include "common/QtText.h"

#include <QByteArray>
#include <QLineEdit>
#include <QVariant>

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

bool MayBeCut(const QString &shown) {
    return shown.size() >= kLongTextLimit && shown.back() == kEllipsis;
}

bool IsCutOf(const QString &shown, const QString &whole) {
    const qsizetype prefix = shown.size() - 1;
    return MayBeCut(shown) && whole.size() > prefix &&
           QStringView(whole).left(prefix) == QStringView(shown).left(prefix);
}

bool IsCutOf(const QString &shown, std::string_view wholeCp1252) {
    const auto prefix = static_cast<std::size_t>(shown.size() - 1);
    return MayBeCut(shown) && wholeCp1252.size() > prefix &&
           FromCp1252(wholeCp1252.substr(0, prefix)) == QStringView(shown).left(shown.size() - 1);
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
    if (MayBeCut(shown)) {
        // The whole text counts while the field still shows it; any other text replaced it.
        const QByteArray whole = field->property(kWholeTextProperty).toByteArray();
        const std::string_view bytes(whole.constData(), static_cast<std::size_t>(whole.size()));
        if (IsCutOf(shown, bytes)) return std::string(bytes);
    }
    return ToCp1252(shown);
}

}  // namespace sapidoro
