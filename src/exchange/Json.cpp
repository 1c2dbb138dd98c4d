#include "exchange/Json.h"

#include "common/Cp1252.h"
#include "exchange/TextEncoding.h"

namespace sapidoro {

namespace {

class JsonParser {
public:
    JsonParser(std::string_view text, const JsonLimits &limits) : m_text(text), m_limits(limits) {}

    JsonValue parseDocument() {
        JsonValue value;
        skipBlanks();
        parseValue(value, 0);
        skipBlanks();
        if (m_pos != m_text.size()) fail("testo in pi\xC3\xB9 dopo il valore");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string &what) const {
        throw EJsonError("JSON non valido alla posizione " + std::to_string(m_pos + 1) + ": " +
                         what + ".");
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
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
            if (c < 0x20) fail("carattere di controllo in una stringa");
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
                    fail("sequenza di escape non valida");
            }
        }
    }

    std::string_view m_text;
    const JsonLimits &m_limits;
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
    return JsonParser(text, limits).parseDocument();
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
