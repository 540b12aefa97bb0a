// SPDX-License-Identifier: MIT
#include "material.h"

#include "number_format.h"
#include "number_reader.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenrow {

void (*materialReadHook)(const std::string &path) = nullptr;

namespace {

// A load never needs more than the head and the table: 138 lines of the
// longest length allowed. A preview needs three.
constexpr std::size_t kLoadBytes = 138 * (kMaxLineLength + 2);
constexpr std::size_t kHeaderBytes = 3 * (kMaxLineLength + 2);
constexpr int kReadAttempts = 3;

std::string rowContext(int row)
{
    return "row " + std::to_string(row) + " of the table";
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Up to `limit` bytes from the start of the file. A file whose size or times
// differ after the read from before it is read again; one that keeps
// changing is refused rather than read half old, half new.
std::variant<std::string, ReadError> readFileStart(const std::string &path, std::size_t limit)
{
    const auto refuse = [&](ReadFailure cause, std::string detail) {
        return ReadError{path, cause, 0, 0, {}, std::move(detail)};
    };
    // O_NONBLOCK so that a FIFO dropped into the folder cannot hang us
    // before we see it is not a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(ReadFailure::CannotOpen, std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return refuse(ReadFailure::CannotOpen, std::strerror(errno));
    if (!S_ISREG(before.st_mode))
        return refuse(ReadFailure::NotAFile,
                      S_ISDIR(before.st_mode) ? "it is a folder" : "it is not a regular file");
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::string bytes;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (materialReadHook)
            materialReadHook(path);
        bytes.assign(std::min(limit, static_cast<std::size_t>(std::max<off_t>(before.st_size, 0))),
                     '\0');
        std::size_t got = 0;
        // A file that grew since its status is read up to the size it had;
        // the check below sees that it changed.
        while (got < bytes.size()) {
            const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, off_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // a read error past open() reads as the end of the file
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        struct stat after {};
        if (::fstat(fd, &after) != 0)
            return refuse(ReadFailure::CannotOpen, std::strerror(errno));
        if (sameFile(before, after))
            return bytes;
        before = after;
    }
    return refuse(ReadFailure::Changed, {});
}

// Sequential reader over a material file's bytes, with the line and field
// rules of the data format: a line ends at CR, LF or CR LF; a field ends at
// a blank, a comma or a line end. No line, blanks included, may run past
// kMaxLineLength.
class TextReader {
public:
    TextReader(std::string_view bytes, std::string path) : bytes_(bytes), path_(std::move(path)) {}

    void setContext(const char *context)
    {
        context_ = context;
        contextRow_ = 0;
    }
    // Row k of the table; its text is made only for an error.
    void setRowContext(int row) { contextRow_ = row; }

    // From here on, row k's fields must stand on the k-th line.
    void startTable() { firstRowLine_ = line_; }
    int firstRowLine() const { return firstRowLine_; }
    std::size_t position() const { return pos_; }

    // The text the next readField takes, as the file wrote it.
    std::string fieldText() const
    {
        const auto first = bytes_.find_first_not_of(" \t", pos_);
        if (first == std::string_view::npos)
            return {};
        const auto end = std::min(bytes_.find_first_of(" \t,\r\n", first), bytes_.size());
        return std::string(bytes_.substr(first, end - first));
    }

    // Reads one line; `text` (if given) receives at most `keep` characters.
    std::optional<ReadError> readLine(std::string *text, std::size_t keep = kMaxLineLength)
    {
        if (peek() < 0)
            return fail(ReadFailure::EndOfFile, {});
        const std::size_t first = pos_;
        for (int c = peek(); !isLineEnd(c); c = peek())
            if (!step())
                return fail(ReadFailure::LineTooLong, {});
        if (text)
            text->assign(bytes_.substr(first, std::min(pos_ - first, keep)));
        consumeLineEnd();
        return std::nullopt;
    }

    // The text of the line starting at `first`, cut to `keep` characters,
    // for a line whose fields have been read; its length is checked, as a
    // line read whole would be.
    std::optional<ReadError> lineFrom(std::size_t first, std::string &text, std::size_t keep)
    {
        std::size_t end = first;
        while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
            ++end;
        if (end - first > kMaxLineLength) {
            const int line = firstRowLine_ + contextRow_ - 1;
            return ReadError{path_, ReadFailure::LineTooLong, line, 0, context(), {}};
        }
        text.assign(bytes_.substr(first, std::min(end - first, keep)));
        return std::nullopt;
    }

    // One field into `value`; `written` (if given) receives its text.
    std::optional<ReadError> readField(double &value, std::string *written = nullptr)
    {
        if (!skipBlanks())
            return fail(ReadFailure::LineTooLong, {});
        if (peek() < 0)
            return fail(ReadFailure::EndOfFile, {});
        fieldNumber_ = ++field_;
        fieldLine_ = line_;
        const std::size_t first = pos_;
        for (int c = peek(); !isLineEnd(c) && !isBlank(c) && c != ','; c = peek())
            if (!step())
                return fail(ReadFailure::LineTooLong, {});
        const std::string_view text = bytes_.substr(first, pos_ - first);
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
        if (written)
            written->assign(text);
        return convert(text, value);
    }

private:
    std::optional<ReadError> checkRowLine() const
    {
        const int rowLine = firstRowLine_ + contextRow_ - 1;
        if (firstRowLine_ == 0 || contextRow_ == 0 || fieldLine_ == rowLine)
            return std::nullopt;
        // The first line that is not one row: one short of fields, or one
        // whose row runs on.
        const int line = std::min(fieldLine_, rowLine);
        return ReadError{path_, ReadFailure::NotOneRowALine,          line,
                         0,     rowContext(line - firstRowLine_ + 1), {}};
    }

    static bool isBlank(int c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(int c) { return c < 0 || c == '\r' || c == '\n'; }

    int peek() const
    {
        return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_]) : -1;
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

    std::optional<ReadError> convert(std::string_view text, double &value) const
    {
        const NumberReading reading = scanNumber(text);
        switch (reading.status) {
        case NumberStatus::Read:
            value = reading.value;
            return std::nullopt;
        case NumberStatus::Overflow:
        case NumberStatus::Underflow:
            return failField(ReadFailure::OutOfRange, text);
        case NumberStatus::NotANumber:
            break;
        }
        return failField(ReadFailure::NotANumber, text);
    }

    ReadError fail(ReadFailure cause, std::string detail) const
    {
        return ReadError{path_, cause, line_, 0, context(), std::move(detail)};
    }
    ReadError failField(ReadFailure cause, std::string_view text) const
    {
        return ReadError{path_, cause, fieldLine_, fieldNumber_, context(), std::string(text)};
    }

    std::string context() const { return contextRow_ ? rowContext(contextRow_) : context_; }

    std::string_view bytes_;
    std::string path_;
    const char *context_ = "";
    int contextRow_ = 0;
    int firstRowLine_ = 0;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::size_t column_ = 0;
    int field_ = 0;
    int fieldLine_ = 0;
    int fieldNumber_ = 0;
};

// Line 1, line 2 and the density: the head shared by the preview and the load.
std::optional<ReadError> readHead(TextReader &reader, std::string *name, double &density,
                                  std::string *densityText = nullptr)
{
    reader.setContext("the title line");
    if (auto error = reader.readLine(nullptr))
        return error;
    reader.setContext("the material name");
    if (auto error = reader.readLine(name))
        return error;
    reader.setContext("the density");
    if (densityText)
        *densityText = reader.fieldText();
    return reader.readField(density);
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

// Why `values` cannot be used: the first value that is not a positive finite number.
ColumnProblem columnProblem(const std::array<double, kRowCount + 1> &values, const char *name)
{
    for (int k = 1; k <= kRowCount; ++k) {
        const double value = values[k];
        if (std::isnan(value))
            return std::string("The ") + name + " of row " + std::to_string(k) +
                   " is not a number.";
        if (!(value > 0 && value <= DBL_MAX))
            return std::string("The ") + name + " of row " + std::to_string(k) + " is " +
                   formatGeneral(value) + ", not a positive finite number.";
    }
    return std::nullopt;
}

int firstRowNotRising(const std::array<double, kRowCount + 1> &values)
{
    for (int k = 2; k <= kRowCount; ++k)
        if (!(values[k - 1] < values[k]))
            return k;
    return 0;
}

} // namespace

bool MaterialTable::operator==(const MaterialTable &other) const
{
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (int c = 1; c <= 2; ++c)
        if (!std::equal(range[c].begin(), range[c].end(), other.range[c].begin(), same))
            return false;
    if (!std::equal(detourFactor.begin(), detourFactor.end(), other.detourFactor.begin(), same))
        return false;
    return name == other.name && energy == other.energy && stoppingPower == other.stoppingPower &&
           range[0] == other.range[0] && rowText == other.rowText;
}

std::filesystem::path materialPath(const std::filesystem::path &dataDirectory,
                                   std::string_view fileName)
{
    return dataDirectory / std::filesystem::path(fileName);
}

std::variant<MaterialHeader, ReadError> readMaterialHeader(const std::filesystem::path &file)
{
    auto bytes = readFileStart(file.string(), kHeaderBytes);
    if (auto *error = std::get_if<ReadError>(&bytes))
        return std::move(*error);
    TextReader reader(std::get<std::string>(bytes), file.string());
    MaterialHeader header;
    if (auto error = readHead(reader, &header.name, header.density))
        return *error;
    return header;
}

std::optional<ReadError> checkMaterial(const MaterialTable &table, int firstRowLine,
                                       const std::string &path)
{
    auto problem = [&](ReadFailure cause, int row, int field, double value) {
        return ReadError{path,  cause,           firstRowLine + row - 1,
                         field, rowContext(row), formatGeneral(value)};
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

Material prepareMaterial(MaterialTable table, double density, std::string densityText,
                         std::string path)
{
    Material material;
    material.table = std::move(table);
    material.density = density;
    material.densityText = std::move(densityText);
    material.fileName = std::filesystem::path(path).filename().string();
    material.path = std::move(path);
    const MaterialTable &t = material.table;
    material.csdaRange = columnProblem(t.range[1], "CSDA range");
    material.projectedRange = columnProblem(t.range[2], "projected range");
    material.detourFactor = columnProblem(t.detourFactor, "detour factor");
    if (!material.csdaRange)
        material.csdaNotRisingRow = firstRowNotRising(t.range[1]);
    if (!material.projectedRange)
        material.projectedNotRisingRow = firstRowNotRising(t.range[2]);
    return material;
}

std::variant<MaterialPtr, ReadError> loadMaterial(const std::filesystem::path &file)
{
    const std::string path = file.string();
    auto read = readFileStart(path, kLoadBytes);
    if (auto *error = std::get_if<ReadError>(&read))
        return std::move(*error);
    const std::string &bytes = std::get<std::string>(read);
    TextReader reader(bytes, path);

    MaterialTable table;
    double density = 0;
    std::string densityText;
    if (auto error = readHead(reader, &table.name, density, &densityText))
        return *error;
    reader.setContext("the column headings");
    for (int i = 0; i < 3; ++i)
        if (auto error = reader.readLine(nullptr))
            return *error;

    FieldTexts written;
    reader.startTable();
    for (int k = 1; k <= kRowCount; ++k) {
        reader.setRowContext(k);
        const std::size_t lineStart = reader.position();
        double *fields[7] = {&table.energy[k],           &table.stoppingPower[1][k],
                             &table.stoppingPower[2][k], &table.stoppingPower[3][k],
                             &table.range[1][k],         &table.range[2][k],
                             &table.detourFactor[k]};
        for (int f = 0; f < 7; ++f) {
            if (auto error = reader.readField(*fields[f], &written[k][f])) {
                // Nothing in the table's use needs the ranges or the seventh
                // field: one that is not a number marks its column unavailable.
                const bool unreadable = error->cause == ReadFailure::NotANumber ||
                                        error->cause == ReadFailure::OutOfRange;
                if (f < 4 || !unreadable)
                    return *error;
                *fields[f] = std::numeric_limits<double>::quiet_NaN();
            }
        }
        // Every field stood on this row's own line, so the line is the row's text.
        if (auto error = reader.lineFrom(lineStart, table.rowText[k], kRowTextWidth))
            return *error;
    }
    if (auto error = checkMaterial(table, reader.firstRowLine(), path))
        return *error;
    Material material = prepareMaterial(std::move(table), density, densityText, path);
    material.fieldText = std::move(written);
    return std::make_shared<const Material>(std::move(material));
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
    case ReadFailure::Changed:
        return where + ": the file changed while it was read.";
    case ReadFailure::NotIncreasing:
        return where + ": the energy of " + error.context +
               " is not greater than the energy of the row before.";
    }
    return where + ": cannot be read.";
}

} // namespace quenrow
