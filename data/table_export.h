// SPDX-License-Identifier: MIT
// Quenrow: the loaded table as text for other programs.
#pragma once

#include <string>
#include <string_view>

#include "material.h"

namespace quenrow {

enum class TableFileFormat { CommaSeparated, TabSeparated };

// One field of a delimited line: quoted where CSV needs it; in TSV, tabs and
// line ends (which would move the columns) become blanks.
void appendField(std::string &out, std::string_view text, TableFileFormat format);

// A header line and the 132 rows, tab-separated, lines ended by LF: pastes
// into a spreadsheet as seven numeric columns. Values at full precision.
std::string tableAsTabSeparated(const Material &material);

// The table as a saved file: first a comment line "# NAME, density D g/cm3",
// which spreadsheet programs and numpy.loadtxt skip, then a header line of
// the quantities' keys (as quenrow-lookup names its columns) and the rows,
// each value as the data file wrote it where the row's text reads back as
// exactly that value.
std::string tableAsFile(const Material &material, TableFileFormat format);

} // namespace quenrow
