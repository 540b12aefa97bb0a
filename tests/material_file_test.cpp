// SPDX-License-Identifier: MIT
#include <cmath>
#include <cstdlib>
#include <limits>
#include <fstream>
#include <functional>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "data/material_directory.h"
#include "data/material.h"
#include "data/number_format.h"
#include "test_support.h"

namespace quenrow {
namespace {

using test::MaterialText;
using test::TempDirectory;

Material loadOrFail(const std::filesystem::path &file)
{
    auto result = loadMaterial(file);
    if (auto *error = std::get_if<ReadError>(&result)) {
        ADD_FAILURE() << describe(*error);
        return {};
    }
    return *std::get<MaterialPtr>(std::move(result));
}

ReadError errorOf(const std::filesystem::path &file)
{
    auto result = loadMaterial(file);
    if (auto *error = std::get_if<ReadError>(&result))
        return *error;
    ADD_FAILURE() << file << " loaded but should not";
    return {};
}

// The files of `dir` that a file list for `extension` shows.
std::vector<std::string> filesWith(const std::filesystem::path &dir, const char *extension)
{
    auto listing = listDirectoryFiles(dir);
    if (auto *reason = std::get_if<std::string>(&listing)) {
        ADD_FAILURE() << *reason;
        return {};
    }
    return withExtension(std::get<std::vector<std::string>>(listing), extension);
}

// The first `count` blank-separated numbers of a row text.
std::vector<double> fieldsOf(const std::string &rowText, int count)
{
    std::vector<double> values;
    std::size_t pos = 0;
    while (static_cast<int>(values.size()) < count) {
        pos = rowText.find_first_not_of(' ', pos);
        if (pos == std::string::npos)
            break;
        const std::size_t end = rowText.find(' ', pos);
        values.push_back(parseNumber(rowText.substr(pos, end - pos)));
        pos = end;
    }
    return values;
}

TEST(BundledData, EveryFileLoadsWithValuesAndTextsFromTheSameLine)
{
    const auto dir = test::bundledDataDirectory();
    int files = 0;
    for (const char *extension : {".ps", ".psp"}) {
        for (const auto &name : filesWith(dir, extension)) {
            SCOPED_TRACE(name);
            ++files;
            const Material loaded = loadOrFail(materialPath(dir, name));
            const MaterialTable &t = loaded.table;
            EXPECT_FALSE(t.name.empty());
            EXPECT_GT(loaded.density, 0);
            EXPECT_DOUBLE_EQ(t.energy[1], 0.001);
            EXPECT_DOUBLE_EQ(t.energy[kRowCount], 10000);
            for (int k = 1; k <= kRowCount; ++k) {
                if (k > 1) {
                    ASSERT_GT(t.energy[k], t.energy[k - 1]) << "row " << k;
                }
                const auto shown = fieldsOf(t.rowText[k], 6);
                ASSERT_EQ(shown.size(), 6u) << "row " << k;
                const double values[6] = {t.energy[k],           t.stoppingPower[1][k],
                                          t.stoppingPower[2][k], t.stoppingPower[3][k],
                                          t.range[1][k],         t.range[2][k]};
                for (int f = 0; f < 6; ++f)
                    ASSERT_DOUBLE_EQ(shown[f], values[f]) << "row " << k << " field " << f + 1;
            }
            // Slot 0 and column 0 are never written.
            EXPECT_EQ(t.energy[0], 0);
            EXPECT_EQ(t.stoppingPower[0][5], 0);
            EXPECT_EQ(t.range[0][5], 0);
            EXPECT_TRUE(t.rowText[0].empty());
        }
    }
    EXPECT_EQ(files, 74);
}

TEST(MaterialDirectory, ListsByPatternSortedIgnoringCaseWithoutFolders)
{
    TempDirectory dir;
    for (const char *name : {"b.ps", "A.ps", "c.PS", "x.psp", "y.txt", "ps", "Z.psp"})
        dir.write(name, "");
    std::filesystem::create_directory(dir.path() / "folder.ps");
    EXPECT_EQ(filesWith(dir.path(), ".ps"), (std::vector<std::string>{"A.ps", "b.ps", "c.PS"}));
    EXPECT_EQ(filesWith(dir.path(), ".psp"), (std::vector<std::string>{"x.psp", "Z.psp"}));
    EXPECT_TRUE(std::holds_alternative<std::string>(listDirectoryFiles(dir.path() / "missing")));
}

TEST(ReadMaterialHeader, KeepsTheNameLineAndReadsTheDensity)
{
    struct Case {
        const char *name;
        const char *density;
        double expected;
    };
    const Case cases[] = {
        {"WATER, LIQUID", "1", 1},
        {"   LEADING BLANKS  ", "2.6989", 2.6989},
        {"COMMA AFTER", "1.205E-03, g/cm3", 1.205e-3},
        {"UNIT AFTER", "  11.35   g/cm3", 11.35},
        {"TAB BEFORE", "\t7.874", 7.874},
    };
    TempDirectory dir;
    for (const auto &c : cases) {
        MaterialText text;
        text.name = c.name;
        text.density = c.density;
        auto header = readMaterialHeader(dir.write("m.ps", text.str()));
        ASSERT_TRUE(std::holds_alternative<MaterialHeader>(header)) << c.name;
        EXPECT_EQ(std::get<MaterialHeader>(header).name, c.name);
        EXPECT_DOUBLE_EQ(std::get<MaterialHeader>(header).density, c.expected) << c.name;
    }
}

// The load keeps the density field as written, for showing it with the file's digits.
TEST(LoadMaterial, KeepsTheDensityFieldAsWritten)
{
    const std::pair<const char *, const char *> cases[] = {
        {"8.3748E-05", "8.3748E-05"},
        {"1.205E-03, g/cm3", "1.205E-03"},
        {"  11.35   g/cm3", "11.35"},
        {"\t+7.8740", "+7.8740"},
    };
    TempDirectory dir;
    for (const auto &[line, kept] : cases) {
        MaterialText text = MaterialText::fromBundled();
        text.density = line;
        if (std::string(line).find_first_of(",g") != std::string::npos)
            text.headings.pop_back(); // the rest of line 3 is the first ignored line
        const auto file = dir.write("m.ps", text.str());
        auto loaded = loadMaterial(file);
        ASSERT_TRUE(std::holds_alternative<MaterialPtr>(loaded))
            << describe(std::get<ReadError>(loaded));
        const Material &material = *std::get<MaterialPtr>(loaded);
        EXPECT_EQ(material.densityText, kept);
        EXPECT_EQ(material.density, std::strtod(kept, nullptr));
        EXPECT_EQ(material.path, file.string());
        EXPECT_EQ(material.fileName, "m.ps");
    }
}

// What follows the density on line 3 decides where the three ignored lines
// start, and so where the table begins.
TEST(ReadMaterialValues, Line3DecidesWhereTheTableStarts)
{
    struct Case {
        const char *density;
        int headingLines; // lines between line 3 and the first row
        bool loads;
    };
    const Case cases[] = {
        {"1", 3, true},  {"1   ", 3, true}, {"1, g/cm3", 2, true},  {"1 g/cm3", 2, true},
        {"1,", 2, true}, {"1", 2, false},   {"1, g/cm3", 3, false},
    };
    TempDirectory dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.density) + " / " + std::to_string(c.headingLines));
        MaterialText text = MaterialText::fromBundled();
        text.density = c.density;
        text.headings.resize(static_cast<std::size_t>(c.headingLines), "heading");
        auto result = loadMaterial(dir.write("m.psp", text.str()));
        ASSERT_EQ(std::holds_alternative<MaterialPtr>(result), c.loads);
        if (c.loads) {
            const auto &table = (*std::get<MaterialPtr>(result)).table;
            EXPECT_DOUBLE_EQ(table.energy[1], 0.001);
            EXPECT_EQ(table.rowText[1], text.rows[0].substr(0, kRowTextWidth));
        }
    }
}

