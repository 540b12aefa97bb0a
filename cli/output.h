// SPDX-License-Identifier: MIT
// quenrow-lookup: lines of values written as aligned text, CSV, TSV or JSON.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/output_sink.h"

namespace quenrow::cli {

enum class Format { Text, Csv, Tsv, Json };

struct Column {
    std::string key;       // csv/tsv header and json name: "total_MeV_cm2_per_g"
    std::string heading;   // text: first header line
    std::string unit;      // text: second header line
    bool isText = false;   // left-aligned in text, quoted where needed
    std::size_t width = 0; // in text at least this wide, for cells longer than the headings
};

// A number, a missing value (n/a, an empty field, null) or text.
using Cell = std::variant<double, std::monostate, std::string>;

// Streams one table to the output: the header on the first row. Text cells
// are outside text: shown safely, or as JSON strings. Numbers in CSV, TSV
// and JSON read back as the same double, or with `digits` significant digits.
class TableWriter {
public:
    TableWriter(OutputSink &out, Format format, std::vector<Column> columns, int digits = 0);
    ~TableWriter();
    TableWriter(const TableWriter &) = delete;
    TableWriter &operator=(const TableWriter &) = delete;

    void row(const std::vector<Cell> &cells);
    // The row of an input that cannot be answered: every field empty and
    // `reason` in the last column. Text has no such column and no such row.
    void unansweredRow(const std::string &reason);
    // The closing bracket of JSON, the header of an empty text table; then flush.
    void finish();

private:
    void header();
    void cell(std::size_t column, const Cell &value);
    void number(double value);

    OutputSink &out_;
    Format format_;
    int digits_;
    std::vector<Column> columns_;
    std::vector<std::size_t> widths_;
    std::string buffer_;
    bool started_ = false;
    bool finished_ = false;
};

} // namespace quenrow::cli
