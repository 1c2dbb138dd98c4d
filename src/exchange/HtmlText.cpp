#include "exchange/HtmlText.h"

#include "common/AsciiCase.h"
#include "common/Cp1252.h"
#include "exchange/TextEncoding.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>

namespace sapidoro {

namespace {

// Texts longer than this are not recipe text: their markup is left as it is, unparsed.
constexpr std::size_t kMaxMarkupBytes = 4u << 20;

bool IsMarkupStart(char c) {
    return IsAsciiLetter(c) || c == '/' || c == '!';
}

bool LooksLikeMarkup(std::string_view text) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1))
        if (at + 1 < text.size() && IsMarkupStart(text[at + 1])) return true;
    return false;
}

// The code point of a numeric reference's digits ("#233", "#xE9"), or 0.
char32_t NumericReference(std::string_view name) {
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    char32_t code = 0;
    for (char c : digits) {
        const char lower = AsciiLower(c);
        const int value = c >= '0' && c <= '9'                  ? c - '0'
                          : hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10
                                                                : -1;
        if (value < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    // Pages number Windows-1252 punctuation by its byte, as browsers read it.
    if (code >= 0x80 && code <= 0x9F) return Cp1252ToUnicode(static_cast<unsigned char>(code));
    return code;
}

char32_t NamedReference(std::string_view name) {
    char buffer[32];
    if (name.size() >= sizeof buffer) return 0;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    const htmlEntityDesc *entity = htmlEntityLookup(reinterpret_cast<const xmlChar *>(buffer));
    return entity != nullptr ? entity->value : 0;
}

bool IsBlockElement(std::string_view name) {
    static const std::string_view kBlocks[] = {
        "p",  "div", "li",     "ul",     "ol",         "dl",     "dt",         "dd",      "h1",
        "h2", "h3",  "h4",     "h5",     "h6",         "tr",     "table",      "section", "article",
        "hr", "pre", "header", "footer", "blockquote", "figure", "figcaption", "address"};
    for (std::string_view block : kBlocks)
        if (block == name) return true;
    return false;
}

bool IsHiddenElement(std::string_view name) {
    return name == "script" || name == "style" || name == "head" || name == "template" ||
           name == "noscript";
}

std::string_view NameOf(const xmlNode *node) {
    return node->name != nullptr ? reinterpret_cast<const char *>(node->name) : "";
}

// A text node's words: whitespace runs become one space, as a browser shows them.
void AppendRunTogether(const xmlChar *content, std::string &out) {
    if (content == nullptr) return;
    for (const char *c = reinterpret_cast<const char *>(content); *c != '\0'; ++c) {
        if (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r' || *c == '\f') {
            if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
        } else {
            out += *c;
        }
    }
}

void AppendBreak(std::string &out) {
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += '\n';
}

// The visible text of the tree under `root`, walked without recursion whatever its depth.
void AppendTreeText(const xmlNode *root, std::string &out) {
    const xmlNode *node = root->children;
    while (node != nullptr) {
        bool descend = false;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            AppendRunTogether(node->content, out);
        } else if (node->type == XML_ELEMENT_NODE) {
            const std::string_view name = NameOf(node);
            if (name == "br") {
                AppendBreak(out);
            } else if (!IsHiddenElement(name)) {
                if (IsBlockElement(name)) AppendBreak(out);
                descend = node->children != nullptr;
            }
        }
        if (descend) {
            node = node->children;
            continue;
        }
        while (node != root && node->next == nullptr) {
            node = node->parent;
            if (node != root && node->type == XML_ELEMENT_NODE && IsBlockElement(NameOf(node)))
                AppendBreak(out);
        }
        node = node == root ? nullptr : node->next;
    }
}

std::string MarkupText(std::string_view utf8) {
    const int options =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    htmlDocPtr document =
        htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options);
    if (document == nullptr) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    AppendTreeText(reinterpret_cast<const xmlNode *>(document), out);
    xmlFreeDoc(document);
    return out;
}

// Line separators as line breaks and non-breaking spaces as spaces.
std::string PlainCharacters(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out += byte == '\r' ? '\n' : static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::size_t start = i;
        const std::int32_t code = DecodeUtf8(utf8, i);
        if (code == 0x2028 || code == 0x2029)
            out += '\n';
        else if (code == 0xA0 || code == 0x202F || code == 0x2007)
            out += ' ';
        else
            out.append(utf8.substr(start, i - start));
    }
    return out;
}

}  // namespace

std::string DecodeCharacterReferences(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        out.append(text.substr(i, amp - i));
        if (amp == std::string_view::npos) break;
        i = amp + 1;
        const std::size_t semicolon = text.find(';', i);
        char32_t code = 0;
        if (semicolon != std::string_view::npos && semicolon > i && semicolon - i <= 31) {
            const std::string_view name = text.substr(i, semicolon - i);
            code = name[0] == '#' ? NumericReference(name) : NamedReference(name);
        }
        if (code != 0) {
            AppendUtf8(out, code);
            i = semicolon + 1;
        } else {
            out += '&';
        }
    }
    return out;
}

std::string WebTextLines(std::string_view utf8) {
    std::string text;
    if (utf8.size() <= kMaxMarkupBytes && LooksLikeMarkup(utf8))
        text = MarkupText(utf8);
    else
        text = DecodeCharacterReferences(utf8);
    // What is still a reference after one decoding was escaped twice by the page.
    return PlainCharacters(DecodeCharacterReferences(text));
}

}  // namespace sapidoro
