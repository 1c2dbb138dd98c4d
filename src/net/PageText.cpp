#include "net/PageText.h"

#include "common/AsciiCase.h"
#include "common/Cp1252.h"

#include <QString>

#include <array>

namespace sapidoro {

namespace {

// How far into the page its `<meta>` markup is looked for.
constexpr std::size_t kCharsetScanBytes = 8192;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char &c : lower) c = AsciiLower(c);
    return lower;
}

// The value after "charset=" at `at`, without quotes, up to the first delimiter.
std::string CharsetValueAt(std::string_view text, std::size_t at) {
    at += 8;
    while (at < text.size() && (text[at] == '"' || text[at] == '\'' || text[at] == ' ')) ++at;
    const std::size_t end = text.find_first_of("\"'; \t\r\n>/", at);
    return std::string(text.substr(at, end == std::string_view::npos ? end : end - at));
}

bool ValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const int length = c < 0x80         ? 1
                           : (c >> 5) == 6  ? 2
                           : (c >> 4) == 14 ? 3
                           : (c >> 3) == 30 ? 4
                                            : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

}  // namespace

std::string DeclaredCharset(std::string_view bytes, std::string_view contentType) {
    const std::string type = Lower(contentType);
    const std::size_t inHeader = type.find("charset=");
    if (inHeader != std::string::npos) {
        std::string value = CharsetValueAt(type, inHeader);
        if (!value.empty()) return value;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return "utf-8";
    const std::string head = Lower(bytes.substr(0, kCharsetScanBytes));
    for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
         meta = head.find("<meta", meta + 5)) {
        const std::size_t tagEnd = head.find('>', meta);
        const std::string_view tag = std::string_view(head).substr(meta, tagEnd - meta);
        const std::size_t charset = tag.find("charset=");
        if (charset != std::string_view::npos) {
            std::string value = CharsetValueAt(tag, charset);
            if (!value.empty()) return value;
        }
    }
    return {};
}

PageText PageTextAsUtf8(std::string_view bytes, std::string_view contentType) {
    static const std::array<std::string_view, 2> kUtf8 = {"utf-8", "utf8"};
    static const std::array<std::string_view, 8> kCp1252 = {"windows-1252", "cp1252",    "x-cp1252",
                                                            "iso-8859-1",   "iso8859-1", "latin1",
                                                            "us-ascii",     "ascii"};
    const std::string charset = DeclaredCharset(bytes, contentType);
    const auto named = [&charset](const auto &labels) {
        for (std::string_view label : labels)
            if (charset == label) return true;
        return false;
    };
    bool utf8 = named(kUtf8);
    if (!utf8 && !named(kCp1252)) utf8 = ValidUtf8(bytes);
    if (!utf8) {
        const bool latin1 = charset.rfind("iso", 0) == 0 || charset == "latin1";
        return {Cp1252ToUtf8(bytes), latin1 ? "ISO-8859-1" : "Windows-1252"};
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (ValidUtf8(bytes)) return {std::string(bytes), "UTF-8"};
    const QByteArray repaired =
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
    return {repaired.toStdString(), "UTF-8"};
}

bool IsJsonContentType(std::string_view contentType) {
    const std::string type = Lower(contentType.substr(0, contentType.find(';')));
    return type.find("json") != std::string::npos;
}

}  // namespace sapidoro
