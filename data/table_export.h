// SPDX-License-Identifier: MIT
// Quenrow: the loaded table as text for other programs.
#pragma once

#include <string>

#include "material_file.h"

namespace quenrow {

// A header line and the 132 rows, tab-separated, lines ended by LF: pastes
// into a spreadsheet as six numeric columns. Values at full precision.
std::string tableAsTabSeparated(const MaterialTable &table);

enum class TableFileFormat { CommaSeparated, TabSeparated };

// The table as a saved file: first a comment line "# NAME, density D g/cm3",
// which spreadsheet programs and numpy.loadtxt skip, then the same header
// line and rows, each value as the data file wrote it where the row's text
// reads back as exactly that value.
std::string tableAsFile(const MaterialTable &table, double density, TableFileFormat format);

} // namespace quenrow
