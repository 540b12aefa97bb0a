// SPDX-License-Identifier: MIT
// Quenrow tests: the hostile corpus and what reading each case must give.
// Shared by the data-layer and the window tests so both hold the same table.
#pragma once

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "data/material.h"
#include "test_support.h"

namespace quenrow::test {

using namespace std::string_literals;

inline std::filesystem::path hostileDirectory()
{
#ifdef QUENROW_HOSTILE_DIR
    return QUENROW_HOSTILE_DIR;
#else
    return std::filesystem::path(__FILE__).parent_path() / "data" / "hostile";
#endif
}

// Every corpus file is an edit of this one.
inline constexpr const char *kHostileBase = "001-Hydrogen.ps";

struct Refusal {
    ReadFailure cause;
    int line = 0;
    int field = 0;
    // The offending text or value as the error carries it; unset: not checked.
    std::optional<std::string> detail;
};

// Turns the base table and density into the ones a loading case must give.
using Adjust = std::function<void(MaterialTable &, double &density)>;

struct HostileCase {
    std::string file;
    std::optional<Refusal> header; // unset: the header reads (base name and density, adjusted)
    std::optional<Refusal> load;   // unset: the file loads, with the adjusted base table
    Adjust adjust;                 // unset: the base unchanged
};

// For test names and failures: the case's file, not its bytes.
inline void PrintTo(const HostileCase &c, std::ostream *out)
{
    *out << c.file;
}

inline Refusal refused(ReadFailure cause, int line, int field = 0,
                       std::optional<std::string> detail = std::nullopt)
{
    return Refusal{cause, line, field, std::move(detail)};
}

// As "%.3E" writes it and a reader reads it back.
inline double roundedTo4Digits(double x)
{
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, 3);
    double value = 0;
    std::from_chars(text, written.ptr, value);
    return value;
}

