// SPDX-License-Identifier: MIT
#include "material_file.h"

#include "number_format.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenrow {

namespace {

// Exact and quick for the tables' numbers ("1.337E+02"): digits that make an
// integer below 2^53 and a power of ten of at most 22, both exact doubles, so
// the one multiplication or division is correctly rounded, as from_chars is.
// False for anything else, which from_chars then reads.
bool readPlainDecimal(const char *first, const char *last, double &value)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // The tables' own shape, "1.337E+02", in one step; the same digits and
    // power of ten as the general reading below.
    if (last - first == 9 && digit(first[0]) && first[1] == '.' && digit(first[2]) &&
        digit(first[3]) && digit(first[4]) && (first[5] == 'E' || first[5] == 'e') &&
        (first[6] == '+' || first[6] == '-') && digit(first[7]) && digit(first[8])) {
        const int exponent = (first[7] - '0') * 10 + (first[8] - '0');
        const int scale = (first[6] == '-' ? -exponent : exponent) - 3;
        if (scale >= -22 && scale <= 22) {
            const auto digits = static_cast<double>((first[0] - '0') * 1000 + (first[2] - '0') * 100 +
                                                    (first[3] - '0') * 10 + (first[4] - '0'));
            value = scale < 0 ? digits / kPowers[-scale] : digits * kPowers[scale];
            return true;
        }
    }
    const char *p = first;
    const bool negative = p != last && *p == '-';
    if (negative)
        ++p;
    std::uint64_t digits = 0;
    int count = 0, scale = 0;
    bool any = false, point = false;
    for (; p != last; ++p) {
        if (*p == '.' && !point) {
            point = true;
            continue;
        }
        if (!digit(*p))
            break;
        any = true;
        if (digits || *p != '0') {
            if (++count > 15)
                return false;
            digits = digits * 10 + std::uint64_t(*p - '0');
        }
        if (point)
            --scale;
    }
    if (!any)
        return false;
    if (p != last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = p != last && *p == '-';
        if (p != last && (*p == '+' || *p == '-'))
            ++p;
        if (p == last)
            return false;
        int exponent = 0;
        for (; p != last && digit(*p); ++p) {
            if (exponent > 1000)
                return false;
            exponent = exponent * 10 + (*p - '0');
        }
        scale += down ? -exponent : exponent;
    }
    if (p != last || scale < -22 || scale > 22)
        return false;
    double result = static_cast<double>(digits);
    result = scale < 0 ? result / kPowers[-scale] : result * kPowers[scale];
    value = negative ? -result : result;
    return true;
}

std::string rowContext(int row)
{
    return "row " + std::to_string(row) + " of the table";
}

// Sequential reader over the bytes of one material file, from its start,
// with the line and field rules of the data format: a line ends at CR, LF or
// CR LF; a field ends at a blank, a comma or a line end. No line, blanks
// included, may run past kMaxLineLength, so every read is bounded.
class TextReader {
public:
    explicit TextReader(MaterialFile &file) : file_(file), path_(file.path()) {}
    TextReader(const TextReader &) = delete;
    TextReader &operator=(const TextReader &) = delete;

    std::optional<ReadError> open()
    {
        if (auto problem = file_.open())
            return fail(problem->first, problem->second);
        return std::nullopt;
    }

    void setContext(const char *context)
    {
        context_ = context;
        contextRow_ = 0;
    }
    // Row k of the table; its text is made only for an error.
    void setRowContext(int row) { contextRow_ = row; }

    // From here on, row k's fields must stand on the k-th line, the one the
    // row-texts pass shows for it.
    void startTable() { firstRowLine_ = line_; }

