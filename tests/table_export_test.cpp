// SPDX-License-Identifier: MIT
#include <algorithm>
#include <array>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "data/table_export.h"

namespace quenrow {
namespace {

std::string line(const std::string &text, int index)
{
    std::istringstream in(text);
    std::string out;
    for (int i = 0; i <= index; ++i)
        std::getline(in, out);
    return out;
}

TEST(TableAsFile, ValuesAsTheFileWroteThemWhereTheyReadBackExactly)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *what;
        std::string rowText;
        std::array<double, 6> values;
        std::string expected;
    };
    const Case cases[] = {
        {"as written", "1.000E-03 1.337E+02 4.315E+01 1.769E+02 6.319E-06 2.878E-06",
         {1e-3, 133.7, 43.15, 176.9, 6.319e-6, 2.878e-6},
         "1.000E-03,1.337E+02,4.315E+01,1.769E+02,6.319E-06,2.878E-06"},
        {"signs and tabs", "+1.0e-3\t1.337E+02 43.15 176.9 -1 2.878E-06",
         {1e-3, 133.7, 43.15, 176.9, -1, 2.878e-6}, "+1.0e-3,1.337E+02,43.15,176.9,-1,2.878E-06"},
        {"a range that is not a number", "1.000E-03 1.337E+02 4.315E+01 1.769E+02 n/a 2.878E-06",
         {1e-3, 133.7, 43.15, 176.9, nan, 2.878e-6},
         "1.000E-03,1.337E+02,4.315E+01,1.769E+02,NaN,2.878E-06"},
        {"last field cut by the row width",
         "1.0000000E-03 1.3370000E+02 4.3150000E+01 1.7690000E+02 6.31900",
         {1e-3, 133.7, 43.15, 176.9, 6.319e-6, 2.878e-6},
         "1.0000000E-03,1.3370000E+02,4.3150000E+01,1.7690000E+02,6.319E-06,2.878E-06"},
        {"text that is not the value", "1.000E-03 1.337E+02 4.315E+01 1.769E+02 6.319E-06 2.878E-06",
         {1e-3, 133.7, 43.15, 176.9, 6.3191e-6, 2.878e-6},
         "1.000E-03,1.337E+02,4.315E+01,1.769E+02,6.3191E-06,2.878E-06"},
    };
    for (const Case &c : cases) {
        MaterialTable table;
        table.name = "AIR, DRY (NEAR SEA LEVEL)";
        table.rowText[1] = c.rowText;
        table.energy[1] = c.values[0];
        for (int i = 1; i <= 3; ++i)
            table.stoppingPower[i][1] = c.values[i];
        table.range[1][1] = c.values[4];
        table.range[2][1] = c.values[5];
        const std::string csv = tableAsFile(table, 0.00120479, TableFileFormat::CommaSeparated);
        EXPECT_EQ(line(csv, 0), "# AIR, DRY (NEAR SEA LEVEL), density 0.00120479 g/cm3");
        EXPECT_EQ(line(csv, 2), c.expected) << c.what;
        EXPECT_EQ(line(csv, 3), "0,0,0,0,0,0") << c.what;
        std::string tabs = c.expected;
        std::replace(tabs.begin(), tabs.end(), ',', '\t');
        EXPECT_EQ(line(tableAsFile(table, 1, TableFileFormat::TabSeparated), 2), tabs) << c.what;
    }
}

} // namespace
} // namespace quenrow
