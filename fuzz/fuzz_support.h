// SPDX-License-Identifier: MIT
// Quenrow fuzzing: inputs as files for the readers, and checks that abort so
// the fuzzer (or the replay driver) reports them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace quenrow::fuzz {

// The readers take a path: one file in memory, rewritten for each input and
// reached through /proc, or a temporary file where that is not available.
class InputFile {
public:
    InputFile()
    {
        fd_ = ::memfd_create("quenrow-fuzz", MFD_CLOEXEC);
        if (fd_ >= 0) {
            path_ = "/proc/self/fd/" + std::to_string(fd_);
            if (::access(path_.c_str(), R_OK) == 0)
                return;
            ::close(fd_);
        }
        const char *dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/quenrow-fuzz-XXXXXX";
        fd_ = ::mkstemp(path_.data());
        FUZZ_CHECK(fd_ >= 0);
    }
    ~InputFile()
    {
        if (path_.rfind("/proc/", 0) != 0)
            ::unlink(path_.c_str());
        ::close(fd_);
    }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    const std::string &write(std::string_view bytes)
    {
        FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n =
                ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            FUZZ_CHECK(n > 0);
            done += static_cast<std::size_t>(n);
        }
        return path_;
    }

private:
    int fd_ = -1;
    std::string path_;
};

// An input starting with byte 1 stretches one character: bytes 1-2 give its
// position in the text that follows byte 5, bytes 3-5 how often it repeats
// (at most 256 KiB). So lines past the 64 KiB bound are within reach of
// small inputs; any other input is the file as it is.
inline std::string fileBytes(const std::uint8_t *data, std::size_t size)
{
    if (size < 7 || data[0] != 1)
        return std::string(reinterpret_cast<const char *>(data), size);
    const std::string text(reinterpret_cast<const char *>(data) + 6, size - 6);
    const std::size_t at = (data[1] | data[2] << 8) % text.size();
    const std::size_t count = (data[3] | data[4] << 8 | data[5] << 16) % ((256u << 10) + 1);
    return text.substr(0, at) + std::string(count, text[at]) + text.substr(at);
}

} // namespace quenrow::fuzz