    // Reads one line; `text` (if given) receives at most `keep` characters.
    std::optional<ReadError> readLine(std::string *text, std::size_t keep = kMaxLineLength)
    {
        if (peek() < 0)
            return fail(ReadFailure::EndOfFile, {});
        if (text)
            text->clear();
        // Fast path: the rest of the line lies in the buffer and is not too
        // long; anything else goes character by character below.
        const char *first = buffer_ + pos_;
        const char *last = buffer_ + size_;
        const char *end = first;
        while (end != last && *end != '\r' && *end != '\n')
            ++end;
        const auto length = static_cast<std::size_t>(end - first);
        if (end != last && column_ + length <= kMaxLineLength) {
            if (text)
                text->assign(first, std::min(length, keep));
            pos_ += length;
            column_ += length;
        }
        for (int c = peek(); !isLineEnd(c); c = peek()) {
            if (!step())
                return fail(ReadFailure::LineTooLong, {});
            if (text && text->size() < keep)
                text->push_back(static_cast<char>(c));
        }
        consumeLineEnd();
        return std::nullopt;
    }

    std::optional<ReadError> readField(double &value)
    {
        if (readPlainFieldInBuffer(value))
            return checkRowLine();
        if (!skipBlanks())
            return fail(ReadFailure::LineTooLong, {});
        if (peek() < 0)
            return fail(ReadFailure::EndOfFile, {});
        fieldNumber_ = ++field_;
        fieldLine_ = line_;
        // What readPlainFieldInBuffer left: rare, so character by character.
        std::string text;
        for (int c = peek(); !isLineEnd(c) && !isBlank(c) && c != ','; c = peek()) {
            if (!step())
                return fail(ReadFailure::LineTooLong, {});
            text.push_back(static_cast<char>(c));
        }
        if (!skipBlanks())
            return fail(ReadFailure::LineTooLong, {});
        if (peek() == ',') {
            if (!step())
                return fail(ReadFailure::LineTooLong, {});
        } else {
            consumeLineEnd();
        }
        if (auto error = checkRowLine())
            return error;
        return convert(text, value);
    }

    int fieldLine() const { return fieldLine_; }

private:
    // The common case of readField in one pass over the buffer: a plain
    // number whose line goes on past it in the buffer, within the length
    // limit. Changes nothing and returns false for anything else, which
    // readField then reads (and reports) character by character.
    bool readPlainFieldInBuffer(double &value)
    {
        const char *const begin = buffer_ + pos_;
        const char *const last = buffer_ + size_;
        const char *p = begin;
        while (p != last && isBlank(*p))
            ++p;
        const char *const first = p;
        while (p != last && *p != '\r' && *p != '\n' && !isBlank(*p) && *p != ',')
            ++p;
        const char *const end = p;
        while (p != last && isBlank(*p))
            ++p;
        // A CR needs the character after it, to see whether LF follows.
        if (first == end || *first == '+' || p == last || (*p == '\r' && p + 1 == last))
            return false;
        const std::size_t column = column_ + static_cast<std::size_t>(p - begin) + (*p == ',');
        if (column > kMaxLineLength || !readPlainDecimal(first, end, value))
            return false;
        fieldNumber_ = ++field_;
        fieldLine_ = line_;
        column_ = column;
        if (*p == ',') {
            ++p;
        } else if (*p == '\r' || *p == '\n') {
            p += (*p == '\r' && p[1] == '\n') ? 2 : 1;
            ++line_;
            column_ = 0;
            field_ = 0;
        }
        pos_ = static_cast<std::size_t>(p - buffer_);
        return true;
    }

    std::optional<ReadError> checkRowLine() const
    {
        const int rowLine = firstRowLine_ + contextRow_ - 1;
        if (firstRowLine_ == 0 || contextRow_ == 0 || fieldLine_ == rowLine)
            return std::nullopt;
        // The first line that is not one row: one short of fields, or one
        // whose row runs on.
        const int line = std::min(fieldLine_, rowLine);
        return ReadError{path_, ReadFailure::NotOneRowALine, line, 0,
                         rowContext(line - firstRowLine_ + 1), {}};
    }

