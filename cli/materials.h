// SPDX-License-Identifier: MIT
// quenrow-lookup: finding the material a user named in the data folder.
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace quenrow::cli {

// The data folder, or why there is none.
using DataFolder = std::variant<std::filesystem::path, std::string>;

// Bare names of the folder's material files, elements then compounds, or why
// the folder cannot be read.
std::variant<std::vector<std::string>, std::string>
materialFiles(const std::filesystem::path &folder);

// MATERIAL as a file in the data folder, a path, or a part of a material's
// name; else a message that names what matched several, or the closest names.
std::variant<std::filesystem::path, std::string> resolveMaterial(const std::string &query,
                                                                 const DataFolder &folder);

// True when text is a material's file name, stem or name in the folder, case
// ignored: "Water_liquid.psp", "water_liquid", "water, liquid".
bool namesMaterialExactly(const std::string &text, const DataFolder &folder);

} // namespace quenrow::cli
