// The contains test's fast path against a naive search of the folded bytes.
#include "common/AsciiCase.h"
#include "scan/ContainsTest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace sapidoro;

TEST(ContainsTestReference, FindsWhatANaiveFoldedSearchFinds) {
    std::mt19937 random(7);
    const std::string alphabet = "aAbB@`[{= \xE8\xC8\r\n";
    for (int round = 0; round < 20000; ++round) {
        std::string text, needle;
        const std::size_t n = random() % 70, m = random() % 5;
        for (std::size_t i = 0; i < n; ++i) text += alphabet[random() % alphabet.size()];
        for (std::size_t i = 0; i < m; ++i) needle += alphabet[random() % alphabet.size()];
        const std::string t = AsciiUpper(text), f = AsciiUpper(needle);
        const std::size_t expected = needle.empty() ? std::string::npos : t.find(f);
        ASSERT_EQ(ContainsTest(needle).find(text), expected) << round;
    }
}
