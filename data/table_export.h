// SPDX-License-Identifier: MIT
// Quenrow: the loaded table as text for other programs.
#pragma once

#include <string>

#include "material_file.h"

namespace quenrow {

// A header line and the 132 rows, tab-separated, lines ended by LF: pastes
// into a spreadsheet as six numeric columns. Values at full precision.
std::string tableAsTabSeparated(const MaterialTable &table);

} // namespace quenrow
