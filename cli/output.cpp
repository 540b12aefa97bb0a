// SPDX-License-Identifier: MIT
#include "output.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/safe_text.h"
#include "data/number_format.h"
#include "data/number_text.h"
#include "data/table_export.h"

namespace quenrow::cli {

namespace {

constexpr std::size_t kNumberWidth = 9; // "1.500E+02"

} // namespace

TableWriter::TableWriter(OutputSink &out, Format format, std::vector<Column> columns, int digits)
    : out_(out), format_(format), digits_(digits), columns_(std::move(columns))
{
    for (const Column &column : columns_)
        widths_.push_back(
            std::max({kNumberWidth, column.width, column.heading.size(), column.unit.size()}));
}

TableWriter::~TableWriter()
{
    finish();
}

void TableWriter::header()
{
    started_ = true;
    const char separator = format_ == Format::Tsv ? '\t' : ',';
    switch (format_) {
    case Format::Text:
        for (int line = 0; line < 2; ++line) {
            for (std::size_t i = 0; i < columns_.size(); ++i) {
                const std::string &text = line == 0 ? columns_[i].heading : columns_[i].unit;
                if (i > 0)
                    buffer_ += "  ";
                if (columns_[i].isText)
                    buffer_ += text + std::string(widths_[i] - text.size(), ' ');
                else
                    buffer_ += std::string(widths_[i] - text.size(), ' ') + text;
            }
            while (!buffer_.empty() && buffer_.back() == ' ')
                buffer_.pop_back();
            buffer_ += '\n';
        }
        break;
    case Format::Csv:
    case Format::Tsv:
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i > 0)
                buffer_ += separator;
            buffer_ += columns_[i].key;
        }
        buffer_ += '\n';
        break;
    case Format::Json:
        buffer_ += '[';
        break;
    }
}

void TableWriter::cell(std::size_t column, const Cell &value)
{
    if (format_ == Format::Text) {
        std::string text;
        if (const double *x = std::get_if<double>(&value))
            text = formatScientific(*x);
        else if (const auto *words = std::get_if<std::string>(&value))
            text = showable(*words);
        else
            text = "n/a";
        if (column > 0)
            buffer_ += "  ";
        const std::size_t pad = widths_[column] > text.size() ? widths_[column] - text.size() : 0;
        if (columns_[column].isText)
            buffer_ += text + std::string(pad, ' ');
        else
            buffer_ += std::string(pad, ' ') + text;
        return;
    }
    if (format_ == Format::Json) {
        buffer_ += column == 0 ? "{" : ", ";
        appendJsonString(buffer_, columns_[column].key);
        buffer_ += ": ";
    } else if (column > 0) {
        buffer_ += format_ == Format::Tsv ? '\t' : ',';
    }
    if (const double *x = std::get_if<double>(&value)) {
        number(*x);
    } else if (const auto *words = std::get_if<std::string>(&value)) {
        if (format_ == Format::Json)
            appendJsonString(buffer_, *words);
        else
            appendField(buffer_, showable(*words),
                        format_ == Format::Csv ? TableFileFormat::CommaSeparated
                                               : TableFileFormat::TabSeparated);
    } else if (format_ == Format::Json) {
        buffer_ += "null";
    }
}

void TableWriter::row(const std::vector<Cell> &cells)
{
    if (!started_)
        header();
    else if (format_ == Format::Json)
        buffer_ += ',';
    if (format_ == Format::Json)
        buffer_ += '\n';
    for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i)
        cell(i, cells[i]);
    if (format_ == Format::Text)
        while (!buffer_.empty() && buffer_.back() == ' ')
            buffer_.pop_back();
    buffer_ += format_ == Format::Json ? "}" : "\n";
    out_.write(buffer_);
    buffer_.clear();
}

void TableWriter::unansweredRow(const std::string &reason)
{
    if (format_ == Format::Text)
        return;
    std::vector<Cell> cells(columns_.size() - 1, std::monostate{});
    cells.emplace_back(reason);
    row(cells);
}

void TableWriter::number(double value)
{
    // JSON has no infinity: a value past the doubles is no value.
    if (format_ == Format::Json && !std::isfinite(value))
        buffer_ += "null";
    else if (digits_ > 0)
        appendSignificant(buffer_, value, digits_);
    else
        appendShortest(buffer_, value);
}

void TableWriter::finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (!started_)
        header();
    if (format_ == Format::Json)
        buffer_ += "\n]\n";
    out_.write(buffer_);
    buffer_.clear();
}

} // namespace quenrow::cli
