// SPDX-License-Identifier: MIT
// quenrow-lookup: standard output, with every write checked.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace quenrow::cli {

// Writes through stdio's buffer and remembers the first failure. A reader
// that went away (EPIPE, seen only when SIGPIPE is ignored) is a quiet stop,
// as `| head -1` expects; any other failure is an error to report.
class OutputSink {
public:
    explicit OutputSink(std::FILE *out) : out_(out) {}
    OutputSink(const OutputSink &) = delete;
    OutputSink &operator=(const OutputSink &) = delete;

    void write(std::string_view bytes);
    // Flushes and closes the stream; what it found stays in stopped().
    void close();

    // True once output failed or the reader left: the rest can be skipped.
    bool stopped() const { return error_ != 0; }
    // "cannot write the output: No space left on device", or nothing when
    // every byte arrived or the reader left.
    std::optional<std::string> problem() const;

private:
    void check(bool ok);

    std::FILE *out_;
    int error_ = 0;
    bool closed_ = false;
};

} // namespace quenrow::cli
