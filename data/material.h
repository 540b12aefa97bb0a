// SPDX-License-Identifier: MIT
// Quenrow: material data files and the in-memory table of one material.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace quenrow {

inline constexpr int kRowCount = 132;
inline constexpr std::size_t kRowTextWidth = 59;
// Real table lines are 68 characters; anything near this bound is not a
// material data file, and refusing it keeps reading small and quick.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;
inline constexpr const char *kDataDirectory = "quenrow-data";

// Rows are numbered 1..132; slot 0 and column 0 exist and stay empty.
struct MaterialTable {
    std::string name;
    std::array<double, kRowCount + 1> energy{};
    // [1] electronic, [2] nuclear, [3] total; MeV cm2/g
    std::array<std::array<double, kRowCount + 1>, 4> stoppingPower{};
    // [1] CSDA, [2] projected; g/cm2. A field that is not a number is kept
    // as a quiet NaN, and the file still loads with that column unavailable.
    std::array<std::array<double, kRowCount + 1>, 3> range{};
    // The seventh field, NIST's projected / CSDA range; NaN as for the ranges.
    std::array<double, kRowCount + 1> detourFactor{};
    std::array<std::string, kRowCount + 1> rowText{};

    double totalStoppingPower(int row) const { return stoppingPower[3][row]; }
    // Field by field; an unavailable value equals another.
    bool operator==(const MaterialTable &other) const;
};

enum class ReadFailure {
    CannotOpen,
    NotAFile,
    EndOfFile,
    LineTooLong,
    NotANumber,
    OutOfRange,
    NotPositive,
    NotIncreasing,
    NotOneRowALine, // a row's fields are not those of its own line
    Changed,        // the file changed while it was read, again and again
};

// What went wrong where. Reading never throws; the caller decides what to show.
struct ReadError {
    std::string path;
    ReadFailure cause = ReadFailure::CannotOpen;
    int line = 0;        // 1-based, 0 when not tied to a line
    int field = 0;       // 1-based within the line, 0 when not tied to a field
    std::string context; // what was being read: "the density", "row 17 of the table"
    std::string detail;  // the system's reason, or the offending text
};

// One sentence for a warning box, naming the file, the line and the cause.
std::string describe(const ReadError &error);

struct MaterialHeader {
    std::string name;
    double density = 0;
};

std::filesystem::path materialPath(const std::filesystem::path &dataDirectory,
                                   std::string_view fileName);

// Line 1 (ignored), line 2 (the name) and the density field.
std::variant<MaterialHeader, ReadError> readMaterialHeader(const std::filesystem::path &file);

enum class RangeColumn { Csda = 1, Projected = 2 }; // index into MaterialTable::range

// Why a column cannot be used, naming the row; none when every value in it
// is a positive finite number.
using ColumnProblem = std::optional<std::string>;

// Row k's seven fields as the file wrote them, at [k][0..6].
using FieldTexts = std::array<std::array<std::string, 7>, kRowCount + 1>;

// One loaded material data file. Made once by loadMaterial (or prepareMaterial)
// and never changed: whatever can be decided about the columns is decided
// there, not per lookup.
struct Material {
    MaterialTable table;
    double density = 0;
    std::string densityText; // the density field as the file wrote it
    std::string path;        // as it was opened
    std::string fileName;    // its last part
    FieldTexts fieldText;    // empty for a table not read from a file

    ColumnProblem csdaRange;
    ColumnProblem projectedRange;
    ColumnProblem detourFactor;
    // The first row at which a usable range column does not rise, 0 when it
    // rises throughout; only then can it give the energy for a range.
    int csdaNotRisingRow = 0;
    int projectedNotRisingRow = 0;

    const std::string &name() const { return table.name; }
    const ColumnProblem &problem(RangeColumn column) const
    {
        return column == RangeColumn::Csda ? csdaRange : projectedRange;
    }
    int notRisingRow(RangeColumn column) const
    {
        return column == RangeColumn::Csda ? csdaNotRisingRow : projectedNotRisingRow;
    }
};

using MaterialPtr = std::shared_ptr<const Material>;

// The availability of each column decided for a table already checked.
Material prepareMaterial(MaterialTable table, double density, std::string densityText = {},
                         std::string path = {});

// What the plot and the lookups rely on: energies positive and strictly
// increasing, every stopping power positive. Fields are finite once read.
// Row k stood on line firstRowLine + k - 1.
std::optional<ReadError> checkMaterial(const MaterialTable &table, int firstRowLine,
                                       const std::string &path);

// The whole file read at once and parsed in one pass; refused with the
// reason if anything in it is wrong, or if it kept changing while read.
std::variant<MaterialPtr, ReadError> loadMaterial(const std::filesystem::path &file);

// Runs between the file's status and the read of its bytes, so that a test
// can change the file there. Empty in the program.
extern void (*materialReadHook)(const std::string &path);

} // namespace quenrow
