// SPDX-License-Identifier: MIT
// parseNumber and readNumber on any text: never NaN, never past the number,
// and equal to the C library's strtod wherever the text is plainly a decimal
// number (readNumber: only there).
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "data/number_format.h"
#include "data/number_reader.h"
#include "fuzz_support.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [sign] digits [. digits] [(e|E) [sign] digits], at least one mantissa digit.
bool isPlainDecimal(const std::string &s)
{
    std::size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == start)
            return false;
    }
    return i == s.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using quenrow::parseNumber;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const double value = parseNumber(text);
    FUZZ_CHECK(!std::isnan(value));

    // What follows the number is not read.
    FUZZ_CHECK(parseNumber(text + "x") == value);

    std::string compact, fortran = text;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;
    for (char &c : fortran)
        if (c == 'd' || c == 'D')
            c = 'e';
    FUZZ_CHECK(parseNumber(fortran) == value);

    if (!compact.empty() && (isDigit(compact[0]) || compact[0] == '.'))
        FUZZ_CHECK(parseNumber("-" + text) == -value);

    // The strict reader takes a plain decimal whole, as strtod reads it, and nothing else.
    const auto strict = quenrow::readNumber(text);
    FUZZ_CHECK(strict.has_value() == isPlainDecimal(text));
    if (strict)
        FUZZ_CHECK(*strict == std::strtod(text.c_str(), nullptr));

    // strtod reads in the "C" locale here: nothing calls setlocale.
    if (isPlainDecimal(compact)) {
        char *end = nullptr;
        const double expected = std::strtod(compact.c_str(), &end);
        FUZZ_CHECK(end == compact.c_str() + compact.size());
        if (value != expected) {
            std::fprintf(stderr, "\"%s\": %.17g, strtod %.17g\n", compact.c_str(), value, expected);
            std::abort();
        }
    }
    return 0;
}
