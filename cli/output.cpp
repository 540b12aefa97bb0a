// SPDX-License-Identifier: MIT
#include "output.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "data/number_format.h"
#include "data/table_export.h"

namespace quenrow::cli {

namespace {

constexpr std::size_t kNumberWidth = 9; // "1.500E+02"

void appendJsonString(std::string &out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            // Data files are 8-bit text: a byte above ASCII is taken as Latin-1.
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

void appendShortest(std::string &out, double value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

TableWriter::TableWriter(std::FILE *out, Format format, std::vector<Column> columns)
    : out_(out), format_(format), columns_(std::move(columns))
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
        if (const double *number = std::get_if<double>(&value))
            text = formatScientific(*number);
        else if (const auto *words = std::get_if<std::string>(&value))
            text = *words;
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
    if (const double *number = std::get_if<double>(&value)) {
        appendShortest(buffer_, *number);
    } else if (const auto *words = std::get_if<std::string>(&value)) {
        if (format_ == Format::Json)
            appendJsonString(buffer_, *words);
        else
            appendField(buffer_, *words,
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
    write();
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
    write();
    std::fflush(out_);
}

void TableWriter::write()
{
    std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
}

} // namespace quenrow::cli
