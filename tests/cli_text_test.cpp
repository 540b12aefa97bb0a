// SPDX-License-Identifier: MIT
// quenrow-lookup's text helpers: what reaches a terminal or a JSON reader.
#include <gtest/gtest.h>

#include "cli/safe_text.h"
#include "cli/suggest.h"
#include "data/number_text.h"

namespace quenrow::cli {
namespace {

struct Shown {
    const char *name;
    std::string text;
    std::string shown;
};

TEST(Showable, NothingATerminalActsOnGetsThrough)
{
    const Shown cases[] = {
        {"plain and UTF-8", "Caf\xC3\xA9 \xE2\x88\x9E", "Caf\xC3\xA9 \xE2\x88\x9E"},
        {"escape sequences", "x\x1b]0;PWNED\a\x1b[2J", "x\\x1b]0;PWNED\\x07\\x1b[2J"},
        {"line ends and tabs", "a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"a NUL keeps the rest", std::string("a\0b", 3), "a\\x00b"},
        {"DEL", "a\x7f", "a\\x7f"},
        {"C1 control",
         "a\xC2\x9B"
         "2J",
         "a\\u009b2J"},
        {"right-to-left override", "\xE2\x80\xAEgnp.psp", "\\u202egnp.psp"},
        {"isolate and zero width", "\xE2\x81\xA6x\xE2\x80\x8B", "\\u2066x\\u200b"},
        {"stray continuation byte", "a\x80z", "a\\x80z"},
        {"Latin-1 byte", "Caf\xE9", "Caf\\xe9"},
        {"cut sequence at the end", "a\xE2\x88", "a\\xe2\\x88"},
        {"overlong slash", "\xC0\xAF", "\\xc0\\xaf"},
        {"surrogate", "\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(showable(c.text), c.shown) << c.name;
}

TEST(Quoted, LongTokensAreCutWithTheirLength)
{
    const std::string sixty(60, 'x');
    EXPECT_EQ(quotedToken("lead"), "\"lead\"");
    EXPECT_EQ(quotedToken(sixty), '"' + sixty + '"');
    EXPECT_EQ(quotedToken(std::string(20000000, 'x')), '"' + sixty + "...\" (20000000 characters)");
    // Characters, not bytes: 61 two-byte letters are cut after 60.
    std::string accents;
    for (int i = 0; i < 61; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(quotedToken(accents), '"' + accents.substr(0, 120) + "...\" (61 characters)");
}

TEST(JsonString, CarriesUtf8AndReplacesWhatIsNot)
{
    const Shown cases[] = {
        {"UTF-8 as UTF-8", "Caf\xC3\xA9 \xE2\x88\x9E", "\"Caf\xC3\xA9 \xE2\x88\x9E\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"controls", std::string("a\n\t\0\x1b", 5), "\"a\\n\\t\\u0000\\u001b\""},
        {"Latin-1 byte is replaced", "Caf\xE9!", "\"Caf\xEF\xBF\xBD!\""},
        {"bidi override escaped", "\xE2\x80\xAEx", "\"\\u202ex\""},
        {"four-byte character kept", "\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
    };
    for (const auto &c : cases) {
        std::string out;
        appendJsonString(out, c.text);
        EXPECT_EQ(out, c.shown) << c.name;
    }
}

TEST(ClosestNames, SuggestsOnlyNamesAFewEditsAway)
{
    const std::vector<std::string> files = {"Water_liquid.psp", "Water_vapor.psp",
                                            "082-Lead.ps",      "050-Tin.ps",
                                            "013-Aluminum.ps",  "Polymethyl_methacrylate.psp"};
    struct Case {
        const char *query;
        std::vector<std::string> expected;
    } cases[] = {
        {"Water_liqid.psp", {"Water_liquid.psp"}},
        {"water liqiud", {"Water_liquid.psp"}},
        {"watr", {"Water_liquid.psp", "Water_vapor.psp"}},
        {"alumnum", {"013-Aluminum.ps"}},
        {"LEED", {"082-Lead.ps"}},
        {"xyz", {}},
        {"x\x1b]0;PWNED\a", {}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(closestNames(c.query, files), c.expected) << c.query;
    EXPECT_TRUE(closestNames(std::string(20000000, 'w'), files).empty());
}

// Messages: as the general format until a value needs more digits.
TEST(NumberText, ExactTextTellsAValueFromTheLimitItPassed)
{
    const std::pair<double, const char *> exact[] = {
        {0.0009999999999999998, "0.0009999999999999998"},
        {10000.000000000002, "10000.000000000002"},
        {20000, "20000"},
        {1e9, "1000000000"},
        {1e-20, "1E-20"},
        {0.1 + 0.2, "0.30000000000000004"},
        {0, "0"},
    };
    for (const auto &[value, text] : exact)
        EXPECT_EQ(exactText(value), text);
}

} // namespace
} // namespace quenrow::cli