    static bool isBlank(int c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(int c) { return c < 0 || c == '\r' || c == '\n'; }

    int peek()
    {
        if (pos_ == size_ && !refill())
            return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    bool refill()
    {
        const std::string_view next = file_.chunk(nextChunk_);
        if (next.empty())
            return false;
        ++nextChunk_;
        buffer_ = next.data();
        size_ = next.size();
        pos_ = 0;
        return true;
    }
    // Past one character of the current line; false once the line is too long.
    bool step()
    {
        ++pos_;
        return ++column_ <= kMaxLineLength;
    }
    bool skipBlanks()
    {
        while (isBlank(peek()))
            if (!step())
                return false;
        return true;
    }

    void consumeLineEnd()
    {
        const int c = peek();
        if (c == '\r') {
            ++pos_;
            if (peek() == '\n')
                ++pos_;
        } else if (c == '\n') {
            ++pos_;
        } else {
            return;
        }
        ++line_;
        column_ = 0;
        field_ = 0;
    }

    std::optional<ReadError> convert(const std::string &text, double &value)
    {
        const char *first = text.data();
        const char *last = first + text.size();
        if (first != last && *first == '+') {
            ++first; // from_chars takes no plus sign
            if (first != last && (*first == '+' || *first == '-'))
                return failField(ReadFailure::NotANumber, text);
        }
        if (readPlainDecimal(first, last, value))
            return std::nullopt;
        auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (first == last || end != last || ec == std::errc::invalid_argument)
            return failField(ReadFailure::NotANumber, text);
        if (ec == std::errc::result_out_of_range)
            return failField(ReadFailure::OutOfRange, text);
        if (!std::isfinite(value))
            return failField(ReadFailure::NotANumber, text);
        return std::nullopt;
    }

    ReadError fail(ReadFailure cause, std::string detail) const
    {
        return ReadError{
            path_,
            cause,
            cause == ReadFailure::CannotOpen || cause == ReadFailure::NotAFile ? 0 : line_,
            0,
            context(),
            std::move(detail)};
    }
    ReadError failField(ReadFailure cause, std::string text) const
    {
        return ReadError{path_, cause, fieldLine_, fieldNumber_, context(), std::move(text)};
    }

    std::string context() const { return contextRow_ ? rowContext(contextRow_) : context_; }

    MaterialFile &file_;
    std::string path_;
    const char *context_ = "";
    int contextRow_ = 0;
    int firstRowLine_ = 0;
    std::size_t nextChunk_ = 0;
    const char *buffer_ = nullptr; // the current chunk; only [0, size_) is read
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::size_t column_ = 0;
    int field_ = 0;
    int fieldLine_ = 0;
    int fieldNumber_ = 0;
};

// Line 1, line 2 and the density: the head shared by all three reads.
std::optional<ReadError> readHead(TextReader &reader, std::string *name, double &density)
{
    if (auto error = reader.open())
        return error;
    reader.setContext("the title line");
    if (auto error = reader.readLine(nullptr))
        return error;
    reader.setContext("the material name");
    if (auto error = reader.readLine(name))
        return error;
    reader.setContext("the density");
    return reader.readField(density);
}

std::optional<ReadError> readHeadAndHeadings(TextReader &reader, std::string *name, double &density)
{
    if (auto error = readHead(reader, name, density))
        return error;
    reader.setContext("the column headings");
    for (int i = 0; i < 3; ++i)
        if (auto error = reader.readLine(nullptr))
            return error;
    return std::nullopt;
}

// Keeps a message readable whatever bytes a file held.
std::string printable(std::string_view text, std::size_t shown = 40)
{
    std::string out;
    for (char c : text.substr(0, shown))
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    if (text.size() > shown)
        out += "...";
    return out;
}

// A long path keeps its end, where the file's own name stands.
std::string printablePath(std::string_view path)
{
    constexpr std::size_t kShown = 100;
    if (path.size() <= kShown)
        return printable(path, kShown);
    std::size_t start = path.size() - kShown;
    while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80)
        ++start; // not inside a UTF-8 character
    return "..." + printable(path.substr(start), kShown);
}

} // namespace

MaterialFile::MaterialFile(const std::filesystem::path &file) : path_(file.string()) {}

