#include "exchange/Json.h"

#include "common/Cp1252.h"
#include "exchange/TextEncoding.h"

namespace sapidoro {

namespace {

class JsonParser {
public:
    JsonParser(std::string_view text, const JsonLimits &limits, bool lenient)
        : m_text(text), m_limits(limits), m_lenient(lenient) {}

    JsonValue parseDocument() {
        JsonValue value;
        skipBlanks();
        parseValue(value, 0);
        skipBlanks();
        if (m_pos != m_text.size()) fail("testo in pi\xC3\xB9 dopo il valore");
        return value;
    }

    // The first value, and the objects and arrays that follow it (a list when more than one);
    // text after them is left unread.
    JsonValue parseLenientDocument() {
        JsonValue value;
        skipBlanks();
        parseValue(value, 0);
        for (;;) {
            while (m_pos < m_text.size() &&
                   (m_text[m_pos] == ',' || m_text[m_pos] == ';' || IsBlank(m_text[m_pos])))
                ++m_pos;
            if (m_pos >= m_text.size() || (m_text[m_pos] != '{' && m_text[m_pos] != '[')) break;
            JsonValue next;
            try {
                parseValue(next, 0);
            } catch (const EJsonError &) {
                break;
            }
            if (value.kind != JsonValue::Kind::Array || !m_wrapped) {
                JsonValue list;
                list.kind = JsonValue::Kind::Array;
                list.items.push_back(std::move(value));
                value = std::move(list);
                m_wrapped = true;
            }
            value.items.push_back(std::move(next));
        }
        return value;
    }

private:
    [[noreturn]] void fail(const std::string &what) const {
        throw EJsonError("JSON non valido alla posizione " + std::to_string(m_pos + 1) + ": " +
                         what + ".");
    }

    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    void skipBlanks() {
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos])) ++m_pos;
    }

    // A comma before the closing bracket, which pages leave behind.
    bool takeTrailingClose(char close) {
        if (!m_lenient) return false;
        skipBlanks();
        return take(close);
    }

    bool take(char c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expectWord(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) fail("valore sconosciuto");
        m_pos += word.size();
    }

    void parseValue(JsonValue &value, std::size_t depth) {
        if (++m_values > m_limits.maxValues)
            throw EJsonError("Il JSON contiene pi\xC3\xB9 di " +
                             std::to_string(m_limits.maxValues) +
                             " valori: troppi per una pagina di ricette.");
        if (m_pos >= m_text.size()) fail("il testo finisce dove serve un valore");
        switch (m_text[m_pos]) {
            case '{':
            case '[':
                if (depth >= m_limits.maxDepth)
                    throw EJsonError("Il JSON \xC3\xA8 annidato oltre " +
                                     std::to_string(m_limits.maxDepth) + " livelli.");
                return m_text[m_pos] == '{' ? parseObject(value, depth + 1)
                                            : parseArray(value, depth + 1);
            case '"':
                value.kind = JsonValue::Kind::String;
                return parseString(value.text);
            case 't':
                expectWord("true");
                value.kind = JsonValue::Kind::Bool;
                value.boolean = true;
                return;
            case 'f':
                expectWord("false");
                value.kind = JsonValue::Kind::Bool;
                return;
            case 'n':
                expectWord("null");
                return;
            default:
                return parseNumber(value);
        }
    }

    void parseObject(JsonValue &value, std::size_t depth) {
        value.kind = JsonValue::Kind::Object;
        ++m_pos;
        skipBlanks();
        if (take('}')) return;
        for (;;) {
            skipBlanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') fail("serve il nome di un membro");
            value.keys.emplace_back();
            parseString(value.keys.back());
            skipBlanks();
            if (!take(':')) fail("servono i due punti");
            skipBlanks();
            value.items.emplace_back();
            parseValue(value.items.back(), depth);
            skipBlanks();
            if (take('}')) return;
            if (!take(',')) fail("serve una virgola o una graffa chiusa");
            if (takeTrailingClose('}')) return;
        }
    }

    void parseArray(JsonValue &value, std::size_t depth) {
        value.kind = JsonValue::Kind::Array;
        ++m_pos;
        skipBlanks();
        if (take(']')) return;
        for (;;) {
            skipBlanks();
            value.items.emplace_back();
            parseValue(value.items.back(), depth);
            skipBlanks();
            if (take(']')) return;
            if (!take(',')) fail("serve una virgola o una quadra chiusa");
            if (takeTrailingClose(']')) return;
        }
    }

    void parseNumber(JsonValue &value) {
        const std::size_t start = m_pos;
        take('-');
        std::size_t digits = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos, ++digits;
        if (digits == 0) fail("valore sconosciuto");
        if (take('.')) {
            digits = 0;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
                ++m_pos, ++digits;
            if (digits == 0) fail("numero non valido");
        }
        if (take('e') || take('E')) {
            if (!take('+')) take('-');
            digits = 0;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
                ++m_pos, ++digits;
            if (digits == 0) fail("numero non valido");
        }
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(m_text.substr(start, m_pos - start));
    }

    unsigned hex4() {
        if (m_pos + 4 > m_text.size()) fail("sequenza \\u incompleta");
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("sequenza \\u non valida");
        }
        return code;
    }

    void parseString(std::string &out) {
        ++m_pos;
        for (;;) {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != '"' && m_text[m_pos] != '\\' &&
                   static_cast<unsigned char>(m_text[m_pos]) >= 0x20 &&
                   static_cast<unsigned char>(m_text[m_pos]) < 0x80)
                ++m_pos;
            out.append(m_text.substr(start, m_pos - start));
            if (m_pos >= m_text.size()) fail("stringa senza fine");
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return;
            }
            if (c < 0x20) {
                if (!m_lenient) fail("carattere di controllo in una stringa");
                out += static_cast<char>(c);
                ++m_pos;
                continue;
            }
            if (c >= 0x80) {
                const std::int32_t cp = DecodeUtf8(m_text, m_pos);
                AppendUtf8(out, cp < 0 ? 0xFFFD : static_cast<char32_t>(cp));
                continue;
            }
            ++m_pos;  // the backslash
            if (m_pos >= m_text.size()) fail("stringa senza fine");
            const char escape = m_text[m_pos++];
            switch (escape) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    char32_t code = hex4();
                    if (code >= 0xD800 && code <= 0xDBFF && m_text.substr(m_pos, 2) == "\\u") {
                        const std::size_t back = m_pos;
                        m_pos += 2;
                        const unsigned low = hex4();
                        if (low >= 0xDC00 && low <= 0xDFFF)
                            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                        else
                            m_pos = back;
                    }
                    if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    // "\'" and the like stand for the character itself.
                    if (!m_lenient || static_cast<unsigned char>(escape) < 0x20 ||
                        static_cast<unsigned char>(escape) >= 0x80)
                        fail("sequenza di escape non valida");
                    out += escape;
            }
        }
    }

    std::string_view m_text;
    const JsonLimits &m_limits;
    bool m_lenient = false;
    bool m_wrapped = false;
    std::size_t m_pos = 0;
    std::size_t m_values = 0;
};

}  // namespace

const JsonValue *JsonValue::member(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key) return &items[i];
    return nullptr;
}

JsonValue ParseJson(std::string_view text, const JsonLimits &limits) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return JsonParser(text, limits, false).parseDocument();
}

JsonValue ParseJsonLenient(std::string_view text, const JsonLimits &limits) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // The script's text may sit in a CDATA section or an HTML comment, after "//" or not.
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || (text[start] != '<' && text[start] != '/'))
        return JsonParser(text, limits, true).parseLenientDocument();
    const std::size_t cdata = text.find("<![CDATA[");
    if (cdata != std::string_view::npos && cdata < text.find('{')) start = cdata + 9;
    start = text.find_first_of("{[", start);
    if (start == std::string_view::npos) return JsonParser(text, limits, true).parseDocument();
    return JsonParser(text.substr(start), limits, true).parseLenientDocument();
}

std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char digits[] = "0123456789abcdef";
                    out += "\\u00";
                    out += digits[(c >> 4) & 0xF];
                    out += digits[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + '"';
}

}  // namespace sapidoro
