// SPDX-License-Identifier: MIT
// The number masks on any double: formatScientific keeps four significant
// digits that read back to within half a unit of the fourth; formatDensity
// always shows three to six decimals; formatGeneral reads back to 15 digits.
// An input of 8 bytes is the double itself, any other is text to parse.
#include <cmath>
#include <cstring>
#include <string>

#include "data/number_format.h"
#include "fuzz_support.h"

namespace {

using namespace quenrow;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "d.dddE+dd" with an optional minus and two or three exponent digits.
bool hasScientificShape(const std::string &s)
{
    std::size_t i = s[0] == '-' ? 1 : 0;
    if (s.size() < i + 9 || !isDigit(s[i]) || s[i + 1] != '.')
        return false;
    for (std::size_t k = i + 2; k < i + 5; ++k)
        if (!isDigit(s[k]))
            return false;
    if (s[i + 5] != 'E' || (s[i + 6] != '+' && s[i + 6] != '-'))
        return false;
    const std::size_t exponentDigits = s.size() - (i + 7);
    if (exponentDigits < 2 || exponentDigits > 3)
        return false;
    for (std::size_t k = i + 7; k < s.size(); ++k)
        if (!isDigit(s[k]))
            return false;
    return true;
}

// Decimals shown by formatDensity, or -1 when the text is not [-]digits.digits.
int densityDecimals(const std::string &s)
{
    std::size_t i = s[0] == '-' ? 1 : 0;
    const std::size_t point = s.find('.');
    if (point == std::string::npos || point == i)
        return -1;
    for (std::size_t k = i; k < s.size(); ++k)
        if (k != point && !isDigit(s[k]))
            return -1;
    return static_cast<int>(s.size() - point - 1);
}

// 10^e <= |x| < 10^(e+1)
int decimalExponent(double x)
{
    const double a = std::fabs(x);
    int e = static_cast<int>(std::floor(std::log10(a)));
    if (std::pow(10.0, e) > a)
        --e;
    else if (std::pow(10.0, e + 1) <= a)
        ++e;
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    double x = 0;
    if (size == sizeof x)
        std::memcpy(&x, data, sizeof x);
    else
        x = parseNumber(std::string(reinterpret_cast<const char *>(data), size));

    const std::string scientific = formatScientific(x);
    const std::string density = formatDensity(x);
    const std::string general = formatGeneral(x);
    if (!std::isfinite(x)) {
        const std::string name = std::isnan(x) ? "NaN" : x < 0 ? "-Infinity" : "Infinity";
        FUZZ_CHECK(scientific == name && density == name && general == name);
        return 0;
    }

    FUZZ_CHECK(hasScientificShape(scientific));
    const int decimals = densityDecimals(density);
    FUZZ_CHECK(decimals >= 3 && decimals <= 6);
    FUZZ_CHECK(!general.empty());

    const double a = std::fabs(x);
    if (a > 1e-300 && a < 1e300) {
        // Half a unit in the fourth significant digit, and a hair for the
        // rounding of the read-back itself.
        const double halfUnit = 0.5 * std::pow(10.0, decimalExponent(x) - 3);
        const double back = parseNumber(scientific);
        if (!(std::fabs(back - x) <= halfUnit * (1 + 1e-11))) {
            std::fprintf(stderr, "%.17g -> %s -> %.17g\n", x, scientific.c_str(), back);
            std::abort();
        }
        const double generalBack = parseNumber(general);
        FUZZ_CHECK(std::fabs(generalBack - x) <= (5e-15 + 2.3e-16) * a);
    }
    if (a < 1e15) {
        const double back = parseNumber(density);
        FUZZ_CHECK(std::fabs(back - x) <= 5e-7 * (1 + 1e-9) + a * 1e-15);
    }
    return 0;
}
