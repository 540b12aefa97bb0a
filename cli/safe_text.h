// SPDX-License-Identifier: MIT
// quenrow-lookup: text from outside (file names, name lines, typed tokens)
// made safe for a terminal and for JSON.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quenrow::cli {

// The text with nothing a terminal would act on: control characters as
// \n, \t, \r or \xNN, bytes that are not UTF-8 as \xNN, and the invisible
// characters that reorder or hide text (bidi controls, zero widths) as \uNNNN.
std::string showable(std::string_view text);

// showable(text) in double quotes, cut to about 60 characters with its
// length after it: "aaaa..." (20000000 characters).
std::string quotedToken(std::string_view text);

// A JSON string of text: UTF-8 kept as UTF-8, bytes that are not UTF-8
// replaced by U+FFFD, controls and invisible characters escaped.
void appendJsonString(std::string &out, std::string_view text);

} // namespace quenrow::cli
