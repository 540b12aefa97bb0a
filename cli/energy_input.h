// SPDX-License-Identifier: MIT
// quenrow-lookup: energies typed or piped in, one token at a time.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

namespace quenrow::cli {

// Calls `each` with every blank-separated token of `in` and the number of
// the line it stands on (from 1), until the input ends or `each` returns
// false.
void forEachToken(std::FILE *in, const std::function<bool(long, std::string_view)> &each);

} // namespace quenrow::cli
