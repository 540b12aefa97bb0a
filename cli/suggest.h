// SPDX-License-Identifier: MIT
// quenrow-lookup: the material files closest to a name that matches none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenrow::cli {

// Up to `most` of fileNames ("Water_liquid.psp", "082-Lead.ps") whose stem
// is within a few edits of query, as a whole or word by word, case ignored;
// closest first. Empty when none is close.
std::vector<std::string> closestNames(std::string_view query,
                                      const std::vector<std::string> &fileNames,
                                      std::size_t most = 4);

} // namespace quenrow::cli
