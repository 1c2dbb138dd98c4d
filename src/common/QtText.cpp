#include "common/QtText.h"

#include "common/Cp1252.h"

#include <cstdint>
#include <cstring>

namespace sapidoro {

namespace {

// Whether any byte lies in 0x80-0x9F, looked at eight bytes at a time.
bool HoldsBytesBeyondLatin1(std::string_view bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    std::uint64_t found = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        // Such a byte, 100xxxxx, becomes a zero byte, which the borrow of the subtraction finds.
        const std::uint64_t marked = (word & (0xE0 * kOnes)) ^ kHigh;
        found |= (marked - kOnes) & ~marked & kHigh;
    }
    for (; i < bytes.size(); ++i) found |= static_cast<unsigned char>(bytes[i]) - 0x80u < 0x20u;
    return found != 0;
}

}  // namespace

QString FromCp1252(std::string_view bytes) {
    // Windows-1252 is Latin-1 but for the bytes 0x80-0x9F, which few texts hold: Qt's own
    // Latin-1 conversion does the bulk, and only those bytes are looked up.
    QString out = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!HoldsBytesBeyondLatin1(bytes)) return out;
    QChar *dst = out.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte - 0x80u < 0x20u) dst[i] = QChar(Cp1252ToUnicode(byte));
    }
    return out;
}

std::string ToCp1252(const QString &text) {
    std::string out(static_cast<std::size_t>(text.size()), '\0');
    const ushort *units = text.utf16();
    // Most texts are ASCII and Latin-1 letters, which keep their values: a plain narrowing
    // pass, which the compiler vectorises, once a first pass found nothing else.
    unsigned mapped = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        mapped |= (units[i] - 0x80u < 0x20u) | (units[i] > 0xFFu);
    if (mapped == 0) {
        for (qsizetype i = 0; i < text.size(); ++i)
            out[static_cast<std::size_t>(i)] = static_cast<char>(units[i]);
        return out;
    }
    std::size_t n = 0;
    const QChar *chars = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = chars[i].unicode();
        unsigned char byte = '?';
        if (unit < 0x80) {
            byte = static_cast<unsigned char>(unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(chars[i + 1].unicode())) {
            ++i;  // a character beyond the first plane has no byte
        } else if (!UnicodeToCp1252(unit, byte)) {
            byte = '?';
        }
        out[n++] = static_cast<char>(byte);
    }
    out.resize(n);
    return out;
}

QString ShownText(std::string_view cp1252, qsizetype limit) {
    // One byte per character: only the prefix is converted.
    const auto size = static_cast<std::size_t>(limit);
    if (cp1252.size() <= size) return FromCp1252(cp1252);
    QString shown = FromCp1252(cp1252.substr(0, size));
    shown += QChar(kCutMark);
    return shown;
}

QString FieldShownText(std::string_view cp1252) {
    if (cp1252.size() <= static_cast<std::size_t>(kLongTextLimit)) return FromCp1252(cp1252);
    return ShownText(cp1252, kFieldCutLength);
}

QStringList FromCp1252List(const std::vector<std::string> &items) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string &item : items) out.append(FromCp1252(item));
    return out;
}

}  // namespace sapidoro
