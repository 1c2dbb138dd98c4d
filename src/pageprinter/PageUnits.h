#pragma once

#include <cstdint>

namespace sapidoro {

enum TMeasureUnit { muInches, muMillimeters };

inline constexpr double kInchesPerMillimeter = 0.03937007874015748;
inline constexpr double kMillimetersPerInch = 25.4;
// Resolution assumed when no printer answers.
inline constexpr int kFallbackResolution = 300;

// Rounds to the nearest integer, ties to even; NaN gives 0 and huge values saturate at 2^28.
std::int32_t RoundHalfEven(double value);

// a × b / c rounded to the nearest integer, halves away from zero (as the device APIs do).
int MulDiv(int a, int b, int c);

// A length in `unit` to device dots at `dotsPerInch`, rounded half to even.
std::int32_t LengthToDots(double length, TMeasureUnit unit, int dotsPerInch);
// Device dots to a length in `unit`; a resolution of 0 counts as the fallback resolution.
double DotsToLength(double dots, TMeasureUnit unit, int dotsPerInch);

// The factor that turns lengths given in the other unit into `newUnit`.
double UnitChangeFactor(TMeasureUnit newUnit);

}  // namespace sapidoro