// Committed files under tests/data/hostile; README.md there gives each one's reason.
inline std::vector<HostileCase> committedHostileCases()
{
    using F = ReadFailure;
    const auto bad = [](F cause, int line, int field = 0,
                        std::optional<std::string> detail = std::nullopt) {
        return std::optional<Refusal>(refused(cause, line, field, std::move(detail)));
    };
    const std::nullopt_t reads = std::nullopt;
    const auto unavailable = [](int column, int row) -> Adjust {
        return [=](MaterialTable &t, double &) {
            t.range[column][row] = std::numeric_limits<double>::quiet_NaN();
        };
    };
    return {
        {"empty.ps", bad(F::EndOfFile, 1), bad(F::EndOfFile, 1), {}},
        {"two-lines.ps", bad(F::EndOfFile, 3), bad(F::EndOfFile, 3), {}},
        {"five-lines.ps", reads, bad(F::EndOfFile, 6), {}},
        {"density-word.ps",
         bad(F::NotANumber, 3, 1, "unknown"s),
         bad(F::NotANumber, 3, 1, "unknown"s),
         {}},
        {"density-empty.ps", bad(F::NotANumber, 3, 1, ""s), bad(F::NotANumber, 3, 1, ""s), {}},
        // The unit is read as the first heading line, so the last heading is row 1.
        {"density-with-unit.ps", reads, bad(F::NotANumber, 6, 1, "MeV"s), {}},
        // The density is shown, never checked.
        {"density-negative.psp", reads, reads, [](MaterialTable &, double &d) { d = -1; }},
        // The comma ends the density field at "8"; the rest shifts the headings.
        {"comma-decimal.psp", reads, bad(F::NotANumber, 6, 1, "MeV"s),
         [](MaterialTable &, double &d) { d = 8; }},
        {"binary-garbage.ps", bad(F::NotANumber, 3, 1), bad(F::NotANumber, 3, 1), {}},
        {"nul-in-name.ps", reads, reads,
         [](MaterialTable &t, double &) { t.name = "HYDRO\0GEN"s; }},
        {"nul-in-row.ps",
         reads,
         bad(F::NotANumber, 16, 2,
             "1.0\0"
             "20E+03"s),
         {}},
        {"lf-only.ps", reads, reads, {}},
        {"cr-only.ps", reads, reads, {}},
        {"mixed-line-ends.psp", reads, reads, {}},
        // The mark is part of the ignored title line.
        {"utf8-bom.ps", reads, reads, {}},
        // Line 2 is the lone NUL after the title's CR; line 3 is the name in UTF-16.
        {"utf16le.psp",
         bad(F::NotANumber, 3, 1, "\0H\0Y\0D\0R\0O\0G\0E\0N\0"s),
         bad(F::NotANumber, 3, 1, "\0H\0Y\0D\0R\0O\0G\0E\0N\0"s),
         {}},
        {"rows-131.ps", reads, bad(F::EndOfFile, 138), {}},
        {"rows-133.ps", reads, reads, {}},
        {"trailing-garbage.ps", reads, reads, {}},
        {"no-final-line-end.ps", reads, reads, {}},
        {"trailing-blanks.ps", reads, reads,
         [](MaterialTable &t, double &) { t.name = "HYDROGEN \t "; }},
        {"tab-separated.psp", reads, reads, {}},
        {"blank-line-in-table.ps", reads, bad(F::NotANumber, 17, 1, ""s), {}},
        // A row is a line: the line with more or fewer than seven fields is named.
        {"eight-fields.ps", reads, bad(F::NotOneRowALine, 46), {}},
        {"row-split.ps", reads, bad(F::NotOneRowALine, 46), {}},
        {"one-field-a-line.ps", reads, bad(F::NotOneRowALine, 7), {}},
        {"two-rows-a-line.ps", reads, bad(F::NotOneRowALine, 76), {}},
        {"field-1e400.ps", reads, bad(F::OutOfRange, 66, 1, "1e400"s), {}},
        // A range or seventh field that is not a number leaves its column
        // unavailable; the file loads.
        {"field-1e-400.ps", reads, reads, unavailable(1, 61)},
        {"field-nan.ps", reads, bad(F::NotANumber, 26, 4, "NaN"s), {}},
        {"field-inf.ps", reads, bad(F::NotANumber, 27, 2, "inf"s), {}},
        {"field-minus-infinity.ps", reads, reads, unavailable(2, 22)},
        {"field-1.0.0.ps", reads, reads,
         [](MaterialTable &t, double &) {
             t.detourFactor[23] = std::numeric_limits<double>::quiet_NaN();
         }},
        {"field-double-sign.ps", reads, bad(F::NotANumber, 30, 1, "+-2.250E-03"s), {}},
        {"field-hex.ps", reads, bad(F::NotANumber, 31, 3, "0x1.8p-3"s), {}},
        {"field-fortran-exponent.ps", reads, bad(F::NotANumber, 32, 4, "1.470D+03"s), {}},
        {"field-plus-sign.ps", reads, reads, {}},
        {"stopping-minus-zero.ps", reads, bad(F::NotPositive, 106, 3, "0"s), {}},
        // Ranges are shown, never checked, so -0 stays.
        {"range-minus-zero.ps", reads, reads,
         [](MaterialTable &t, double &) { t.range[1][101] = -0.0; }},
        {"energy-zero.ps", reads, bad(F::NotPositive, 7, 1, "0"s), {}},
        {"energy-negative.ps", reads, bad(F::NotPositive, 7, 1, "-0.001"s), {}},
        {"energy-repeated.ps", reads, bad(F::NotIncreasing, 76, 1, "5.5"s), {}},
        {"energies-descending.ps", reads, bad(F::NotIncreasing, 8, 1, "9000"s), {}},
        {"energy-subnormal.ps", reads, reads,
         [](MaterialTable &t, double &) { t.energy[1] = 4.9e-324; }},
        {"stopping-zero.ps", reads, bad(F::NotPositive, 56, 4, "0"s), {}},
        {"stopping-negative.ps", reads, bad(F::NotPositive, 7, 2, "-746.5"s), {}},
        {"stopping-extreme.psp", reads, reads,
         [](MaterialTable &t, double &) {
             for (int c = 1; c <= 3; ++c)
                 for (int k = 1; k <= kRowCount; ++k)
                     t.stoppingPower[c][k] = k % 2 ? 1e-300 : 1e300;
         }},
        // Adjacent doubles whose logarithms are equal.
        {"energies-equal-in-log.ps", reads, bad(F::NotIncreasing, 92, 1, "31.9099584516185"s), {}},
        // From 1 MeV up, so typed energies below it extrapolate.
        {"extrapolated-extreme.psp", reads, reads,
         [](MaterialTable &t, double &) {
             for (int k = 1; k <= kRowCount; ++k) {
                 t.energy[k] = roundedTo4Digits(t.energy[k] * 1000);
                 for (int c = 1; c <= 3; ++c)
                     t.stoppingPower[c][k] = k % 2 ? 1e-300 : 1e300;
             }
         }},
    };
}

// Cases too large to commit or that git cannot hold, made in `dir` at test time.
struct MadeCase {
    HostileCase expected;
    std::function<void(const std::filesystem::path &dir)> make;
    // Made after the file lists were filled, as when a file changes between
    // listing and clicking; the name is then listed as a plain file first.
    bool afterListing = false;
};

inline void PrintTo(const MadeCase &c, std::ostream *out)
{
    *out << c.expected.file;
}