// A sync tool or an editor may replace or rewrite the file during a load:
// what loads is one version of the file, never a mix of two.
struct ChangeDuringRead {
    const char *name;
    int changes; // how many reads see the file change under them
    void (*change)(const std::filesystem::path &file, const std::string &other);
    bool loadsOther; // else the version that was opened, or a refusal
    bool refused;
};

std::filesystem::path changedFile;
std::string changedOther;
int changesLeft = 0;
void (*changeNow)(const std::filesystem::path &, const std::string &) = nullptr;

void changeOnRead(const std::string &)
{
    if (changesLeft-- > 0)
        changeNow(changedFile, changedOther);
}

TEST(LoadMaterial, AFileChangedWhileReadIsReadAgainOrRefused)
{
    namespace fs = std::filesystem;
    // Rewritten in place, alternately longer and shorter, so that each
    // change also shows in the size.
    const auto rewrite = [](const fs::path &file, const std::string &other) {
        const std::string now = test::readBytes(file);
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            << (now.size() == other.size() ? other + "\r\n" : other);
    };
    const ChangeDuringRead cases[] = {
        {"rewritten once", 1, rewrite, true, false},
        {"rewritten twice", 2, rewrite, true, false},
        {"rewritten on every read", 3, rewrite, false, true},
        {"replaced by a rename", 3,
         [](const fs::path &file, const std::string &other) {
             std::ofstream(file.string() + ".new", std::ios::binary) << other;
             fs::rename(file.string() + ".new", file);
         },
         false, false},
        {"removed", 1, [](const fs::path &file, const std::string &) { fs::remove(file); }, false,
         false},
    };
    TempDirectory dir;
    const std::string water = MaterialText::fromBundled().str();
    const std::string hydrogen = MaterialText::fromBundled("001-Hydrogen.ps").str();
    const MaterialTable waterTable = loadOrFail(dir.write("w.psp", water)).table;
    const MaterialTable hydrogenTable = loadOrFail(dir.write("h.psp", hydrogen)).table;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        changedFile = dir.write("m.psp", water);
        changedOther = hydrogen;
        changesLeft = c.changes;
        changeNow = c.change;
        materialReadHook = changeOnRead;
        const auto result = loadMaterial(changedFile);
        materialReadHook = nullptr;
        if (c.refused) {
            ASSERT_TRUE(std::holds_alternative<ReadError>(result));
            EXPECT_EQ(describe(std::get<ReadError>(result)),
                      "\"" + changedFile.string() + "\": the file changed while it was read.");
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<MaterialPtr>(result));
        EXPECT_EQ(std::get<MaterialPtr>(result)->table, c.loadsOther ? hydrogenTable : waterTable);
    }
}

