// SPDX-License-Identifier: MIT
// quenrow-lookup run as a process, as a script would run it.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <variant>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "data/calculator.h"
#include "data/number_format.h"
#include "data/number_text.h"
#include "data/table_export.h"
#include "test_support.h"

namespace quenrow {
namespace {

struct Process {
    int status = -1;
    std::string out, err;
};

std::string quoted(const std::string &arg)
{
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// env: "LC_ALL=de_DE.UTF-8 " and the like, put before the program; output:
// where standard output goes.
Process run(const std::vector<std::string> &args, const std::string &input = "",
            const std::string &env = "", const std::string &output = ">out")
{
    static const test::TempDirectory scratch;
    const auto in = scratch.write("in", input);
    std::vector<std::string> words = args;
    if (std::find(args.begin(), args.end(), "--data") == args.end())
        words.insert(words.begin(), {"--data", test::bundledDataDirectory()});
    std::string command = "cd " + quoted(scratch.path()) + " && " + env + QUENROW_LOOKUP;
    for (const auto &word : words)
        command.append(1, ' ').append(quoted(word));
    command.append(" <").append(quoted(in)).append(" 2>err ").append(output);
    Process result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = test::readBytes(scratch.path() / "out");
    result.err = test::readBytes(scratch.path() / "err");
    return result;
}

std::vector<std::vector<std::string>> lines(const std::string &text, char separator)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        rows.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, separator);)
            if (separator != ' ' || !field.empty())
                rows.back().push_back(field);
    }
    return rows;
}

double number(const std::string &text)
{
    double value = NAN;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const MaterialTable &water()
{
    static const MaterialTable table =
        std::get<MaterialPtr>(
            loadMaterial(materialPath(test::bundledDataDirectory(), "Water_liquid.psp")))
            ->table;
    return table;
}

TEST(LookupProgram, TextShowsTheEnergyEntrysTotalForTheSameInput)
{
    const std::vector<std::string> typed = {"150", "62.5", "0.001", "10000", "7.77", "1.5e2"};
    std::vector<std::string> args = {"Water_liquid.psp"};
    args.insert(args.end(), typed.begin(), typed.end());
    const Process r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(r.out, ' ');
    ASSERT_EQ(rows.size(), typed.size() + 2); // two header lines
    for (std::size_t i = 0; i < typed.size(); ++i)
        EXPECT_EQ(rows[i + 2][3], formatScientific(*interpolateTotal(test::prepared(water()),
                                                                     parseNumber(typed[i]))))
            << typed[i];
}

TEST(LookupProgram, CsvReadsBackAsTheLookupsDoublesAndRangesInvertThem)
{
    std::string energies;
    std::vector<double> asked;
    for (double e = 0.001; e <= 10000; e *= 1.31) {
        asked.push_back(e);
        char text[32];
        energies.append(text, std::to_chars(text, text + sizeof text, e).ptr) += '\n';
    }
    const Process forward = run({"Water_liquid.psp", "--format", "csv"}, energies);
    ASSERT_EQ(forward.status, 0) << forward.err;
    const auto rows = lines(forward.out, ',');
    ASSERT_EQ(rows.size(), asked.size() + 1);
    std::vector<std::string> rangeArgs = {"Water_liquid.psp", "--format", "csv"};
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const auto row = std::get<RowValues>(interpolateRow(test::prepared(water()), asked[i]));
        const std::vector<double> expected = {row.energy,       row.electronic, row.nuclear,
                                              row.total,        *row.csdaRange, *row.projectedRange,
                                              *row.detourFactor};
        for (std::size_t c = 0; c < expected.size(); ++c)
            ASSERT_EQ(number(rows[i + 1][c]), expected[c]) << "line " << i << " column " << c;
        rangeArgs.insert(rangeArgs.end(), {"--range", rows[i + 1][4]});
    }
    const Process back = run(rangeArgs);
    ASSERT_EQ(back.status, 0) << back.err;
    const auto inverted = lines(back.out, ',');
    for (std::size_t i = 0; i < asked.size(); ++i)
        EXPECT_NEAR(number(inverted[i + 1][0]), asked[i], asked[i] * 1e-12);
}

