// SPDX-License-Identifier: MIT
#include "table_export.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "number_format.h"

namespace quenrow {

namespace {

constexpr int kColumns = 6;
using RowValues = std::array<std::string, kColumns>;

std::array<double, kColumns> rowValues(const MaterialTable &table, int k)
{
    return {table.energy[k],           table.stoppingPower[1][k], table.stoppingPower[2][k],
            table.stoppingPower[3][k], table.range[1][k],         table.range[2][k]};
}

RowValues generalTexts(const MaterialTable &table, int k)
{
    RowValues texts;
    const auto values = rowValues(table, k);
    for (int i = 0; i < kColumns; ++i)
        texts[i] = formatGeneral(values[i]);
    return texts;
}

// The row's fields as its line has them. A field the row text cut, or one
// that does not read as the value kept (a range that is not a number, kept
// as NaN, equals nothing), is written at full precision instead, so every
// field still reads back.
RowValues writtenTexts(const MaterialTable &table, int k)
{
    // Split as the reader splits a line: at blanks and commas.
    constexpr const char *kSeparators = " \t,";
    std::vector<std::string_view> fields;
    const std::string_view text = table.rowText[k];
    for (std::size_t at = text.find_first_not_of(kSeparators); at != std::string_view::npos;) {
        const std::size_t end = std::min(text.find_first_of(kSeparators, at), text.size());
        fields.push_back(text.substr(at, end - at));
        at = text.find_first_not_of(kSeparators, end);
    }
    RowValues texts = generalTexts(table, k);
    const auto values = rowValues(table, k);
    for (std::size_t i = 0; i < kColumns && i < fields.size(); ++i)
        if (parseNumber(fields[i]) == values[i])
            texts[i] = fields[i];
    return texts;
}

std::string delimited(const MaterialTable &table, char separator,
                      RowValues (*texts)(const MaterialTable &, int))
{
    static constexpr const char *kHeader[kColumns] = {
        "Energy (MeV)",      "Electronic (MeV cm2/g)", "Nuclear (MeV cm2/g)",
        "Total (MeV cm2/g)", "CSDA range (g/cm2)",     "Projected range (g/cm2)"};
    std::string out;
    const auto addLine = [&](const auto &fields) {
        for (int i = 0; i < kColumns; ++i) {
            if (i > 0)
                out += separator;
            out += fields[i];
        }
        out += '\n';
    };
    addLine(kHeader);
    for (int k = 1; k <= kRowCount; ++k)
        addLine(texts(table, k));
    return out;
}

} // namespace

std::string tableAsTabSeparated(const MaterialTable &table)
{
    return delimited(table, '\t', generalTexts);
}

std::string tableAsFile(const MaterialTable &table, double density, TableFileFormat format)
{
    const char separator = format == TableFileFormat::CommaSeparated ? ',' : '\t';
    return "# " + table.name + ", density " + formatGeneral(density) + " g/cm3\n" +
           delimited(table, separator, writtenTexts);
}

} // namespace quenrow