TEST(ReadMaterialRowTexts, CutsAt59CharactersKeepingSixFields)
{
    TempDirectory dir;
    MaterialText text = MaterialText::fromBundled();
    text.rows[1] = "1.5E-03 163.8 34.6 198.4 8.969E-06 4.4E-06 0.4906"; // shorter: kept whole
    const MaterialTable t = loadOrFail(dir.write("m.psp", text.str())).table;
    EXPECT_EQ(text.rows[0].size(), 66u);
    EXPECT_EQ(t.rowText[1], "1.000E-03 1.337E+02 4.315E+01 1.769E+02 6.319E-06 2.878E-06");
    EXPECT_EQ(t.rowText[2], text.rows[1]);
}

TEST(ReadMaterial, LineEndsAndTrailingLinesDoNotMatter)
{
    TempDirectory dir;
    MaterialText text = MaterialText::fromBundled();
    const MaterialTable crlf = loadOrFail(dir.write("crlf.psp", text.str())).table;
    struct Variant {
        const char *what;
        std::string bytes;
    };
    MaterialText lf = text, cr = text, extra = text;
    lf.lineEnd = "\n";
    cr.lineEnd = "\r";
    extra.trailing = {"not a row", "", "1 2 3"};
    std::string noFinalEnd = text.str();
    noFinalEnd.resize(noFinalEnd.size() - 2);
    const Variant variants[] = {{"LF", lf.str()},
                                {"CR", cr.str()},
                                {"lines after row 132", extra.str()},
                                {"no line end after row 132", noFinalEnd}};
    for (const auto &v : variants) {
        SCOPED_TRACE(v.what);
        EXPECT_EQ(loadOrFail(dir.write("v.psp", v.bytes)).table, crlf);
    }
}

