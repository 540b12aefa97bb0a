// SPDX-License-Identifier: MIT
#include "output_sink.h"

#include <cerrno>
#include <cstring>

namespace quenrow::cli {

void OutputSink::check(bool ok)
{
    if (!ok && error_ == 0)
        error_ = errno != 0 ? errno : EIO;
}

void OutputSink::write(std::string_view bytes)
{
    if (stopped() || closed_ || bytes.empty())
        return;
    errno = 0;
    check(std::fwrite(bytes.data(), 1, bytes.size(), out_) == bytes.size());
}

void OutputSink::close()
{
    if (closed_)
        return;
    closed_ = true;
    // After a failure stdio may still hold bytes; fclose drops them either way.
    errno = 0;
    check(std::fflush(out_) == 0);
    // A write by someone else (CLI11's help through std::cout) that failed.
    errno = 0;
    check(!std::ferror(out_));
    errno = 0;
    check(std::fclose(out_) == 0);
}

std::optional<std::string> OutputSink::problem() const
{
    if (error_ == 0 || error_ == EPIPE)
        return std::nullopt;
    return std::string("cannot write the output: ") + std::strerror(error_);
}

} // namespace quenrow::cli
