// SPDX-License-Identifier: MIT
// Quenrow fuzzing: what every refusal of the readers must look like.
#pragma once

#include <string>

#include "data/material_file.h"
#include "fuzz_support.h"

namespace quenrow::fuzz {

inline void checkError(const ReadError &error, const std::string &path)
{
    FUZZ_CHECK(error.path == path);
    const bool onALine =
        error.cause != ReadFailure::CannotOpen && error.cause != ReadFailure::NotAFile;
    // No field is read past 6 lines of head and one line end per field.
    FUZZ_CHECK(onALine ? error.line >= 1 && error.line <= 6 + 7 * kRowCount + 1 : error.line == 0);
    // Fields flow across line ends, so a line may hold more than seven.
    FUZZ_CHECK(error.field >= 0 && error.field <= static_cast<int>(kMaxLineLength));
    const std::string message = describe(error);
    FUZZ_CHECK(!message.empty() && message.size() < 1000);
    for (char c : message)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
}

inline bool sameError(const ReadError &a, const ReadError &b)
{
    return a.path == b.path && a.cause == b.cause && a.line == b.line && a.field == b.field &&
           a.context == b.context && a.detail == b.detail;
}

} // namespace quenrow::fuzz
