#include "Checks.h"

#include "PlainReference.h"

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/QtText.h"
#include "data/IntConvert.h"
#include "data/Split.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void CheckInteger(std::string_view text) {
    const std::optional<std::int32_t> want = plain::ParseInt(text);
    try {
        const std::int32_t got = sapidoro::StrToInt(text);
        Check(want && got == *want, "whole number");
    } catch (const sapidoro::EConvertError &e) {
        Check(!want && e.message() == plain::NotAnIntegerMessage(text), "not a whole number");
    }
}

void CheckCalorieLookup(const std::function<std::optional<std::int32_t>()> &lookup,
                        const std::optional<std::string> &entry) {
    const std::optional<std::int32_t> want = entry ? plain::ParseInt(*entry) : std::nullopt;
    try {
        const std::optional<std::int32_t> got = lookup();
        Check(got == want && (entry.has_value() || !got), "calorie lookup");
    } catch (const sapidoro::EConvertError &e) {
        Check(entry && !want && e.message() == plain::NotAnIntegerMessage(*entry),
              "calorie lookup error");
    }
}

void CheckTexts(std::string_view text) {
    const std::string utf8 = sapidoro::Cp1252ToUtf8(text);
    Check(utf8 == plain::Utf8Of(text), "Windows-1252 to UTF-8");
    Check(sapidoro::Utf8ToCp1252(utf8) == text, "UTF-8 back to Windows-1252");
    const QString qtext = sapidoro::FromCp1252(text);
    Check(
        static_cast<std::size_t>(qtext.size()) == text.size() && sapidoro::ToCp1252(qtext) == text,
        "Windows-1252 through QString");
    // The same bytes as UTF-8 typed into a box.
    const std::string bytes = sapidoro::Utf8ToCp1252(text);
    if (const std::optional<std::u32string> decoded = plain::DecodeUtf8(text)) {
        const std::string want = plain::Cp1252Of(*decoded);
        Check(bytes == want, "UTF-8 to Windows-1252");
        Check(sapidoro::ToCp1252(
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) == want,
              "QString to Windows-1252");
    } else {
        Check(bytes.size() <= text.size(), "broken UTF-8 to Windows-1252");
    }
}

void CheckSplits(std::string_view text, std::string_view other) {
    const std::string_view separators[] = {" ==== ", " ===", " === ", " == ", "_ING", "", other};
    for (std::string_view separator : separators) {
        Check(sapidoro::TextBefore(text, separator) == plain::TextBefore(text, separator),
              "TextBefore");
        Check(sapidoro::TextAfter(text, separator) == plain::TextAfter(text, separator),
              "TextAfter");
    }
}

}  // namespace fuzz