TEST(LookupProgram, FailuresGiveTheirStatusAndMessageAndTheOtherLinesStillComeOut)
{
    test::TempDirectory folder;
    const auto refused = folder.write("Short.psp", "title\r\nNAME\r\n1\r\n");
    auto dense = test::MaterialText::fromBundled();
    dense.density = "1e306"; // linear stopping powers past the doubles
    const auto tooDense = folder.write("Dense.psp", dense.str());
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string message;
        std::vector<std::string> energies; // first field of each line answered, in order
    };
    const Case cases[] = {
        {{"water", "1"}, "", 2, "Water_vapor.psp  WATER VAPOR", {}},
        {{"Water_liquid.psp", "--data", "/nonexistent", "1"}, "", 2, "does not exist", {}},
        {{refused.string(), "1"}, "", 2, "Short.psp\", line 4", {}},
        {{"Water_liquid.psp", "--format", "xml", "1"}, "", 2, "--format", {}},
        {{tooDense.string(), "--linear", "1"}, "", 1, "energy 1: With the density", {}},
        {{"Water_liquid.psp", "1", "20000", "abc", "2"},
         "",
         1,
         "energy 2: The energy 20000 MeV is outside the table",
         {"1.000E+00", "2.000E+00"}},
        {{"Water_liquid.psp", "1", "20000", "abc", "2"},
         "",
         1,
         "energy 3: \"abc\" is not a number",
         {"1.000E+00", "2.000E+00"}},
        {{"Water_liquid.psp"},
         "3\n\n 1e9  4\nnan\n",
         1,
         "line 3: The energy 1000000000 MeV",
         {"3.000E+00", "4.000E+00"}},
        {{"Water_liquid.psp", "+-5", std::string(400, '0') + "1e-300",
          "0." + std::string(400, '0') + "1"},
         "",
         1,
         "energy 1: \"+-5\" is not a number",
         {}},
        {{"Water_liquid.psp", "+-5", "1" + std::string(500, '0') + "e-100"},
         "",
         1,
         "energy 2: The energy Infinity MeV is outside",
         {}},
        {{"Water_liquid.psp", "0." + std::string(400, '0') + "1"},
         "",
         1,
         "energy 1: The energy 0 MeV is outside",
         {}},
        {{"Water_liquid.psp", "--range", "1e6", "--range", "1"},
         "",
         1,
         "--range 1: The CSDA range",
         {"3.209E+01"}},
    };
    for (const auto &c : cases) {
        const Process r = run(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        std::vector<std::string> answered;
        const auto rows = lines(r.out, ' ');
        for (std::size_t i = 2; i < rows.size(); ++i)
            answered.push_back(rows[i][0]);
        EXPECT_EQ(answered, c.energies) << c.message;
    }
}

