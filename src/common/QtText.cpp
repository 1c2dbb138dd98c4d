#include "common/QtText.h"

#include "common/Cp1252.h"

namespace sapidoro {

QString FromCp1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *dst = out.data();
    for (char c : bytes) *dst++ = QChar(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string ToCp1252(const QString &text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4()) {
        unsigned char byte = '?';
        if (!UnicodeToCp1252(cp, byte)) byte = '?';
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

QStringList FromCp1252List(const std::vector<std::string> &items) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string &item : items) out.append(FromCp1252(item));
    return out;
}

}  // namespace sapidoro
