#include "quantity/Rational.h"

#include <numeric>
#include <utility>

namespace sapidoro {

namespace {

std::optional<std::int64_t> CheckedMul(std::int64_t a, std::int64_t b) {
    std::int64_t result = 0;
    if (__builtin_mul_overflow(a, b, &result)) return std::nullopt;
    return result;
}

std::optional<std::int64_t> CheckedAdd(std::int64_t a, std::int64_t b) {
    std::int64_t result = 0;
    if (__builtin_add_overflow(a, b, &result)) return std::nullopt;
    return result;
}

}  // namespace

std::optional<Rational> MakeRational(std::int64_t num, std::int64_t den) {
    if (den <= 0 || num < 0) return std::nullopt;
    const std::int64_t divisor = std::gcd(num, den);
    return Rational{num / divisor, den / divisor};
}

std::optional<Rational> Add(Rational a, Rational b) {
    // Over the least common denominator, so that sums of friendly fractions stay small.
    const std::int64_t divisor = std::gcd(a.den, b.den);
    const auto den = CheckedMul(a.den / divisor, b.den);
    const auto left = CheckedMul(a.num, b.den / divisor);
    const auto right = CheckedMul(b.num, a.den / divisor);
    if (!den || !left || !right) return std::nullopt;
    const auto num = CheckedAdd(*left, *right);
    if (!num) return std::nullopt;
    return MakeRational(*num, *den);
}

std::optional<Rational> Distance(Rational a, Rational b) {
    if (Compare(a, b) < 0) std::swap(a, b);
    const std::int64_t divisor = std::gcd(a.den, b.den);
    const auto den = CheckedMul(a.den / divisor, b.den);
    const auto left = CheckedMul(a.num, b.den / divisor);
    const auto right = CheckedMul(b.num, a.den / divisor);
    if (!den || !left || !right) return std::nullopt;
    // a >= b, so the difference is not negative and cannot overflow.
    return MakeRational(*left - *right, *den);
}

std::optional<Rational> Multiply(Rational a, Rational b) {
    // Cross-cancelling first keeps the products as small as the result allows.
    const std::int64_t g1 = std::gcd(a.num, b.den);
    const std::int64_t g2 = std::gcd(b.num, a.den);
    const auto num = CheckedMul(a.num / g1, b.num / g2);
    const auto den = CheckedMul(a.den / g2, b.den / g1);
    if (!num || !den) return std::nullopt;
    return MakeRational(*num, *den);
}

std::optional<Rational> Divide(Rational a, Rational b) {
    if (b.num == 0) return std::nullopt;
    return Multiply(a, Rational{b.den, b.num});
}

int Compare(Rational a, Rational b) {
    // By continued fractions: no product is formed, so nothing can overflow.
    int sign = 1;
    for (;;) {
        const std::int64_t wholeA = a.num / a.den;
        const std::int64_t wholeB = b.num / b.den;
        if (wholeA != wholeB) return wholeA < wholeB ? -sign : sign;
        const std::int64_t restA = a.num % a.den;
        const std::int64_t restB = b.num % b.den;
        if (restA == 0 || restB == 0) {
            if (restA == restB) return 0;
            return restA == 0 ? -sign : sign;
        }
        // Comparing restA / a.den with restB / b.den is comparing their inverses, reversed.
        a = Rational{a.den, restA};
        b = Rational{b.den, restB};
        sign = -sign;
    }
}

std::optional<Rational> RoundToStep(Rational value, Rational step) {
    const auto steps = Divide(value, step);
    if (!steps) return std::nullopt;
    // floor(n / d + 1/2) without forming 2n, which could overflow.
    const std::int64_t whole = steps->num / steps->den;
    const std::int64_t remainder = steps->num % steps->den;
    const std::int64_t count = remainder >= steps->den - remainder ? whole + 1 : whole;
    return Multiply(Rational{count, 1}, step);
}

std::int64_t WholePart(Rational value) {
    return value.num / value.den;
}

}  // namespace sapidoro
