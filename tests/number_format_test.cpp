// SPDX-License-Identifier: MIT
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "data/number_format.h"
#include "data/number_reader.h"

namespace quenrow {
namespace {

struct Formatted {
    double value;
    const char *text;
};

TEST(FormatScientific, MatchesMask)
{
    const Formatted cases[] = {
        {1, "1.000E+00"},       {176.9, "1.769E+02"},  {1234.56, "1.235E+03"},
        {0.00123, "1.230E-03"}, {9.9996, "1.000E+01"}, {-0.5, "-5.000E-01"},
        {1e-100, "1.000E-100"}, {0, "0.000E+00"},      {-0.0, "0.000E+00"},
        {0.001, "1.000E-03"},   {10000, "1.000E+04"},  {99.9949, "9.999E+01"},
        {9.99949, "9.999E+00"}, {1e300, "1.000E+300"}, {123456789, "1.235E+08"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatScientific(c.value), c.text) << c.value;
}

TEST(FormatDensity, ShowsThreeToSixDecimals)
{
    const Formatted cases[] = {
        {1, "1.000"},
        {11.35, "11.350"},
        {2.6989, "2.6989"},
        {0.0012048, "0.001205"},
        {0.0000837, "0.000084"},
        {0.0000004, "0.000"},
        {1234.5, "1234.500"},
        {8.3748e-05, "0.000084"},
        {0.00116528, "0.001165"},
        {7.9004, "7.9004"},
        {1.0000004, "1.000"},
        {0.9999996, "1.000"},
        {-2.5, "-2.500"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDensity(c.value), c.text) << c.value;
}

TEST(FormatGeneral, FifteenSignificantDigitsWithoutTrailingZeros)
{
    const Formatted cases[] = {
        {1, "1"},
        {2.699, "2.699"},
        {0.5, "0.5"},
        {11.35, "11.35"},
        {0.1 + 0.2, "0.3"},
        {1.2345e-05, "1.2345E-05"},
        {8.3748e-05, "8.3748E-05"},
        {0.000166322, "0.000166322"},
        {-3.25, "-3.25"},
        {0, "0"},
        {1e15, "1E+15"},
        {123456789012345, "123456789012345"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatGeneral(c.value), c.text) << c.value;
}

struct Parsed {
    const char *text;
    double value;
};

TEST(ParseNumber, ReadsTheLeadingNumber)
{
    const Parsed cases[] = {
        {"10", 10},       {"2.5 MeV", 2.5}, {"1 000", 1000}, {".5", 0.5},    {"-3", -3},
        {"1e-2", 0.01},   {"1D2", 100},     {"1,5", 1},      {"1.2.3", 1.2}, {"abc", 0},
        {"", 0},          {"5.", 5},        {"+7", 7},       {"1e", 1},      {"1e+", 1},
        {"2d-1", 0.2},    {"\t1\n0", 10},   {"-", 0},        {".", 0},       {"&H10", 0},
        {"0.001", 0.001}, {"10000", 10000}, {"1E3x", 1000},  {"- 2", -2},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(parseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseNumber, BeyondDoubleRangeIsInfiniteOrZeroNotACrash)
{
    EXPECT_EQ(parseNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("123456789e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber("1e-999"), 0);
    EXPECT_EQ(parseNumber("0.000000001e-400"), 0);
    EXPECT_EQ(parseNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
}

struct Token {
    std::string text;
    NumberStatus status;
    double value;
};

TEST(ReadNumber, AWholeTokenOrNothingTellingOverflowFromUnderflow)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const auto refused = NumberStatus::NotANumber;
    const Token cases[] = {
        {"150", NumberStatus::Read, 150},
        {"+7.5E-01", NumberStatus::Read, 0.75},
        {"-2.5", NumberStatus::Read, -2.5},
        {".5", NumberStatus::Read, 0.5},
        {"3.", NumberStatus::Read, 3},
        {"4.9e-324", NumberStatus::Read, 4.9e-324},
        {"", refused, 0},
        {"+", refused, 0},
        {"+-5", refused, 0},
        {"-+5", refused, 0},
        {"++5", refused, 0},
        {"1 5", refused, 0},
        {"150abc", refused, 0},
        {"1,5", refused, 0},
        {"nan", refused, 0},
        {"inf", refused, 0},
        {"-infinity", refused, 0},
        {"0x10", refused, 0},
        {" 5", refused, 0},
        {"5 ", refused, 0},
        {"1e", refused, 0},
        {"1e+", refused, 0},
        {".", refused, 0},
        {"e5", refused, 0},
        {"1.2.3", refused, 0},
        {"1D2", refused, 0},
        {"1e999", NumberStatus::Overflow, inf},
        {"-1e999", NumberStatus::Overflow, -inf},
        {"1" + std::string(500, '0') + "e-100", NumberStatus::Overflow, inf},
        {"0." + std::string(400, '0') + "1", NumberStatus::Underflow, 0},
        {"0.00001" + std::string(400, '9') + "e-320", NumberStatus::Underflow, 0},
        {"-1e-400", NumberStatus::Underflow, -0.0},
        {"0." + std::string(400, '0') + "1e401", NumberStatus::Read, 1},
        {"1e-99999999999999999999", NumberStatus::Underflow, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const NumberReading got = scanNumber(c.text);
        EXPECT_EQ(got.status, c.status);
        EXPECT_EQ(readNumber(c.text).has_value(), c.status != refused);
        if (c.status != refused) {
            EXPECT_EQ(got.value, c.value);
            EXPECT_EQ(std::signbit(got.value), std::signbit(c.value));
        }
    }
}

// Whatever strtod reads whole (it knows no other forms over this alphabet),
// the reader reads to the same double; the rest it refuses.
TEST(ReadNumber, AgreesWithStrtodOnRandomTokens)
{
    std::mt19937 random(20261208);
    const std::string alphabet = "0123456789.eE+-";
    for (int n = 0; n < 200000; ++n) {
        std::string token;
        const int length = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) {
            token += alphabet[random() % alphabet.size()];
            if (random() % 50 == 0)
                token.append(random() % 400, '0');
        }
        char *end = nullptr;
        const double expected = std::strtod(token.c_str(), &end);
        const auto got = readNumber(token);
        if (end != token.c_str() + token.size()) {
            ASSERT_FALSE(got) << token;
        } else {
            ASSERT_TRUE(got) << token;
            ASSERT_EQ(*got, expected) << token;
        }
    }
}

// The windows toolkit sets the C locale from the environment; a comma-decimal
// locale must not reach our numbers.
TEST(NumberFormats, IgnoreACommaDecimalLocale)
{
    const char *german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!german)
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    EXPECT_EQ(formatScientific(176.9), "1.769E+02");
    EXPECT_EQ(formatDensity(2.6989), "2.6989");
    EXPECT_EQ(formatGeneral(0.5), "0.5");
    EXPECT_DOUBLE_EQ(parseNumber("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(parseNumber("2,5"), 2);
    std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace quenrow
