// SPDX-License-Identifier: MIT
// Quenrow: material data files and the in-memory table of one material.
#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
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
    // [1] CSDA, [2] projected; g/cm2. A file's range field that is not a
    // number is kept as a quiet NaN, and the file still loads: whatever
    // computes with a range column takes the column as unavailable for this
    // material as soon as any of its rows 1..132 holds a value that is not
    // finite. The seventh field of a row is not kept.
    std::array<std::array<double, kRowCount + 1>, 3> range{};
    std::array<std::string, kRowCount + 1> rowText{};

    double totalStoppingPower(int row) const { return stoppingPower[3][row]; }
    // Field by field; an unavailable range equals another.
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

// Line of the file on which each row's energy stood, for messages.
using RowLines = std::array<int, kRowCount + 1>;

std::filesystem::path materialPath(const std::filesystem::path &dataDirectory,
                                   std::string_view fileName);

// One material data file, opened once. Its bytes are read as the reads need
// them and kept, so every read over the same MaterialFile sees the same
// bytes, even if the file is replaced or rewritten meanwhile. Reads stop
// within a bounded number of lines of bounded length, so what is kept stays
// small whatever the file's size.
class MaterialFile {
public:
    explicit MaterialFile(const std::filesystem::path &file);
    ~MaterialFile();
    MaterialFile(const MaterialFile &) = delete;
    MaterialFile &operator=(const MaterialFile &) = delete;

    const std::string &path() const { return path_; }
    // Opens on the first call; later calls give the same answer.
    std::optional<std::pair<ReadFailure, std::string>> open();
    // The file's bytes in pieces of at most 16 KiB, read once, when first
    // asked for; empty past the end. A piece's text never moves.
    std::string_view chunk(std::size_t index);

private:
    std::string path_;
    int fd_ = -1;
    bool opened_ = false;
    bool atEnd_ = false;
    std::optional<std::pair<ReadFailure, std::string>> openProblem_;
    std::deque<std::string> chunks_;
};

// Line 1 (ignored), line 2 (the name) and the density field.
std::variant<MaterialHeader, ReadError> readMaterialHeader(const std::filesystem::path &file);

// First pass: name, energies, stopping powers and ranges of rows 1..132 into
// `table`; returns the density. On failure `table` may be partly written, so
// callers read into a scratch table.
std::variant<double, ReadError> readMaterialValues(MaterialFile &file, MaterialTable &table,
                                                   RowLines *rowLines = nullptr);
std::variant<double, ReadError> readMaterialValues(const std::filesystem::path &file,
                                                   MaterialTable &table,
                                                   RowLines *rowLines = nullptr);

// Second pass: rowText[1..132], each table line cut to 59 characters.
std::optional<ReadError> readMaterialRowTexts(MaterialFile &file, MaterialTable &table);
std::optional<ReadError> readMaterialRowTexts(const std::filesystem::path &file,
                                              MaterialTable &table);

// What the plot and the lookups rely on: energies positive and strictly
// increasing, every stopping power positive. Fields are finite once read.
std::optional<ReadError> checkMaterial(const MaterialTable &table, const RowLines &rowLines,
                                       const std::string &path);

struct LoadedMaterial {
    MaterialTable table;
    double density = 0;
};

// Both passes over the same bytes and the check, into a fresh table: nothing
// outside changes unless the whole file is good. `betweenPasses` runs after
// the first pass.
std::variant<LoadedMaterial, ReadError> loadMaterial(const std::filesystem::path &file,
                                                     const std::function<void()> &betweenPasses = {});

} // namespace quenrow