inline void writeRepeated(const std::filesystem::path &file, const std::string &head, char fill,
                          std::size_t count, const std::string &tail)
{
    std::ofstream out(file, std::ios::binary);
    out << head;
    const std::string chunk(1 << 20, fill);
    for (std::size_t left = count; left > 0;) {
        const std::size_t n = std::min(left, chunk.size());
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    out << tail;
}

inline constexpr std::size_t kHugeFileBytes = 50u << 20;

inline std::vector<MadeCase> madeHostileCases()
{
    namespace fs = std::filesystem;
    using F = ReadFailure;
    const std::string base = readBytes(bundledDataDirectory() / kHostileBase);
    const std::size_t afterTitle = base.find("\r\n") + 2;
    const std::size_t afterName = base.find("\r\n", afterTitle) + 2;
    const std::size_t afterDensity = base.find("\r\n", afterName) + 2;
    const auto plain = [](std::string name) { return HostileCase{std::move(name), {}, {}, {}}; };
    const auto both = [](std::string name, Refusal r) {
        return HostileCase{std::move(name), r, r, {}};
    };
    return {
        {both("huge-first-line.ps", refused(F::LineTooLong, 1)),
         [](const fs::path &dir) {
             writeRepeated(dir / "huge-first-line.ps", {}, 'A', kHugeFileBytes, {});
         }},
        {both("huge-name-line.ps", refused(F::LineTooLong, 2)),
         [=](const fs::path &dir) {
             writeRepeated(dir / "huge-name-line.ps", base.substr(0, afterTitle), 'N', 1u << 20,
                           base.substr(afterName - 2));
         }},
        // Blanks count towards the bound like any other character.
        {both("huge-blank-density.ps", refused(F::LineTooLong, 3)),
         [=](const fs::path &dir) {
             writeRepeated(dir / "huge-blank-density.ps", base.substr(0, afterName), ' ', 1u << 20,
                           base.substr(afterName));
         }},
        {plain("title-at-limit.ps"),
         [=](const fs::path &dir) {
             writeRepeated(dir / "title-at-limit.ps", {}, 'T', kMaxLineLength,
                           base.substr(afterTitle - 2));
         }},
        {both("title-over-limit.ps", refused(F::LineTooLong, 1)),
         [=](const fs::path &dir) {
             writeRepeated(dir / "title-over-limit.ps", {}, 'T', kMaxLineLength + 1,
                           base.substr(afterTitle - 2));
         }},
        {both("density-line-over-limit.ps", refused(F::LineTooLong, 3)),
         [=](const fs::path &dir) {
             writeRepeated(dir / "density-line-over-limit.ps", base.substr(0, afterDensity - 2),
                           ' ', kMaxLineLength, base.substr(afterDensity - 2));
         }},
        {both("x.ps", refused(F::NotAFile, 0, 0, "it is a folder"s)),
         [](const fs::path &dir) { fs::create_directory(dir / "x.ps"); }, true},
        {both("fifo.ps", refused(F::NotAFile, 0, 0, "it is not a regular file"s)),
         [](const fs::path &dir) { ::mkfifo((dir / "fifo.ps").c_str(), 0600); }},
        {both("device.ps", refused(F::NotAFile, 0, 0, "it is not a regular file"s)),
         [](const fs::path &dir) { fs::create_symlink("/dev/zero", dir / "device.ps"); }},
        {both("removed.ps", refused(F::CannotOpen, 0, 0, std::strerror(ENOENT))),
         [](const fs::path &) {}, true},
        {both("dangling-link.ps", refused(F::CannotOpen, 0, 0, std::strerror(ENOENT))),
         [](const fs::path &dir) {
             fs::create_symlink(dir / "nowhere.ps", dir / "dangling-link.ps");
         }},
        {both("link-loop.ps", refused(F::CannotOpen, 0, 0, std::strerror(ELOOP))),
         [](const fs::path &dir) { fs::create_symlink("link-loop.ps", dir / "link-loop.ps"); }},
    };
}

// What the warning for each cause must say, in words a user can act on.
inline std::string_view causeWords(ReadFailure cause)
{
    switch (cause) {
    case ReadFailure::CannotOpen:
        return "Cannot open";
    case ReadFailure::NotAFile:
        return "Cannot read";
    case ReadFailure::EndOfFile:
        return "the file ends before";
    case ReadFailure::LineTooLong:
        return "longer than 65536 characters";
    case ReadFailure::NotANumber:
        return "is not a number";
    case ReadFailure::OutOfRange:
        return "too large or too small";
    case ReadFailure::NotPositive:
        return "must be greater than zero";
    case ReadFailure::NotIncreasing:
        return "is not greater than the energy of the row before";
    case ReadFailure::NotOneRowALine:
        return "does not hold exactly the seven fields of row";
    case ReadFailure::Changed:
        return "the file changed while it was read";
    }
    return "?";
}

// Lines as the reader delimits them (CR, LF, CR LF), by a separate route.
inline std::vector<std::string> splitLines(const std::string &bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

// The table a loading case must give: the base values adjusted, and the row
// texts of lines 7..138 of the file itself, cut to 59 characters.
inline Material expectedLoad(const HostileCase &c, const Material &base,
                             const std::filesystem::path &file)
{
    Material expected = base;
    if (c.adjust)
        c.adjust(expected.table, expected.density);
    const auto lines = splitLines(readBytes(file));
    for (int k = 1; k <= kRowCount; ++k)
        expected.table.rowText[k] = lines.size() > static_cast<std::size_t>(5 + k)
                                        ? lines[5 + k].substr(0, kRowTextWidth)
                                        : std::string();
    return expected;
}

} // namespace quenrow::test