MaterialFile::~MaterialFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::pair<ReadFailure, std::string>> MaterialFile::open()
{
    if (opened_)
        return openProblem_;
    opened_ = true;
    const auto problem = [this](ReadFailure cause, std::string detail) {
        openProblem_.emplace(cause, std::move(detail));
        return openProblem_;
    };
    // O_NONBLOCK so that a FIFO dropped into the folder cannot hang us
    // before we see it is not a regular file.
    fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return problem(ReadFailure::CannotOpen, std::strerror(errno));
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return problem(ReadFailure::CannotOpen, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return problem(ReadFailure::NotAFile,
                       S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file");
    const int flags = ::fcntl(fd_, F_GETFL);
    ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    return std::nullopt;
}

std::string_view MaterialFile::chunk(std::size_t index)
{
    constexpr std::size_t kChunk = 16 * 1024;
    while (chunks_.size() <= index && fd_ >= 0 && !openProblem_ && !atEnd_) {
        std::string &next = chunks_.emplace_back(kChunk, '\0');
        ssize_t got;
        do
            got = ::read(fd_, next.data(), kChunk);
        while (got < 0 && errno == EINTR);
        if (got <= 0) {
            chunks_.pop_back();
            atEnd_ = true; // a read error past open() reads as the end of the file
        } else {
            next.resize(static_cast<std::size_t>(got));
        }
    }
    return index < chunks_.size() ? std::string_view(chunks_[index]) : std::string_view();
}

bool MaterialTable::operator==(const MaterialTable &other) const
{
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (int c = 1; c <= 2; ++c)
        if (!std::equal(range[c].begin(), range[c].end(), other.range[c].begin(), same))
            return false;
    return name == other.name && energy == other.energy && stoppingPower == other.stoppingPower &&
           range[0] == other.range[0] && rowText == other.rowText;
}

std::filesystem::path materialPath(const std::filesystem::path &dataDirectory,
                                   std::string_view fileName)
{
    return dataDirectory / std::filesystem::path(fileName);
}

std::variant<MaterialHeader, ReadError> readMaterialHeader(const std::filesystem::path &path)
{
    MaterialFile file(path);
    TextReader reader(file);
    MaterialHeader header;
    if (auto error = readHead(reader, &header.name, header.density))
        return *error;
    return header;
}

std::variant<double, ReadError> readMaterialValues(MaterialFile &file, MaterialTable &table,
                                                   RowLines *rowLines)
{
    TextReader reader(file);
    double density = 0;
    if (auto error = readHeadAndHeadings(reader, &table.name, density))
        return *error;
    reader.startTable();
    for (int k = 1; k <= kRowCount; ++k) {
        reader.setRowContext(k);
        double seventh = 0;
        double *fields[7] = {&table.energy[k],
                             &table.stoppingPower[1][k],
                             &table.stoppingPower[2][k],
                             &table.stoppingPower[3][k],
                             &table.range[1][k],
                             &table.range[2][k],
                             &seventh};
        for (int f = 0; f < 7; ++f) {
            if (auto error = reader.readField(*fields[f])) {
                // Nothing in the table's use needs the ranges or the seventh
                // field: one that is not a number marks its column unavailable.
                const bool unreadable = error->cause == ReadFailure::NotANumber ||
                                        error->cause == ReadFailure::OutOfRange;
                if (f < 4 || !unreadable)
                    return *error;
                *fields[f] = std::numeric_limits<double>::quiet_NaN();
            }
            if (f == 0 && rowLines)
                (*rowLines)[k] = reader.fieldLine();
        }
    }
    return density;
}

std::optional<ReadError> readMaterialRowTexts(MaterialFile &file, MaterialTable &table)
{
    TextReader reader(file);
    double density = 0;
    if (auto error = readHeadAndHeadings(reader, nullptr, density))
        return error;
    for (int k = 1; k <= kRowCount; ++k) {
        reader.setRowContext(k);
        if (auto error = reader.readLine(&table.rowText[k], kRowTextWidth))
            return error;
    }
    return std::nullopt;
}

std::optional<ReadError> checkMaterial(const MaterialTable &table, const RowLines &rowLines,
                                       const std::string &path)
{
    auto problem = [&](ReadFailure cause, int row, int field, double value) {
        return ReadError{path, cause, rowLines[row], field, rowContext(row), formatGeneral(value)};
    };
    double logBefore = 0;
    for (int k = 1; k <= kRowCount; ++k) {
        if (!(table.energy[k] > 0))
            return problem(ReadFailure::NotPositive, k, 1, table.energy[k]);
        // In logarithms: interpolation divides by their difference, which
        // vanishes for some neighbouring doubles.
        const double logEnergy = std::log(table.energy[k]);
        if (k > 1 && !(logEnergy > logBefore))
            return problem(ReadFailure::NotIncreasing, k, 1, table.energy[k]);
        logBefore = logEnergy;
        for (int c = 1; c <= 3; ++c)
            if (!(table.stoppingPower[c][k] > 0))
                return problem(ReadFailure::NotPositive, k, c + 1, table.stoppingPower[c][k]);
    }
    return std::nullopt;
}

std::variant<double, ReadError> readMaterialValues(const std::filesystem::path &path,
                                                   MaterialTable &table, RowLines *rowLines)
{
    MaterialFile file(path);
    return readMaterialValues(file, table, rowLines);
}

std::optional<ReadError> readMaterialRowTexts(const std::filesystem::path &path,
                                              MaterialTable &table)
{
    MaterialFile file(path);
    return readMaterialRowTexts(file, table);
}

std::variant<LoadedMaterial, ReadError> loadMaterial(const std::filesystem::path &path,
                                                     const std::function<void()> &betweenPasses)
{
    // Opened once: both passes read the same bytes, whatever happens to the
    // file in between.
    MaterialFile file(path);
    LoadedMaterial loaded;
    RowLines rowLines{};
    auto values = readMaterialValues(file, loaded.table, &rowLines);
    if (auto *error = std::get_if<ReadError>(&values))
        return *error;
    loaded.density = std::get<double>(values);
    if (betweenPasses)
        betweenPasses();
    if (auto error = readMaterialRowTexts(file, loaded.table))
        return *error;
    if (auto error = checkMaterial(loaded.table, rowLines, file.path()))
        return *error;
    return loaded;
}

std::string describe(const ReadError &error)
{
    std::string where(1, '"');
    where += printablePath(error.path);
    where += '"';
    if (error.line > 0) {
        where += ", line ";
        where += std::to_string(error.line);
    }
    const std::string field =
        error.field > 0 ? "field " + std::to_string(error.field) + " (" + error.context + ")"
                        : error.context;
    switch (error.cause) {
    case ReadFailure::CannotOpen:
        return "Cannot open " + where + ": " + error.detail + ".";
    case ReadFailure::NotAFile:
        return "Cannot read " + where + ": " + error.detail + ".";
    case ReadFailure::EndOfFile:
        return where + ": the file ends before " + error.context + ".";
    case ReadFailure::LineTooLong:
        return where + ": the line is longer than " + std::to_string(kMaxLineLength) +
               " characters; this is not a material data file.";
    case ReadFailure::NotANumber:
        return where + ": " + field + " is not a number: \"" + printable(error.detail) + "\".";
    case ReadFailure::OutOfRange:
        return where + ": " + field + " is too large or too small a number: \"" +
               printable(error.detail) + "\".";
    case ReadFailure::NotPositive:
        return where + ": " + field + " must be greater than zero, but is " + error.detail + ".";
    case ReadFailure::NotOneRowALine:
        return where + ": the line does not hold exactly the seven fields of " + error.context +
               "; the table must have one row to a line.";
    case ReadFailure::NotIncreasing:
        return where + ": the energy of " + error.context +
               " is not greater than the energy of the row before.";
    }
    return where + ": cannot be read.";
}

} // namespace quenrow
