// SPDX-License-Identifier: MIT
// Quenrow fuzzing: what every refusal of the readers must look like.
#pragma once

#include <string>

#include "data/material.h"
#include "fuzz_support.h"

namespace quenrow::fuzz {

inline void checkError(const ReadError &error, const std::string &path)
{
    FUZZ_CHECK(error.path == path);
    const bool onALine = error.cause != ReadFailure::CannotOpen &&
                         error.cause != ReadFailure::NotAFile &&
                         error.cause != ReadFailure::Changed;
    // Row k stands on line 6 or 7 + k - 1, so nothing is read past line 139.
    FUZZ_CHECK(onALine ? error.line >= 1 && error.line <= 6 + kRowCount + 1 : error.line == 0);
    // A line of the table holds seven fields; the head's lines one.
    FUZZ_CHECK(error.field >= 0 && error.field <= 8);
    FUZZ_CHECK((error.cause == ReadFailure::NotOneRowALine) ==
               (error.field == 0 && error.context.rfind("row ", 0) == 0 &&
                error.cause != ReadFailure::EndOfFile && error.cause != ReadFailure::LineTooLong));
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
