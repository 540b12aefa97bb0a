// SPDX-License-Identifier: MIT
// quenrow-lookup's handling of outside text on any bytes: what it shows on a
// terminal holds no control character and keeps every character visible,
// its JSON strings are UTF-8 that decode to the text, long tokens are cut.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/safe_text.h"
#include "cli/suggest.h"
#include "fuzz_support.h"

namespace {

using namespace quenrow::cli;

// Well-formed UTF-8, written apart from the code under test.
bool isUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

bool hasControl(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

// The JSON string's content decoded: escapes back to UTF-8.
std::string unescapeJson(std::string_view json)
{
    FUZZ_CHECK(json.size() >= 2 && json.front() == '"' && json.back() == '"');
    json = json.substr(1, json.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] != '\\') {
            FUZZ_CHECK(json[i] != '"');
            out += json[i];
            continue;
        }
        FUZZ_CHECK(i + 1 < json.size());
        const char e = json[++i];
        if (e == 'n' || e == 't' || e == '"' || e == '\\') {
            out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            continue;
        }
        FUZZ_CHECK(e == 'u' && i + 4 < json.size());
        const unsigned code = std::stoul(std::string(json.substr(i + 1, 4)), nullptr, 16);
        i += 4;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    const std::string shown = showable(text);
    FUZZ_CHECK(isUtf8(shown) && !hasControl(shown));
    FUZZ_CHECK(showable(shown) == shown); // nothing left to hide
    FUZZ_CHECK(shown.size() >= text.size()); // a NUL or bad byte cuts nothing

    const std::string token = quotedToken(text);
    FUZZ_CHECK(isUtf8(token) && !hasControl(token));
    FUZZ_CHECK(token.size() <= 2 + 60 * 6 + 40);

    std::string json;
    appendJsonString(json, text);
    FUZZ_CHECK(isUtf8(json) && !hasControl(json));
    if (isUtf8(text))
        FUZZ_CHECK(unescapeJson(json) == text);

    static const std::vector<std::string> files = {"Water_liquid.psp", "082-Lead.ps",
                                                   "A-150_tissue-equivalent_plastic.psp"};
    for (const std::string &name : closestNames(text, files))
        FUZZ_CHECK(std::find(files.begin(), files.end(), name) != files.end());
    return 0;
}
