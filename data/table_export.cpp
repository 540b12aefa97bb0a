// SPDX-License-Identifier: MIT
#include "table_export.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "number_format.h"
#include "number_reader.h"
#include "quantity.h"

namespace quenrow {

namespace {

constexpr int kColumns = 7;
using RowTexts = std::array<std::string, kColumns>;

std::array<double, kColumns> rowValues(const MaterialTable &table, int k)
{
    return {table.energy[k],           table.stoppingPower[1][k], table.stoppingPower[2][k],
            table.stoppingPower[3][k], table.range[1][k],         table.range[2][k],
            table.detourFactor[k]};
}

RowTexts generalTexts(const MaterialTable &table, int k)
{
    RowTexts texts;
    const auto values = rowValues(table, k);
    for (int i = 0; i < kColumns; ++i)
        texts[i] = formatGeneral(values[i]);
    return texts;
}

// The row's fields as its line has them. A field the row text cut, or one
// that does not read as the value kept (a field that is not a number, kept
// as NaN, equals nothing), is written at full precision instead, so every
// field still reads back.
RowTexts writtenTexts(const MaterialTable &table, int k)
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
    RowTexts texts = generalTexts(table, k);
    const auto values = rowValues(table, k);
    for (std::size_t i = 0; i < kColumns && i < fields.size(); ++i)
        if (readNumber(fields[i]) == values[i])
            texts[i] = fields[i];
    return texts;
}

std::string delimited(const MaterialTable &table, TableFileFormat format,
                      const std::array<std::string, kColumns> &header,
                      RowTexts (*texts)(const MaterialTable &, int))
{
    const char separator = format == TableFileFormat::CommaSeparated ? ',' : '\t';
    std::string out;
    const auto addLine = [&](const auto &fields) {
        for (int i = 0; i < kColumns; ++i) {
            if (i > 0)
                out += separator;
            appendField(out, fields[i], format);
        }
        out += '\n';
    };
    addLine(header);
    for (int k = 1; k <= kRowCount; ++k)
        addLine(texts(table, k));
    return out;
}

template <class Words>
std::array<std::string, kColumns> headerOf(Words words)
{
    std::array<std::string, kColumns> header;
    for (int i = 0; i < kColumns; ++i)
        header[i] = words(quantities()[i]);
    return header;
}

} // namespace

void appendField(std::string &out, std::string_view text, TableFileFormat format)
{
    if (format == TableFileFormat::TabSeparated) {
        for (const char c : text)
            out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        return;
    }
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string tableAsTabSeparated(const Material &material)
{
    return delimited(material.table, TableFileFormat::TabSeparated,
                     headerOf([](const QuantityInfo &q) { return headingWithUnit(q); }),
                     generalTexts);
}

std::string tableAsFile(const Material &material, TableFileFormat format)
{
    return "# " + material.name() + ", density " + formatGeneral(material.density) + " g/cm3\n" +
           delimited(material.table, format,
                     headerOf([](const QuantityInfo &q) { return std::string(q.key); }),
                     writtenTexts);
}

} // namespace quenrow
