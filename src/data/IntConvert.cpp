#include "data/IntConvert.h"

#include "common/Cp1252.h"
#include "common/Exception.h"

#include <limits>

namespace sapidoro {

namespace {

[[noreturn]] void Fail(std::string_view text) {
    throw EConvertError("'" + Cp1252ToUtf8(text) + "' is not a valid integer value");
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) Fail(text);
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') Fail(text);
        value = value * 10 + (c - '0');
        if (value > limit) Fail(text);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace sapidoro