TEST(ReadMaterial, NumbersReadAsTheCLibraryReadsThem)
{
    TempDirectory dir;
    const char *numbers[] = {
        "1.337E+02", "9.999E+22", "1.000E+19", "1.000E-19", "5.000e-05",         "0.000E+00",
        "1.000E+20", "1.000E-20", "4.315E-99", "0.4555",    "12345678901234567", "-2.500E+00",
        "+7.5E-01",  "1e2",       ".5",        "3.",
    };
    for (const char *number : numbers) {
        SCOPED_TRACE(number);
        MaterialText text = MaterialText::fromBundled();
        // In the range column, which may hold any finite number.
        text.rows[0] =
            "1.000E-03 1.337E+02 4.315E+01 1.769E+02 " + std::string(number) + " 2.878E-06 0.4555";
        const MaterialTable table = loadOrFail(dir.write("n.psp", text.str())).table;
        EXPECT_EQ(table.range[1][1], std::strtod(number, nullptr));
    }
}

TEST(ReadMaterial, BlanksAndCommasDoNotChangeTheValues)
{
    TempDirectory dir;
    MaterialText text = MaterialText::fromBundled();
    const MaterialTable plain = loadOrFail(dir.write("plain.psp", text.str())).table;
    const auto valuesOf = [](const MaterialTable &table) {
        MaterialTable values = table;
        values.rowText = {};
        values.name.clear();
        return values;
    };
    MaterialText commas = text, tabs = text;
    for (auto &row : commas.rows)
        for (std::size_t at = row.find(' '); at != std::string::npos; at = row.find(' ', at + 3))
            row.replace(at, 1, " , ");
    for (auto &row : tabs.rows)
        row = "\t " + row + " \t";
    EXPECT_EQ(valuesOf(loadOrFail(dir.write("commas.psp", commas.str())).table), valuesOf(plain));
    EXPECT_EQ(valuesOf(loadOrFail(dir.write("tabs.psp", tabs.str())).table), valuesOf(plain));
}

TEST(ReadMaterial, FailuresNameFileLineAndCause)
{
    TempDirectory dir;
    struct Case {
        const char *what;
        std::function<void(MaterialText &)> change;
        ReadFailure cause;
        int line;
        int field;
        const char *inMessage;
    };
    const Case cases[] = {
        {"131 rows", [](MaterialText &t) { t.rows.pop_back(); }, ReadFailure::EndOfFile, 138, 0,
         "row 132"},
        {"only five lines",
         [](MaterialText &t) {
             t.headings.resize(2);
             t.rows.clear();
         },
         ReadFailure::EndOfFile, 6, 0, "column headings"},
        {"word as a field", [](MaterialText &t) { t.rows[16].replace(20, 9, "abc      "); },
         ReadFailure::NotANumber, 23, 3, "field 3"},
        {"two points", [](MaterialText &t) { t.rows[0].replace(0, 9, "1.0.0    "); },
         ReadFailure::NotANumber, 7, 1, "1.0.0"},
        {"no density", [](MaterialText &t) { t.density = "g/cm3"; }, ReadFailure::NotANumber, 3, 1,
         "density"},
        {"overflow", [](MaterialText &t) { t.rows[2].replace(10, 9, "1.0E+400 "); },
         ReadFailure::OutOfRange, 9, 2, "too large"},
        {"NaN", [](MaterialText &t) { t.rows[2].replace(10, 9, "NaN      "); },
         ReadFailure::NotANumber, 9, 2, "NaN"},
        {"zero stopping power", [](MaterialText &t) { t.rows[40].replace(30, 9, "0.000E+00"); },
         ReadFailure::NotPositive, 47, 4, "greater than zero"},
        {"descending energy", [](MaterialText &t) { t.rows[60].replace(0, 9, "1.000E-03"); },
         ReadFailure::NotIncreasing, 67, 1, "row 61"},
        {"negative energy", [](MaterialText &t) { t.rows[0].replace(0, 9, "-1.00E-03"); },
         ReadFailure::NotPositive, 7, 1, "row 1"},
        // Rows stand one to a line; the first line that is not one row is named.
        {"comma after field 7", [](MaterialText &t) { t.rows[20] += ","; },
         ReadFailure::NotOneRowALine, 27, 0, "seven fields of row 21"},
        {"last row split",
         [](MaterialText &t) {
             t.rows.push_back(t.rows.back().substr(40));
             t.rows[kRowCount - 1].resize(39);
         },
         ReadFailure::NotOneRowALine, 138, 0, "seven fields of row 132"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        MaterialText text = MaterialText::fromBundled();
        c.change(text);
        const ReadError error = errorOf(dir.write("bad.psp", text.str()));
        EXPECT_EQ(error.cause, c.cause);
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.field, c.field);
        const std::string message = describe(error);
        EXPECT_NE(message.find("bad.psp"), std::string::npos) << message;
        EXPECT_NE(message.find(c.inMessage), std::string::npos) << message;
        if (c.line > 0) {
            EXPECT_NE(message.find("line " + std::to_string(c.line)), std::string::npos) << message;
        }
    }
}

