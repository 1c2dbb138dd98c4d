#include "exchange/TextEncoding.h"

#include "common/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace sapidoro {

namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Byte 0x80 + i of code page 437 as a Windows-1252 byte, or 0 when it has none.
struct Cp437Table {
    std::array<unsigned char, 128> toCp1252{};
    Cp437Table() {
        for (std::size_t i = 0; i < kCp437High.size(); ++i) {
            unsigned char byte = 0;
            if (UnicodeToCp1252(kCp437High[i], byte)) toCp1252[i] = byte;
        }
    }
};

const Cp437Table &Cp437() {
    static const Cp437Table table;
    return table;
}

// Most lines of a recipe are plain ASCII: eight bytes are looked at in one go.
bool IsAscii(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080u) return false;
    }
    for (; i < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

bool IsAsciiLetterByte(unsigned char c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

}  // namespace

std::int32_t DecodeUtf8(std::string_view text, std::size_t &i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t extra;
    char32_t cp;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return -1;
    }
    if (i + extra >= text.size()) {
        ++i;
        return -1;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += extra + 1;
    return static_cast<std::int32_t>(cp);
}

std::string DescribeCharacter(char32_t cp) {
    std::string text = "\xC2\xAB";  // «
    if (cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp < 0xA0)) AppendUtf8(text, cp);
    text += "\xC2\xBB (U+";
    char code[16];
    std::snprintf(code, sizeof code, "%04X)", static_cast<unsigned>(cp));
    return text + code;
}

SourceEncoding DetectEncoding(std::string_view sample) {
    if (sample.substr(0, 3) == "\xEF\xBB\xBF") return SourceEncoding::Utf8;
    bool multiByte = false;
    bool validUtf8 = true;
    for (std::size_t i = 0; i < sample.size();) {
        if (static_cast<unsigned char>(sample[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t at = i;
        if (DecodeUtf8(sample, i) >= 0) {
            multiByte = true;
        } else if (sample.size() - at >= 4) {  // a sequence cut by the end of the sample is fine
            validUtf8 = false;
            break;
        }
    }
    if (validUtf8 && multiByte) return SourceEncoding::Utf8;

    // Accented letters follow a letter of their word: "città", "perché", "più".
    long cp437 = 0;
    long cp1252 = 0;
    for (std::size_t i = 1; i < sample.size(); ++i) {
        const auto c = static_cast<unsigned char>(sample[i]);
        if (c < 0x80 || !IsAsciiLetterByte(static_cast<unsigned char>(sample[i - 1]))) continue;
        if (c >= 0xC0) {
            ++cp1252;
        } else if (c == 0x91 || c == 0x92) {
            ++cp1252;  // a quote in "d’oliva" rather than "æ" or "Æ"
        } else if (c <= 0xA5) {
            ++cp437;
        }
    }
    return cp437 > cp1252 ? SourceEncoding::Cp437 : SourceEncoding::Cp1252;
}

const char *EncodingName(SourceEncoding encoding) {
    switch (encoding) {
        case SourceEncoding::Utf8:
            return "UTF-8";
        case SourceEncoding::Cp1252:
            return "Windows-1252";
        case SourceEncoding::Cp437:
            return "DOS 437";
    }
    return "";
}

Cp1252Converter::Cp1252Converter(SourceEncoding encoding) : m_encoding(encoding) {}

std::string Cp1252Converter::convert(std::string_view text) {
    std::string out;
    convertInto(text, out);
    return out;
}

void Cp1252Converter::convertInto(std::string_view text, std::string &out) {
    switch (m_encoding) {
        case SourceEncoding::Cp1252:
            out.append(text);
            return;
        case SourceEncoding::Cp437: {
            const Cp437Table &table = Cp437();
            const std::size_t start = out.size();
            out.append(text);
            if (IsAscii(text)) return;
            for (std::size_t i = start; i < out.size(); ++i) {
                const auto c = static_cast<unsigned char>(out[i]);
                if (c < 0x80) continue;
                const unsigned char mapped = table.toCp1252[c - 0x80];
                if (mapped == 0) {
                    noteUnwritable(kCp437High[c - 0x80]);
                    out[i] = '?';
                } else {
                    out[i] = static_cast<char>(mapped);
                }
            }
            return;
        }
        case SourceEncoding::Utf8:
            convertUtf8(text, out);
            return;
    }
}

std::string_view Cp1252Converter::convertView(std::string_view text, std::string &scratch) {
    if (m_encoding == SourceEncoding::Cp1252 || IsAscii(text)) return text;
    scratch.clear();
    convertInto(text, scratch);
    return scratch;
}

void Cp1252Converter::convertUtf8(std::string_view text, std::string &out) {
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of ASCII are copied whole.
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) ++run;
        out.append(text.substr(i, run - i));
        i = run;
        if (i >= text.size()) break;
        const std::size_t at = i;
        const std::int32_t cp = DecodeUtf8(text, i);
        if (cp < 0) {
            out.push_back(text[at]);  // a stray byte of another code page
            continue;
        }
        if (cp == 0xFEFF) continue;  // byte-order mark
        unsigned char byte = '?';
        if (!UnicodeToCp1252(static_cast<char32_t>(cp), byte) || (cp >= 0x80 && cp < 0xA0)) {
            noteUnwritable(static_cast<char32_t>(cp));
            byte = '?';
        }
        out.push_back(static_cast<char>(byte));
    }
}

void Cp1252Converter::noteUnwritable(char32_t codePoint) {
    if (m_unwritable.size() < 16 &&
        std::find(m_unwritable.begin(), m_unwritable.end(), codePoint) == m_unwritable.end())
        m_unwritable.push_back(codePoint);
}

std::vector<char32_t> Cp1252Converter::takeUnwritable() {
    std::vector<char32_t> taken;
    taken.swap(m_unwritable);
    return taken;
}

}  // namespace sapidoro
