// SPDX-License-Identifier: MIT
// quenrow-lookup --layer / --stack: a beam through a stack of layers, one
// output row per energy per layer.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "cli/output.h"
#include "cli/output_sink.h"

namespace quenrow::cli {

struct StackOptions {
    std::vector<std::string> layers; // --layer MATERIAL:THICKNESS[:DENSITY]
    std::string stackFile;           // --stack FILE
    bool energyOut = false;          // the values are energies wanted out of the stack
    bool waterDepth = false;         // the values are water depths wanted behind it, cm
    bool requested() const { return !layers.empty() || !stackFile.empty(); }
};

// A material as the command line names it: its file, or why there is none.
using MaterialFinder =
    std::function<std::variant<std::filesystem::path, std::string>(const std::string &)>;

// `values` from the arguments; none: from standard input, whitespace-separated.
// Returns the exit status.
int runStack(const StackOptions &options, Format format, const std::vector<std::string> &values,
             const MaterialFinder &findMaterial,
             const std::variant<std::filesystem::path, std::string> &dataDirectory,
             OutputSink &sink);

} // namespace quenrow::cli