// A range or seventh field that is not a number loads, as NaN (unavailable)
// in its column.
TEST(ReadMaterial, RangesAndTheSeventhFieldMayBeOtherThanNumbers)
{
    TempDirectory dir;
    MaterialText text = MaterialText::fromBundled();
    const MaterialTable plain = loadOrFail(dir.write("plain.psp", text.str())).table;
    for (const char *field : {"abc", "-inf", "1e-400"}) {
        for (int f = 5; f <= 7; ++f) {
            SCOPED_TRACE(std::string(field) + " as field " + std::to_string(f));
            MaterialText changed = text;
            changed.rows[29].replace(static_cast<std::size_t>(f - 1) * 10, 9, field);
            MaterialTable expected = plain;
            expected.rowText[30] = changed.rows[29].substr(0, kRowTextWidth);
            (f < 7 ? expected.range[f - 4][30] : expected.detourFactor[30]) =
                std::numeric_limits<double>::quiet_NaN();
            const MaterialTable loaded = loadOrFail(dir.write("m.psp", changed.str())).table;
            EXPECT_EQ(loaded, expected);
            EXPECT_EQ(std::isnan(loaded.range[1][30]) + std::isnan(loaded.range[2][30]), f < 7);
        }
    }
}

TEST(ReadMaterial, MissingFileAndFolderAreRefused)
{
    TempDirectory dir;
    const ReadError missing = errorOf(dir.path() / "gone.ps");
    EXPECT_EQ(missing.cause, ReadFailure::CannotOpen);
    EXPECT_NE(describe(missing).find("gone.ps"), std::string::npos);

    std::filesystem::create_directory(dir.path() / "folder.ps");
    EXPECT_EQ(errorOf(dir.path() / "folder.ps").cause, ReadFailure::NotAFile);
    auto header = readMaterialHeader(dir.path() / "folder.ps");
    EXPECT_TRUE(std::holds_alternative<ReadError>(header));
}

TEST(ReadMaterial, AnOverlongLineIsRefusedNotRead)
{
    TempDirectory dir;
    MaterialText text = MaterialText::fromBundled();
    text.title = std::string(kMaxLineLength + 1, 'x');
    const ReadError error = errorOf(dir.write("long.psp", text.str()));
    EXPECT_EQ(error.cause, ReadFailure::LineTooLong);
    EXPECT_EQ(error.line, 1);
    EXPECT_NE(describe(error).find("longer than"), std::string::npos);
}

} // namespace
} // namespace quenrow
