// SPDX-License-Identifier: MIT
#include "energy_input.h"

#include <cstdlib>
#include <sys/types.h>

namespace quenrow::cli {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

} // namespace

void forEachToken(std::FILE *in, const std::function<bool(long, std::string_view)> &each)
{
    char *text = nullptr;
    std::size_t capacity = 0;
    long line = 0;
    ssize_t length;
    bool more = true;
    while (more && (length = ::getline(&text, &capacity, in)) >= 0) {
        ++line;
        const char *p = text, *end = text + length;
        while (more && p != end) {
            if (isBlank(*p)) {
                ++p;
                continue;
            }
            const char *token = p;
            while (p != end && !isBlank(*p))
                ++p;
            more = each(line, std::string_view(token, std::size_t(p - token)));
        }
    }
    std::free(text);
}

} // namespace quenrow::cli