// The window's saved table and the command line name a column alike, and
// --table shows the file's own seventh field.
TEST(LookupProgram, CsvColumnsAreNamedAsTheSavedTableNamesThem)
{
    const auto material = std::get<MaterialPtr>(
        loadMaterial(materialPath(test::bundledDataDirectory(), "Water_liquid.psp")));
    const auto saved = lines(tableAsFile(*material, TableFileFormat::CommaSeparated), ',');
    const Process r = run({"Water_liquid.psp", "--table", "--format", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto printed = lines(r.out, ',');
    ASSERT_EQ(printed.size(), kRowCount + 1u);
    // ... and then the reason an input was not answered.
    EXPECT_EQ(std::vector(printed[0].begin(), printed[0].end() - 1), saved[1]);
    EXPECT_EQ(printed[0].back(), "reason");
    for (int k = 1; k <= kRowCount; ++k)
        EXPECT_EQ(number(printed[k][6]), material->table.detourFactor[k]) << "row " << k;
}

// --relative-to takes any material as MATERIAL is found; with liquid water it
// gives exactly what --relative-to-water gives.
TEST(LookupProgram, RelativeToAnyMaterial)
{
    const auto density = [](const char *file) {
        return std::get<MaterialPtr>(loadMaterial(materialPath(test::bundledDataDirectory(), file)))
            ->density;
    };
    const double waterOverAir = density("Water_liquid.psp") / density("Air_dry.psp");
    struct Case {
        std::vector<std::string> args;
        std::vector<double> ratios; // the figures of the compare window's tests
        double halfLastDigit;
    };
    const Case cases[] = {
        {{"Polymethyl_methacrylate.psp", "150", "--relative-to", "Water_liquid.psp"},
         {1.1583},
         5e-5},
        {{"aluminum", "1", "250", "--relative-to", "water, liquid"}, {1.780, 2.123}, 5e-4},
        // Linear total stopping powers: the mass ratio times the densities' ratio.
        {{"Water_liquid.psp", "150", "10", "--relative-to", "Air_dry.psp"},
         {1.1306 * waterOverAir, 1.1400 * waterOverAir},
         5e-5 * waterOverAir},
    };
    for (const Case &c : cases) {
        auto args = c.args;
        args.insert(args.end(), {"--format", "csv"});
        const Process r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto rows = lines(r.out, ',');
        ASSERT_EQ(rows.size(), c.ratios.size() + 1) << r.out;
        // The ratio, then the reason a line was not answered.
        const std::size_t ratio = rows[0].size() - 2;
        EXPECT_EQ(rows[0][ratio], "ratio_to_reference");
        for (std::size_t i = 0; i < c.ratios.size(); ++i)
            EXPECT_NEAR(number(rows[i + 1][ratio]), c.ratios[i], c.halfLastDigit) << c.args[0];
    }

    const std::vector<std::string> pmma = {
        "Polymethyl_methacrylate.psp", "1", "150", "--range", "2", "--format", "csv"};
    auto named = pmma, water = pmma;
    named.insert(named.end(), {"--relative-to", "Water_liquid.psp"});
    water.push_back("--relative-to-water");
    const auto byName = lines(run(named).out, ','), shortForm = lines(run(water).out, ',');
    ASSERT_EQ(byName.size(), 4u);
    ASSERT_EQ(shortForm.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(byName[i], shortForm[i]);

    const Process unknown = run({"aluminum", "1", "--relative-to", "nosuch"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("--relative-to: No material"), std::string::npos) << unknown.err;
    const Process both = run({"aluminum", "1", "--relative-to", "air", "--relative-to-water"});
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("excludes"), std::string::npos) << both.err;
}

TEST(LookupProgram, ACommaDecimalLocaleChangesNothing)
{
    for (const std::string format : {"text", "csv", "json"}) {
        const std::vector<std::string> args = {"Polymethyl_methacrylate.psp",
                                               "--linear",
                                               "--relative-to-water",
                                               "--format",
                                               format,
                                               "51.5",
                                               "--range",
                                               "2"};
        const Process plain = run(args, "", "LC_ALL=C ");
        const Process comma = run(args, "", "LC_ALL=de_DE.UTF-8 ");
        EXPECT_EQ(plain.status, 0) << plain.err;
        EXPECT_EQ(comma.out, plain.out);
        EXPECT_EQ(comma.err, plain.err);
    }
    const Process comma = run({"Water_liquid.psp", "1,5"}, "", "LC_ALL=de_DE.UTF-8 ");
    EXPECT_EQ(comma.status, 1);
    EXPECT_NE(comma.err.find("\"1,5\" is not a number"), std::string::npos) << comma.err;
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

TEST(LookupProgram, LostOutputIsAnErrorAndAReaderThatLeftIsNot)
{
    const std::string many = [] {
        std::string lines;
        for (int i = 0; i < 100000; ++i)
            lines += "150\n";
        return lines;
    }();
    const Process full = run({"Water_liquid.psp", "150"}, "", "", ">/dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_TRUE(contains(full.err, "cannot write the output: No space left on device")) << full.err;
    const Process manyFull = run({"Water_liquid.psp"}, many, "", ">/dev/full");
    EXPECT_EQ(manyFull.status, 2);
    const Process closed = run({"Water_liquid.psp", "150"}, "", "", ">&-");
    EXPECT_EQ(closed.status, 2);
    EXPECT_TRUE(contains(closed.err, "cannot write the output: Bad file descriptor")) << closed.err;
    // With SIGPIPE ignored, as some callers leave it, the write sees EPIPE.
    const Process left = run({"Water_liquid.psp"}, many, "trap '' PIPE; ", "| head -c 100 >out");
    EXPECT_EQ(left.err, "");
    EXPECT_EQ(left.out.size(), 100u);
}

// Every text from outside reaches the terminal with nothing it would act on.
TEST(LookupProgram, OutsideTextIsShownNotObeyed)
{
    test::TempDirectory folder;
    auto text = test::MaterialText::fromBundled();
    text.name = "Caf\xC3\xA9 \xE2\x88\x9E \x1b[31m";
    folder.write("\x1b[2Jx.psp", text.str());
    text.name = "Caf\xE9";
    folder.write("latin.psp", text.str());
    const std::string data = folder.path().string();
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string expected; // on standard error, or output when it starts with '>'
    } cases[] = {
        {{"x\x1b]0;PWNED\a\x1b[2J", "150"}, "", "matches \"x\\x1b]0;PWNED\\x07\\x1b[2J\"."},
        {{"Water_liquid.psp"}, "\x1b[2J\n", "line 1: \"\\x1b[2J\" is not a number."},
        {{"Water_liquid.psp"}, std::string(100000, '7') + "x", "...\" (100001 characters)"},
        {{"--list", "--data", data}, "", ">\\x1b[2Jx.psp  Caf\xC3\xA9 \xE2\x88\x9E \\x1b[31m"},
        {{"--list", "--data", data, "--format", "json"},
         "",
         ">\"Caf\xC3\xA9 \xE2\x88\x9E \\u001b[31m\""},
        {{"--list", "--data", data, "--format", "json"}, "", ">\"Caf\xEF\xBF\xBD\""},
        {{"caf", "1", "--data", data}, "", "\\x1b[2Jx.psp  Caf\xC3\xA9 \xE2\x88\x9E \\x1b[31m"},
    };
    for (const auto &c : cases) {
        const Process r = run(c.args, c.input);
        const bool onOutput = !c.expected.empty() && c.expected[0] == '>';
        EXPECT_TRUE(contains(onOutput ? r.out : r.err, c.expected.substr(onOutput)))
            << c.expected << "\n"
            << r.out << r.err;
        EXPECT_FALSE(contains(r.out + r.err, "\x1b")) << c.expected;
    }
}

TEST(LookupProgram, UsageErrorsAndConventions)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--list", "Water_liquid.psp", "150"}, 2, "--list: takes no MATERIAL"},
        {{"--list", "--range", "1"}, 2, "--list: takes no MATERIAL"},
        {{"--list", "--table"}, 2, "--list: takes no MATERIAL"},
        {{"150", "Water_liquid.psp"}, 2, "the material comes first"},
        {{"1e2", "water, liquid"}, 2, "the material comes first"},
        {{"Water_liquid.psp", "1", "--digits", "4"}, 2, "--digits: needs --format"},
        {{"watr", "1"}, 2, "Did you mean Water_liquid.psp or Water_vapor.psp?"},
        {{"Water_liquid.psp", "0.0009999999999999998"},
         1,
         "The energy 0.0009999999999999998 MeV is outside the table (0.001 to 10000 MeV)."},
    };
    for (const auto &c : cases) {
        const Process r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_TRUE(contains(r.err, c.message)) << r.err;
    }
    EXPECT_FALSE(contains(run({"watr", "1"}).err, "082-Lead.ps")); // not all 74
    EXPECT_EQ(run({"-V"}).out, std::string("quenrow-lookup ") + QUENROW_VERSION_TEXT + "\n");
    EXPECT_TRUE(contains(run({"--help"}).out, "four significant figures"));
}

TEST(LookupProgram, ATableWithItsOwnEndsIsNamedByThem)
{
    test::TempDirectory folder;
    auto text = test::MaterialText::fromBundled();
    for (std::string &row : text.rows) { // every energy doubled: 0.002 to 20000 MeV
        const auto end = row.find_first_of(' ', row.find_first_not_of(' '));
        char doubled[32];
        std::snprintf(doubled, sizeof doubled, "%.3E", 2 * number(row.substr(0, end)));
        row = doubled + row.substr(end);
    }
    const auto file = folder.write("Doubled.psp", text.str()).string();
    const Process r = run({file, "20000", "0.0015"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "The energy 20000 MeV is outside the energies looked up (0.002 to "
                                "10000 MeV; the table runs from 0.002 to 20000 MeV)."))
        << r.err;
    EXPECT_TRUE(contains(r.err, "The energy 0.0015 MeV is outside the energies")) << r.err;
}

// A script zips its input with the output: one row per input, in order.
TEST(LookupProgram, EveryInputKeepsItsRowAndDashReadsStandardInput)
{
    const std::vector<std::string> args = {"Water_liquid.psp", "5", "-", "7"};
    for (const auto &[format, separator] :
         {std::pair{"csv", ','}, std::pair{"tsv", '\t'}, std::pair{"json", ','}}) {
        std::vector<std::string> withFormat = args;
        withFormat.insert(withFormat.end(), {"--format", format});
        const Process r = run(withFormat, "1\nabc\n20000\n2\n");
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(contains(r.err, "line 2: \"abc\" is not a number.")) << r.err;
        auto rows = lines(r.out, separator);
        if (std::string(format) == "json") {
            EXPECT_TRUE(contains(r.out, "\"energy_MeV\": null")) << r.out;
            ASSERT_EQ(rows.size(), 8u); // [ six rows ]
            rows = {rows.begin() + 1, rows.end() - 1};
        } else {
            ASSERT_EQ(rows.size(), 7u);
            EXPECT_EQ(rows[0].back(), "reason");
            rows.erase(rows.begin());
        }
        const char *energies[] = {"5", "1", "", "", "2", "7"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::string first = rows[i][0];
            if (std::string(format) == "json")
                first = first.substr(first.find(": ") + 2);
            EXPECT_EQ(first, *energies[i]                    ? energies[i]
                             : std::string(format) == "json" ? "null"
                                                             : "")
                << format << " row " << i;
        }
    }
}

TEST(LookupProgram, DigitsRoundTheLosslessNumbers)
{
    const std::vector<std::string> args = {"Water_liquid.psp", "4000",     "8.5",
                                           "0.00123",          "--format", "csv"};
    std::vector<std::string> rounded = args;
    rounded.insert(rounded.end(), {"--digits", "4"});
    const auto exact = lines(run(args).out, ',');
    const auto tidy = lines(run(rounded).out, ',');
    ASSERT_EQ(exact.size(), tidy.size());
    for (std::size_t i = 1; i < exact.size(); ++i)
        for (std::size_t c = 0; c + 1 < exact[i].size(); ++c) {
            std::string rounded;
            appendSignificant(rounded, number(exact[i][c]), 4);
            EXPECT_EQ(tidy[i][c], rounded) << exact[i][c];
        }
}

// The figures (computed apart from the program), a row per energy
// per layer, named as the window names them.
TEST(LookupProgram, StackGivesARowPerEnergyPerLayer)
{
    const Process r =
        run({"--layer", "Water_liquid.psp:5cm", "--layer", "Polymethyl_methacrylate.psp:1cm:1.19",
             "--format", "csv", "150", "100"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(r.out, ',');
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "beam_MeV,layer,material,energy_in_MeV,energy_out_MeV,energy_lost_MeV,wet_cm,"
              "residual_water_range_cm,stop_depth_cm,reason");
    EXPECT_EQ(rows[1][2], "Water_liquid.psp");
    EXPECT_NEAR(number(rows[1][4]), 120.69, 0.0051);
    EXPECT_NEAR(number(rows[1][6]), 5, 1e-9);
    EXPECT_EQ(rows[2][3], rows[1][4]); // what leaves one layer enters the next
    EXPECT_NEAR(number(rows[3][4]), 55.85, 0.0051);
}

TEST(LookupProgram, StackFileAskedBackwardsGivesTheEnergyNeeded)
{
    test::TempDirectory folder;
    const auto stack =
        folder.write("shifter.stack", "# shifter\nlead 1 mm\nWater_liquid.psp 2 cm\n");
    const Process forward = run({"--stack", stack.string(), "--format", "tsv", "123.4"});
    ASSERT_EQ(forward.status, 0) << forward.err;
    const std::string out = lines(forward.out, '\t').back()[4];
    const Process back = run({"--stack", stack.string(), "--energy-out", "--format", "tsv", out});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_NEAR(number(lines(back.out, '\t')[1][1]), 123.4, 123.4e-9);

    // 12 cm of water behind it: the last row's residual range.
    const Process depth =
        run({"--stack", stack.string(), "--water-depth", "--format", "tsv", "12"});
    ASSERT_EQ(depth.status, 0) << depth.err;
    EXPECT_NEAR(number(lines(depth.out, '\t').back()[8]), 12, 1e-9);
}

TEST(LookupProgram, StackFailuresGiveTheirStatus)
{
    test::TempDirectory folder;
    const auto bad = folder.write("bad.stack", "water 3 inches\n");
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string message;
        std::size_t rows; // of output, with the header
    };
    const Case cases[] = {
        {{"--layer", "Water_liquid.psp:5", "150"}, "", 2, "is not MATERIAL:THICKNESS", 0},
        {{"--stack", bad.string(), "150"}, "", 2, "Line 1", 0},
        {{"--stack", (folder.path() / "none").string(), "150"}, "", 2, "Cannot open", 0},
        {{"--layer", "Unobtainium:1cm", "150"}, "", 2, "No material", 0},
        {{"--energy-out", "150"}, "", 2, "need --layer or --stack", 0},
        {{"--layer", "lead:1cm", "--range", "2"}, "", 2, "takes no", 0},
        // An input that cannot be answered keeps a row with its reason.
        {{"--layer", "lead:1cm", "--format", "csv"}, "150\nabc 20000\n", 1, "line 2: \"abc\"", 4},
        {{"--layer", "lead:1cm:-2", "--format", "csv", "150"}, "", 1, "density -2", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        const Process r = run(c.args, c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(lines(r.out, ',').size(), c.rows);
    }
}

} // namespace
} // namespace quenrow
