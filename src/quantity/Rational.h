#pragma once

#include <cstdint>
#include <optional>

namespace sapidoro {

// A non-negative exact fraction in lowest terms; every operation reports overflow as nullopt
// instead of wrapping, so hostile amounts can never turn into wrong numbers.
struct Rational {
    std::int64_t num = 0;
    std::int64_t den = 1;

    friend bool operator==(const Rational &, const Rational &) = default;
};

// `num` / `den` in lowest terms; nullopt when `den` is 0 or either is negative.
std::optional<Rational> MakeRational(std::int64_t num, std::int64_t den);

std::optional<Rational> Add(Rational a, Rational b);
std::optional<Rational> Multiply(Rational a, Rational b);
// |a - b|.
std::optional<Rational> Distance(Rational a, Rational b);
// nullopt also when `b` is 0.
std::optional<Rational> Divide(Rational a, Rational b);

// -1, 0 or 1 as `a` is less than, equal to or greater than `b`.
int Compare(Rational a, Rational b);

// The multiple of `step` nearest to `value` (halves away from zero); nullopt on overflow.
std::optional<Rational> RoundToStep(Rational value, Rational step);

// The whole part, truncated.
std::int64_t WholePart(Rational value);

}  // namespace sapidoro
