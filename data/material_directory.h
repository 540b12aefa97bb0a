// SPDX-License-Identifier: MIT
// Quenrow: which material data files the data directory holds.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quenrow {

// Bare names of the entries of `directory` ending in `extension` (".ps",
// ".psp"; letter case ignored), folders left out, sorted by name ignoring
// case. A directory that cannot be read gives the system's reason.
std::variant<std::vector<std::string>, std::string>
listMaterialFiles(const std::filesystem::path &directory, std::string_view extension);

} // namespace quenrow
