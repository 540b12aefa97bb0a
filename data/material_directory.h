// SPDX-License-Identifier: MIT
// Quenrow: which material data files the data directory holds.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenrow {

// Bare names of the entries of `directory`, folders left out, sorted by name
// ignoring case. A directory that cannot be read gives the system's reason.
std::variant<std::vector<std::string>, std::string>
listDirectoryFiles(const std::filesystem::path &directory);

// Elements are "*.ps" files, compounds "*.psp".
inline constexpr const char *kElementExtension = ".ps";
inline constexpr const char *kCompoundExtension = ".psp";

// Those of `names` that end in `extension` (".ps", ".psp"; case ignored).
std::vector<std::string> withExtension(const std::vector<std::string> &names,
                                       std::string_view extension);

// The elements' files, then the compounds'.
std::vector<std::string> materialFileNames(const std::vector<std::string> &names);

} // namespace quenrow
