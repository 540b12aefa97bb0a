// SPDX-License-Identifier: MIT
// quenrow-lookup's handling of outside text on any bytes: what it shows on a
// terminal holds no control character and keeps every character visible,
// its JSON strings are UTF-8 that decode to the text, long tokens are cut;
// its token reader loses and invents nothing, and each token reads as the C
// library's strtod reads it; its writers keep every row's fields apart in
// every format.
#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/energy_input.h"
#include "cli/output.h"
#include "cli/safe_text.h"
#include "cli/suggest.h"
#include "data/number_reader.h"
#include "fuzz_support.h"

namespace {

using namespace quenrow::cli;

// Well-formed UTF-8, written apart from the code under test.
bool isUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80   ? 1
                              : b < 0xC2 ? 0
                              : b < 0xE0 ? 2
                              : b < 0xF0 ? 3
                              : b < 0xF5 ? 4
                                         : 0;
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

// Lines of the input as cells: a number where one reads, else text.
std::vector<Cell> cells(const std::string &text)
{
    std::vector<Cell> out;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        double value = 0;
        const auto read = std::from_chars(line.data(), line.data() + line.size(), value);
        if (line.empty())
            out.emplace_back(std::monostate{});
        else if (read.ec == std::errc() && read.ptr == line.data() + line.size())
            out.emplace_back(value);
        else
            out.emplace_back(line);
        start = end + 1;
    }
    return out;
}

// CSV records as RFC 4180 reads them: the number of fields of each.
std::vector<std::size_t> csvFieldCounts(const std::string &csv)
{
    std::vector<std::size_t> counts;
    std::size_t fields = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                ++i;
            else if (c == '"')
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            ++fields;
        } else if (c == '\n') {
            counts.push_back(fields);
            fields = 1;
        }
    }
    FUZZ_CHECK(!quoted);
    return counts;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The strict reader agrees with strtod (in the "C" locale: nothing here
// calls setlocale) on every decimal token, and refuses only what strtod
// refuses or reads as hexadecimal, infinity or NaN.
void checkNumber(std::string_view token)
{
    const std::string text(token);
    char *end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    const bool whole = !text.empty() && end == text.c_str() + text.size();
    const auto value = quenrow::readNumber(token);
    if (!value) {
        FUZZ_CHECK(!whole || text.find_first_of("xXiInN") != std::string::npos);
        return;
    }
    FUZZ_CHECK(whole);
    if (!(*value == expected && std::signbit(*value) == std::signbit(expected))) {
        std::fprintf(stderr, "\"%s\": %.17g, strtod %.17g\n", text.c_str(), *value, expected);
        std::abort();
    }
}

// The tokens, in order, are the input without its blanks, each on its line.
void checkTokens(const std::string &text)
{
    if (text.empty())
        return; // fmemopen wants a buffer
    std::FILE *in = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    std::string joined, expected;
    long lastLine = 1;
    std::size_t from = 0; // where the last token ended
    forEachToken(in, [&](long line, std::string_view token) {
        FUZZ_CHECK(!token.empty() && line >= lastLine);
        for (char c : token)
            FUZZ_CHECK(!isBlank(c));
        const std::size_t at = text.find(token, from);
        FUZZ_CHECK(at != std::string::npos);
        from = at + token.size();
        FUZZ_CHECK(line == 1 + std::count(text.begin(), text.begin() + long(at), '\n'));
        joined.append(token);
        lastLine = line;
        checkNumber(token);
        return true;
    });
    std::fclose(in);
    for (char c : text)
        if (!isBlank(c))
            expected += c;
    FUZZ_CHECK(joined == expected);
}

void checkWriters(const std::string &text)
{
    const std::vector<Cell> all = cells(text);
    const std::size_t rows = all.size() / 3;
    for (const Format format : {Format::Text, Format::Csv, Format::Tsv, Format::Json}) {
        char *bytes = nullptr;
        std::size_t size = 0;
        OutputSink sink(open_memstream(&bytes, &size));
        {
            TableWriter writer(sink, format,
                               {{"file", "File", "", true},
                                {"name", "Name", "", true},
                                {"density", "Density", "g/cm3"}},
                               format == Format::Json ? 3 : 0);
            for (std::size_t r = 0; r < rows; ++r)
                writer.row({all[3 * r], all[3 * r + 1], all[3 * r + 2]});
            writer.finish();
        }
        sink.close();
        const std::string out(bytes, size);
        std::free(bytes);
        FUZZ_CHECK(!sink.problem() && isUtf8(out));
        std::size_t lines = 0;
        for (char c : out) {
            lines += c == '\n';
            FUZZ_CHECK(c == '\n' || (format == Format::Tsv && c == '\t') ||
                       (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F));
        }
        if (format == Format::Text || format == Format::Json)
            FUZZ_CHECK(lines == rows + 2);
        if (format == Format::Csv)
            FUZZ_CHECK(csvFieldCounts(out) == std::vector<std::size_t>(rows + 1, 3));
        if (format == Format::Tsv)
            for (std::size_t start = 0; start < out.size(); start = out.find('\n', start) + 1)
                FUZZ_CHECK(std::count(out.begin() + long(start),
                                      out.begin() + long(out.find('\n', start)), '\t') == 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    const std::string shown = showable(text);
    FUZZ_CHECK(isUtf8(shown) && !hasControl(shown));
    FUZZ_CHECK(showable(shown) == shown);    // nothing left to hide
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

    checkTokens(text);
    checkWriters(text);
    return 0;
}
