// SPDX-License-Identifier: MIT
#include "table_export.h"

#include <algorithm>
#include <array>
#include <string_view>

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

// The row's fields as the file wrote them, where they read back as the value
// kept; the others (a field that is not a number, kept as NaN, equals
// nothing) at full precision, so every field still reads back.
RowTexts writtenTexts(const Material &material, int k)
{
    RowTexts texts = generalTexts(material.table, k);
    const auto values = rowValues(material.table, k);
    for (std::size_t i = 0; i < kColumns; ++i) {
        const std::string &written = material.fieldText[k][i];
        if (readNumber(written) == values[i])
            texts[i] = written;
    }
    return texts;
}

template <class Texts>
std::string delimited(TableFileFormat format, const std::array<std::string, kColumns> &header,
                      Texts texts)
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
        addLine(texts(k));
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
    return delimited(TableFileFormat::TabSeparated,
                     headerOf([](const QuantityInfo &q) { return headingWithUnit(q); }),
                     [&material](int k) { return generalTexts(material.table, k); });
}

std::string tableAsFile(const Material &material, TableFileFormat format)
{
    return "# " + material.name() + ", density " + formatGeneral(material.density) + " g/cm3\n" +
           delimited(format, headerOf([](const QuantityInfo &q) { return std::string(q.key); }),
                     [&material](int k) { return writtenTexts(material, k); });
}

} // namespace quenrow
