// SPDX-License-Identifier: MIT
// Quenrow: which folder the material data files are read from.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace quenrow {

// The installed copy of the data, `<prefix>/share/quenrow/quenrow-data`, as
// set when the program was built.
std::filesystem::path installedDataDirectory();

// `local` (by default "quenrow-data" in the working directory, returned as
// that relative path) whenever it is a folder, else `installed` when that is
// one. When neither is, a message naming both places looked at.
std::variant<std::filesystem::path, std::string>
findDataDirectory(const std::filesystem::path &local = "quenrow-data",
                  const std::filesystem::path &installed = installedDataDirectory());

} // namespace quenrow
