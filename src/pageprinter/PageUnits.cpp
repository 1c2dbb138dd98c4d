#include "pageprinter/PageUnits.h"

#include <cmath>
#include <cstdlib>

namespace sapidoro {

std::int32_t RoundHalfEven(double value) {
    // Lengths beyond any sheet saturate, so that sums of a few of them stay within 32 bits.
    constexpr double kLimit = 1 << 28;
    if (std::isnan(value)) return 0;
    if (value > kLimit) return static_cast<std::int32_t>(kLimit);
    if (value < -kLimit) return static_cast<std::int32_t>(-kLimit);
    // nearbyint follows the default rounding mode, which rounds ties to even.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::int32_t LengthToDots(double length, TMeasureUnit unit, int dotsPerInch) {
    const double inches = unit == muMillimeters ? length * kInchesPerMillimeter : length;
    return RoundHalfEven(inches * dotsPerInch);
}

double DotsToLength(double dots, TMeasureUnit unit, int dotsPerInch) {
    const double inches =
        dotsPerInch != 0 ? dots / dotsPerInch : dots * (1.0 / kFallbackResolution);
    return unit == muMillimeters ? inches * kMillimetersPerInch : inches;
}

double UnitChangeFactor(TMeasureUnit newUnit) {
    return newUnit == muMillimeters ? kMillimetersPerInch : kInchesPerMillimeter;
}

}  // namespace sapidoro
