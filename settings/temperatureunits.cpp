#include "settings/temperatureunits.h"

#include <cmath>

namespace {

constexpr qint64 MaxCelsius = 65535;
// Far beyond 65535 °C; keeps the tenths within 64 bits.
constexpr double MaxFahrenheitMagnitude = 1e12;

// Nearest integer to numerator / denominator (denominator > 0), halves upward.
qint64 roundedQuotient(qint64 numerator, qint64 denominator)
{
    const qint64 twice = 2 * numerator + denominator;
    const qint64 twiceDenominator = 2 * denominator;
    return twice >= 0 ? twice / twiceDenominator : -((-twice + twiceDenominator - 1) / twiceDenominator);
}

} // namespace

int celsiusToFahrenheit(qint32 celsius)
{
    return int(roundedQuotient(qint64(celsius) * 9, 5) + 32);
}

bool fahrenheitToCelsius(double fahrenheit, qint32 &celsius)
{
    if (!std::isfinite(fahrenheit) || std::fabs(fahrenheit) > MaxFahrenheitMagnitude)
        return false;
    // In tenths of a degree, so the arithmetic is exact: C = (10F - 320) / 18.
    const qint64 tenths = std::llround(fahrenheit * 10.0);
    const qint64 result = roundedQuotient(tenths - 320, 18);
    if (result < 0 || result > MaxCelsius)
        return false;
    celsius = qint32(result);
    return true;
}
